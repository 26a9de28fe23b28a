#include "app/error_panel.h"

#include <limits>

#include "app/error_mask.h"
#include "app/state.h"
#include "app/text_file_choice.h"
#include "fpga/fpga_load.h"
#include "fpga/pattern_files.h"
#include "fpga/pulse_timing.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"

namespace korvel::app {

namespace {

// Shows the rate of the present mask and loads it with the given timing (the FPGA counts from 0,
// so it takes period - 1 and width - 1).
void show_rate_and_load(int panel, PulseTiming timing) {
    const double rate = error_rate(timing.width, errors_per_256, timing.period);
    SetCtrlVal(panel, PANELERR_ERROR_RATE, rate);
    // An empty mask has no errors to count bits between: 1 / 0 is infinite, which the float
    // control shows as the largest value it can hold.
    const double bits_per_error = rate > 0.0 ? 1.0 / rate : std::numeric_limits<double>::infinity();
    SetCtrlVal(panel, PANELERR_BITS_PER_ERR, bits_per_error);
    bit_load_FPGA_ErrInj(0, 0, timing.period - 1, timing.width - 1);
}

// PULSE_PERIOD, PULSE_WIDTH, ERROR_RATE: the panel's timing with the present mask (a rate typed
// in is not used; it is replaced by the computed one).
void apply_panel_timing(int panel) {
    std::uint32_t period = 1, width = 1;
    GetCtrlVal(panel, PANELERR_PULSE_PERIOD, &period);
    GetCtrlVal(panel, PANELERR_PULSE_WIDTH, &width);
    const PulseTiming timing = usable_timing(period, width);
    if (timing.width != width) SetCtrlVal(panel, PANELERR_PULSE_WIDTH, timing.width);
    show_rate_and_load(panel, timing);
}

int load_mask_file(int panel) {
    const MaskFile file = read_chosen_mask_file(pattern_buffer);
    if (file.problem.unopened()) return -1;
    // A file that does not begin with two numbers, or ends before its 256th mask bit, is
    // abandoned: neither the panel nor the unit changes (the rows of a short mask read so far
    // stay in the buffer).
    if (file.outcome != MaskReader::Outcome::Complete) return 0;
    const PulseTiming timing = usable_timing(file.period, file.width);
    SetCtrlVal(panel, PANELERR_PULSE_PERIOD, timing.period);
    SetCtrlVal(panel, PANELERR_PULSE_WIDTH, timing.width);
    errors_per_256 = file.ones;
    SetCtrlVal(panel, PANELERR_ERRS_PER_256, errors_per_256);
    show_rate_and_load(panel, timing);
    return 0;
}

void set_errors(int panel) {
    GetCtrlVal(panel, PANELERR_ERRS_PER_256, &errors_per_256);
    set_error_burst(pattern_buffer, errors_per_256);
    int spread = 0;
    GetCtrlVal(panel, PANELERR_SPREAD_ERRS, &spread);
    if (spread != 0) spread_errors(pattern_buffer);
    apply_panel_timing(panel);
}

}  // namespace

int CVICALLBACK fpga_error_injection(int panel, int control, int event, void* /*callbackData*/,
                                     int /*eventData1*/, int /*eventData2*/) {
    if (event != EVENT_COMMIT) return 0;
    switch (control) {
        case PANELERR_SELECT_ERR_TXT_FILE:
            choose_text_file(panel, PANELERR_TEXTMSG_FILE_PATH,
                             "Select Text File for Error Injection Mask");
            return 0;
        case PANELERR_LOAD_FPGA:
            return load_mask_file(panel);
        case PANELERR_PULSE_PERIOD:
        case PANELERR_PULSE_WIDTH:
        case PANELERR_ERROR_RATE:
            apply_panel_timing(panel);
            return 0;
        case PANELERR_ERRS_PER_256:
            set_errors(panel);
            return 0;
        default:
            return 0;
    }
}

}  // namespace korvel::app
