// The ranges of the two analog levels, in DAC volts: the exported setters limit a request to
// them and korvelctl refuses a value outside them before anything is sent.
#pragma once

#include "unit/unit_map.h"

namespace korvel::api {

using unit::kAmplitudeMaxVolts;
using unit::kAmplitudeMinVolts;
using unit::kDutyCycleMaxVolts;
using unit::kDutyCycleMinVolts;

}  // namespace korvel::api
