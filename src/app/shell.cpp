#include "app/shell.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "app/callback_table.h"
#include "app/settings_files.h"
#include "app/state.h"
#include "app/supervision.h"
#include "app/unit_controls.h"
#include "link/usb_link.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"
#include "service_output/service_output.h"

namespace korvel::app {
namespace {

constexpr const char* kResource = "main.uir";

// Saves the settings for an exit that saves. When that fails, the operator chooses: exit without
// them, or stay (and free the disk, or fix the folder, then exit again). True to go on leaving.
bool saved_or_leaving_anyway() {
    errno = 0;
    if (SaveSettings(kSettingsFile) == 1) return true;
    const int reason = errno;
    const std::string message = std::string("Unable to save ") + kSettingsFile + ": " +
                                (reason != 0 ? std::strerror(reason) : "unknown error") +
                                "\n\nExit without saving the setup, or stay?";
    return ChoicePopup("Exit", message.c_str(), "Exit anyway", "Stay") == 1;
}

// Saving (when asked), then the three steps every exit path shares. Timers are stopped before
// the handle is closed, so no tick can touch the unit during shutdown.
void leave_program(bool save) {
    if (save && !saved_or_leaving_anyway()) return;
    SuspendTimerCallbacks();
    korvel::close();
    QuitUserInterface(0);
}

}  // namespace

std::string main_window_title() {
    return "PRBS Generator" + std::string(39, ' ') + "MORLIDEX" + std::string(17, ' ');
}

std::string build_stamp() {
    return std::string(__DATE__) + " " + __TIME__;
}

void route_service_output_to_stdio_window() {
    set_service_output([](std::string_view text) { StdioPuts(text); });
}

int korvel_main(int /*argc*/, char** argv) {
    if (InitCVIRTE(nullptr, argv, nullptr) == 0) return -1;
    route_service_output_to_stdio_window();
    register_callbacks();
    main_panel = LoadPanel(0, kResource, PANELMAIN);
    if (main_panel < 0) return -1;
    SetPanelAttribute(main_panel, ATTR_TITLE, main_window_title().c_str());
    SetCtrlVal(main_panel, PANELMAIN_VER, PROGRAM_VERSION);
    SetCtrlAttribute(main_panel, PANELMAIN_VER, ATTR_TOOLTIP_TEXT, build_stamp().c_str());
    DisplayPanel(main_panel);
    // The first attempt to reach the unit comes before the restore, so that a unit attached at
    // start-up is already open when the stored setup is sent.
    CBTimer(main_panel, PANELMAIN_TIMER, EVENT_TIMER_TICK, nullptr, 0, 0);
    if (RestoreSettings(kSettingsFile) < 0)
        MessagePopup("Restore Error", "Unable to find Restore File");
    RunUserInterface();
    // Panels are not discarded here, and the USB handle is closed only by the exit paths.
    return 0;
}

int CVICALLBACK QuitAll(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
                        int /*eventData1*/, int /*eventData2*/) {
    if (event == EVENT_COMMIT) leave_program(true);
    return 0;
}

void CVICALLBACK file_exit(int /*menuBar*/, int /*menuItem*/, void* /*callbackData*/,
                           int /*panel*/) {
    leave_program(true);
}

void CVICALLBACK file_quit(int /*menuBar*/, int /*menuItem*/, void* /*callbackData*/,
                           int /*panel*/) {
    leave_program(false);
}

int CVICALLBACK quit_panel(int panel, int /*control*/, int event, void* /*callbackData*/,
                           int /*eventData1*/, int /*eventData2*/) {
    if (event != EVENT_COMMIT) return 0;
    if (panel == debug_panel) debug_panel_open = 0;
    if (panel == data_panel) data_panel_open = 0;
    if (panel == err_panel) err_panel_open = 0;
    if (panel == more_panel) {
        // Sent while the flag is still set, so the switch's present state reaches the unit.
        general_purpose_IO(more_panel, PANELMORE_ERROR_INJ_ON_BUTTON, EVENT_COMMIT, nullptr, 0, 0);
        SetCtrlAttribute(main_panel, PANELMAIN_DATA_SELECT, ATTR_TEXT_BGCOLOR, VAL_WHITE);
        SetCtrlAttribute(main_panel, PANELMAIN_ERROR_ALERT, ATTR_VISIBLE, 0);
        more_panel_open = 0;
    }
    if (panel == help_panel) help_panel_open = 0;
    DiscardPanel(panel);
    return 0;
}

}  // namespace korvel::app
