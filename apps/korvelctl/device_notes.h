// What `korvelctl list` says about a device beside its description and serial number.
#pragma once

#include <string>

#include "unit_access.h"

namespace korvelctl {

// The description an FT232R gives when its EEPROM does not hold valid settings: the chip then
// ignores the EEPROM (a failed checksum, for instance after an interrupted write) and shows
// FTDI's own strings.
constexpr const char* kFt232rDefaultDescription = "FT232R USB UART";

// "  <- KORVEL unit" for the unit, a pointer to the recovery steps for a device showing the
// FT232R's default strings, else nothing.
std::string device_note(const FtdiDevice& device);

}  // namespace korvelctl
