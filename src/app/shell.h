// The program's spine: start-up, the exit paths and the closing of secondary panels.
#pragma once

#include <string>

#include "platform/ui_constants.h"

namespace korvel::app {

inline constexpr const char* PROGRAM_VERSION = "V 1.4.0";

// "PRBS Generator", 39 blanks, "MORLIDEX", 17 blanks: 78 characters.
std::string main_window_title();
// The build's date and time joined by one blank, in the compiler's forms
// ("Oct 13 2026 11:39:22"); the tooltip of the main panel's version text.
std::string build_stamp();

// Start-up: run-time library, every callback bound to its resource name, main panel (title,
// version, build stamp) shown, one supervision tick, the settings restored, then the event loop
// until an exit path ends it.
// Returns 0 after the loop, -1 when the run-time library or the main panel cannot be brought up.
int korvel_main(int argc, char** argv);

// Sends the drivers' service printing (dumps, sweep values) to the standard input/output window
// instead of the process's standard output; start-up does this.
void route_service_output_to_stdio_window();

// The exit paths. QuitAll ("Exit" button, commit only) and file_exit (File > Exit) save the
// settings; file_quit (File > Quit Without Saving setup.cfg) does not. All then suspend the
// timers, close the USB link and leave the event loop.
int CVICALLBACK QuitAll(int panel, int control, int event, void* callbackData, int eventData1,
                        int eventData2);
void CVICALLBACK file_exit(int menuBar, int menuItem, void* callbackData, int panel);
void CVICALLBACK file_quit(int menuBar, int menuItem, void* callbackData, int panel);

// The CLOSE button of every secondary panel (commit only): clears the panel's open flag, for
// More Features sends the error-injection switch once more and clears the main panel's marks of
// it, then discards the panel.
int CVICALLBACK quit_panel(int panel, int control, int event, void* callbackData, int eventData1,
                           int eventData2);

}  // namespace korvel::app
