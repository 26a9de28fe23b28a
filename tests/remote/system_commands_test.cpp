// *IDN?, *RST, *OPC?, *CLS and the error queue as a session uses it.
#include "remote_fixture.h"

using namespace korvel::app;
using korvel::testing::dac_code;
using korvel::testing::expander_pins;

namespace {

TEST_F(RemoteTest, IdentifiesWithTheSerialOfTheConnectedUnit) {
    EXPECT_EQ(send("*IDN?"), "MORLIDEX,KORVEL,1042,1.4.0");
    EXPECT_EQ(send("*idn?;*OPC?"), "MORLIDEX,KORVEL,1042,1.4.0;1");
    // A serial with characters that would break the reply's fields keeps only the safe ones.
    SetCtrlVal(main_panel, PANELMAIN_DEVICE_SN, "10,4\"2");
    EXPECT_EQ(send("*IDN?"), "MORLIDEX,KORVEL,1042,1.4.0");
}

TEST_F(RemoteTest, ResetPutsTheResourceDefaultsOnThePanelsAndTheUnit) {
    send(
        "SOUR:PATT PRBS31;DCYC 45;AMPL 100;:OUTP:CLOC1 ON;:TRIG:MODE MAN;DIV 9;:POL INV;"
        ":ERR:STAT ON");
    ASSERT_EQ(error(), "0,\"No error\"");

    EXPECT_EQ(send("*RST;*OPC?"), "1");
    EXPECT_EQ(send("PATT?;DCYC?;AMPL?;:OUTP:CLOC1?;:TRIG:MODE?;DIV?;:POL?;:ERR:STAT?"),
              "PRBS9;50;450;0;PATT;1;NORM;0");
    // The unit as a reconnect with the resource defaults leaves it, clock and polarity too.
    EXPECT_EQ(expander_pins(7) & 0xFF, 2);
    EXPECT_EQ(expander_pins(2) & 0xFF, 0xFE);
    EXPECT_EQ(expander_pins(3) & 3, 1);  // clock output 1 off, error injection/inversion off
    EXPECT_EQ(dac_code(2), 3475);
    EXPECT_EQ(dac_code(3), 2978);
    EXPECT_EQ(settings.Manual, 0);
    EXPECT_EQ(settings.Polarity, 0);
    EXPECT_EQ(settings.ClockOutput1, 0);
    EXPECT_EQ(dac_store_countdown, 10);
    EXPECT_EQ(value(more_panel, PANELMORE_INV_DATA_BUTTON), 0);
    EXPECT_EQ(value(more_panel, PANELMORE_MANUAL_CTRL_BOX), 0);
}

TEST_F(RemoteTest, ResetWithTheUnitAbsentResetsThePanelsForTheNextReconnect) {
    send("SOUR:PATT PRBS31");
    board().detach();
    tick();
    EXPECT_EQ(send("*RST;PATT?"), "PRBS9");
    board().attach();
    tick();
    EXPECT_EQ(expander_pins(7) & 0xFF, 2);
}

TEST_F(RemoteTest, AFaultEndsItsLineAndIsQueuedInOrder) {
    // The query before the fault answers; the units after it do not run.
    EXPECT_EQ(send("*OPC?;BOGUS;SOUR:PATT PRBS7;*IDN?"), "1");
    EXPECT_EQ(send("SOUR:PATT?"), "PRBS9");
    EXPECT_EQ(send("SOUR:AMPL 3 4"), "");
    EXPECT_EQ(send("*IDN"), "");          // a query-only header sent as a command
    EXPECT_EQ(send("*RST?"), "");         // and the other way round
    EXPECT_EQ(send("SOUR:AMPL 1;"), "");  // an empty unit at the end is fine
    EXPECT_EQ(send("SYST:ERR?;ERR?;ERR:NEXT?;:SYSTEM:ERROR?;ERR?"),
              "-113,\"Undefined header\";-102,\"Syntax error;expected ',' between parameters\";"
              "-113,\"Undefined header\";-113,\"Undefined header\";0,\"No error\"");
}

TEST_F(RemoteTest, PathOfACompoundHeaderCarriesToTheNextUnit) {
    EXPECT_EQ(send("SOUR:PATT PRBS7;AMPL 300;:SOUR:AMPL?;DCYC?"), "300;50");
    EXPECT_EQ(send("TRIG:MODE EYE;*OPC?;MODE?"), "1;EYE");  // common commands keep the path
    EXPECT_EQ(send("OUTP:CLOC1 ON;PATT PRBS9"), "");        // OUTPut:PATTern is no command
    EXPECT_EQ(error_code(), -113);
}

TEST_F(RemoteTest, ClearStatusEmptiesTheQueueAndOverflowIsTold) {
    for (int i = 0; i < 20; ++i) send("BOGUS");
    EXPECT_EQ(session.errors().size(), 16u);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(error_code(), -113);
    EXPECT_EQ(error(), "-350,\"Queue overflow\"");
    send("BOGUS");
    send("*CLS");
    EXPECT_EQ(error(), "0,\"No error\"");
}

TEST_F(RemoteTest, BadLinesGiveTheirErrorsAndTheSessionGoesOn) {
    session.line_discarded();
    EXPECT_EQ(error(), "-100,\"Command error;line longer than 4096 bytes discarded\"");
    EXPECT_EQ(send(std::string("\x00\x01\xfe\xff", 4)), "");
    EXPECT_EQ(error_code(), -101);
    EXPECT_EQ(send("SOUR:AMPL \"300\""), "");
    EXPECT_EQ(error_code(), -104);
    EXPECT_EQ(send("*IDN?"), "MORLIDEX,KORVEL,1042,1.4.0");
}

}  // namespace
