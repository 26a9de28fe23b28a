#include "link/usb_access.h"

#include <iostream>
#include <system_error>

#include "link/usb_link.h"

namespace korvel {
namespace {

std::string g_hint;
bool g_hint_printed = false;

// The rule as it sits in the source tree this program was built from (for a build that was
// never installed), else where the sources keep it.
std::filesystem::path rule_copy() {
    const std::filesystem::path source = KORVEL_UDEV_RULE_SOURCE;
    std::error_code error;
    if (std::filesystem::is_regular_file(source, error)) return source;
    return std::filesystem::path("packaging/udev") / kUdevRuleName;
}

}  // namespace

std::vector<std::filesystem::path> udev_rule_folders() {
    return {"/etc/udev/rules.d", "/run/udev/rules.d", "/usr/local/lib/udev/rules.d",
            "/usr/lib/udev/rules.d", "/lib/udev/rules.d"};
}

std::optional<std::filesystem::path> find_installed_rule(
    const std::vector<std::filesystem::path>& folders) {
    for (const auto& folder : folders) {
        std::error_code error;
        const auto rule = folder / kUdevRuleName;
        if (std::filesystem::is_regular_file(rule, error)) return rule;
    }
    return std::nullopt;
}

std::string permission_hint_text(const std::optional<std::filesystem::path>& installed_rule,
                                 const std::filesystem::path& rule_copy) {
    const std::string problem =
        "The KORVEL unit is attached, but this user has no permission to open it. ";
    if (installed_rule) {
        return problem + "Its udev rule is installed (" + installed_rule->string() +
               ") and gives access to the user at the machine's own seat and to the plugdev "
               "group: log in at the seat, or join the group (sudo usermod -aG plugdev $USER, "
               "then log in again), then unplug and replug the unit.";
    }
    return problem +
           "Install its udev rule, then unplug and replug the unit:\n"
           "  sudo install -m 644 " +
           rule_copy.string() + " /etc/udev/rules.d/" + kUdevRuleName +
           " && sudo udevadm control --reload-rules";
}

void note_permission_denied() {
    g_hint = permission_hint_text(find_installed_rule(udev_rule_folders()), rule_copy());
    if (!g_hint_printed) {
        std::cerr << g_hint << "\n";
        g_hint_printed = true;
    }
}

void clear_permission_problem() {
    g_hint.clear();
}

void reset_permission_problem() {
    g_hint.clear();
    g_hint_printed = false;
}

std::string usb_permission_hint() {
    return g_hint;
}

}  // namespace korvel
