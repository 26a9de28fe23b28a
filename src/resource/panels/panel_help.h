// PANELHELP, "Help": program and maker information, the version, and the F9 hint for service staff.
#pragma once

#include "resource/panels/table_shorthand.h"

// The tables name only the fields each control uses; the rest keep their defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace korvel::resource::data {

inline constexpr GroupDef kPanelHelpGroups[] = {
    {.name = "about", .row = 0, .column = 0},
    {.name = "actions", .row = 1, .column = 0},
};

inline constexpr ControlDef kPanelHelpControls[] = {
    {.id = 2,
     .constant = "CLOSEPANELHELP",
     .kind = K::CommandButton,
     .label = "CLOSE",
     .callback = "quit_panel",
     .layout = {"actions", 0, 0}},
    {.id = 3,
     .constant = "TEXTMSG",
     .kind = K::TextMessage,
     .type = T::String,
     .text = "MORLIDEX",
     .layout = {"about", 0, 0}},
    {.id = 4,
     .constant = "TEXTMSG_2",
     .kind = K::TextMessage,
     .type = T::String,
     .text = "Morlidex",
     .layout = {"about", 1, 0}},
    {.id = 5,
     .constant = "TEXTMSG_3",
     .kind = K::TextMessage,
     .type = T::String,
     .text = "KORVEL PRBS Generator",
     .layout = {"about", 2, 0}},
    {.id = 6,
     .constant = "TEXTMSG_5",
     .kind = K::TextMessage,
     .type = T::String,
     .text = "Select panel, hover over a control for a brief explanation of feature.",
     .layout = {"about", 4, 0}},
    {.id = 7,
     .constant = "TEXTMSG_7",
     .kind = K::TextMessage,
     .type = T::String,
     .text = "See manual for specifications and details.",
     .layout = {"about", 5, 0}},
    {.id = 8,
     .constant = "VER",
     .kind = K::TextMessage,
     .type = T::String,
     .text = "Version 0.0.0",
     .layout = {"about", 3, 0}},
    {.id = 9,
     .constant = "TEXTMSG_6",
     .kind = K::TextMessage,
     .type = T::String,
     .text = "Hit F9 at main window for Debug panel (for service personel use).",
     .layout = {"about", 6, 0}},
    {.id = 10,
     .constant = "TEXTMSG_4",
     .kind = K::TextMessage,
     .type = T::String,
     .text = "Copyright Morlidex. All rights reserved.",
     .layout = {"about", 7, 0}},
};

inline constexpr PanelDef kPanelHelp = {
    .id = 5,
    .constant = "PANELHELP",
    .title = "Help",
    .controls = kPanelHelpControls,
    .groups = kPanelHelpGroups,
};

}  // namespace korvel::resource::data

#pragma GCC diagnostic pop
