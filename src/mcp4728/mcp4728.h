// MCP4728 quad 12-bit DAC driver and the scaled write in volts over the unit's two DACs.
#pragma once

#include <cstdint>

namespace korvel {

struct DacChannelRef {
    int selector;     // DAC address bits: 0 or 1
    int dac_channel;  // 0..3 = outputs A..D
};
extern const DacChannelRef dac_channel_map[8];

// Logical channel 0..7, volts (3.3 V full scale); mode 1 volatile, other modes also stored in the
// DAC's EEPROM (followed by a 50 ms pause). Channels outside 0..7 are ignored; codes are clamped
// to 0..4095.
void dac_write(int channel, float value, std::uint8_t mode);
// The 12-bit code dac_write sends for `volts`.
unsigned dac_code_for(float volts);
void mcp4728_dac_write(int selector, int dac_channel, unsigned int code, std::uint8_t mode);
void mcp4728_dac_read(int selector);
void mcp4728_dac_dump();
void dac_sweep();

}  // namespace korvel
