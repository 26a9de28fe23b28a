// An FT232R on an emulated USB bus, backed by the simulated unit: real libftdi1 and libusb talk
// to it through the kernel's usbdevfs interface exactly as to a chip on a cable.
//
// umockdev's preload library (libumockdev-preload.so) stands in for the kernel: it shows programs
// a fake /sys and /dev, and hands every ioctl on a device node to a handler in the process that
// made the testbed. This file builds the device there:
//   - sysfs: the attributes libusb and our own device list read (idVendor, busnum, devnum, speed,
//     bConfigurationValue, the strings, and `descriptors`, the raw device and configuration
//     descriptors), udev properties, and the /dev/bus/usb/BBB/DDD node;
//   - usbdevfs: capabilities, interface claim and release, the kernel serial driver (ftdi_sio)
//     detached and given back, URB submit / reap / discard;
//   - the chip: FTDI's vendor requests turned into simulated-unit calls (reset, baud rate with the
//     divisor decoded, bit mode, pin read, latency timer, EEPROM words), bulk OUT bytes as pin
//     changes, bulk IN answered with the two modem-status bytes of an empty FIFO.
//   - the EEPROM: a full FT232R image built with our own EEPROM code from the unit's strings,
//     its AN_121 user area mapped onto the simulated unit's user area (both ways).
//
// Every device of the simulated USB (the unit and any other FTDI devices added to it) gets a
// node. Unplugging ends the URBs in flight with -ESHUTDOWN, answers later requests ENODEV and
// sends the remove uevent; plugging in again gives a new device number. A hung chip holds every
// URB from then on: libusb times them out and discards them (they end -ENOENT).
//
// Threads: umockdev answers ioctls on its own worker thread; the emulator's lock guards the
// simulated unit and the emulator's state. Tests reach the unit only through with_unit().
//
// One emulator per process (umockdev keeps one testbed per process); the process must run with
// the preload (see preload.h) for its own libusb to see the device.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "bus_timing.h"
#include "korvel/sim/usb.h"

namespace korvel::usbemu {

class EmulatedUsb {
  public:
    // Makes the testbed and a node for every attached device of the process's simulated USB.
    explicit EmulatedUsb(TimingModel timing = {});
    ~EmulatedUsb();
    EmulatedUsb(const EmulatedUsb&) = delete;
    EmulatedUsb& operator=(const EmulatedUsb&) = delete;

    // Runs `f` on the process's simulated USB with the emulator's lock held.
    template <typename F>
    auto with_unit(F f) {
        std::lock_guard lock(mutex_);
        return f(korvel::sim::usb());
    }

    // The unit's cable: unplugging ends what is in flight and removes the node; plugging in gives
    // the unit a new device number.
    void unplug();
    void plug_in();
    // The cable is pulled as the nth request from now (1 = the next) reaches the unit: that
    // request fails with ENODEV, as do all after it.
    void unplug_at_request(std::uint64_t nth);
    // Another FTDI device (kernel serial driver bound) appears on the bus. The simulated USB
    // keeps it across reset().
    void add_foreign_device(const std::string& description, const std::string& serial);
    // The unit's chip stops answering at the nth request from now (1 = the next) and holds every
    // request after it; 0 makes it answer again.
    void hang_at_request(std::uint64_t nth);

    // The unit's chip refuses the nth request from now (1 = the next): it ends with a stall
    // (-EPIPE), as a request the chip will not take does; the requests after it are answered.
    void stall_at_request(std::uint64_t nth);
    // Requests a program tried to submit to the unit while it was unplugged (refused ENODEV).
    std::uint64_t refused_requests() const;

    // A fresh simulated unit (korvel::sim::reset_usb()) plugged in anew with its default
    // strings, chips answering, counts at 0. Every program handle must be closed first.
    void reset();

    // Where the unit's chips read the time, in microseconds (their EEPROM write cycles run on
    // it). By default the wall clock; a test whose program pauses on a virtual clock gives that
    // clock here, so the chips see the program's pauses and not how fast the machine runs. A
    // clock that goes back (another one installed) is taken up from where it stands.
    void set_unit_clock(std::function<std::uint64_t()> now_us);

    TrafficCounts counts() const;
    void reset_counts();

    // Every request that reached a device since the last reset() or clear_request_log(), in the
    // order the devices got them, one line each: a control request as "ctl" and its setup
    // packet in hex (bmRequestType bRequest wValue wIndex, then wLength in decimal, then an OUT
    // data stage), a bulk transfer as "bulk", its endpoint and length (then the bytes of an OUT
    // transfer: in hex up to 16, otherwise "#" and their 64-bit FNV-1a hash), a port reset as
    // "port reset". A request refused by an unplug is not in it.
    std::vector<std::string> request_log() const;
    void clear_request_log();

    // The kernel driver bound to interface 0 of the device with `serial`: "ftdi_sio", "usbfs"
    // (claimed by a program) or "" (none); "?" for no such device.
    std::string kernel_driver(const std::string& serial) const;
    // The configuration EEPROM of the device with `serial` (all 0xFF for no such device).
    std::array<std::uint8_t, 128> eeprom(const std::string& serial) const;
    // The baud rate the divisor last programmed into the device with `serial` makes (0: none).
    std::uint32_t baud_rate(const std::string& serial) const;

    struct Impl;

  private:
    mutable std::mutex mutex_;
    std::unique_ptr<Impl> impl_;
};

// The baud rate an FT232R makes from the divisor of a SIO_SET_BAUDRATE request (wValue, wIndex):
// 3 MHz over a divisor of 14 integer bits and a fraction of 1/8 steps; divisors 0 and 1 mean
// 3 and 2 MBd.
std::uint32_t ft232r_baud_rate(std::uint16_t value, std::uint16_t index);

}  // namespace korvel::usbemu
