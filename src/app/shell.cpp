#include "app/shell.h"

#include "app/hooks.h"
#include "app/openers.h"
#include "app/panels.h"
#include "link/usb_link.h"
#include "platform/callback_registry.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"

namespace korvel::app {
namespace {

constexpr const char* kResource = "main.uir";
constexpr const char* kSettingsFile = "settings.cfg";

// Saving (when asked), then the three steps every exit path shares. Timers are stopped before
// the handle is closed, so no tick can touch the unit during shutdown.
void leave_program(bool save) {
    if (save && hooks::save_settings) hooks::save_settings(kSettingsFile);
    SuspendTimerCallbacks();
    korvel::close();
    QuitUserInterface(0);
}

// Calls a control callback of a later module by its resource name, if that module registered it.
void call_registered(const char* name, int panel, int control, int event) {
    if (const auto* fn = korvel::platform::find_callback(name); fn != nullptr && *fn)
        (*fn)(panel, control, event, nullptr, 0, 0);
}

}  // namespace

std::string main_window_title() {
    return "PRBS Generator" + std::string(39, ' ') + "MORLIDEX" + std::string(17, ' ');
}

std::string build_stamp() {
    return std::string(__DATE__) + " " + __TIME__;
}

int korvel_main(int /*argc*/, char** argv) {
    if (InitCVIRTE(nullptr, argv, nullptr) == 0) return -1;
    register_shell_callbacks();
    main_panel = LoadPanel(0, kResource, PANELMAIN);
    if (main_panel < 0) return -1;
    SetPanelAttribute(main_panel, ATTR_TITLE, main_window_title().c_str());
    SetCtrlVal(main_panel, PANELMAIN_VER, PROGRAM_VERSION);
    SetCtrlAttribute(main_panel, PANELMAIN_VER, ATTR_TOOLTIP_TEXT, build_stamp().c_str());
    DisplayPanel(main_panel);
    if (hooks::after_main_panel_shown) hooks::after_main_panel_shown();
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
        call_registered("general_purpose_IO", more_panel, PANELMORE_ERROR_INJ_ON_BUTTON,
                        EVENT_COMMIT);
        SetCtrlAttribute(main_panel, PANELMAIN_DATA_SELECT, ATTR_TEXT_BGCOLOR, VAL_WHITE);
        SetCtrlAttribute(main_panel, PANELMAIN_ERROR_ALERT, ATTR_VISIBLE, 0);
        more_panel_open = 0;
    }
    if (panel == help_panel) help_panel_open = 0;
    DiscardPanel(panel);
    return 0;
}

void register_shell_callbacks() {
    RegisterCallback("QuitAll", QuitAll);
    RegisterMenuCallback("file_exit", file_exit);
    RegisterMenuCallback("file_quit", file_quit);
    RegisterCallback("quit_panel", quit_panel);
    register_openers();
}

}  // namespace korvel::app
