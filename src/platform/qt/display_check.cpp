#include "platform/qt/display_check.h"

#include <cstdlib>

namespace korvel::qtview {

std::optional<std::string> process_env(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

bool display_available(const EnvLookup& env) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const auto value = env(name);
        if (value && !value->empty()) return true;
    }
    return false;
}

std::string no_display_message(const std::string& program) {
    return program +
           ": no display found (DISPLAY and WAYLAND_DISPLAY are unset): the KORVEL window needs "
           "a desktop session.\nStart it from a desktop, or under a virtual one: xvfb-run " +
           program + " --simulate\n";
}

}  // namespace korvel::qtview
