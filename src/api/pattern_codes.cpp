#include "api/pattern_codes.h"

#include <array>
#include <cctype>

namespace korvel::api {

namespace {

constexpr std::array<PatternCode, 12> kPatterns{{
    {"PRBS6", 12},
    {"PRBS7", 1},
    {"PRBS9", 2},
    {"PRBS11", 3},
    {"PRBS15", 4},
    {"PRBS17", 5},
    {"PRBS20", 6},
    {"PRBS23", 7},
    {"PRBS29", 8},
    {"PRBS31", 9},
    {"Clock", 10},
    {"Custom Data", 11},
}};

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

std::span<const PatternCode> pattern_codes() {
    return kPatterns;
}

std::optional<std::string_view> pattern_name(int code) {
    for (const auto& p : kPatterns)
        if (p.code == code) return p.name;
    return std::nullopt;
}

std::optional<int> pattern_code(std::string_view name) {
    for (const auto& p : kPatterns)
        if (equal_ignoring_case(p.name, name)) return p.code;
    return std::nullopt;
}

}  // namespace korvel::api
