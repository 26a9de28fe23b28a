// The ranges of the two analog levels, in DAC volts: the exported setters limit a request to
// them and korvelctl refuses a value outside them before anything is sent.
#pragma once

namespace korvel::api {

constexpr double kDutyCycleMinVolts = 1.8, kDutyCycleMaxVolts = 3.3;
constexpr double kAmplitudeMinVolts = 1.8, kAmplitudeMaxVolts = 2.7;

}  // namespace korvel::api
