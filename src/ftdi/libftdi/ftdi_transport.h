// The USB side of the real-hardware backend, cut down to what the FT_* operations need from it:
// find the FTDI devices, open one, and the handful of transfers an open FT232R is asked for. The
// backend holds every rule (handles, lost devices, queued writes, EEPROM layout); the transport
// only moves bytes, so tests can put a fake in its place and need no hardware.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "ftdi/ftd2xx.h"
#include "ftdi/libftdi/libftdi_device_list.h"

namespace korvel::ftdi {

// How one request to the chip ended.
enum class Transfer {
    Done,
    Refused,  // never sent: the request itself cannot be made (a baud rate the chip cannot make)
    Failed,   // sent, and the USB transfer failed: timed out, device gone, or another USB error
};

enum class OpenOutcome {
    Opened,
    NoPermission,  // the device node exists but this user may not open it
    Failed,        // gone, held by another program, or another USB error
};

struct OpenOptions {
    // Every USB transfer on the device gives up after this long.
    int timeout_ms = 1000;
    // Let the kernel's serial driver go while the device is open and give the device back to it
    // at close, instead of leaving the port gone until it is replugged.
    bool reattach_kernel_driver = true;
};

// One open FTDI device. Destroying it closes the device (writes still in flight are cancelled).
class OpenFtdiDevice {
  public:
    virtual ~OpenFtdiDevice() = default;

    virtual bool is_ft232r() const = 0;
    // `baud` as the vendor driver means it (see libftdi_baud.h for the libftdi difference).
    virtual Transfer set_baud_rate(DWORD baud) = 0;
    virtual Transfer set_bit_mode(UCHAR mask, UCHAR mode) = 0;
    virtual Transfer read_pins(UCHAR& pins) = 0;
    // Queued requests, sent without waiting, in the order they were submitted: bulk writes to
    // the chip (`bytes` is copied), mask changes, and pin reads whose answer the program will not
    // examine. finish_oldest waits for the oldest one still in flight (Done when there is none);
    // when that was a pin read, `pins` (if not null) gets its answer. cancel_queued gives up
    // every request still in flight (after a failure) and waits until the USB stack lets go.
    virtual Transfer submit_write(std::span<const UCHAR> bytes) = 0;
    virtual Transfer submit_bit_mode(UCHAR mask, UCHAR mode) = 0;
    virtual Transfer submit_pin_read() = 0;
    virtual Transfer finish_oldest(UCHAR* pins) = 0;
    virtual void cancel_queued() = 0;
    virtual std::size_t requests_in_flight() const = 0;
    virtual std::size_t writes_in_flight() const = 0;  // the bulk writes among them
    virtual Transfer read_eeprom_word(std::size_t word, std::uint16_t& value) = 0;
    virtual Transfer write_eeprom_word(std::size_t word, std::uint16_t value) = 0;
    virtual Transfer get_latency_timer(UCHAR& milliseconds) = 0;
    virtual Transfer set_latency_timer(UCHAR milliseconds) = 0;
    // A USB port reset: the device comes back in its power-up state (bit-bang mode off).
    virtual Transfer reset_port() = 0;
};

class FtdiTransport {
  public:
    virtual ~FtdiTransport() = default;

    // Every FTDI device attached, without opening any of them.
    virtual std::vector<UsbFtdiDevice> find_devices() = 0;
    virtual OpenOutcome open(const UsbFtdiDevice& device, const OpenOptions& options,
                             std::unique_ptr<OpenFtdiDevice>& opened) = 0;
};

// The real one: libftdi1 and libusb, with the strings read from sysfs where Linux has it.
std::unique_ptr<FtdiTransport> make_libftdi_transport();

}  // namespace korvel::ftdi
