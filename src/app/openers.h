// The callbacks that open the secondary windows, each keeping its window to one copy.
#pragma once

#include "platform/ui_constants.h"

namespace korvel::app {

// DEBUG on the main panel (also its shortcut key F9): opens "Debug" and reads its scramble ring.
int CVICALLBACK Debug(int panel, int control, int event, void* callbackData, int eventData1,
                      int eventData2);
// The "Features" menu: opens "More Features" and shows the stored settings in it.
void CVICALLBACK MoreFeatures(int menuBar, int menuItem, void* callbackData, int panel);
// The "Help" menu: opens "Help" showing the program version.
void CVICALLBACK Help(int menuBar, int menuItem, void* callbackData, int panel);
// "Err Inj Load" on More Features: opens "Error Injection Setup", only while the unit is attached.
int CVICALLBACK LoadErrInjPanel(int panel, int control, int event, void* callbackData,
                                int eventData1, int eventData2);

}  // namespace korvel::app
