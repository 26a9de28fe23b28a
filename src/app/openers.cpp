#include "app/openers.h"

#include "app/shell.h"
#include "app/state.h"
#include "app/unit_controls.h"
#include "link/usb_link.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"

namespace korvel::app {
namespace {

constexpr const char* kResource = "main.uir";

}  // namespace

// The openers do not check the load: the flag is set all the same, as the resource always holds
// these panels.

int CVICALLBACK Debug(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
                      int /*eventData1*/, int /*eventData2*/) {
    if (event != EVENT_COMMIT || debug_panel_open) return 0;
    debug_panel = LoadPanel(0, kResource, PANELDEBUG);
    DisplayPanel(debug_panel);
    GetCtrlVal(debug_panel, PANELDEBUG_SCRAMBLE_MODE, &scramble_mode);
    debug_panel_open = 1;
    return 0;
}

void CVICALLBACK MoreFeatures(int /*menuBar*/, int /*menuItem*/, void* /*callbackData*/,
                              int /*panel*/) {
    if (more_panel_open) return;
    more_panel = LoadPanel(0, kResource, PANELMORE);
    DisplayPanel(more_panel);
    more_panel_open = 1;
    updateMore();
}

void CVICALLBACK Help(int /*menuBar*/, int /*menuItem*/, void* /*callbackData*/, int /*panel*/) {
    if (help_panel_open) return;
    help_panel = LoadPanel(0, kResource, PANELHELP);
    SetCtrlVal(help_panel, PANELHELP_VER, PROGRAM_VERSION);
    DisplayPanel(help_panel);
    help_panel_open = 1;
}

int CVICALLBACK LoadErrInjPanel(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
                                int /*eventData1*/, int /*eventData2*/) {
    if (event != EVENT_COMMIT) return 0;
    // With the unit absent the button does nothing and says nothing.
    if (!korvel::usb_aliveQ() || err_panel_open) return 0;
    err_panel = LoadPanel(0, kResource, PANELERR);
    DisplayPanel(err_panel);
    err_panel_open = 1;
    return 0;
}

}  // namespace korvel::app
