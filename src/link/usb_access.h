// Telling the user why an attached unit cannot be opened: on Linux a user may open a USB device
// only when a udev rule grants it, and without the rule the unit simply never connects.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace korvel {

constexpr const char* kUdevRuleName = "60-korvel.rules";

// The folders udev reads rules from, the administrator's first.
std::vector<std::filesystem::path> udev_rule_folders();

// The hint for a unit this user may not open. `installed_rule`: where udev already finds the
// unit's rule, if anywhere (then the rule is not the problem: the user is neither at the seat
// nor in the plugdev group). `rule_copy`: a copy of the rule to install otherwise.
std::string permission_hint_text(const std::optional<std::filesystem::path>& installed_rule,
                                 const std::filesystem::path& rule_copy);

// The unit's rule in the first of `folders` that holds it.
std::optional<std::filesystem::path> find_installed_rule(
    const std::vector<std::filesystem::path>& folders);

// Called by the link: the unit is attached but opening it was refused for want of permission
// (the hint is made, and written to stderr the first time in the process), or the problem is
// gone (the unit opened, or is no longer attached).
void note_permission_denied();
void clear_permission_problem();
// As in a fresh process: no hint, nothing written yet.
void reset_permission_problem();

}  // namespace korvel
