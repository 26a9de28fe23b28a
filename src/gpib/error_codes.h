// The standard GPIB error codes with their short names and meanings, as the failure report prints
// them ("ENOL", "No Listener").
#pragma once

#include <optional>
#include <string_view>

namespace korvel::gpib {

struct ErrorCodeText {
    int code;
    const char* name;
    const char* meaning;
};

// The entry for `code`, or nullptr for a code the standard list does not name (8, 9, 13, ...).
const ErrorCodeText* error_code_text(int code);
// The code of a name such as "ENOL" (any letter case).
std::optional<int> error_code_from_name(std::string_view name);

}  // namespace korvel::gpib
