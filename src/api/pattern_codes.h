// The unit's pattern-select codes (expander 7, IO0-IO3) and their names.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "unit/unit_map.h"

namespace korvel::api {

using unit::PatternCode;

// Every code the unit knows, in the order the front panel lists them.
std::span<const PatternCode> pattern_codes();
// The name of a code, or nothing for a code the unit does not know (0, 13..15).
std::optional<std::string_view> pattern_name(int code);
// The code of a name, compared without regard to letter case.
std::optional<int> pattern_code(std::string_view name);

}  // namespace korvel::api
