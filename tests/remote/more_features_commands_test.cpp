// Commands whose controls sit on More Features (opened through its menu when closed) and the
// trigger mode.
#include <limits>

#include "remote_fixture.h"

using namespace korvel::app;
using korvel::testing::expander_pins;

namespace {

int attribute(int panel, int control, int attr) {
    int v = -1;
    GetCtrlAttribute(panel, control, attr, &v);
    return v;
}

TEST_F(RemoteTest, TriggerModesOfTheMainPanelActAsRadioButtons) {
    EXPECT_EQ(send("TRIG:MODE?"), "PATT");
    EXPECT_EQ(send("TRIG:MODE EYE;MODE?"), "EYE");
    EXPECT_EQ(expander_pins(2) & 0xFF, 0xFC);
    EXPECT_EQ(value(main_panel, PANELMAIN_PATTERN_BOX), 0);
    EXPECT_EQ(value(main_panel, PANELMAIN_EYE_DIAGRAM_BOX), 1);
    EXPECT_EQ(send("TRIGGER:MODE PATTERN;MODE?"), "PATT");
    EXPECT_EQ(expander_pins(2) & 0xFF, 0xFE);
    EXPECT_EQ(more_panel_open, 0);  // nothing needed More Features
}

TEST_F(RemoteTest, ManualRatioOpensMoreFeaturesOnceAndSendsTheRatio) {
    EXPECT_EQ(send("TRIG:DIV 8"), "");
    EXPECT_EQ(error(), "-221,\"Settings conflict;TRIGger:DIVide needs TRIGger:MODE MANual\"");
    EXPECT_EQ(more_panel_open, 0);

    EXPECT_EQ(send("TRIG:MODE MAN;MODE?"), "MAN");
    EXPECT_EQ(more_panel_open, 1);
    EXPECT_EQ(copies(PANELMORE), 1);
    EXPECT_EQ(settings.Manual, 1);
    EXPECT_EQ(expander_pins(2) & 0xFF, 1);  // the ratio the panel shows, 1
    EXPECT_EQ(send("TRIG:DIV 256;DIV?"), "256");
    EXPECT_EQ(expander_pins(2) & 0xFF, 0x00);
    EXPECT_EQ(send("TRIG:DIV 8;DIV?"), "8");
    EXPECT_EQ(expander_pins(2) & 0xFF, 8);
    EXPECT_EQ(settings.DivideBy, 8);
    EXPECT_EQ(copies(PANELMORE), 1);

    for (const char* bad : {"TRIG:DIV 0", "TRIG:DIV 257", "TRIG:DIV 8.5", "TRIG:DIV ON"}) {
        EXPECT_EQ(send(bad), "") << bad;
        EXPECT_NE(error_code(), 0) << bad;
    }
    EXPECT_EQ(settings.DivideBy, 8);
    EXPECT_EQ(expander_pins(2) & 0xFF, 8);
}

TEST_F(RemoteTest, WithMoreFeaturesClosedQueriesReportWhatItWouldShow) {
    send("TRIG:MODE MAN;DIV 12;:POL INV");
    quit_panel(more_panel, PANELMORE_CLOSEPANELMORE, EVENT_COMMIT, nullptr, 0, 0);
    ASSERT_EQ(more_panel_open, 0);
    EXPECT_EQ(send("TRIG:DIV?;MODE?;:POL?;:ERR:STAT?;:TRIG:DIV? MAX"), "12;MAN;INV;0;256");
    EXPECT_EQ(more_panel_open, 0);  // queries open nothing
    // The next command opens it again, showing the stored ratio.
    EXPECT_EQ(send("TRIG:DIV 13"), "");
    EXPECT_EQ(value(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL), 13);
}

TEST_F(RemoteTest, AStoredRatioOutOfRangeIsReportedAsTheRatioTheUnitRuns) {
    // A settings file may hold any integer as the manual ratio: all but 1..255 go out as 0x00.
    for (int stored : {0, -1, std::numeric_limits<int>::min(), 257}) {
        settings.Pattern = settings.Eye = 0;
        settings.Manual = 1;
        settings.DivideBy = stored;
        set_freq(main_panel, PANELMORE_INV_DATA_BUTTON, EVENT_COMMIT, nullptr, 0, 0);
        ASSERT_EQ(expander_pins(2) & 0xFF, 0x00) << stored;
        EXPECT_EQ(send("TRIG:DIV?"), "256") << stored;
        // Also while More Features is open, whose field cannot show the stored value.
        EXPECT_EQ(send("SOUR:POL NORM;:TRIG:DIV?"), "256") << stored;
        quit_panel(more_panel, PANELMORE_CLOSEPANELMORE, EVENT_COMMIT, nullptr, 0, 0);
    }
}

TEST_F(RemoteTest, PolarityIsTheMoreFeaturesButtonWithItsMaskAndAlert) {
    EXPECT_EQ(send("SOUR:POL?"), "NORM");
    EXPECT_EQ(send("SOUR:POL INV;POL?"), "INV");
    EXPECT_EQ(settings.Polarity, 1);
    EXPECT_EQ(expander_pins(3) & 2, 2);
    EXPECT_EQ(board().fpga().error_mask_bits, std::string(256, '1'));
    EXPECT_EQ(attribute(main_panel, PANELMAIN_INVERTED_DATA_ALERT, ATTR_VISIBLE), 1);
    EXPECT_EQ(send("POLARITY NORMAL;POL?"), "NORM");
    EXPECT_EQ(expander_pins(3) & 2, 0);
    EXPECT_EQ(attribute(main_panel, PANELMAIN_INVERTED_DATA_ALERT, ATTR_VISIBLE), 0);
    EXPECT_EQ(send("SOUR:POL POS"), "");
    EXPECT_EQ(error_code(), -224);
}

TEST_F(RemoteTest, ErrorInjectionSwitchMarksThePatternRing) {
    EXPECT_EQ(send("ERR:STAT?"), "0");
    EXPECT_EQ(send("ERR:STAT ON;STAT?"), "1");
    EXPECT_EQ(expander_pins(3) & 2, 2);
    EXPECT_EQ(attribute(main_panel, PANELMAIN_ERROR_ALERT, ATTR_VISIBLE), 1);
    EXPECT_EQ(attribute(main_panel, PANELMAIN_DATA_SELECT, ATTR_TEXT_BGCOLOR), 0xFFCCCC);
    EXPECT_EQ(send("ERR:STAT 0;STAT?"), "0");
    EXPECT_EQ(expander_pins(3) & 2, 0);
    EXPECT_EQ(attribute(main_panel, PANELMAIN_ERROR_ALERT, ATTR_VISIBLE), 0);
}

}  // namespace
