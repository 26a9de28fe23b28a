// The MCP4728 read-back: for each channel A..D, three bytes of the input register followed by
// three bytes of its EEPROM copy.
#pragma once

#include <cstdint>

namespace korvel {

constexpr int kMcp4728ReadbackSize = 24;

// START, read address, 24 bytes (ACK after all but the last), STOP.
void mcp4728_dac_read_into(int selector, std::uint8_t (&bytes)[kMcp4728ReadbackSize]);

}  // namespace korvel
