// Finding and opening the unit for one korvelctl command, with a reason when that fails.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace korvelctl {

struct FtdiDevice {
    int index = 0;
    std::string description;
    std::string serial;
    bool is_unit = false;  // described as the KORVEL ("ZEVA_KORVEL" or "ZEVA~KORVEL")
    bool opened = false;   // the driver reports it open (by this or another program)
};

// The attached FTDI devices, or the driver's reason when it cannot list them.
std::variant<std::vector<FtdiDevice>, std::string> list_devices();

// Opens the unit with usb_init. Nothing when it is open, else why not. A device list without the
// unit is refused before anything is opened, so no other FTDI device is ever driven.
std::optional<std::string> open_unit();

// Whether the unit opened by open_unit is still there: its handle still answers, so it has not
// been unplugged (or re-enumerated) since it was opened, not even for a moment.
bool unit_still_connected();

}  // namespace korvelctl
