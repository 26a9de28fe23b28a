// Callbacks by name. The resource names each control's and menu's callback by string; the
// program registers its functions under those names before it loads panels (or after: names are
// looked up when an event is delivered). A control whose callback name is not registered is inert.
#pragma once

#include <string_view>
#include <utility>

#include "platform/ui_constants.h"

namespace korvel::platform {

void register_callback(std::string_view name, CtrlCallback fn);
void register_menu_callback(std::string_view name, MenuCallback fn);
// Removes one registration; unknown names are ignored.
void unregister_callback(std::string_view name);
void unregister_menu_callback(std::string_view name);
void clear_callbacks();

// The registered function, or an empty one.
const CtrlCallback* find_callback(std::string_view name);
const MenuCallback* find_menu_callback(std::string_view name);

}  // namespace korvel::platform

// The customary spellings.
inline void RegisterCallback(std::string_view name, korvel::platform::CtrlCallback fn) {
    korvel::platform::register_callback(name, std::move(fn));
}
inline void RegisterMenuCallback(std::string_view name, korvel::platform::MenuCallback fn) {
    korvel::platform::register_menu_callback(name, std::move(fn));
}
