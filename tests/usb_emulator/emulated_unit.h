// The process's emulated unit, and the same operation run on the simulated unit through both
// ways a program reaches it: the simulated backend, and libftdi1 + libusb + the emulated FT232R.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "base/clock.h"
#include "ds4520/ds4520.h"
#include "emulated_ft232r.h"
#include "ftdi/backend_select.h"
#include "ftdi/libftdi/libftdi_backend.h"
#include "korvel/sim/usb.h"
#include "link/i2c_engine.h"
#include "link/usb_link.h"
#include "preload.h"
#include "support/fresh_process.h"

namespace korvel::testing {

inline std::uint64_t microseconds_from(const char* variable) {
    const char* value = std::getenv(variable);
    return value == nullptr ? 0 : std::strtoull(value, nullptr, 10);
}

// Made at first use and kept for the life of the process (umockdev keeps one testbed). The bus
// timing comes from KORVEL_USB_LATENCY_US and KORVEL_USB_SERVICE_US (default 0), for measuring.
// The unit's chips keep the program's time: a test on a virtual clock gets the same chip
// answers however fast the machine runs.
inline usbemu::EmulatedUsb& emulated_usb() {
    static auto* usb = [] {
        auto* made = new usbemu::EmulatedUsb(
            usbemu::TimingModel{microseconds_from("KORVEL_USB_LATENCY_US"),
                                microseconds_from("KORVEL_USB_SERVICE_US")});
        made->set_unit_clock(
            [] { return static_cast<std::uint64_t>(platform::clock().now() * 1e6); });
        return made;
    }();
    return *usb;
}

// A fresh unit on the emulated bus behind a fresh libftdi backend whose requests give up after
// `timeout_ms`, queued or (queued false) each waited for.
inline void use_emulated_unit(int timeout_ms = 1000, bool queued = true) {
    ftdi::select_backend(ftdi::BackendKind::Sim);  // closes the previous backend's devices
    emulated_usb().reset();
    ftdi::UsbBackendTuning tuning;
    tuning.open.timeout_ms = timeout_ms;
    tuning.queue_requests = queued;
    ftdi::use_backend(ftdi::make_libftdi_backend(ftdi::make_libftdi_transport(), tuning),
                      ftdi::BackendKind::Ftdi);
    fresh_process(UnitBehindDriver::AsPlaced);
}

// A fresh unit behind the simulated backend (the emulator's node stays, unused).
inline void use_simulated_backend() {
    ftdi::select_backend(ftdi::BackendKind::Sim);
    emulated_usb().reset();
    emulated_usb().with_unit([](sim::Usb&) { ftdi::use_fresh_simulated_unit(); });
    fresh_process(UnitBehindDriver::AsPlaced);
}

class EmulatedUsbTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!usbemu::preload_active())
            GTEST_SKIP()
                << (usbemu::umockdev_preload()
                        ? "umockdev's preload did not load"
                        : "umockdev is not installed (scripts/install-deps.sh installs it)");
        use_emulated_unit();
    }
    void TearDown() override {
        ftdi::select_backend(ftdi::BackendKind::Sim);  // closes what libftdi still has open
        fresh_process(UnitBehindDriver::AsPlaced);
    }

    static usbemu::EmulatedUsb& usb() { return emulated_usb(); }
};

inline double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace korvel::testing
