// The DS4520 nine-bit nonvolatile I/O expander as its data sheet describes it on the bus:
// address 1010 A2 A1 A0, a register pointer set by the first byte of a write and kept across a
// STOP, auto-increment on every byte read or written, the pull-up and I/O control registers with
// their EEPROM copies (written through while the configuration bit SEE is 0), the read-only
// status registers that show the pin levels, the volatile SRAM bytes and 64 bytes of user EEPROM.
//
// A write that reached the EEPROM starts its write cycle at the STOP; for the cycle's time (tWR)
// the chip acknowledges nothing, so a transaction addressed to it meanwhile is lost.
#pragma once

#include <cstdint>

#include "eeprom_write_cycle.h"
#include "i2c_target.h"
#include "korvel/sim/unit.h"

namespace korvel::sim {

class Ds4520Chip : public I2cTarget {
  public:
    // The data sheet's maximum EEPROM write time, tWR = 20 ms.
    static constexpr std::uint64_t kWriteTimeUs = 20000;

    Ds4520Chip(int address_pins, const ChipClock& clock)
        : address7_(static_cast<std::uint8_t>(0x50 | address_pins)),
          write_cycle_(clock, kWriteTimeUs) {}

    Ds4520& registers() { return regs_; }
    // Power-up: registers from the EEPROM copies, configuration and SRAM cleared.
    void power_on();

  protected:
    bool claims(std::uint8_t address7, bool read) override;
    bool receive(std::uint8_t byte) override;
    std::uint8_t transmit() override;
    void stopped() override;

  private:
    std::uint8_t read_register(std::uint8_t address) const;
    void write_register(std::uint8_t address, std::uint8_t value);

    std::uint8_t address7_;
    Ds4520 regs_;
    std::uint8_t pointer_ = 0;
    bool expect_pointer_ = false;
    EepromWriteCycle write_cycle_;
    bool eeprom_written_ = false;  // this transaction wrote EEPROM cells: a cycle starts at STOP
};

}  // namespace korvel::sim
