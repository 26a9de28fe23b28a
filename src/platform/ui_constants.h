// Events, attributes, colours, result codes and callback forms of the user-interface platform.
//
// The numbers are the program's own; only EVENT_COMMIT (1) and EVENT_VAL_CHANGED (2) and the
// wheel kinds (2 page up, 3 page down) are fixed, because callbacks and stored settings rely on
// them.
#pragma once

#include <functional>

#include "resource/key_codes.h"

// Lets callback definitions keep their customary spelling: int CVICALLBACK CBTimer(...).
#define CVICALLBACK

// Events delivered to control callbacks.
inline constexpr int EVENT_NONE = 0;
inline constexpr int EVENT_COMMIT = 1;       // button pressed, value entered, slide released
inline constexpr int EVENT_VAL_CHANGED = 2;  // value changing (a slide being dragged)
inline constexpr int EVENT_KEYPRESS = 3;     // datum 1: key code; return 1 to consume the key
inline constexpr int EVENT_TIMER_TICK = 4;   // timer controls, at their interval
inline constexpr int EVENT_MOUSE_WHEEL_SCROLL = 5;  // datum 1: one of the wheel kinds below
inline constexpr int EVENT_GOT_FOCUS = 6;
inline constexpr int EVENT_LOST_FOCUS = 7;

// Event datum 1 of EVENT_MOUSE_WHEEL_SCROLL.
inline constexpr int MOUSE_WHEEL_SCROLL_UP = 0;
inline constexpr int MOUSE_WHEEL_SCROLL_DOWN = 1;
inline constexpr int MOUSE_WHEEL_PAGE_UP = 2;
inline constexpr int MOUSE_WHEEL_PAGE_DOWN = 3;

// Control attributes.
inline constexpr int ATTR_TEXT_COLOR = 1;    // int, 0xRRGGBB
inline constexpr int ATTR_TEXT_BGCOLOR = 2;  // int, 0xRRGGBB
inline constexpr int ATTR_DIMMED = 3;        // int 0/1: dimmed controls ignore operator input
inline constexpr int ATTR_VISIBLE = 4;       // int 0/1 (also a panel attribute)
inline constexpr int ATTR_TOOLTIP_TEXT = 5;  // text
inline constexpr int ATTR_MAX_VALUE = 6;     // numeric controls, in the control's data type
inline constexpr int ATTR_MIN_VALUE = 7;     // numeric controls, in the control's data type
inline constexpr int ATTR_INCR_VALUE = 8;    // numeric controls, in the control's data type
inline constexpr int ATTR_LABEL_TEXT = 9;    // text
inline constexpr int ATTR_ENABLED = 10;      // timers: int 0/1
inline constexpr int ATTR_INTERVAL = 11;     // timers: seconds (double)
inline constexpr int ATTR_CTRL_INDEX = 12;   // rings: selected item position (int)
// Panel attributes.
inline constexpr int ATTR_TITLE = 100;  // text

// Colours as 0xRRGGBB.
inline constexpr int VAL_BLACK = 0x000000;
inline constexpr int VAL_WHITE = 0xFFFFFF;
inline constexpr int VAL_RED = 0xFF0000;
inline constexpr int VAL_DK_RED = 0x800000;
inline constexpr int VAL_GREEN = 0x00FF00;
inline constexpr int VAL_DK_GREEN = 0x008000;
inline constexpr int VAL_BLUE = 0x0000FF;
inline constexpr int VAL_YELLOW = 0xFFFF00;
inline constexpr int VAL_LT_GRAY = 0xCCCCCC;
inline constexpr int VAL_GRAY = 0x808080;
inline constexpr int VAL_TRANSPARENT = 0x1000000;

// Results of the platform operations: 0 (or a handle) on success, negative on failure.
inline constexpr int UIENoError = 0;
inline constexpr int UIEHandleInvalid = -1;     // panel handle not loaded
inline constexpr int UIEInvalidControl = -2;    // no such control id on that panel
inline constexpr int UIEInvalidAttribute = -3;  // attribute not known or not for this control
inline constexpr int UIETypeMismatch = -4;      // value of the wrong kind for the control
inline constexpr int UIEItemNotFound = -5;      // ring value or index not among its items
inline constexpr int UIEResourceNotFound = -6;  // resource file or panel id unknown
inline constexpr int UIEBadArgument = -7;       // null pointer, NaN, bad range
inline constexpr int UIEControlDimmed = -8;     // operator input to a dimmed control
inline constexpr int UIENotAllowed = -9;        // operation not valid for this control kind

// FileSelectPopup button kinds and results.
inline constexpr int VAL_OK_BUTTON = 0;
inline constexpr int VAL_SAVE_BUTTON = 1;
inline constexpr int VAL_SELECT_BUTTON = 2;
inline constexpr int VAL_LOAD_BUTTON = 3;
inline constexpr int VAL_NO_FILE_SELECTED = 0;
inline constexpr int VAL_EXISTING_FILE_SELECTED = 1;
inline constexpr int VAL_NEW_FILE_SELECTED = 2;

// Longest path FileSelectPopup writes, terminator included.
inline constexpr int MAX_PATHNAME_LEN = 512;

// Callback forms.
using CtrlCallbackPtr = int (*)(int panel, int control, int event, void* callbackData,
                                int eventData1, int eventData2);
using MenuCallbackPtr = void (*)(int menuBar, int menuItem, void* callbackData, int panel);

namespace korvel::platform {
// Registered callbacks may also carry state (tests, the view's helpers).
using CtrlCallback = std::function<int(int panel, int control, int event, void* callbackData,
                                       int eventData1, int eventData2)>;
using MenuCallback = std::function<void(int menuBar, int menuItem, void* callbackData, int panel)>;
}  // namespace korvel::platform
