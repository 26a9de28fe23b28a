// The board's wiring: the host's eight pins, the I2C bus with its chips, the FPGA receiver and the
// USB chip's EEPROM user area. It resolves the pin levels after every host change and hands the
// edges to whoever listens on each line.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "bus_monitor.h"
#include "ds4520_chip.h"
#include "eeprom_write_cycle.h"
#include "fpga_receiver.h"
#include "korvel/sim/unit.h"
#include "mcp4728_chip.h"

namespace korvel::sim {

struct Board::Impl {
    Impl();

    // The host set direction `dir` and latch `latch`: resolve the pins and run every edge.
    void drive(std::uint8_t dir, std::uint8_t latch);
    void power_on();

    ChipClock clock;  // before the chips, which keep a reference to it
    std::array<Ds4520Chip, 3> expanders{Ds4520Chip{2, clock}, Ds4520Chip{3, clock},
                                        Ds4520Chip{7, clock}};
    std::array<Mcp4728Chip, 2> dacs{Mcp4728Chip{0, clock}, Mcp4728Chip{1, clock}};
    FpgaReceiver fpga;
    BusMonitor monitor;
    std::vector<std::uint8_t> user_area;

    std::uint8_t levels = kIdlePinLevels;
    bool sda_pulled = false;      // some chip pulls SDA low (kept up to date after every bus edge)
    bool sda_contention = false;  // the host drives SDA high while a chip pulls it low
    std::uint64_t contentions = 0;
    std::uint64_t power_cycles = 0;
    std::function<void(std::uint8_t)> pin_listener;
    std::function<void(bool)> power_listener;

  private:
    static constexpr std::uint8_t kScl = 0x01, kSda = 0x02;
    bool chips_pull_sda() const;
    void scl_edge(bool high, bool sda);
    void sda_edge(bool high, bool scl);
    void settle_sda(std::uint8_t host_sda, bool scl);
};

}  // namespace korvel::sim
