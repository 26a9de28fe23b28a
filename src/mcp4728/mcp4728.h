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
// One ramp of stored writes on a logical channel: 0 V, then 0.1 V more (single precision) after
// each write while the value stays below 3.3 V (34 writes, 0 to 3.2999990 V), 1 ms after each;
// with `print_values` each value is printed ("%f \n") after its write.
void dac_ramp(int channel, bool print_values);
// 1000 printed ramps on logical channel 6.
void dac_sweep();

}  // namespace korvel
