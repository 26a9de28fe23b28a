// PANELMORE, "More Features": manual divide ratio of the sync output, the error-injection switch
// and the data polarity.
#pragma once

#include "resource/panels/table_shorthand.h"

// The tables name only the fields each control uses; the rest keep their defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace korvel::resource::data {

inline constexpr GroupDef kPanelMoreGroups[] = {
    {.name = "sync", .row = 0, .column = 0},
    {.name = "errors", .row = 0, .column = 1},
    {.name = "polarity", .row = 0, .column = 2},
    {.name = "actions", .row = 1, .column = 0, .column_span = 3},
};

inline constexpr ControlDef kPanelMoreControls[] = {
    {.id = 2,
     .constant = "TEXTMSG_5",
     .kind = K::TextMessage,
     .type = T::String,
     .text = "Error Injection",
     .layout = {"errors", 0, 0}},
    {.id = 3,
     .constant = "TEXTMSG_6",
     .kind = K::TextMessage,
     .type = T::String,
     .text = "Polarity",
     .layout = {"polarity", 0, 0}},
    {.id = 4,
     .constant = "TEXTMSG_4",
     .kind = K::TextMessage,
     .type = T::String,
     .text = "Sync Output",
     .layout = {"sync", 0, 0}},
    {.id = 5,
     .constant = "CLOSEPANELMORE",
     .kind = K::CommandButton,
     .label = "CLOSE",
     .callback = "quit_panel",
     .layout = {"actions", 0, 0}},
    {.id = 6,
     .constant = "MANUAL_CTRL_BOX",
     .kind = K::CheckBox,
     .type = T::Int,
     .label = "Manual Divide Ratio",
     .value = 0,
     .tooltip = "Allows manual control of the divide ratio for scope trigger",
     .callback = "divider",
     .layout = {"sync", 1, 0}},
    {.id = 7,
     .constant = "DIVIDE_RATIO_CONTROL",
     .kind = K::Numeric,
     .type = T::UnsignedInt,
     .label = "Divide Ratio",
     .value = 1,
     .has_range = true,
     .min = 1,
     .max = 256,
     .increment = 1,
     .tooltip = "Integer values only  1 to 256",
     .callback = "divider",
     .layout = {"sync", 2, 0}},
    {.id = 8, .constant = "DECORATION_8", .kind = K::Decoration, .layout = {"errors", -1, 0}},
    {.id = 9, .constant = "DECORATION_9", .kind = K::Decoration, .layout = {"polarity", -1, 0}},
    {.id = 10, .constant = "DECORATION_7", .kind = K::Decoration, .layout = {"sync", -1, 0}},
    {.id = 11,
     .constant = "ERROR_INJECTION",
     .kind = K::CommandButton,
     .label = "Err Inj Load",
     .tooltip = "Error Injection Pattern Load Panel",
     .callback = "LoadErrInjPanel",
     .layout = {"errors", 2, 0}},
    {.id = 12,
     .constant = "ERROR_INJ_ON_BUTTON",
     .kind = K::ToggleButton,
     .type = T::Int,
     .on_text = "ON",
     .off_text = "OFF",
     .value = 0,
     .callback = "general_purpose_IO",
     .layout = {"errors", 1, 0}},
    {.id = 13,
     .constant = "INV_DATA_BUTTON",
     .kind = K::ToggleButton,
     .type = T::Int,
     .label = "Data",
     .on_text = "INV",
     .off_text = "POS",
     .value = 0,
     .callback = "invert_data",
     .layout = {"polarity", 1, 0}},
};

inline constexpr PanelDef kPanelMore = {
    .id = 7,
    .constant = "PANELMORE",
    .title = "More Features",
    .controls = kPanelMoreControls,
    .groups = kPanelMoreGroups,
};

}  // namespace korvel::resource::data

#pragma GCC diagnostic pop
