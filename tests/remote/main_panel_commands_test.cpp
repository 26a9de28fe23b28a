// Commands on the main panel: they reach the unit through the same callbacks and events as the
// operator's hand, are refused whole when out of range, and the queries read the controls.
#include <vector>

#include "remote_fixture.h"

using namespace korvel::app;
using korvel::testing::dac_code;
using korvel::testing::expander_pins;
using korvel::testing::unit_story;

namespace {

TEST_F(RemoteTest, PatternChoiceGoesThroughTheRingAndReadsBack) {
    EXPECT_EQ(send("SOUR:PATT PRBS15;PATT?"), "PRBS15");
    EXPECT_EQ(expander_pins(7) & 0xFF, 4);
    EXPECT_EQ(settings.DataSelect, 4);
    EXPECT_EQ(value(main_panel, PANELMAIN_DATA_SELECT), 4);

    EXPECT_EQ(send(":pattern clock;:source:pattern?"), "CLOC");
    EXPECT_EQ(expander_pins(7) & 0xFF, 10);
    EXPECT_EQ(error(), "0,\"No error\"");

    // Custom Data opens the Custom Test Pattern window, as choosing it on the ring does.
    EXPECT_EQ(send("PATT CUST;PATT?"), "CUST");
    EXPECT_EQ(data_panel_open, 1);
    EXPECT_EQ(copies(PANELDATA), 1);
}

TEST_F(RemoteTest, UnknownPatternChangesNothing) {
    EXPECT_EQ(send("SOUR:PATT PRBS8"), "");
    EXPECT_EQ(send("SOUR:PATT \"PRBS7\""), "");
    EXPECT_EQ(send("SOUR:PATT"), "");
    EXPECT_EQ(error_code(), -224);
    EXPECT_EQ(error_code(), -104);
    EXPECT_EQ(error_code(), -109);
    EXPECT_TRUE(board().bus_log().empty());
    EXPECT_EQ(send("SOUR:PATT?"), "PRBS9");
}

TEST_F(RemoteTest, LevelsAreTypedIntoTheSlidesWithTheEventsOfATypedValue) {
    EXPECT_EQ(send("SOUR:DCYC 56;AMPL 600;DCYC?;AMPL?"), "56;600");
    EXPECT_EQ(dac_code(2), 4095);
    EXPECT_EQ(dac_code(3), 3227);
    EXPECT_FLOAT_EQ(settings.DataAmplitudeControl, 2.6f);
    EXPECT_EQ(dac_store_countdown, 10);
    EXPECT_EQ(settings_changed & 1, 1);

    // The slide's callback sees a value change and then the commit, as from the window's field.
    std::vector<int> events;
    korvel::platform::register_callback("CB_DAC",
                                        [&](int, int control, int event, void*, int, int) {
                                            if (control == PANELMAIN_MUX_AMP)
                                                events.push_back(event);
                                            return 0;
                                        });
    send("SOUR:AMPL 300.5");
    EXPECT_EQ(events, (std::vector<int>{EVENT_VAL_CHANGED, EVENT_COMMIT}));
}

TEST_F(RemoteTest, LevelsOutOfRangeAreRefusedAndNothingIsSent) {
    const double duty = value(main_panel, PANELMAIN_DUTY_CYCLE);
    const double amplitude = value(main_panel, PANELMAIN_MUX_AMP);
    for (const char* line : {"SOUR:AMPL 600.01", "SOUR:AMPL -0.001", "SOUR:DCYC 43.99",
                             "SOUR:DCYC 56.5", "SOUR:DCYC 1e999", "SOUR:AMPL -1e999"}) {
        EXPECT_EQ(send(line), "") << line;
        EXPECT_EQ(error_code(), -222) << line;
    }
    EXPECT_EQ(send("SOUR:AMPL 700"), "");
    EXPECT_EQ(error(), "-222,\"Data out of range;SOURce:AMPLitude takes 0 to 600\"");
    EXPECT_TRUE(board().bus_log().empty());
    EXPECT_EQ(value(main_panel, PANELMAIN_DUTY_CYCLE), duty);
    EXPECT_EQ(value(main_panel, PANELMAIN_MUX_AMP), amplitude);
    EXPECT_EQ(settings_changed, settings_changed_before);
}

TEST_F(RemoteTest, AmplitudeFollowsTheSlidesMaximumWhenExpandedAmplitudeIsOn) {
    EXPECT_EQ(send("SOUR:AMPL? MAX;AMPL? MIN"), "600;0");
    // "Exp Amp" on the Debug panel raises the slide's maximum.
    SetCtrlAttribute(main_panel, PANELMAIN_MUX_AMP, ATTR_MAX_VALUE, 1125.0);
    EXPECT_EQ(send("SOUR:AMPL? MAX"), "1125");
    EXPECT_EQ(send("SOUR:AMPL 1125;AMPL?"), "1125");
    EXPECT_EQ(send("SOUR:AMPL 1125.1"), "");
    EXPECT_EQ(error(), "-222,\"Data out of range;SOURce:AMPLitude takes 0 to 1125\"");
    EXPECT_EQ(send("SOUR:AMPL MAX;AMPL?;AMPL DEF;AMPL?;AMPL MIN;AMPL?"), "1125;450;0");
}

TEST_F(RemoteTest, ClockOutputOneIsTheMainPanelsButton) {
    EXPECT_EQ(send("OUTP:CLOC1 ON;CLOC1?"), "1");
    EXPECT_EQ(expander_pins(3) & 1, 0);  // active-low enable
    EXPECT_EQ(settings.ClockOutput1, 1);
    EXPECT_EQ(settings_changed & 1, 1);
    EXPECT_EQ(send("OUTPUT:CLOCK 0;:OUTP:CLOC?"), "0");
    EXPECT_EQ(expander_pins(3) & 1, 1);
    EXPECT_EQ(send("OUTP:CLOC2 ON"), "");
    EXPECT_EQ(error_code(), -113);
    EXPECT_EQ(send("OUTP:CLOC1 2"), "");
    EXPECT_EQ(error_code(), -224);
    EXPECT_EQ(expander_pins(3) & 1, 1);
}

TEST_F(RemoteTest, FpgaResetPulsesTheResetLine) {
    EXPECT_EQ(send("FPGA:RES"), "");
    // Expander 2 IO8 (bank 1) high, then low again.
    EXPECT_EQ(unit_story(),
              (std::vector<std::string>{"E2.F1=01", "E2.F3=01", "E2.F1=00", "E2.F3=00"}));
    EXPECT_EQ(expander_pins(2) & 0x100, 0);
    EXPECT_EQ(error(), "0,\"No error\"");
    EXPECT_EQ(send("FPGA:RES 1"), "");
    EXPECT_EQ(error_code(), -108);
}

TEST_F(RemoteTest, AnAbsentUnitGetsThePanelsChoicesWhenItComesBack) {
    board().detach();
    tick();
    EXPECT_EQ(send("SYST:CONN?"), "0");
    EXPECT_EQ(send("*IDN?"), "MORLIDEX,KORVEL,0,1.4.0");
    // As for the operator: the ring keeps the choice, the pattern waits for the unit.
    EXPECT_EQ(send("SOUR:PATT PRBS31;PATT?;:SOUR:AMPL 300"), "PRBS31");
    board().attach();
    tick();
    EXPECT_EQ(send("SYST:CONN?;*IDN?"), "1;MORLIDEX,KORVEL,1042,1.4.0");
    EXPECT_EQ(expander_pins(7) & 0xFF, 9);
    EXPECT_EQ(dac_code(3), 2730);
}

}  // namespace

// Handlers reach the window through their session, which is given the panel it operates (and
// reads the handle as each command runs), not through the program's global.
TEST_F(RemoteTest, ASessionOperatesTheMainPanelItWasGiven) {
    int other = LoadPanel(0, "main.uir", PANELMAIN);
    SetCtrlVal(other, PANELMAIN_MUX_AMP, 321.0);
    korvel::remote::Session second(other);
    EXPECT_EQ(second.run_line("AMPL?"), "321\n");
    EXPECT_EQ(send("AMPL?"), "450");
    other = korvel::app::main_panel;
    EXPECT_EQ(second.run_line("AMPL?"), "450\n");
}
