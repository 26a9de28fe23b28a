#include "scpi/parameters.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "scpi/mnemonic.h"

namespace korvel::scpi {
namespace {

Fault wrong_type(std::string_view expected) {
    return Error{kDataTypeError, "expected " + std::string(expected)};
}

Fault unknown_word(const Parameter& p) {
    return Error{kIllegalParameterValue, p.text};
}

Fault wrong_suffix(const Parameter& p) {
    return Error{kInvalidSuffix, p.suffix};
}

}  // namespace

Fault expect_count(std::span<const Parameter> parameters, std::size_t count) {
    if (parameters.size() < count) return Error{kMissingParameter, {}};
    if (parameters.size() > count) return Error{kParameterNotAllowed, {}};
    return std::nullopt;
}

Fault read_boolean(const Parameter& p, bool* value) {
    if (p.kind == Parameter::Kind::Number) {
        if (!p.suffix.empty()) return wrong_suffix(p);
        if (p.number != 0.0 && p.number != 1.0) return Error{kIllegalParameterValue, p.text};
        *value = p.number == 1.0;
        return std::nullopt;
    }
    if (p.kind != Parameter::Kind::Mnemonic) return wrong_type("ON, OFF, 1 or 0");
    if (p.text == "ON" || p.text == "OFF") {
        *value = p.text == "ON";
        return std::nullopt;
    }
    return unknown_word(p);
}

Fault read_choice(const Parameter& p, std::span<const std::string_view> forms, std::size_t* index) {
    if (p.kind != Parameter::Kind::Mnemonic) return wrong_type("a word");
    for (std::size_t i = 0; i < forms.size(); ++i) {
        if (mnemonic_matches(forms[i], p.text)) {
            *index = i;
            return std::nullopt;
        }
    }
    return unknown_word(p);
}

Fault read_limit(const Parameter& p, const NumberRange& range, double* value) {
    if (p.kind != Parameter::Kind::Mnemonic) return wrong_type("MINimum or MAXimum");
    if (mnemonic_matches("MINimum", p.text)) {
        *value = range.min;
    } else if (mnemonic_matches("MAXimum", p.text)) {
        *value = range.max;
    } else {
        return unknown_word(p);
    }
    return std::nullopt;
}

Fault read_number(const Parameter& p, const NumberRange& range, double* value) {
    if (p.kind == Parameter::Kind::Mnemonic) {
        if (mnemonic_matches("DEFault", p.text)) {
            *value = range.def;
            return std::nullopt;
        }
        return read_limit(p, range, value);
    }
    if (p.kind != Parameter::Kind::Number) return wrong_type("a number");
    double number = p.number;
    if (!p.suffix.empty()) {
        const auto unit = std::find_if(range.units.begin(), range.units.end(),
                                       [&](const Unit& u) { return u.suffix == p.suffix; });
        if (unit == range.units.end()) return wrong_suffix(p);
        number *= unit->scale;
    }
    const std::string limits = std::string(range.name) + " takes " +
                               format_number(range.min, range.whole) + " to " +
                               format_number(range.max, range.whole);
    if (!(number >= range.min && number <= range.max)) return Error{kDataOutOfRange, limits};
    if (range.whole && std::trunc(number) != number)
        return Error{kIllegalParameterValue, std::string(range.name) + " takes whole numbers"};
    *value = number;
    return std::nullopt;
}

Fault read_string(const Parameter& p, std::string* value) {
    if (p.kind != Parameter::Kind::String) return wrong_type("a quoted string");
    *value = p.text;
    return std::nullopt;
}

std::string format_number(double value, bool whole) {
    char buffer[64];
    std::to_chars_result r{};
    if (whole && std::fabs(value) < 9.0e15) {
        r = std::to_chars(buffer, buffer + sizeof buffer,
                          static_cast<long long>(std::llround(value)));
    } else {
        r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value));
    }
    return std::string(buffer, r.ptr);
}

}  // namespace korvel::scpi
