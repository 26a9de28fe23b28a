// The in-memory model behind the user-interface operations: loaded panels, their controls'
// values and attributes, timers, and the loop state. Internal to the platform library; the
// program and the view go through user_interface.h, operator_input.h and model_query.h.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/view_observer.h"
#include "resource/control_def.h"

namespace korvel::platform::detail {

struct ControlState {
    const resource::ControlDef* def = nullptr;
    double number = 0.0;  // numeric, binary and ring controls (a ring: its item's value)
    int ring_index = 0;
    std::string text;  // text controls
    double min = 0.0;  // effective range: the resource's, or the data type's own
    double max = 0.0;
    double increment = 0.0;
    int text_color = 0x000000;
    int bg_color = 0xFFFFFF;
    bool dimmed = false;
    bool visible = true;
    std::string tooltip;
    std::string label;
    // Timers.
    bool enabled = true;
    double interval = 0.0;
    double next_due = 0.0;
};

struct PanelState {
    int handle = 0;
    const resource::PanelDef* def = nullptr;
    int parent = 0;
    std::string title;
    bool displayed = false;
    int active_control = 0;
    int menu_bar = 0;                    // 0: none
    std::vector<ControlState> controls;  // same order as def->controls
};

struct Model {
    std::map<int, std::unique_ptr<PanelState>> panels;
    std::vector<int> load_order;
    int next_handle = 1;
    int next_menu_bar = 1;
    int active_panel = 0;
    std::vector<ViewObserver*> observers;
    bool quit = false;
    int quit_code = 0;
    bool timers_suspended = false;
    int dispatch_depth = 0;
    int modal_dialogs = 0;                         // message boxes and file dialogs showing now
    std::vector<std::string> modal_titles;         // "title: text" of each, innermost last
    bool wait_cursor = false;                      // SetWaitCursor(1) in force
    std::optional<std::string> typed_file_answer;  // see TypedFileDialogAnswer
    int typed_file_dialogs = 0;
    std::deque<std::function<void()>> deferred;
};

Model& model();

PanelState* find_panel(int handle);
// The control, or nullptr with `*error` set to UIEHandleInvalid or UIEInvalidControl.
ControlState* find_control(int panel, int control, int* error);

// Calls `fn` on every observer (a copy of the list, so observers may unregister meanwhile).
void notify(const std::function<void(ViewObserver&)>& fn);

// Counts a callback in progress for as long as it lives.
class DispatchScope {
  public:
    DispatchScope() { ++model().dispatch_depth; }
    ~DispatchScope() { --model().dispatch_depth; }
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;
};

// Delivers `event` to the control's registered callback; 0 when it has none.
int dispatch_ctrl_event(int panel, int control, int event, int data1, int data2);

// The range a control's data type allows.
void type_limits(resource::DataType type, double* lo, double* hi);
// Brings `v` into the control's data type and range; false for NaN.
bool coerce_number(const ControlState& c, double v, double* out);
// Puts a checked number into a numeric, binary or ring control and tells the observers.
int store_number(int panel, int control, ControlState& c, double v);

// Copies `text` into a caller's buffer of `size` bytes, cut to fit and always terminated.
int copy_to_buffer(const std::string& text, char* buffer, std::size_t size);

}  // namespace korvel::platform::detail
