// The Error Injection Setup panel: the error mask from a file or as n errors in one burst or
// spread at random, and the pulse period and width with the error rate they give.
#pragma once

#include "platform/ui_constants.h"

namespace korvel::app {

// SELECT_ERR_TXT_FILE chooses the shared text file; LOAD_FPGA reads it as a mask file and loads
// mask, period and width into the unit; PULSE_PERIOD, PULSE_WIDTH and ERROR_RATE reload the
// present mask with the panel's period and width; ERRS_PER_256 sets n errors (spread when
// SPREAD_ERRS is checked) and loads them. Returns -1 when the file cannot be opened (or is not a
// regular file), else 0.
int CVICALLBACK fpga_error_injection(int panel, int control, int event, void* callbackData,
                                     int eventData1, int eventData2);

}  // namespace korvel::app
