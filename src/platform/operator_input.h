// Operator input: what the view (or a test standing in for the operator) does to the model.
//
// Unlike SetCtrlVal, these deliver events to the callbacks, as a real operator's actions would.
// Dimmed controls refuse operator input (UIEControlDimmed). Each returns the callback's result, 0
// when no callback is registered, or a negative UIE* code when the input was refused.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace korvel::platform {

// Sends `event` (EVENT_COMMIT by default) to a control without changing its value: pressing a
// command button.
int operate_ctrl(int panel, int control, int event = 1 /* EVENT_COMMIT */);
// Puts a value into a numeric, binary or ring control (ranges apply as for SetCtrlVal), then sends
// `event`: EVENT_VAL_CHANGED while a slide is dragged, EVENT_COMMIT when entered or released.
int operate_ctrl(int panel, int control, double value, int event);
// Same for text controls.
int operate_ctrl_text(int panel, int control, std::string_view text, int event);
// Selects ring item `index` (list position), then sends `event`.
int operate_ring_index(int panel, int control, int index, int event);

// A key pressed while `panel` has the focus. The active control's callback sees EVENT_KEYPRESS
// with datum 1 = key; if it returns non-zero the key is consumed. Otherwise a control of the
// panel whose shortcut key this is (visible or not, but not dimmed) is operated with
// EVENT_COMMIT. Returns 1 when the key was consumed or operated a shortcut, 0 when nothing took
// it, negative for a panel that is not loaded.
int press_key(int panel, int key);

// The mouse wheel over a control: EVENT_MOUSE_WHEEL_SCROLL with datum 1 = kind
// (MOUSE_WHEEL_PAGE_UP, ...). The platform does not change the value itself: the callback decides.
int scroll_wheel(int panel, int control, int kind);

// Chooses a menu item (or a menu without items) of the menu bar of `panel`, by its id
// (MENUBAR_MENU1_FILEEXIT, MENUBAR_HELP, ...). Returns 0, or negative when the panel carries no
// menu bar or the id is unknown. Unregistered callbacks do nothing.
int choose_menu_item(int panel, int item);

// ---- file dialogs answered by typing ------------------------------------------------------------
// While an object of this class lives, a file dialog the program opens is not shown: it returns
// `path` at once, as if the operator had typed the path into it and pressed its button
// (VAL_EXISTING_FILE_SELECTED when something of that name exists, else VAL_NEW_FILE_SELECTED).
// Remote control uses it to drive Open/Save As and the panels' file choices without a dialog.
class TypedFileDialogAnswer {
  public:
    explicit TypedFileDialogAnswer(std::string path);
    ~TypedFileDialogAnswer();
    TypedFileDialogAnswer(const TypedFileDialogAnswer&) = delete;
    TypedFileDialogAnswer& operator=(const TypedFileDialogAnswer&) = delete;
    // Dialogs answered since this object was made.
    int dialogs_answered() const;

  private:
    std::optional<std::string> previous_;
    int answered_before_ = 0;
};

// ---- timers -----------------------------------------------------------------------------------
// Timers are due on clock() time. The loop driver (the headless loop, the Qt view's timer, or a
// test) asks when the next tick is due and fires what is due.

// Clock time of the next due tick of an enabled timer (even while suspended), or +infinity.
double next_timer_due();
// Fires every tick due at clock().now(), earliest first; each timer fires at most once per call
// and then moves on by whole intervals past now. Does nothing inside a callback (no nesting) or
// while suspended (due ticks are then dropped). Returns the number of ticks delivered.
int process_due_timers();
// Lets `seconds` of clock time pass, firing each due tick at its time (with a VirtualClock the
// time is only counted). Returns the number of ticks delivered.
int run_timers_for(double seconds);
// The same up to clock time `time`.
int run_timers_until(double time);
bool timer_callbacks_suspended();

// ---- deferred calls ---------------------------------------------------------------------------
// Runs `fn` from the event loop, after the current callback. The headless loop runs these before
// timers; the Qt host runs them on its next turn.
void post_deferred_call(std::function<void()> fn);
// Runs the queued deferred calls; returns how many ran.
int run_deferred_calls();
bool has_deferred_calls();

// ---- state of the loop ------------------------------------------------------------------------
bool quit_requested();
int quit_code();

}  // namespace korvel::platform
