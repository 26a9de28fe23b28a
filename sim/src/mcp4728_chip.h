// The MCP4728 quad 12-bit DAC as its data sheet describes it on the bus: address 1100 A2 A1 A0,
// the write commands (fast write, multi-write, sequential and single write with EEPROM, reference,
// gain and power-down selection), the 24-byte read-back (per channel three bytes of the input
// register and three of its EEPROM copy, each led by RDY/BSY, POR, the channel and the address
// bits) and the general-call reset and wake-up. At power-up the input registers take the EEPROM
// values.
//
// A write with EEPROM (single or sequential) starts the EEPROM write cycle at the falling edge of
// the acknowledge clock of its last byte. For the cycle's time the chip still acknowledges but
// ignores every command written to it, and a read shows RDY/BSY = 0.
#pragma once

#include <array>
#include <cstdint>

#include "eeprom_write_cycle.h"
#include "i2c_target.h"
#include "korvel/sim/unit.h"

namespace korvel::sim {

class Mcp4728Chip : public I2cTarget {
  public:
    // The data sheet's maximum EEPROM write time, TWRITE = 50 ms.
    static constexpr std::uint64_t kWriteTimeUs = 50000;

    Mcp4728Chip(int address_bits, const ChipClock& clock)
        : address_bits_(static_cast<std::uint8_t>(address_bits & 7)),
          write_cycle_(clock, kWriteTimeUs) {}

    Mcp4728& registers() { return regs_; }
    void power_on();

  protected:
    bool claims(std::uint8_t address7, bool read) override;
    bool receive(std::uint8_t byte) override;
    std::uint8_t transmit() override;
    void finish() override;
    void acknowledged() override;

  private:
    // The input registers take the EEPROM values (power-up and the general-call reset).
    void load_from_eeprom();
    // The 24 bytes a read returns, from the present registers.
    std::array<std::uint8_t, 24> read_back() const;
    enum class Command { None, Fast, Multi, Sequential, Single, PowerDown, Ignored };
    void command_byte(std::uint8_t byte);
    void store(int channel, bool eeprom);

    std::uint8_t address_bits_;
    Mcp4728 regs_;
    bool general_call_ = false;
    Command command_ = Command::None;
    int channel_ = 0;
    int bytes_ = 0;  // data bytes taken for the present command
    std::uint8_t upper_ = 0;
    std::array<std::uint8_t, 24> image_{};
    int read_index_ = 0;
    EepromWriteCycle write_cycle_;
    bool eeprom_written_ = false;  // EEPROM data latched, its write cycle not started yet
    bool ignoring_ = false;        // the rest of this transaction came while the chip was busy
};

}  // namespace korvel::sim
