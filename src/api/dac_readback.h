// Reading an MCP4728 back: the 24 bytes the chip returns to a read, decoded per channel.
#pragma once

#include <array>
#include <cstdint>

namespace korvel::api {

using DacReadbackBytes = std::array<std::uint8_t, 24>;

// One copy of a channel's setting (the input register or its EEPROM copy).
struct DacRegister {
    std::uint16_t code = 0;       // 12 bits
    std::uint8_t vref = 0;        // 0 = supply as reference, 1 = internal 2.048 V
    std::uint8_t power_down = 0;  // 0 = normal
    std::uint8_t gain = 0;        // 0 = x1, 1 = x2
    bool ready = false;           // RDY/BSY: no EEPROM write in progress
    bool powered_on = false;      // POR
};

struct DacChannelReadback {
    DacRegister input;
    DacRegister eeprom;
};

// The 24 bytes of one DAC (selector 0 or 1), read over the unit's I2C bus with the driver's
// read-back. Without an open link nothing is sent and every byte reads 0xFF, as with no chip.
DacReadbackBytes read_dac_bytes(int selector);

// Per channel A..D: six bytes, the input register then the EEPROM copy, each as
// [RDY/BSY POR DAC1 DAC0 A2 A1 A0 x] [VREF PD1 PD0 Gx D11..D8] [D7..D0].
std::array<DacChannelReadback, 4> decode_dac_bytes(const DacReadbackBytes& bytes);

}  // namespace korvel::api
