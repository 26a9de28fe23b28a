// The "Calibration" window: settings for an automated calibration run that this program does not
// perform. Nothing in the program's windows opens it; the window tour shows it.
#pragma once

#include "platform/ui_constants.h"

namespace korvel::app {

// Loads and shows another copy of the window on every call (no open flag); cal_panel keeps the
// latest handle.
void calibrate();

// "Start Calibration": does nothing.
int CVICALLBACK start_calibration(int panel, int control, int event, void* callbackData,
                                  int eventData1, int eventData2);

}  // namespace korvel::app
