// The FTDI devices on the USB bus as Linux describes them in sysfs.
//
// The kernel reads every device's descriptors and strings when the device is plugged in and
// shows them as world-readable files under /sys/bus/usb/devices/<port path>/ (idVendor,
// idProduct, bcdDevice, busnum, devnum, product, serial). Reading them costs no USB traffic and
// needs no permission on the device, where asking the device for its strings through libusb
// opens it (a few milliseconds of control transfers per device, and only for a user allowed to
// open it).
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "ftdi/libftdi/libftdi_device_list.h"

namespace korvel::ftdi {

constexpr const char* kSysfsUsbDevices = "/sys/bus/usb/devices";

// Every FTDI device (vendor 0x0403 with one of FTDI's own product ids, as libftdi looks for
// them) listed under `root`, ordered by bus and address. nullopt when `root` is not a folder
// (not Linux, or sysfs not mounted): the caller then has to ask libusb. Strings are shown as
// libusb's ASCII reading shows them: every character outside ASCII becomes '?'.
std::optional<std::vector<UsbFtdiDevice>> find_ftdi_devices_in_sysfs(
    const std::filesystem::path& root);

}  // namespace korvel::ftdi
