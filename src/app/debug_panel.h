// The Debug panel's own callbacks: the calibration entry in "Cal Results" and its evaluation
// ("Next", F12), the diagnostics ("Diag Go"), the amplitude range, the calibration frequency and
// the scramble ring; and the once-a-second polling of the raw expander pins. The panel's pin
// toggles and phase ring slides are general_purpose_IO's (unit_controls.h).
#pragma once

#include "platform/ui_constants.h"

namespace korvel::app {

// Keypresses in CAL_RESULTS: returns 1 when the key was taken as a mark, 0 to leave it to the
// field. Commits of the panel's buttons, check boxes, "f" and the scramble ring: act, then give
// the focus back to CAL_RESULTS; returns 0.
int CVICALLBACK CB_Debug(int panel, int control, int event, void* callbackData, int eventData1,
                         int eventData2);

// DEBUG_TIMER (1 s): while "Poll Values" is ticked, shows the pins of expanders 7 and 2 on the
// panel's controls (values only, no callback runs).
int CVICALLBACK CBdebugTimer(int panel, int control, int event, void* callbackData, int eventData1,
                             int eventData2);

// Number of ramps of the DAC sweep that "Diag Go" runs on logical channel 7.
inline constexpr int kDebugSweepRamps = 1000;

}  // namespace korvel::app
