#include "device_notes.h"

#include <strings.h>

namespace korvelctl {

std::string device_note(const FtdiDevice& device) {
    if (device.is_unit) return "  <- KORVEL unit";
    if (strcasecmp(device.description.c_str(), kFt232rDefaultDescription) == 0)
        return "  <- FTDI's default strings: a KORVEL unit whose EEPROM was damaged looks like "
               "this (README.md, \"Recovering a unit\")";
    return "";
}

}  // namespace korvelctl
