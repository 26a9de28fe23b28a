// Register-level transactions with one DS4520 on the unit's I2C bus.
#pragma once

#include <cstdint>

namespace korvel::ds4520_bus {

// Bank-0 and bank-1 registers.
constexpr std::uint8_t kPullup0 = 0xF0, kPullup1 = 0xF1;
constexpr std::uint8_t kControl0 = 0xF2, kControl1 = 0xF3;
constexpr std::uint8_t kConfig = 0xF4;
constexpr std::uint8_t kStatus0 = 0xF8, kStatus1 = 0xF9;
constexpr std::uint8_t kSramFirst = 0xFA, kSramLast = 0xFF;

// Address bytes: 0xA0 | chip << 1 for writing, one more for reading.
std::uint8_t write_address(int chip);
std::uint8_t read_address(int chip);

// START, W, reg, value, STOP.
void write_register(int chip, std::uint8_t reg, std::uint8_t value);
// START, W, reg, STOP; then START, R, one byte with NACK, STOP. The chip keeps its register
// pointer across the STOP.
std::uint8_t read_register_after_select(int chip, std::uint8_t reg);
// START, W, 0xF8, repeated START, R, bank 0 with ACK, bank 1 with NACK, STOP.
// Returns bank 0 + 256 x bank 1.
int read_status_pair(int chip);
// The same from 0xF8 on, for a transaction whose START and W are already on the bus.
int finish_status_read(int chip);

}  // namespace korvel::ds4520_bus
