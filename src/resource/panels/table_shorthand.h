// Short names used only by the panel data files, to keep the tables readable.
#pragma once

#include "resource/control_def.h"
#include "resource/key_codes.h"

namespace korvel::resource::data {

using K = ControlKind;
using T = DataType;

// "No limit" numerics read their range from the data type; these are the float and int limits
// the tables use where a range is given as the type's own.
inline constexpr double kUnsignedMax = 4294967295.0;

}  // namespace korvel::resource::data
