// The main panel's once-a-second supervision: notices the unit being plugged in and out, opens
// it and re-sends the setup from the controls, stores the two levels in the DAC's EEPROM ten
// ticks after their last change, and dims the setup indicator once the setup has changed.
#pragma once

#include "platform/ui_constants.h"

namespace korvel::app {

// Callback of the main panel's TIMER (every 1.0 s); start-up also calls it once directly. Does
// the same whatever event it is given.
int CVICALLBACK CBTimer(int panel, int control, int event, void* callbackData, int eventData1,
                        int eventData2);

// What a reconnect sends, read from the main panel's controls: the two levels (arming the
// deferred store), the trigger mode, the pattern, the FPGA reset and calibration lines low, the
// error-injection switch and clock output 1; it also answers a sending asked by a reopen
// (setup_resend). Remote control's *RST sends the resource defaults this way.
void send_panel_setup();

}  // namespace korvel::app
