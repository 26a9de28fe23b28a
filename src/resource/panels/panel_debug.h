// PANELDEBUG, "Debug": raw expander pins, diagnostics dumps, and the calibration-entry controls
// used on the bench by service staff (opened with F9 from the main window).
#pragma once

#include "resource/panels/table_shorthand.h"

// The tables name only the fields each control uses; the rest keep their defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace korvel::resource::data {

inline constexpr RingItem kPhaseStepItems[] = {{"0", 0}, {"1", 1}, {"2", 2}, {"3", 3}};

inline constexpr RingItem kScrambleModeItems[] = {
    {"Old Scramble", 0}, {"New Scramble", 1}, {"Linear", 2}};

// The marks the calibration entry takes. Insert and the Up arrow are also keypad 0 and 8 with
// NumLock off, and with NumLock on the keypad's "/" and "." are marks too: the whole entry can be
// typed with one hand on the keypad.
inline constexpr std::string_view kCalResultsTooltip =
    "One mark per phase setting, the unit steps on to the next: x, / or Insert (keypad 0) = miss;"
    " . or Up arrow (keypad 8) = pass; ? = unsure; Backspace = back one. F12 = Next.";

inline constexpr GroupDef kPanelDebugGroups[] = {
    {.name = "pins", .row = 0, .column = 0},
    {.name = "diagnostics", .row = 0, .column = 1},
    {.name = "calibration", .row = 0, .column = 2},
    {.name = "actions", .row = 1, .column = 0, .column_span = 3},
};

// An expander pin shown as a 0/1 toggle; general_purpose_IO drives the pin.
constexpr ControlDef pin_toggle(int id, std::string_view constant, std::string_view label, int row,
                                int column, int span) {
    return {.id = id,
            .constant = constant,
            .kind = K::ToggleButton,
            .type = T::Int,
            .label = label,
            .on_text = "1",
            .off_text = "0",
            .value = 0,
            .callback = "general_purpose_IO",
            .layout = {"pins", row, column, 1, span}};
}

constexpr ControlDef check_box(int id, std::string_view constant, std::string_view label,
                               std::string_view group, int row, int column,
                               std::string_view callback = {}, std::string_view tooltip = {}) {
    return {.id = id,
            .constant = constant,
            .kind = K::CheckBox,
            .type = T::Int,
            .label = label,
            .value = 0,
            .tooltip = tooltip,
            .callback = callback,
            .layout = {group, row, column}};
}

inline constexpr ControlDef kPanelDebugControls[] = {
    check_box(2, "CHECKBOX_GP_IO", "Poll Values", "diagnostics", 0, 0),
    check_box(3, "CHECKBOX_IO_Dump", "IO_Dump", "diagnostics", 1, 0),
    check_box(4, "CHECKBOX_DAC_Dump", "DAC_Dump", "diagnostics", 2, 0),
    {.id = 5,
     .constant = "CLOSEPANELDEBUG",
     .kind = K::CommandButton,
     .label = "CLOSE",
     .callback = "quit_panel",
     .layout = {"actions", 0, 0}},
    check_box(6, "CHECKBOX_DAC_Sweep", "DAC_Sweep", "diagnostics", 3, 0),
    {.id = 7,
     .constant = "I2C_BUS_LED",
     .kind = K::Led,
     .type = T::Int,
     .label = "Bus Busy",
     .value = 0,
     .layout = {"diagnostics", 5, 0}},
    pin_toggle(8, "GP_9", "InitStateMachine", 0, 0, 2),
    pin_toggle(9, "GP_8", "Calibration Mode", 0, 2, 2),
    pin_toggle(10, "GP_3", "3", 2, 0, 1),
    pin_toggle(11, "GP_2", "2", 2, 1, 1),
    pin_toggle(12, "GP_1", "1", 2, 2, 1),
    pin_toggle(13, "GP_0", "0", 2, 3, 1),
    {.id = 14,
     .constant = "TEXTMSG",
     .kind = K::TextMessage,
     .type = T::String,
     .text = "PRBS_SELECT",
     .layout = {"pins", 1, 0, 1, 4}},
    {.id = 15, .constant = "DECORATION_3", .kind = K::Decoration, .layout = {"pins", -1, 0}},
    {.id = 16,
     .constant = "DEBUG_TIMER",
     .kind = K::Timer,
     .callback = "CBdebugTimer",
     .interval = 1.0},
    {.id = 17,
     .constant = "RINGSLIDE_GP_APH",
     .kind = K::RingSlide,
     .type = T::Int,
     .label = "KV-PD2A PHS",
     .items = kPhaseStepItems,
     .selected_index = 0,
     .value = 0,
     .callback = "general_purpose_IO",
     .layout = {"pins", 4, 0, 1, 4}},
    {.id = 18,
     .constant = "RINGSLIDE_GP_MPH",
     .kind = K::RingSlide,
     .type = T::Int,
     .label = "KV-PD2M PHS",
     .items = kPhaseStepItems,
     .selected_index = 0,
     .value = 0,
     .callback = "general_purpose_IO",
     .layout = {"pins", 3, 0, 1, 4}},
    {.id = 19,
     .constant = "CAL_RESULTS",
     .kind = K::String,
     .type = T::String,
     .label = "Cal Results",
     .tooltip = kCalResultsTooltip,
     .callback = "CB_Debug",
     .layout = {"calibration", 1, 0, 1, 2}},
    {.id = 20,
     .constant = "TEST_DAC",
     .kind = K::Numeric,
     .type = T::Double,
     .label = "DAC",
     .value = 0.0,
     .increment = 1.0,
     .layout = {"diagnostics", 6, 0}},
    {.id = 21,
     .constant = "DIAG_GO",
     .kind = K::CommandButton,
     .label = "Diag Go",
     .callback = "CB_Debug",
     .layout = {"diagnostics", 4, 0}},
    {.id = 22,
     .constant = "NEXT_FREQ_BUTTON",
     .kind = K::CommandButton,
     .label = "Next",
     .shortcut_key = VAL_F12_VKEY,
     .callback = "CB_Debug",
     .layout = {"calibration", 3, 0}},
    check_box(23, "EXPANDED_AMPLITUDE", "Exp Amp", "calibration", 0, 1, "CB_Debug",
              "Expanded Amplitude range--Up to 3.3V Ampadj"),
    {.id = 24,
     .constant = "FREQUENCY_SCANNED",
     .kind = K::Numeric,
     .type = T::Int,
     .label = "f",
     .value = 0,
     .has_range = true,
     .min = 0,
     .max = 26000,
     .increment = 100,
     .callback = "CB_Debug",
     .layout = {"calibration", 2, 0}},
    {.id = 25,
     .constant = "SET_FREQ_INCR",
     .kind = K::CommandButton,
     .label = "f inc",
     .callback = "CB_Debug",
     .layout = {"calibration", 2, 1}},
    {.id = 26,
     .constant = "SCRAMBLE_MODE",
     .kind = K::Ring,
     .type = T::Int,
     .label = "Scramble",
     .items = kScrambleModeItems,
     .selected_index = 1,
     .value = 1,
     .callback = "CB_Debug",
     .layout = {"calibration", 0, 0}},
    check_box(27, "USE_FREQ", "Use Freq Table", "calibration", 3, 1, {},
              "Use Frequency table to set duty cycle at 50%"),
    check_box(28, "PRINT_CAL_RESULTS", "Print CR", "calibration", 4, 0),
    {.id = 29,
     .constant = "TEXTMSG_2",
     .kind = K::TextMessage,
     .type = T::String,
     .text = "KV-G310 generator",
     .visible = false,
     .layout = {"pins", 5, 0, 1, 4}},
};

inline constexpr PanelDef kPanelDebug = {
    .id = 3,
    .constant = "PANELDEBUG",
    .title = "Debug",
    .controls = kPanelDebugControls,
    .groups = kPanelDebugGroups,
};

}  // namespace korvel::resource::data

#pragma GCC diagnostic pop
