// The one table that binds the callback names the resource gives its controls and menus to the
// program's functions. The platform resolves a name when it delivers an event.
#pragma once

#include <span>
#include <string_view>

#include "platform/ui_constants.h"

namespace korvel::app {

struct NamedControlCallback {
    std::string_view name;
    CtrlCallbackPtr function;
};
struct NamedMenuCallback {
    std::string_view name;
    MenuCallbackPtr function;
};

std::span<const NamedControlCallback> control_callbacks();
std::span<const NamedMenuCallback> menu_callbacks();

// Registers every entry of both tables with the platform.
void register_callbacks();

}  // namespace korvel::app
