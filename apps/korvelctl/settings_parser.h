// The settings of `korvelctl set`: keyword-value pairs, checked completely before anything is
// sent to the unit.
#pragma once

#include <string>
#include <variant>
#include <vector>

namespace korvelctl {

struct Setting {
    enum class Kind { Pattern, Divide, Clock, Duty, Amplitude } kind;
    int number = 0;   // Pattern: code 1..10; Divide: ratio 1..256; Clock: 1 on, 0 off
    float volts = 0;  // Duty, Amplitude
};

// The settings in the order given, or a message saying what is wrong.
std::variant<std::vector<Setting>, std::string> parse_settings(
    const std::vector<std::string>& words);

// One line saying what a setting does, for the report after it was applied.
std::string describe(const Setting& setting);

}  // namespace korvelctl
