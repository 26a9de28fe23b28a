// The Duty Cycle and Data Amplitude slides, and the per-GHz duty-cycle table.
#include <cmath>

#include "app/analog_controls.h"
#include "unit_story.h"

using namespace korvel::app;
using korvel::testing::dac_code;
using korvel::testing::unit_story;
namespace platform = korvel::platform;

namespace {

class AnalogControls : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        load_main();
        ASSERT_EQ(korvel::init_usb(), 1);
        board().clear_bus_log();
    }
    static void slide(int control, double value) {
        platform::operate_ctrl(main_panel, control, value, EVENT_VAL_CHANGED);
    }
    static double test_dac() {
        double v = -1;
        GetCtrlVal(debug_panel, PANELDEBUG_TEST_DAC, &v);
        return v;
    }
};

}  // namespace

TEST(LevelMappings, SlideUnitsToVoltsAndBack) {
    EXPECT_DOUBLE_EQ(duty_volts_from_percent(50.0), 2.8);
    EXPECT_NEAR(duty_volts_from_percent(44.0), 2.3, 1e-12);
    EXPECT_NEAR(duty_volts_from_percent(56.0), 3.3, 1e-12);
    EXPECT_NEAR(amplitude_volts_from_mv(450.0), 2.4, 1e-12);
    EXPECT_DOUBLE_EQ(amplitude_volts_from_mv(0.0), 1.8);
    EXPECT_NEAR(amplitude_volts_from_mv(600.0), 2.6, 1e-12);
    for (double percent : {44.0, 47.5, 50.0, 55.99})
        EXPECT_NEAR(duty_percent_from_volts(duty_volts_from_percent(percent)), percent, 1e-9);
    for (double mv : {0.0, 123.4, 450.0128, 600.0})
        EXPECT_NEAR(amplitude_mv_from_volts(amplitude_volts_from_mv(mv)), mv, 1e-9);
}

TEST(DutyFrequencyTable, InterpolatesBetweenWholeGigahertz) {
    EXPECT_NEAR(duty_volts_at(0), 2.959, 1e-6);
    EXPECT_NEAR(duty_volts_at(12500), 2.571, 1e-6);
    EXPECT_NEAR(duty_volts_at(13500), 2.3355, 1e-6);
    EXPECT_NEAR(duty_volts_at(26000), 2.839, 1e-6);
    EXPECT_NEAR(duty_volts_at(26999), 2.839, 1e-6);  // beyond the scan range: 26 GHz
    EXPECT_NEAR(duty_volts_at(-5), 2.959, 1e-6);
}

TEST_F(AnalogControls, SlidesWriteTheirChannelsAndTheSettingsSet) {
    const struct {
        int control;
        double value;
        int channel, code;
    } cases[] = {
        {PANELMAIN_DUTY_CYCLE, 50.0, 2, 3475}, {PANELMAIN_DUTY_CYCLE, 56.0, 2, 4095},
        {PANELMAIN_DUTY_CYCLE, 44.0, 2, 2854}, {PANELMAIN_MUX_AMP, 450.0, 3, 2978},
        {PANELMAIN_MUX_AMP, 0.0, 3, 2234},     {PANELMAIN_MUX_AMP, 600.0, 3, 3227},
    };
    for (const auto& c : cases) {
        board().clear_bus_log();
        dac_store_countdown = 3;
        settings_changed = 2;
        slide(c.control, c.value);
        EXPECT_EQ(unit_story(), std::vector<std::string>{"DAC" + std::to_string(c.channel) + "=" +
                                                         std::to_string(c.code)})
            << c.value;
        EXPECT_EQ(dac_store_countdown, 10);
        EXPECT_EQ(settings_changed, 3);
    }
    EXPECT_FLOAT_EQ(settings.DutyCycleControl, 2.3f);
    EXPECT_FLOAT_EQ(settings.DataAmplitudeControl, 2.6f);

    // Only a value change moves the level: the commit at the end of a drag sends nothing.
    board().clear_bus_log();
    platform::operate_ctrl(main_panel, PANELMAIN_MUX_AMP, 100.0, EVENT_COMMIT);
    EXPECT_TRUE(board().bus_log().empty());
}

TEST_F(AnalogControls, TheWheelPagesTheSlideByOneAndAppliesIt) {
    platform::scroll_wheel(main_panel, PANELMAIN_DUTY_CYCLE, MOUSE_WHEEL_PAGE_UP);
    float duty = 0;
    GetCtrlVal(main_panel, PANELMAIN_DUTY_CYCLE, &duty);
    EXPECT_FLOAT_EQ(duty, 51.0f);
    EXPECT_NEAR(settings.DutyCycleControl, 2.8833, 1e-4);
    EXPECT_EQ(dac_code(2), 3578);

    // At the end of the range the slide stays put and its value is applied all the same; a
    // plain wheel step moves nothing and applies the value.
    SetCtrlVal(main_panel, PANELMAIN_MUX_AMP, 599.5);
    platform::scroll_wheel(main_panel, PANELMAIN_MUX_AMP, MOUSE_WHEEL_PAGE_UP);
    EXPECT_EQ(dac_code(3), 3227);
    platform::scroll_wheel(main_panel, PANELMAIN_MUX_AMP, MOUSE_WHEEL_PAGE_DOWN);
    float amplitude = 0;
    GetCtrlVal(main_panel, PANELMAIN_MUX_AMP, &amplitude);
    EXPECT_FLOAT_EQ(amplitude, 599.0f);
    board().clear_bus_log();
    platform::scroll_wheel(main_panel, PANELMAIN_MUX_AMP, MOUSE_WHEEL_SCROLL_UP);
    GetCtrlVal(main_panel, PANELMAIN_MUX_AMP, &amplitude);
    EXPECT_FLOAT_EQ(amplitude, 599.0f);
    EXPECT_EQ(unit_story().size(), 1u);
}

TEST_F(AnalogControls, TheDebugPanelShowsTheDutyCycleVoltsOnlyWhileOpen) {
    slide(PANELMAIN_DUTY_CYCLE, 53.0);  // Debug closed: nothing to show, nothing fails
    platform::operate_ctrl(main_panel, PANELMAIN_DEBUG);
    slide(PANELMAIN_DUTY_CYCLE, 56.0);
    EXPECT_NEAR(test_dac(), 3.3, 1e-6);
}

TEST_F(AnalogControls, UpdateDutyUsesTheTableOnlyWhenAskedAndLeavesTheSlideAlone) {
    updateDuty();  // Debug closed
    EXPECT_TRUE(board().bus_log().empty());
    platform::operate_ctrl(main_panel, PANELMAIN_DEBUG);
    SetCtrlVal(debug_panel, PANELDEBUG_FREQUENCY_SCANNED, 12500);
    updateDuty();  // "Use Freq Table" off
    EXPECT_TRUE(board().bus_log().empty());

    SetCtrlVal(debug_panel, PANELDEBUG_USE_FREQ, 1);
    settings.DutyCycleControl = 2.8f;
    dac_store_countdown = 0;
    updateDuty();
    EXPECT_EQ(dac_code(2), 3191);  // 2.571 V
    EXPECT_NEAR(test_dac(), 2.571, 1e-6);
    EXPECT_FLOAT_EQ(settings.DutyCycleControl, 2.8f);
    EXPECT_EQ(dac_store_countdown, 0);
}
