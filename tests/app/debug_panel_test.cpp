// The Debug panel's diagnostics, amplitude range, scramble ring and pin polling on the simulated
// unit.
#include <algorithm>

#include "app/analog_controls.h"
#include "debug_panel_fixture.h"
#include "platform/host_services.h"

using namespace korvel::app;
namespace platform = korvel::platform;

namespace {

int stored_writes_on_channel_7(const std::vector<std::vector<int>>& all) {
    return static_cast<int>(std::count_if(all.begin(), all.end(), [](const auto& t) {
        return t.size() == 4 && t[0] == 0xC2 && t[1] == 0x5E;
    }));
}

// A headless host on which the operator leaves the program while the windows are being redrawn.
class LeavingHost : public platform::HeadlessHost {
  public:
    void process_draw_events() override {
        if (++draw_requests == 3) QuitUserInterface(0);
    }
};

}  // namespace

TEST_F(DebugPanelTest, DiagGoDumpsTheDacsThenTheExpandersToTheStandardOutputWindow) {
    platform::operate_ctrl(debug, PANELDEBUG_DIAG_GO);
    EXPECT_EQ(host().stdio_output, "");
    EXPECT_TRUE(writes().empty());

    SetCtrlVal(debug, PANELDEBUG_CHECKBOX_IO_Dump, 1);
    SetCtrlVal(debug, PANELDEBUG_CHECKBOX_DAC_Dump, 1);
    platform::operate_ctrl(debug, PANELDEBUG_DIAG_GO);
    const std::string& out = host().stdio_output;
    EXPECT_EQ(out.rfind("DAC R: 0-", 0), 0u);
    const auto blank_line = out.find("\n\n");
    ASSERT_NE(blank_line, std::string::npos);
    EXPECT_EQ(out.find("4520 RAM byte, chip@A4: addr FA: 55\n"), blank_line + 2);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 17 + 21);
    EXPECT_EQ(GetActiveCtrl(debug), PANELDEBUG_CAL_RESULTS);
}

TEST_F(DebugPanelTest, TheSweepStoresThirtyFourThousandValuesOnChannel7AndRedrawsAfterEachRamp) {
    SetCtrlVal(debug, PANELDEBUG_CHECKBOX_DAC_Sweep, 1);
    platform::operate_ctrl(debug, PANELDEBUG_DIAG_GO);
    // 34 stored writes per ramp, each followed by its 50 ms and then 1 ms: about 29 minutes.
    EXPECT_EQ(clock().pause_count(), 2u * 34u * kDebugSweepRamps);
    EXPECT_NEAR(clock().paused_total(), 34 * kDebugSweepRamps * 0.051, 1e-6);
    EXPECT_EQ(host().draw_requests, kDebugSweepRamps);
    // The unit keeps the last ramp's top value; the bus ends on that ramp, all on channel 7.
    EXPECT_EQ(board().dac(1).channels[3].eeprom_code, 4095);
    const auto all = writes();
    ASSERT_GE(all.size(), 34u);
    const std::vector<std::vector<int>> last_ramp(all.end() - 34, all.end());
    EXPECT_EQ(stored_writes_on_channel_7(last_ramp), 34);
    EXPECT_EQ(last_ramp.front(), (std::vector<int>{0xC2, 0x5E, 0x10, 0x00}));
    EXPECT_EQ(last_ramp.back(), (std::vector<int>{0xC2, 0x5E, 0x1F, 0xFF}));
    EXPECT_EQ(host().stdio_output, "");
}

TEST_F(DebugPanelTest, TheSweepStopsWhenTheProgramIsLeft) {
    LeavingHost leaving;
    platform::set_host(&leaving);
    SetCtrlVal(debug, PANELDEBUG_CHECKBOX_DAC_Sweep, 1);
    platform::operate_ctrl(debug, PANELDEBUG_DIAG_GO);
    platform::set_host(nullptr);
    EXPECT_EQ(stored_writes_on_channel_7(writes()), 3 * 34);
}

TEST_F(DebugPanelTest, ExpAmpWidensTheAmplitudeSlideAndNarrowingItBringsTheUnitBack) {
    double max = 0.0;
    platform::operate_ctrl(debug, PANELDEBUG_EXPANDED_AMPLITUDE, 1, EVENT_COMMIT);
    GetCtrlAttribute(main_panel, PANELMAIN_MUX_AMP, ATTR_MAX_VALUE, &max);
    EXPECT_EQ(max, 1125.0);
    EXPECT_EQ(GetActiveCtrl(debug), PANELDEBUG_CAL_RESULTS);

    platform::operate_ctrl(main_panel, PANELMAIN_MUX_AMP, 1000.0, EVENT_VAL_CHANGED);
    ASSERT_EQ(board().dac(0).channels[3].code,
              static_cast<int>(static_cast<float>(amplitude_volts_from_mv(1000.0)) / 3.3 * 4096));
    platform::operate_ctrl(debug, PANELDEBUG_EXPANDED_AMPLITUDE, 0, EVENT_COMMIT);
    GetCtrlAttribute(main_panel, PANELMAIN_MUX_AMP, ATTR_MAX_VALUE, &max);
    EXPECT_EQ(max, 600.0);
    // The slide was clamped to 600 mV; the unit and the settings follow it.
    float shown = 0.0f;
    GetCtrlVal(main_panel, PANELMAIN_MUX_AMP, &shown);
    EXPECT_EQ(shown, 600.0f);
    EXPECT_FLOAT_EQ(settings.DataAmplitudeControl, 2.6f);
    EXPECT_EQ(board().dac(0).channels[3].code, 3227);

    // Within the range nothing is sent.
    forget_history();
    platform::operate_ctrl(debug, PANELDEBUG_EXPANDED_AMPLITUDE, 1, EVENT_COMMIT);
    platform::operate_ctrl(debug, PANELDEBUG_EXPANDED_AMPLITUDE, 0, EVENT_COMMIT);
    EXPECT_TRUE(writes().empty());
}

TEST_F(DebugPanelTest, TheScrambleRingSetsTheModeTheHandOperatedSlidesUse) {
    platform::operate_ring_index(debug, PANELDEBUG_SCRAMBLE_MODE, 0, EVENT_COMMIT);
    EXPECT_EQ(scramble_mode, 0);
    EXPECT_EQ(GetActiveCtrl(debug), PANELDEBUG_CAL_RESULTS);
    platform::operate_ring_index(debug, PANELDEBUG_RINGSLIDE_GP_APH, 1, EVENT_COMMIT);
    EXPECT_EQ(board().expander(7).pins() & 0xC0, 1 << 6);
    platform::operate_ring_index(debug, PANELDEBUG_SCRAMBLE_MODE, 2, EVENT_COMMIT);
    platform::operate_ring_index(debug, PANELDEBUG_RINGSLIDE_GP_APH, 1, EVENT_COMMIT);
    // By hand only the swap applies, never the linear mode's XOR.
    EXPECT_EQ(board().expander(7).pins() & 0xC0, 2 << 6);
}

TEST_F(DebugPanelTest, OnlyCommitsAndKeysInCalResultsDoAnything) {
    SetCtrlVal(debug, PANELDEBUG_CHECKBOX_DAC_Dump, 1);
    SetActiveCtrl(debug, PANELDEBUG_SCRAMBLE_MODE);
    EXPECT_EQ(CB_Debug(debug, PANELDEBUG_DIAG_GO, EVENT_VAL_CHANGED, nullptr, 0, 0), 0);
    EXPECT_EQ(CB_Debug(debug, PANELDEBUG_DIAG_GO, EVENT_KEYPRESS, nullptr, 'x', 0), 0);
    EXPECT_EQ(CB_Debug(debug, PANELDEBUG_CAL_RESULTS, EVENT_VAL_CHANGED, nullptr, 'x', 0), 0);
    EXPECT_EQ(host().stdio_output, "");
    EXPECT_EQ(cursor(), 0);
    EXPECT_EQ(GetActiveCtrl(debug), PANELDEBUG_SCRAMBLE_MODE);
    // A commit of the field itself only brings the focus back to it.
    EXPECT_EQ(CB_Debug(debug, PANELDEBUG_CAL_RESULTS, EVENT_COMMIT, nullptr, 0, 0), 0);
    EXPECT_EQ(GetActiveCtrl(debug), PANELDEBUG_CAL_RESULTS);
    EXPECT_TRUE(writes().empty());
}

TEST_F(DebugPanelTest, PollingShowsTheRawPinsEverySecondWithoutSendingAnything) {
    korvel::DS4520_IOX_wr_multibit(7, 0xFF, 0x9B);
    korvel::DS4520_IO_write(7, 8, 1);
    korvel::DS4520_IO_write(2, 8, 1);
    forget_history();
    platform::run_timers_for(1.0);
    EXPECT_EQ(value(PANELDEBUG_GP_0), 0);  // "Poll Values" is off

    SetCtrlVal(debug, PANELDEBUG_CHECKBOX_GP_IO, 1);
    board().clear_bus_log();
    platform::run_timers_for(1.0);
    EXPECT_EQ(value(PANELDEBUG_GP_0), 1);
    EXPECT_EQ(value(PANELDEBUG_GP_1), 1);
    EXPECT_EQ(value(PANELDEBUG_GP_2), 0);
    EXPECT_EQ(value(PANELDEBUG_GP_3), 1);
    // 0x9B: IO4-IO5 = 1, IO6-IO7 = 2, shown as wired.
    EXPECT_EQ(value(PANELDEBUG_RINGSLIDE_GP_MPH), 1);
    EXPECT_EQ(value(PANELDEBUG_RINGSLIDE_GP_APH), 2);
    EXPECT_EQ(value(PANELDEBUG_GP_8), 1);
    EXPECT_EQ(value(PANELDEBUG_GP_9), 1);
    // Only reads: no register of any expander was written.
    for (const auto& t : writes()) EXPECT_LE(t.size(), 2u);
}
