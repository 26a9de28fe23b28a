// Operator input turned into callback events: buttons, values, keys with shortcut keys, the
// mouse wheel and the menu bar.
#include "platform/operator_input.h"

#include "platform/callback_registry.h"
#include "platform/ui_model.h"
#include "platform/user_interface.h"
#include "resource/catalogue.h"

namespace korvel::platform::detail {

int dispatch_ctrl_event(int panel, int control, int event, int data1, int data2) {
    int error = 0;
    const ControlState* c = find_control(panel, control, &error);
    if (c == nullptr) return error;
    const CtrlCallback* registered = find_callback(c->def->callback);
    if (registered == nullptr) return 0;
    // A copy: the callback may re-register or clear the table while it runs.
    const CtrlCallback fn = *registered;
    DispatchScope scope;
    return fn(panel, control, event, nullptr, data1, data2);
}

}  // namespace korvel::platform::detail

namespace korvel::platform {
namespace {

using detail::ControlState;
using detail::dispatch_ctrl_event;
using detail::find_control;
using resource::ControlKind;

// The control if the operator may act on it now, else nullptr with the reason in `error`.
ControlState* operable(int panel, int control, int* error) {
    ControlState* c = find_control(panel, control, error);
    if (c == nullptr) return nullptr;
    if (c->dimmed) {
        *error = UIEControlDimmed;
        return nullptr;
    }
    return c;
}

// Indicators and fixed texts only the program changes.
bool operator_may_set(ControlKind k) {
    return k != ControlKind::Led && k != ControlKind::TextMessage && k != ControlKind::Timer &&
           k != ControlKind::Decoration && k != ControlKind::CommandButton;
}

}  // namespace

int operate_ctrl(int panel, int control, int event) {
    int error = 0;
    if (operable(panel, control, &error) == nullptr) return error;
    return dispatch_ctrl_event(panel, control, event, 0, 0);
}

int operate_ctrl(int panel, int control, double value, int event) {
    int error = 0;
    ControlState* c = operable(panel, control, &error);
    if (c == nullptr) return error;
    if (!operator_may_set(c->def->kind)) return UIENotAllowed;
    const int r = detail::store_number(panel, control, *c, value);
    if (r < 0) return r;
    return dispatch_ctrl_event(panel, control, event, 0, 0);
}

int operate_ctrl_text(int panel, int control, std::string_view text, int event) {
    int error = 0;
    ControlState* c = operable(panel, control, &error);
    if (c == nullptr) return error;
    if (!operator_may_set(c->def->kind)) return UIENotAllowed;
    const int r = set_ctrl_text(panel, control, text);
    if (r < 0) return r;
    return dispatch_ctrl_event(panel, control, event, 0, 0);
}

int operate_ring_index(int panel, int control, int index, int event) {
    int error = 0;
    if (operable(panel, control, &error) == nullptr) return error;
    const int r = SetCtrlIndex(panel, control, index);
    if (r < 0) return r;
    return dispatch_ctrl_event(panel, control, event, 0, 0);
}

int press_key(int panel, int key) {
    detail::PanelState* p = detail::find_panel(panel);
    if (p == nullptr) return UIEHandleInvalid;
    const int active = p->active_control;
    int error = 0;
    if (active != 0 && operable(panel, active, &error) != nullptr) {
        if (dispatch_ctrl_event(panel, active, EVENT_KEYPRESS, key, 0) != 0) return 1;
        // The callback may have discarded the panel.
        p = detail::find_panel(panel);
        if (p == nullptr) return 1;
    }
    for (const ControlState& c : p->controls) {
        if (c.def->shortcut_key != 0 && c.def->shortcut_key == key && !c.dimmed) {
            const int id = c.def->id;
            dispatch_ctrl_event(panel, id, EVENT_COMMIT, 0, 0);
            return 1;
        }
    }
    return 0;
}

int scroll_wheel(int panel, int control, int kind) {
    int error = 0;
    if (operable(panel, control, &error) == nullptr) return error;
    return dispatch_ctrl_event(panel, control, EVENT_MOUSE_WHEEL_SCROLL, kind, 0);
}

int choose_menu_item(int panel, int item) {
    const detail::PanelState* p = detail::find_panel(panel);
    if (p == nullptr) return UIEHandleInvalid;
    if (p->menu_bar == 0) return UIEInvalidControl;
    const bool known = resource::find_menu_item(item) != nullptr || resource::find_menu(item);
    if (!known) return UIEInvalidControl;
    const MenuCallback* registered = find_menu_callback(resource::menu_callback(item));
    if (registered == nullptr) return 0;
    const MenuCallback fn = *registered;
    const int menu_bar = p->menu_bar;
    detail::DispatchScope scope;
    fn(menu_bar, item, nullptr, panel);
    return 0;
}

}  // namespace korvel::platform
