// MENUBAR, carried by the main panel. Ids run from 1 (the bar) through menus and their items in
// order, as the resource editor numbers them.
#pragma once

#include "resource/panels/table_shorthand.h"

// The tables name only the fields each control uses; the rest keep their defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace korvel::resource::data {

inline constexpr MenuItemDef kFileMenuItems[] = {
    {.id = 3, .constant = "FILEOPEN", .label = "Open Configuration", .callback = "FileOpen"},
    {.id = 4, .constant = "SAVECONFIG", .label = "Save As Configuration", .callback = "FileSaveAs"},
    {.id = 5,
     .constant = "QUITNOSAVE",
     .label = "Quit Without Saving setup.cfg",
     .callback = "file_quit"},
    {.id = 6, .constant = "FILEEXIT", .label = "Exit", .callback = "file_exit"},
};

inline constexpr MenuItemDef kEepromMenuItems[] = {
    {.id = 9, .constant = "WriteEEPROM", .label = "Write", .callback = "writeUserEEPROM"},
    {.id = 10, .constant = "ReadEEPROM", .label = "Read", .callback = "readUserEEPROM"},
};

inline constexpr MenuDef kMenus[] = {
    {.id = 2, .constant = "MENU1", .label = "File", .items = kFileMenuItems},
    {.id = 7, .constant = "MOREFEATURES", .label = "Features", .callback = "MoreFeatures"},
    {.id = 8, .constant = "EEPROM", .label = "EEPROM", .items = kEepromMenuItems},
    {.id = 11, .constant = "HELP", .label = "Help", .callback = "Help"},
};

inline constexpr MenuBarDef kMenuBar = {.id = 1, .constant = "MENUBAR", .menus = kMenus};

}  // namespace korvel::resource::data

#pragma GCC diagnostic pop
