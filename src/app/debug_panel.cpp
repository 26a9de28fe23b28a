#include "app/debug_panel.h"

#include <string>

#include "app/analog_controls.h"
#include "app/calibration.h"
#include "app/state.h"
#include "app/unit_controls.h"
#include "ds4520/ds4520.h"
#include "mcp4728/mcp4728.h"
#include "platform/operator_input.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"
#include "unit/unit_map.h"

namespace korvel::app {

namespace {

constexpr int kSweepChannel = 7;
constexpr double kInitPulseSeconds = 0.5;
constexpr double kExpandedAmplitudeMax = 1125.0;
constexpr double kNormalAmplitudeMax = 600.0;
constexpr int kPhaseFieldsMask = unit::kPhaseMphMask | unit::kPhaseAphMask;

int value_of(int panel, int control) {
    int v = 0;
    GetCtrlVal(panel, control, &v);
    return v;
}

// ---- calibration entry -----------------------------------------------------------------------

// "InitStateMachine" high for half a second: the FPGA restarts its state machine at the new
// phase settings before the next pass through the grid.
void pulse_init_state_machine() {
    DS4520_IO_write(unit::kFpgaResetChip, unit::kFpgaResetPin, 1);
    Delay(kInitPulseSeconds);
    DS4520_IO_write(unit::kFpgaResetChip, unit::kFpgaResetPin, 0);
}

void move_cursor(int panel, int position) {
    const int row = position / 4, column = position % 4;
    SetCtrlVal(panel, PANELDEBUG_RINGSLIDE_GP_MPH, row);
    SetCtrlVal(panel, PANELDEBUG_RINGSLIDE_GP_APH, column);
    DS4520_IOX_wr_multibit(unit::kPatternChip, kPhaseFieldsMask,
                           phase_code(scramble_mode, row, column));
}

int cal_keystroke(int panel, int key) {
    const auto accepted = classify_cal_key(key);
    if (!accepted) return 0;
    std::string text;
    GetCtrlVal(panel, PANELDEBUG_CAL_RESULTS, &text);
    merge_field_text(cal_entry_buffer, text);

    const int here = entry_position(value_of(panel, PANELDEBUG_RINGSLIDE_GP_MPH),
                                    value_of(panel, PANELDEBUG_RINGSLIDE_GP_APH));
    cal_entry_buffer[static_cast<std::size_t>(here)] = accepted->mark;
    const int next = step_entry_position(here, accepted->step);
    if (next == 0) pulse_init_state_machine();
    move_cursor(panel, next);
    SetCtrlVal(panel, PANELDEBUG_CAL_RESULTS, cal_field_text(cal_entry_buffer));
    return 1;
}

// "Next": the summary line to the clipboard and the unit's calibration data file, then a fresh
// grid at the next frequency. When the file cannot be written the entry stays, so that "Next"
// can be pressed again (the line is on the clipboard meanwhile).
void evaluate_grid(int panel) {
    const std::string line = cal_summary_line(cal_entry_buffer, scramble_mode,
                                              value_of(panel, PANELDEBUG_FREQUENCY_SCANNED));
    ClipboardPutText(line.c_str());
    if (!append_cal_line(cal_data_file_name(unit_serial_number), line)) return;
    if (value_of(panel, PANELDEBUG_PRINT_CAL_RESULTS)) {
        StdioPrintf("%s\n", line.c_str());
        SetActivePanel(panel);
    }

    SetCtrlVal(panel, PANELDEBUG_CAL_RESULTS, "");
    for (int slide : {PANELDEBUG_RINGSLIDE_GP_MPH, PANELDEBUG_RINGSLIDE_GP_APH}) {
        SetCtrlVal(panel, slide, 0);
        general_purpose_IO(panel, slide, EVENT_COMMIT, nullptr, 0, 0);
    }
    int step = 0;
    GetCtrlAttribute(panel, PANELDEBUG_FREQUENCY_SCANNED, ATTR_INCR_VALUE, &step);
    SetCtrlVal(panel, PANELDEBUG_FREQUENCY_SCANNED,
               value_of(panel, PANELDEBUG_FREQUENCY_SCANNED) + step);
    updateDuty();
    cal_entry_buffer = blank_cal_entry();
}

// ---- diagnostics -----------------------------------------------------------------------------

// 34,000 stored writes of about 51 ms each: close to half an hour inside this callback. The
// windows are redrawn after each ramp (operator input waits), and the sweep stops early when
// the program is leaving.
void dac_sweep_on_debug_channel() {
    for (int ramp = 0; ramp < kDebugSweepRamps; ++ramp) {
        dac_ramp(kSweepChannel, false);
        ProcessDrawEvents();
        if (korvel::platform::quit_requested()) break;
    }
}

void run_diagnostics(int panel) {
    if (value_of(panel, PANELDEBUG_CHECKBOX_DAC_Dump)) mcp4728_dac_dump();
    if (value_of(panel, PANELDEBUG_CHECKBOX_IO_Dump)) DS4520_IO_dump();
    if (value_of(panel, PANELDEBUG_CHECKBOX_DAC_Sweep)) dac_sweep_on_debug_channel();
}

// "Exp Amp" widens the Data Amplitude slide to the DAC's full 3.3 V. Narrowing it again clamps
// the slide, and the unit then follows what the slide shows.
void set_amplitude_range(int panel) {
    float before = 0.0f, after = 0.0f;
    GetCtrlVal(main_panel, PANELMAIN_MUX_AMP, &before);
    SetCtrlAttribute(main_panel, PANELMAIN_MUX_AMP, ATTR_MAX_VALUE,
                     value_of(panel, PANELDEBUG_EXPANDED_AMPLITUDE) ? kExpandedAmplitudeMax
                                                                    : kNormalAmplitudeMax);
    GetCtrlVal(main_panel, PANELMAIN_MUX_AMP, &after);
    if (after != before) CB_DAC(main_panel, PANELMAIN_MUX_AMP, EVENT_VAL_CHANGED, nullptr, 0, 0);
}

}  // namespace

int CVICALLBACK CB_Debug(int panel, int control, int event, void* /*callbackData*/, int eventData1,
                         int /*eventData2*/) {
    if (event == EVENT_KEYPRESS)
        return control == PANELDEBUG_CAL_RESULTS ? cal_keystroke(panel, eventData1) : 0;
    if (event != EVENT_COMMIT) return 0;
    switch (control) {
        case PANELDEBUG_DIAG_GO:
            run_diagnostics(panel);
            break;
        case PANELDEBUG_NEXT_FREQ_BUTTON:
            evaluate_grid(panel);
            break;
        case PANELDEBUG_EXPANDED_AMPLITUDE:
            set_amplitude_range(panel);
            break;
        case PANELDEBUG_FREQUENCY_SCANNED:
            updateDuty();
            break;
        case PANELDEBUG_SET_FREQ_INCR:
            SetCtrlAttribute(panel, PANELDEBUG_FREQUENCY_SCANNED, ATTR_INCR_VALUE,
                             value_of(panel, PANELDEBUG_FREQUENCY_SCANNED));
            break;
        case PANELDEBUG_SCRAMBLE_MODE:
            GetCtrlVal(panel, PANELDEBUG_SCRAMBLE_MODE, &scramble_mode);
            break;
        default:
            break;
    }
    SetActiveCtrl(panel, PANELDEBUG_CAL_RESULTS);
    return 0;
}

int CVICALLBACK CBdebugTimer(int panel, int /*control*/, int event, void* /*callbackData*/,
                             int /*eventData1*/, int /*eventData2*/) {
    if (event != EVENT_TIMER_TICK || value_of(panel, PANELDEBUG_CHECKBOX_GP_IO) != 1) return 0;
    // Raw pin levels: the phase fields are shown as wired, without undoing the scramble swap.
    const int pattern_pins = DS4520_IO_read(unit::kPatternChip);
    SetCtrlVal(panel, PANELDEBUG_GP_0, pattern_pins & 1);
    SetCtrlVal(panel, PANELDEBUG_GP_1, (pattern_pins >> 1) & 1);
    SetCtrlVal(panel, PANELDEBUG_GP_2, (pattern_pins >> 2) & 1);
    SetCtrlVal(panel, PANELDEBUG_GP_3, (pattern_pins >> 3) & 1);
    SetCtrlVal(panel, PANELDEBUG_RINGSLIDE_GP_MPH,
               (pattern_pins & unit::kPhaseMphMask) >> unit::kPhaseMphShift);
    SetCtrlVal(panel, PANELDEBUG_RINGSLIDE_GP_APH,
               (pattern_pins & unit::kPhaseAphMask) >> unit::kPhaseAphShift);
    SetCtrlVal(panel, PANELDEBUG_GP_8, (pattern_pins >> unit::kCalibrationModePin) & 1);
    const int reset_pins = DS4520_IO_read(unit::kFpgaResetChip);
    SetCtrlVal(panel, PANELDEBUG_GP_9, (reset_pins >> unit::kFpgaResetPin) & 1);
    return 0;
}

}  // namespace korvel::app
