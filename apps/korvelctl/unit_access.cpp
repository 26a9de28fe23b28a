#include "unit_access.h"

#include <cstring>
#include <variant>

#include "api/fpga_file_loads.h"
#include "ftdi/ftd2xx.h"
#include "korvel.h"
#include "link/usb_link.h"

namespace korvelctl {

namespace {

std::string text_field(const char* field, std::size_t size) {
    return std::string(field, strnlen(field, size));
}

}  // namespace

std::variant<std::vector<FtdiDevice>, std::string> list_devices() {
    DWORD count = 0;
    if (FT_STATUS status = FT_CreateDeviceInfoList(&count); status != FT_OK)
        return "the FTDI driver cannot list devices (status " + std::to_string(status) + ")";
    if (count == 0) return std::vector<FtdiDevice>{};

    std::vector<FT_DEVICE_LIST_INFO_NODE> records(count);
    DWORD filled = count;
    if (FT_STATUS status = FT_GetDeviceInfoList(records.data(), &filled); status != FT_OK)
        return "the FTDI driver cannot list devices (status " + std::to_string(status) + ")";

    std::vector<FtdiDevice> devices;
    // Devices attached since the count was taken are not in the records.
    for (DWORD i = 0; i < filled && i < count; ++i) {
        FtdiDevice d;
        d.index = static_cast<int>(i);
        d.description = text_field(records[i].Description, sizeof records[i].Description);
        d.serial = text_field(records[i].SerialNumber, sizeof records[i].SerialNumber);
        d.is_unit = korvel::is_unit(records[i]);
        d.opened = (records[i].Flags & FT_FLAGS_OPENED) != 0;
        devices.push_back(std::move(d));
    }
    return devices;
}

std::optional<std::string> open_unit() {
    auto listed = list_devices();
    if (auto* reason = std::get_if<std::string>(&listed)) return "unit not found: " + *reason;
    const auto& devices = std::get<std::vector<FtdiDevice>>(listed);
    bool unit_listed = false;
    for (const auto& d : devices) unit_listed = unit_listed || d.is_unit;
    if (!unit_listed) {
        if (devices.empty()) return std::string("unit not found: no FTDI device is attached");
        return "unit not found: none of the " + std::to_string(devices.size()) +
               " FTDI devices is described as " + korvel::kPrimaryDescription + " or " +
               korvel::kAlternateDescription +
               " (see: korvelctl list; a device without access permission shows no "
               "description, see the udev rule in README.md)";
    }
    if (usb_init() == 1) return std::nullopt;
    // The driver marks a device another program has open; ask again, as that is why opening
    // usually fails.
    listed = list_devices();
    if (const auto* now = std::get_if<std::vector<FtdiDevice>>(&listed)) {
        for (const auto& d : *now)
            if (d.is_unit && d.opened) return std::string("the unit is in use by another program");
    }
    return std::string(
        "unit not found: it is attached but could not be opened (in use by another program, "
        "or no permission to open it: see the udev rule in README.md)");
}

bool unit_still_connected() {
    return korvel::api::unit_answers();
}

}  // namespace korvelctl
