#include "api/pattern_codes.h"

#include "unit/unit_map.h"

#include <cctype>

namespace korvel::api {

namespace {

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
    return unit::kPatternCodes;
}

std::optional<std::string_view> pattern_name(int code) {
    return unit::pattern_name(code);
}

std::optional<int> pattern_code(std::string_view name) {
    for (const auto& p : unit::kPatternCodes)
        if (equal_ignoring_case(p.name, name)) return p.code;
    return std::nullopt;
}

}  // namespace korvel::api
