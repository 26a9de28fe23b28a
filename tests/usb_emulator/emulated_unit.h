// The process's emulated unit, and the same operation run on the simulated unit through both
// ways a program reaches it: the simulated backend, and libftdi1 + libusb + the emulated FT232R.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "app/callback_table.h"
#include "app/state.h"
#include "app/supervision.h"
#include "base/clock.h"
#include "ds4520/ds4520.h"
#include "emulated_ft232r.h"
#include "fpga/fpga_load.h"
#include "ftdi/backend_select.h"
#include "ftdi/libftdi/libftdi_backend.h"
#include "korvel/sim/usb.h"
#include "link/i2c_engine.h"
#include "link/usb_link.h"
#include "platform/user_interface.h"
#include "preload.h"
#include "resource/main_uir.h"
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

// Closes what libftdi still has open and puts the process back as a new one finds it.
inline void leave_emulated_unit() {
    ftdi::select_backend(ftdi::BackendKind::Sim);
    fresh_process(UnitBehindDriver::AsPlaced);
}

// One tick of the main window's timer: the supervision that finds, opens and sets up the unit.
inline void supervision_tick() {
    app::CBTimer(app::main_panel, PANELMAIN_TIMER, EVENT_TIMER_TICK, nullptr, 0, 0);
}

// The program after start-up on `clock`, with the emulated unit behind the libftdi backend
// (queued, or each request waited for); true when the first supervision tick connected it.
inline bool start_program_on_emulated_unit(platform::Clock& clock, bool queued,
                                           int timeout_ms = 1000) {
    use_emulated_unit(timeout_ms, queued);
    platform::set_clock(&clock);
    app::register_callbacks();
    app::main_panel = LoadPanel(0, "main.uir", PANELMAIN);
    supervision_tick();
    return app::last_unit_present == 1 && usb_handle_usable();
}

// The custom pattern buffer full of pseudo-random bytes, the same every time.
inline void fill_pattern_buffer() {
    std::uint32_t x = 0x7654321;
    for (auto& row : pattern_buffer)
        for (auto& byte : row) {
            x = x * 1664525u + 1013904223u;
            byte = static_cast<std::uint8_t>(x >> 24);
        }
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
    void TearDown() override { leave_emulated_unit(); }

    static usbemu::EmulatedUsb& usb() { return emulated_usb(); }
};

inline double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace korvel::testing
