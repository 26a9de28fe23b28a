// Whether a window can be shown at all, decided before the toolkit is started (Qt aborts with an
// obscure message when it finds no display).
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace korvel::qtview {

using EnvLookup = std::function<std::optional<std::string>(const char* name)>;

// The process environment.
std::optional<std::string> process_env(const char* name);

// True when DISPLAY or WAYLAND_DISPLAY names a display, or QT_QPA_PLATFORM picks a platform
// explicitly (offscreen, vnc, ...). Empty values count as unset.
bool display_available(const EnvLookup& env = process_env);

// The plain message printed when there is no display.
std::string no_display_message(const std::string& program);

}  // namespace korvel::qtview
