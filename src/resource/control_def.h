// The shapes of the user-interface resource "main.uir": panels, controls, ring items, the menu bar.
//
// Everything here is plain constexpr data. The platform builds a live panel from a PanelDef when
// the program loads it, and the view builds its windows from the same records, so the two can
// never disagree about a control's kind, range or texts.
#pragma once

#include <span>
#include <string_view>

namespace korvel::resource {

enum class ControlKind {
    CommandButton,  // push button; commit when pressed
    ToggleButton,   // two states with an on and an off text; value 1 or 0
    CheckBox,       // value 1 or 0
    Led,            // on/off indicator, value 1 or 0
    Numeric,        // number field with data type, range and increment
    NumericSlide,   // numeric shown as a slider
    Ring,           // drop-down choice; the value is the selected item's value
    RingSlide,      // ring shown as a slider over its items
    String,         // one-line text field
    TextBox,        // multi-line text area
    TextMessage,    // fixed text the program may change, show or hide
    Decoration,     // frame without value
    Timer,          // invisible; ticks its callback at a fixed interval
};

// The data type of a control's value. Text-valued controls use String; controls without a value
// (command buttons, decorations, timers) use None.
enum class DataType { None, Int, UnsignedInt, Float, Double, String };

// One ring item: the label shown and the value the ring reads while it is selected.
struct RingItem {
    std::string_view label;
    double value = 0.0;
};

// Where the view places a control: a cell of its group's grid. A control with an empty group is
// not placed (timers). A decoration with row -1 is the frame drawn around its group.
struct Layout {
    std::string_view group;
    int row = 0;
    int column = 0;
    int row_span = 1;
    int column_span = 1;
};

// A titled block of a panel; groups sit on the panel's own grid.
struct GroupDef {
    std::string_view name;
    std::string_view title;  // caption of the frame; empty: no caption
    int row = 0;
    int column = 0;
    int row_span = 1;
    int column_span = 1;
};

struct ControlDef {
    int id = 0;                 // numeric id within the panel, from 2 in table order
    std::string_view constant;  // resource constant without the panel prefix, e.g. "DUTY_CYCLE"
    ControlKind kind = ControlKind::Decoration;
    DataType type = DataType::None;
    std::string_view label;    // the control's label (buttons: the button text)
    std::string_view text;     // initial text of text-valued controls
    std::string_view on_text;  // toggle buttons
    std::string_view off_text;
    std::span<const RingItem> items;  // rings and ring slides, in list order
    int selected_index = 0;           // rings: the item selected at load
    double value = 0.0;               // initial value of numeric, binary and ring controls
    bool has_range = false;           // false: the whole range of the data type
    double min = 0.0;
    double max = 0.0;
    double increment = 0.0;
    bool scientific = false;  // numeric shown in scientific notation
    std::string_view tooltip;
    int shortcut_key = 0;       // key code (key_codes.h) that operates the control; 0: none
    std::string_view callback;  // name of the callback function; empty: none
    double interval = 0.0;      // timers: seconds between ticks
    bool visible = true;        // initial visibility
    Layout layout;
};

struct PanelDef {
    int id = 0;                 // 1..7, alphabetical order of the constants
    std::string_view constant;  // e.g. "PANELMAIN"
    std::string_view title;
    std::span<const ControlDef> controls;  // in id order
    std::span<const GroupDef> groups;
    bool has_menu_bar = false;  // the main panel carries MENUBAR
};

struct MenuItemDef {
    int id = 0;
    std::string_view constant;  // e.g. "FILEOPEN"
    std::string_view label;
    std::string_view callback;
};

// A menu of the bar. A menu without items calls its own callback when it is chosen.
struct MenuDef {
    int id = 0;
    std::string_view constant;  // e.g. "MENU1"
    std::string_view label;
    std::string_view callback;  // only for menus without items
    std::span<const MenuItemDef> items;
};

struct MenuBarDef {
    int id = 0;
    std::string_view constant;  // "MENUBAR"
    std::span<const MenuDef> menus;
};

// True for kinds whose value is text (string, text box, text message).
constexpr bool is_text_kind(ControlKind k) {
    return k == ControlKind::String || k == ControlKind::TextBox || k == ControlKind::TextMessage;
}

// True for kinds that hold no value at all.
constexpr bool is_valueless_kind(ControlKind k) {
    return k == ControlKind::CommandButton || k == ControlKind::Decoration ||
           k == ControlKind::Timer;
}

// True for kinds whose value is 0 or 1.
constexpr bool is_binary_kind(ControlKind k) {
    return k == ControlKind::ToggleButton || k == ControlKind::CheckBox || k == ControlKind::Led;
}

constexpr bool is_ring_kind(ControlKind k) {
    return k == ControlKind::Ring || k == ControlKind::RingSlide;
}

constexpr bool is_numeric_kind(ControlKind k) {
    return k == ControlKind::Numeric || k == ControlKind::NumericSlide;
}

}  // namespace korvel::resource
