// The DS4520 nine-bit nonvolatile I/O expander as its data sheet describes it on the bus:
// address 1010 A2 A1 A0, a register pointer set by the first byte of a write and kept across a
// STOP, auto-increment on every byte read or written, the pull-up and I/O control registers with
// their EEPROM copies (written through while the configuration bit SEEB is 0), the read-only
// status registers that show the pin levels, the volatile SRAM bytes and 64 bytes of user EEPROM.
#pragma once

#include <cstdint>

#include "i2c_target.h"
#include "korvel/sim/unit.h"

namespace korvel::sim {

class Ds4520Chip : public I2cTarget {
  public:
    explicit Ds4520Chip(int address_pins)
        : address7_(static_cast<std::uint8_t>(0x50 | address_pins)) {}

    Ds4520& registers() { return regs_; }
    // Power-up: registers from the EEPROM copies, configuration and SRAM cleared.
    void power_on();

  protected:
    bool claims(std::uint8_t address7, bool read) override;
    bool receive(std::uint8_t byte) override;
    std::uint8_t transmit() override;

  private:
    std::uint8_t read_register(std::uint8_t address) const;
    void write_register(std::uint8_t address, std::uint8_t value);

    std::uint8_t address7_;
    Ds4520 regs_;
    std::uint8_t pointer_ = 0;
    bool expect_pointer_ = false;
};

}  // namespace korvel::sim
