// The user-interface operations the program calls, with their customary names and meanings.
//
// Panels are loaded from the resource catalogue into an in-memory model that holds every
// control's value and attributes. The model is the truth: a view (Qt, or none in tests) only
// shows it and feeds operator input back through operator_input.h. Everything runs on one thread.
//
// Values: numeric controls keep their value within [minimum, maximum] (a value beyond is clamped);
// integer controls round to the nearest integer; float controls round to single precision; binary
// controls (toggle, check box, LED) hold 0 or 1 (any non-zero value sets 1); a ring reads the value
// of its selected item and can only be set to one of its items' values. Text controls (string,
// text box, text message) take and give text; SetCtrlVal replaces the text. Setting a value from
// code never calls a callback.
//
// Every operation returns a negative UIE* code on failure and leaves its outputs unchanged; in
// particular reading a control of a panel that is not loaded fails and leaves the destination as
// it was.
#pragma once

#include <cmath>
#include <concepts>
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>

#include "base/clock.h"
#include "platform/ui_constants.h"

// ---- run-time library -------------------------------------------------------------------------

// Brings up the run-time library with the command-line arguments. Returns 1 on success, 0 on
// failure (the program then returns -1).
int InitCVIRTE(void* hInstance, char** argv, void* reserved);

// ---- panels -----------------------------------------------------------------------------------

// Loads a fresh copy of panel `panelResourceId` (PANELMAIN, ...) of resource "main.uir" (any path
// whose file name is main.uir). `parent` is 0 for a top-level window or the handle of a loaded
// panel. Returns a new handle (> 0, never reused) or a negative code. The copy starts with the
// resource's values and attributes; its timers start counting now; it is not yet shown.
int LoadPanel(int parentPanel, const char* fileName, int panelResourceId);
// Destroys a loaded panel and its controls and timers. Safe inside the panel's own callbacks.
int DiscardPanel(int panel);
// Shows a loaded panel (and raises it).
int DisplayPanel(int panel);
// Hides a loaded panel without discarding it.
int HidePanel(int panel);

int SetPanelAttribute(int panel, int attribute, const char* value);   // ATTR_TITLE
int SetPanelAttribute(int panel, int attribute, int value);           // ATTR_VISIBLE
int GetPanelAttribute(int panel, int attribute, std::string* value);  // ATTR_TITLE
int GetPanelAttribute(int panel, int attribute, int* value);          // ATTR_VISIBLE
// The menu bar handle of a panel that carries one (the main panel), else 0; negative for a panel
// that is not loaded.
int GetPanelMenuBar(int panel);

// ---- focus and drawing ------------------------------------------------------------------------

int SetActiveCtrl(int panel, int control);
int GetActiveCtrl(int panel);  // control id, or negative
int SetActivePanel(int panel);
int GetActivePanel();  // handle, or 0 when none
// Asks the view to bring the screen up to date now (a no-op without a view).
int ProcessDrawEvents();

// ---- control values: the untyped core ----------------------------------------------------------

namespace korvel::platform {
// Numeric value of a numeric, binary or ring control.
int get_ctrl_number(int panel, int control, double* value);
int set_ctrl_number(int panel, int control, double value);
// Text of a string, text box or text message control.
int get_ctrl_text(int panel, int control, std::string* value);
int set_ctrl_text(int panel, int control, std::string_view value);

// Arithmetic types a control's number converts to and from. Plain char is left out so that a
// character array always means text.
template <class T>
concept CtrlNumber = std::is_arithmetic_v<T> && !std::is_same_v<std::remove_cv_t<T>, char>;

// Converts a control's number to an arithmetic destination: integers round to nearest and
// saturate at the destination's limits.
template <class T>
T number_to(double v) {
    if constexpr (std::is_floating_point_v<T>) {
        return static_cast<T>(v);
    } else if constexpr (std::is_same_v<T, bool>) {
        return v != 0.0;
    } else {
        const double r = std::nearbyint(v);
        if (!(r >= static_cast<double>(std::numeric_limits<T>::lowest())))
            return std::numeric_limits<T>::lowest();
        if (r >= static_cast<double>(std::numeric_limits<T>::max()))
            return std::numeric_limits<T>::max();
        return static_cast<T>(r);
    }
}
}  // namespace korvel::platform

// ---- control values: typed forms ---------------------------------------------------------------

// Reads a numeric, binary or ring control into any arithmetic variable.
template <korvel::platform::CtrlNumber T>
int GetCtrlVal(int panel, int control, T* value) {
    double v = 0.0;
    const int r = korvel::platform::get_ctrl_number(panel, control, &v);
    if (r < 0) return r;
    if (value == nullptr) return UIEBadArgument;
    *value = korvel::platform::number_to<T>(v);
    return 0;
}
// Reads a text control into a buffer of `size` bytes, truncating and always terminating.
int GetCtrlVal(int panel, int control, char* buffer, std::size_t size);
// Reads a text control into a character array (bounded by the array's size).
template <std::size_t N>
int GetCtrlVal(int panel, int control, char (&buffer)[N]) {
    return GetCtrlVal(panel, control, static_cast<char*>(buffer), N);
}
int GetCtrlVal(int panel, int control, std::string* value);

// Sets a numeric, binary or ring control from any arithmetic value.
template <korvel::platform::CtrlNumber T>
int SetCtrlVal(int panel, int control, T value) {
    return korvel::platform::set_ctrl_number(panel, control, static_cast<double>(value));
}
int SetCtrlVal(int panel, int control, const char* value);
int SetCtrlVal(int panel, int control, const std::string& value);
int SetCtrlVal(int panel, int control, std::string_view value);

// Replaces a text box's contents.
int ResetTextBox(int panel, int control, const char* text);

// Rings: the selected item's position, and the number of items.
int GetCtrlIndex(int panel, int control, int* index);
int SetCtrlIndex(int panel, int control, int index);
int GetNumListItems(int panel, int control, int* count);

// ---- control attributes -----------------------------------------------------------------------

namespace korvel::platform {
// Any number-valued attribute (text attributes fail with UIETypeMismatch).
int get_ctrl_attribute_number(int panel, int control, int attribute, double* value);
int set_ctrl_attribute_number(int panel, int control, int attribute, double value);
}  // namespace korvel::platform

// Number-valued attributes: colours, dimmed, visible, enabled, ring index, timer interval, and a
// numeric control's minimum, maximum and increment (in the control's data type; the current value
// is brought back into a changed range without a callback).
template <korvel::platform::CtrlNumber T>
int SetCtrlAttribute(int panel, int control, int attribute, T value) {
    return korvel::platform::set_ctrl_attribute_number(panel, control, attribute,
                                                       static_cast<double>(value));
}
// Text attributes: tooltip, label.
int SetCtrlAttribute(int panel, int control, int attribute, const char* value);

template <korvel::platform::CtrlNumber T>
int GetCtrlAttribute(int panel, int control, int attribute, T* value) {
    double v = 0.0;
    const int r = korvel::platform::get_ctrl_attribute_number(panel, control, attribute, &v);
    if (r < 0) return r;
    if (value == nullptr) return UIEBadArgument;
    *value = korvel::platform::number_to<T>(v);
    return 0;
}
int GetCtrlAttribute(int panel, int control, int attribute, std::string* value);
int GetCtrlAttribute(int panel, int control, int attribute, char* buffer, std::size_t size);
template <std::size_t N>
int GetCtrlAttribute(int panel, int control, int attribute, char (&buffer)[N]) {
    return GetCtrlAttribute(panel, control, attribute, static_cast<char*>(buffer), N);
}

// ---- popups, clipboard, standard input/output window ------------------------------------------

// A modal message box. Returns 0.
int MessagePopup(const char* title, const char* message);
// A modal question with the two answers `yes` and `no`. Returns 1 for `yes`, 0 for `no` (also
// when the box is closed without a choice). Where no one can see a box (a message taker is set),
// the question goes to the taker and `yes` is answered.
int ChoicePopup(const char* title, const char* message, const char* yes, const char* no);

// A modal file dialog. Writes the chosen path (at most MAX_PATHNAME_LEN bytes with terminator)
// into `pathName` and returns VAL_EXISTING_FILE_SELECTED or VAL_NEW_FILE_SELECTED; returns
// VAL_NO_FILE_SELECTED (0) when cancelled, leaving `pathName` unchanged. `pathName` must hold
// MAX_PATHNAME_LEN bytes.
int FileSelectPopup(const char* defaultDirectory, const char* defaultFilePattern,
                    const char* fileTypeList, const char* title, int buttonLabel,
                    int restrictDirectory, int restrictExtension, int allowCancel,
                    int allowMakeDirectory, char* pathName);
int FileSelectPopupEx(const char* defaultDirectory, const char* defaultFilePattern,
                      const char* fileTypeList, const char* title, int buttonLabel,
                      int restrictDirectory, int restrictExtension, char* pathName);

// Shows the busy cursor over the program's windows while `on` is non-zero: for work that keeps the
// event loop waiting for a noticeable time, such as a long load into the unit. Returns 0.
int SetWaitCursor(int on);

// Puts text on the clipboard. Returns 0.
int ClipboardPutText(const char* text);

// The standard input/output window: everything the program prints goes here.
int StdioPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
int StdioPuts(std::string_view text);
// Next character typed into the window. With nothing typed yet it waits for a line (the window
// comes to the front; in a terminal or without a screen, standard input is read). EOF (-1) when
// the input has ended (standard input closed, the window closed or the program quitting).
int StdioGetchar();

// ---- event loop and timers --------------------------------------------------------------------

// Runs the event loop until QuitUserInterface; returns the code given to QuitUserInterface.
int RunUserInterface();
int QuitUserInterface(int returnCode);
// Stops (and restarts) every timer callback; ticks that fall due meanwhile are dropped.
int SuspendTimerCallbacks();
int ResumeTimerCallbacks();
