#include "settings_parser.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "api/level_limits.h"
#include "api/pattern_codes.h"

namespace korvelctl {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// A whole number, saturated when it has too many digits, so that it is refused as out of range
// rather than as not a number.
std::optional<long long> parse_integer(const std::string& text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ptr != end) return std::nullopt;
    if (ec == std::errc::result_out_of_range)
        return text[0] == '-' ? std::numeric_limits<long long>::min()
                              : std::numeric_limits<long long>::max();
    if (ec != std::errc()) return std::nullopt;
    return value;
}

// A number as written; infinities and NaN are numbers here too, refused later as out of range.
std::optional<double> parse_volts(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
    return value;
}

std::string pattern_choices() {
    std::string names;
    for (const auto& p : korvel::api::pattern_codes()) {
        if (p.code > 10) continue;
        if (!names.empty()) names += ", ";
        names += p.name;
    }
    return names;
}

std::variant<Setting, std::string> parse_pattern(const std::string& value) {
    int code = 0;
    if (auto number = parse_integer(value)) {
        if (*number < 1 || *number > 10)
            return "pattern " + value + ": out of range, codes are 1 to 10";
        code = static_cast<int>(*number);
    } else if (auto named = korvel::api::pattern_code(value)) {
        code = *named;
    } else {
        return "pattern " + value + ": unknown pattern, choose one of " + pattern_choices() +
               " or a code 1 to 10";
    }
    if (code > 10)
        return "pattern " + value +
               ": PRBS6 and custom data cannot be selected from a script, choose one of " +
               pattern_choices();
    return Setting{Setting::Kind::Pattern, code, 0};
}

std::variant<Setting, std::string> parse_divide(const std::string& value) {
    auto number = parse_integer(value);
    if (!number) return "divide " + value + ": not a whole number";
    if (*number < 1 || *number > 256) return "divide " + value + ": out of range, give 1 to 256";
    return Setting{Setting::Kind::Divide, static_cast<int>(*number), 0};
}

std::variant<Setting, std::string> parse_clock(const std::string& value) {
    const std::string v = lower(value);
    if (v == "on") return Setting{Setting::Kind::Clock, 1, 0};
    if (v == "off") return Setting{Setting::Kind::Clock, 0, 0};
    return "clock " + value + ": give on or off";
}

std::variant<Setting, std::string> parse_level(Setting::Kind kind, const std::string& keyword,
                                               const std::string& value, double low, double high) {
    auto volts = parse_volts(value);
    if (!volts) return keyword + " " + value + ": not a number of volts";
    // The limits are the decimal values; a float nearest them is accepted as well.
    const auto as_float = static_cast<float>(*volts);
    if (!std::isfinite(*volts) || as_float < static_cast<float>(low) ||
        as_float > static_cast<float>(high)) {
        char range[128];
        std::snprintf(range, sizeof range, ": %s, give %.1f to %.1f V (DAC volts, not percent)",
                      std::isfinite(*volts) ? "out of range" : "not a number in range", low, high);
        return keyword + " " + value + range;
    }
    return Setting{kind, 0, as_float};
}

}  // namespace

std::variant<std::vector<Setting>, std::string> parse_settings(
    const std::vector<std::string>& words) {
    if (words.empty())
        return std::string(
            "set: nothing to set, give one or more of pattern, divide, clock, duty, amplitude");
    std::vector<Setting> settings;
    for (std::size_t i = 0; i < words.size(); i += 2) {
        const std::string keyword = lower(words[i]);
        if (keyword != "pattern" && keyword != "divide" && keyword != "clock" &&
            keyword != "duty" && keyword != "amplitude")
            return "set: unknown setting '" + words[i] +
                   "', the settings are pattern, divide, clock, duty, amplitude";
        if (i + 1 >= words.size()) return keyword + ": a value is missing";
        const std::string& value = words[i + 1];

        std::variant<Setting, std::string> parsed;
        if (keyword == "pattern") parsed = parse_pattern(value);
        if (keyword == "divide") parsed = parse_divide(value);
        if (keyword == "clock") parsed = parse_clock(value);
        if (keyword == "duty")
            parsed = parse_level(Setting::Kind::Duty, keyword, value,
                                 korvel::api::kDutyCycleMinVolts, korvel::api::kDutyCycleMaxVolts);
        if (keyword == "amplitude")
            parsed = parse_level(Setting::Kind::Amplitude, keyword, value,
                                 korvel::api::kAmplitudeMinVolts, korvel::api::kAmplitudeMaxVolts);
        if (auto* message = std::get_if<std::string>(&parsed)) return *message;
        settings.push_back(std::get<Setting>(parsed));
    }
    return settings;
}

std::string describe(const Setting& s) {
    char line[96];
    switch (s.kind) {
        case Setting::Kind::Pattern:
            std::snprintf(line, sizeof line, "pattern %s (code %d)",
                          std::string(korvel::api::pattern_name(s.number).value_or("?")).c_str(),
                          s.number);
            break;
        case Setting::Kind::Divide:
            std::snprintf(line, sizeof line, "divide ratio %d", s.number);
            break;
        case Setting::Kind::Clock:
            std::snprintf(line, sizeof line, "clock output 1 %s", s.number ? "on" : "off");
            break;
        case Setting::Kind::Duty:
            std::snprintf(line, sizeof line, "duty-cycle level %.3f V", s.volts);
            break;
        case Setting::Kind::Amplitude:
            std::snprintf(line, sizeof line, "amplitude level %.3f V", s.volts);
            break;
    }
    return line;
}

}  // namespace korvelctl
