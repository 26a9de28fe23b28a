// Control attributes: colours, dimming, visibility, tooltip, limits and increment.
#include "ui_fixture.h"

namespace korvel::platform::testing {
namespace {

using AttributeTest = UiTest;

TEST_F(AttributeTest, ColoursDimmingVisibilityAndTooltipRoundTrip) {
    const int main = load(PANELMAIN);
    int colour = -1;
    GetCtrlAttribute(main, PANELMAIN_NOTIFY_USER, ATTR_TEXT_COLOR, &colour);
    EXPECT_EQ(colour, VAL_BLACK);
    SetCtrlAttribute(main, PANELMAIN_NOTIFY_USER, ATTR_TEXT_COLOR, VAL_DK_RED);
    GetCtrlAttribute(main, PANELMAIN_NOTIFY_USER, ATTR_TEXT_COLOR, &colour);
    EXPECT_EQ(colour, 0x800000);
    SetCtrlAttribute(main, PANELMAIN_DATA_SELECT, ATTR_TEXT_BGCOLOR, 0xFFFF00);
    GetCtrlAttribute(main, PANELMAIN_DATA_SELECT, ATTR_TEXT_BGCOLOR, &colour);
    EXPECT_EQ(colour, 0xFFFF00);

    int flag = -1;
    SetCtrlAttribute(main, PANELMAIN_SETUP_LOADED, ATTR_DIMMED, 1);
    GetCtrlAttribute(main, PANELMAIN_SETUP_LOADED, ATTR_DIMMED, &flag);
    EXPECT_EQ(flag, 1);
    GetCtrlAttribute(main, PANELMAIN_ERROR_ALERT, ATTR_VISIBLE, &flag);
    EXPECT_EQ(flag, 0);  // hidden until error injection is switched on
    SetCtrlAttribute(main, PANELMAIN_ERROR_ALERT, ATTR_VISIBLE, 1);
    GetCtrlAttribute(main, PANELMAIN_ERROR_ALERT, ATTR_VISIBLE, &flag);
    EXPECT_EQ(flag, 1);

    char tip[64] = "";
    GetCtrlAttribute(main, PANELMAIN_VER, ATTR_TOOLTIP_TEXT, tip);
    EXPECT_STREQ(tip, "Version ofThis Control Software");
    SetCtrlAttribute(main, PANELMAIN_VER, ATTR_TOOLTIP_TEXT, "Oct 13 2026 11:39:22");
    std::string stamp;
    GetCtrlAttribute(main, PANELMAIN_VER, ATTR_TOOLTIP_TEXT, &stamp);
    EXPECT_EQ(stamp, "Oct 13 2026 11:39:22");
}

TEST_F(AttributeTest, ChangingTheMaximumMovesTheRangeAndPullsTheValueIn) {
    const int main = load(PANELMAIN);
    double max = 0;
    GetCtrlAttribute(main, PANELMAIN_MUX_AMP, ATTR_MAX_VALUE, &max);
    EXPECT_EQ(max, 600.0);
    SetCtrlAttribute(main, PANELMAIN_MUX_AMP, ATTR_MAX_VALUE, 1125.0);
    SetCtrlVal(main, PANELMAIN_MUX_AMP, 1000.0);
    float amp = 0;
    GetCtrlVal(main, PANELMAIN_MUX_AMP, &amp);
    EXPECT_EQ(amp, 1000.0f);
    SetCtrlAttribute(main, PANELMAIN_MUX_AMP, ATTR_MAX_VALUE, 600.0);
    GetCtrlVal(main, PANELMAIN_MUX_AMP, &amp);
    EXPECT_EQ(amp, 600.0f);
    // A maximum below the minimum is refused.
    EXPECT_EQ(SetCtrlAttribute(main, PANELMAIN_MUX_AMP, ATTR_MAX_VALUE, -1.0), UIEBadArgument);
    GetCtrlAttribute(main, PANELMAIN_MUX_AMP, ATTR_MAX_VALUE, &max);
    EXPECT_EQ(max, 600.0);
}

TEST_F(AttributeTest, IncrementFollowsTheControlsType) {
    const int debug = load(PANELDEBUG);
    int incr = 0;
    GetCtrlAttribute(debug, PANELDEBUG_FREQUENCY_SCANNED, ATTR_INCR_VALUE, &incr);
    EXPECT_EQ(incr, 100);
    SetCtrlAttribute(debug, PANELDEBUG_FREQUENCY_SCANNED, ATTR_INCR_VALUE, 250);
    GetCtrlAttribute(debug, PANELDEBUG_FREQUENCY_SCANNED, ATTR_INCR_VALUE, &incr);
    EXPECT_EQ(incr, 250);
    EXPECT_EQ(SetCtrlAttribute(debug, PANELDEBUG_FREQUENCY_SCANNED, ATTR_INCR_VALUE, -1),
              UIEBadArgument);
}

TEST_F(AttributeTest, AttributesAreCheckedAgainstTheControlKind) {
    const int main = load(PANELMAIN);
    double v = 7;
    EXPECT_EQ(GetCtrlAttribute(main, PANELMAIN_NOTIFY_USER, ATTR_MAX_VALUE, &v),
              UIEInvalidAttribute);
    EXPECT_EQ(SetCtrlAttribute(main, PANELMAIN_CMDQUIT, ATTR_INCR_VALUE, 1.0), UIEInvalidAttribute);
    EXPECT_EQ(SetCtrlAttribute(main, PANELMAIN_VER, ATTR_TOOLTIP_TEXT, 3), UIETypeMismatch);
    EXPECT_EQ(SetCtrlAttribute(main, PANELMAIN_VER, ATTR_TEXT_COLOR, "red"), UIETypeMismatch);
    EXPECT_EQ(SetCtrlAttribute(main, PANELMAIN_VER, 4242, 1), UIEInvalidAttribute);
    EXPECT_EQ(v, 7);
}

}  // namespace
}  // namespace korvel::platform::testing
