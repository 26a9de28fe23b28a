// Reading the parameters of a command into values, with the SCPI error for each kind of fault,
// and the number forms of query replies.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "scpi/message.h"
#include "scpi/scpi_error.h"

namespace korvel::scpi {

using Fault = std::optional<Error>;

// Exactly `count` parameters: -109 when fewer, -108 when more.
Fault expect_count(std::span<const Parameter> parameters, std::size_t count);

// ON|OFF|1|0. Other numbers and words: -224; a string: -104.
Fault read_boolean(const Parameter& p, bool* value);

// One of `forms` (spelled as in the command tables, "CLOCk"); `index` receives its position.
// An unknown word: -224; a number or string: -104.
Fault read_choice(const Parameter& p, std::span<const std::string_view> forms, std::size_t* index);

// A unit a number may carry ("MV"), upper case, and what one of it is in the setting's own unit.
struct Unit {
    std::string_view suffix;
    double scale = 1.0;
};

// What a numeric setting accepts, and its name for the error detail.
struct NumberRange {
    double min = 0.0;
    double max = 0.0;
    double def = 0.0;    // the value DEFault stands for
    bool whole = false;  // integers only
    std::string_view name;
    std::span<const Unit> units;  // the suffixes it takes; none when empty
};

// A number within the range, or MINimum|MAXimum|DEFault. A suffix the range lists scales the
// number into the setting's unit (300 MV = 0.3 V); any other suffix is -131. Beyond the range:
// -222 naming the range (nothing is clamped); a fraction where whole numbers are taken: -224;
// other words: -224; a string: -104.
Fault read_number(const Parameter& p, const NumberRange& range, double* value);

// MINimum|MAXimum after a numeric query ("SOURce:AMPLitude? MAX"): the limit, else -224.
Fault read_limit(const Parameter& p, const NumberRange& range, double* value);

// A string parameter ("path" or 'path'); anything else: -104.
Fault read_string(const Parameter& p, std::string* value);

// A number as a query reply: whole numbers without a point, others in the shortest form that
// reads back as the same single-precision value the controls keep ("450.0128").
std::string format_number(double value, bool whole);

}  // namespace korvel::scpi
