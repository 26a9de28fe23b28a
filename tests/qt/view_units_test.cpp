// The view's pure rules: when a display is there, key translation, number formats and slider
// positions.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/qt/display_check.h"
#include "platform/qt/key_codes_qt.h"
#include "platform/qt/number_format.h"
#include "resource/key_codes.h"
#include "resource/main_uir.h"

using namespace korvel::qtview;

namespace {

EnvLookup env(std::map<std::string, std::string> vars) {
    return [vars](const char* name) -> std::optional<std::string> {
        auto it = vars.find(name);
        if (it == vars.end()) return std::nullopt;
        return it->second;
    };
}

const korvel::resource::ControlDef& def(int panel, int control) {
    return *korvel::resource::find_control(panel, control);
}

}  // namespace

TEST(DisplayCheck, NeedsADisplayOrAnExplicitPlatform) {
    EXPECT_FALSE(display_available(env({})));
    EXPECT_FALSE(display_available(env({{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}})));
    EXPECT_TRUE(display_available(env({{"DISPLAY", ":0"}})));
    EXPECT_TRUE(display_available(env({{"WAYLAND_DISPLAY", "wayland-0"}})));
    EXPECT_TRUE(display_available(env({{"QT_QPA_PLATFORM", "offscreen"}})));
    const std::string msg = no_display_message("korvel");
    EXPECT_NE(msg.find("no display"), std::string::npos);
    EXPECT_NE(msg.find("xvfb-run"), std::string::npos);
}

TEST(KeyCodes, ToolkitKeysBecomePlatformCodes) {
    EXPECT_EQ(platform_key_code(Qt::Key_F9, Qt::NoModifier, 0), VAL_F9_VKEY);
    EXPECT_EQ(platform_key_code(Qt::Key_F12, Qt::NoModifier, 0), VAL_F12_VKEY);
    EXPECT_EQ(platform_key_code(Qt::Key_Return, Qt::NoModifier, '\r'), VAL_ENTER_VKEY);
    EXPECT_EQ(platform_key_code(Qt::Key_Tab, Qt::ShiftModifier, 0),
              VAL_TAB_VKEY | VAL_SHIFT_MODIFIER);
    EXPECT_EQ(platform_key_code(Qt::Key_A, Qt::ShiftModifier, 'A'), 'A');
    EXPECT_EQ(platform_key_code(Qt::Key_A, Qt::NoModifier, 'a'), 'a');
    EXPECT_EQ(platform_key_code(Qt::Key_C, Qt::ControlModifier, 0x03), 'c' | VAL_MENUKEY_MODIFIER);
    EXPECT_EQ(platform_key_code(Qt::Key_Shift, Qt::ShiftModifier, 0), 0);
}

TEST(KeyCodes, TheCalibrationMarkKeysComeFromTheNavigationBlockAndTheKeypad) {
    // Insert and the Up arrow carry the codes the calibration entry takes as "x" and ".", on the
    // keypad too (0 and 8 with NumLock off); with NumLock on the keypad types "/" and ".".
    EXPECT_EQ(platform_key_code(Qt::Key_Insert, Qt::NoModifier, 0), 0x0500);
    EXPECT_EQ(platform_key_code(Qt::Key_Up, Qt::NoModifier, 0), 0x0900);
    EXPECT_EQ(platform_key_code(Qt::Key_Insert, Qt::KeypadModifier, 0), 0x0500);
    EXPECT_EQ(platform_key_code(Qt::Key_Up, Qt::KeypadModifier, 0), 0x0900);
    EXPECT_EQ(platform_key_code(Qt::Key_Slash, Qt::KeypadModifier, '/'), '/');
    EXPECT_EQ(platform_key_code(Qt::Key_Period, Qt::KeypadModifier, '.'), '.');
}

TEST(NumberFormat, DecimalsFollowTheControl) {
    EXPECT_EQ(decimals_for(def(PANELMAIN, PANELMAIN_DUTY_CYCLE)), 2);
    EXPECT_EQ(decimals_for(def(PANELMAIN, PANELMAIN_MUX_AMP)), 4);  // every decimal of 0.0128
    EXPECT_EQ(decimals_for(def(PANELMORE, PANELMORE_DIVIDE_RATIO_CONTROL)), 0);
    EXPECT_EQ(decimals_for(def(PANELCAL, PANELCAL_SLAVESTEP)), 3);  // its minimum is 0.001
    EXPECT_EQ(format_number(def(PANELERR, PANELERR_ERROR_RATE), 1.5e-9), "1.500e-09");
    double lo = 0, hi = 0;
    value_range(def(PANELERR, PANELERR_PULSE_WIDTH), &lo, &hi);
    EXPECT_EQ(hi, 4294967295.0);
    value_range(def(PANELERR, PANELERR_BITS_PER_ERR), &lo, &hi);  // no limit: the float's range
    EXPECT_GT(hi, 1e38);
    EXPECT_EQ(format_scale(600.0), "600");
}

TEST(NumberFormat, SliderPositionsMapBothWays) {
    const int n = slider_positions(44.0, 56.0, 0.01);
    EXPECT_EQ(n, 1200);
    EXPECT_EQ(slider_position_of(50.0, 44.0, 56.0, n), 600);
    EXPECT_DOUBLE_EQ(slider_value_at(n, 44.0, 56.0, n), 56.0);
    EXPECT_EQ(slider_position_of(99.0, 44.0, 56.0, n), n);  // beyond the end: the end
    EXPECT_EQ(slider_position_of(std::nan(""), 44.0, 56.0, n), 0);
    EXPECT_EQ(slider_positions(0.0, 600.0, 0.0128), 46875);
    EXPECT_EQ(slider_positions(0.0, 1e30, 1.0), 100000);  // capped for an int slider
    EXPECT_EQ(slider_positions(5.0, 5.0, 1.0), 0);
}
