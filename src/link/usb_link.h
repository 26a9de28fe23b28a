// The USB link to the unit: finding and opening its FTDI chip, the one device handle, the pin map,
// the pin images and the buffered pin-byte writer.
//
// Pin map of the data bus (bit n of every pin byte is pin Dn):
//   D0 I2C SCL and D1 I2C SDA, open drain emulated with the direction mask (see i2c_engine.h)
//   D2 FPGA serial clock, D4 FPGA serial data (push-pull from fpga_pin_image)
//   D5 / D6 FPGA select of the error-injection / custom-pattern memory, active low
//   D3 unused (always 0), D7 no function (held low as an output)
#pragma once

#include <cstdint>
#include <string>

#include "ftdi/ftd2xx.h"

namespace korvel {

constexpr int kDeviceListSize = 10;
constexpr int kUsbOutBufferSize = 1024;
constexpr const char* kPrimaryDescription = "ZEVA_KORVEL";
constexpr const char* kAlternateDescription = "ZEVA~KORVEL";
constexpr const char* kChipFlagVariable = "ZEVA_CHIP_FLAG";

// Pin bits.
constexpr std::uint8_t kPinScl = 0x01;
constexpr std::uint8_t kPinSda = 0x02;
constexpr std::uint8_t kPinFpgaClock = 0x04;
constexpr std::uint8_t kPinFpgaData = 0x10;
constexpr std::uint8_t kPinSelectErrorMemory = 0x20;
constexpr std::uint8_t kPinSelectPatternMemory = 0x40;

// The one device handle. 0 at start; the value 1 (kUnusableHandle) marks no usable device.
extern FT_HANDLE usb_handle;
inline const FT_HANDLE kUnusableHandle = reinterpret_cast<FT_HANDLE>(1);
extern FT_DEVICE_LIST_INFO_NODE device_info_list[kDeviceListSize];
// Serial number of the unit last matched by init_usb, NUL-terminated.
extern char device_serial[16];

// The FPGA link's pin byte (low byte used) and the writer's buffer.
extern std::uint32_t fpga_pin_image;
extern std::uint8_t usb_out_buffer[kUsbOutBufferSize];
extern int usb_out_count;

// True when a device-list record describes the unit: one of the two descriptions, in any letter
// case, over the whole 64-character field (which the driver need not terminate).
bool is_unit(const FT_DEVICE_LIST_INFO_NODE& record);

// 1 when the unit is open and set up, 0 otherwise.
int init_usb();
// 1 when a device with one of the unit's descriptions is attached. A unit found with the alternate
// description is noted (alternate_variant_noted()), and ZEVA_CHIP_FLAG=1 is put into the
// process's environment for programs started from it.
int usb_aliveQ();
// Discovers the unit as usb_aliveQ does, for the variant it notes: true when the alternate
// variant has been noted in this process.
bool note_unit_variant();
// True once a discovery has found the unit with the alternate description, which takes the
// divide ratio bit-reversed; it stays true whatever unit comes later (usb_link_reset forgets it).
// The link remembers it itself: the environment variable is for the world outside the program.
bool alternate_variant_noted();
// Closes the handle. The handle keeps its value but is never passed to the driver again until
// init_usb opens the device anew.
void close();
// Present level of the eight pins, or 0 when there is no usable device or the read fails.
int usb_input();
// Appends the low byte of fpga_pin_image; writes the buffer out when `flush` is non-zero or it
// is full.
void usb_output(int flush);

// True when usb_handle may be passed to the driver: opened by init_usb, not closed since, not 1,
// and its device not reported gone since.
bool usb_handle_usable();

// True when the opened unit stopped answering: a USB request on usb_handle timed out or found
// the device gone, and the driver now refuses every call on it at once. A hung chip can stay
// listed as attached, so presence alone never shows this; the handle has to be closed and the
// unit opened anew (close, then init_usb).
bool usb_link_lost();

// Why the attached unit cannot be opened, for the user: when init_usb failed because this user
// has no permission to open the unit, how to install the udev rule (one line of explanation and
// the command). Empty when there is no such problem: the unit opened, or is not attached. The
// same text is written once per process to stderr when the problem is first seen.
std::string usb_permission_hint();

// The link and its I2C engine back to the state of a fresh process without calling the driver:
// no handle, empty device list and buffer, blank serial, the FPGA pins and the I2C direction
// image at their start, no permission hint. For tests and the soak, which replace the unit under
// the link.
void reset_link();

}  // namespace korvel
