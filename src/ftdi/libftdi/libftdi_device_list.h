// The FTDI devices on the USB bus, as libftdi1 finds them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ftdi_context;
struct libusb_device;

namespace korvel::ftdi {

struct UsbFtdiDevice {
    std::uint8_t bus = 0;      // USB bus number
    std::uint8_t address = 0;  // device address on that bus (unique per bus while plugged in)
    std::uint16_t vendor_id = 0;
    std::uint16_t product_id = 0;
    std::uint16_t release = 0;  // bcdDevice: tells the chip family
    // Empty when the device's strings could not be read (no permission to open it, or busy).
    std::string description;
    std::string serial;
};

// The vendor driver's device type for a chip family (bcdDevice), e.g. 5 for an FT232R.
std::uint32_t device_type_for_release(std::uint16_t release, bool has_serial_string);

// Every FTDI device (vendor 0x0403 with one of FTDI's own product ids) on the bus, asking each
// device for its strings through libusb (which opens it). No USB access at all (libusb cannot
// start, e.g. no /dev/bus/usb in a container) gives an empty list.
std::vector<UsbFtdiDevice> find_ftdi_devices();

// Opens the device at `bus`:`address` on `context` (made with ftdi_new(), its timeouts and
// detach mode already set). False when the device is gone or cannot be opened (permission, or
// another program holds it).
bool open_ftdi_device(ftdi_context* context, std::uint8_t bus, std::uint8_t address);

// Closes and frees a context from open_ftdi_device (nullptr is ignored).
void close_ftdi_device(ftdi_context* context);

}  // namespace korvel::ftdi
