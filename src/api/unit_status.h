// Reading the unit's settings back from the chips: the expander pins and the DAC registers, and
// what they mean on the unit.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "api/dac_readback.h"

namespace korvel::api {

// What the chips hold, as read over the bus.
struct UnitReadback {
    // DS4520_IO_read of chips 2, 3 and 7: bits 0..7 = IO0..IO7, bit 8 = IO8 (bits 9..15 are the
    // rest of the bank-1 status byte).
    int expander2 = 0, expander3 = 0, expander7 = 0;
    DacReadbackBytes dac0{}, dac1{};
};

// Reads expanders 2, 3, 7 and both DACs on the open link.
UnitReadback read_unit();

// The settings the pins and registers stand for.
struct UnitStatus {
    int pattern_code = 0;                             // expander 7 IO0-IO3
    std::optional<std::string_view> pattern_name;     // none for an unknown code
    int phase_mph = 0;                                // expander 7 IO4-IO5
    int phase_aph = 0;                                // expander 7 IO6-IO7
    bool calibration_mode = false;                    // expander 7 IO8
    int divide_byte = 0;                              // expander 2 IO0-IO7, as sent
    int divide_ratio = 0;                             // the byte read as a ratio: 0x00 is 256
    bool fpga_reset = false;                          // expander 2 IO8 (high = held in reset)
    bool clock_output1_on = false;                    // expander 3 IO0 low
    bool error_injection_on = false;                  // expander 3 IO1 high (also inverted data)
    std::uint16_t duty_code = 0, amplitude_code = 0;  // DAC 0 channels C and D, input registers
    double duty_volts = 0.0, amplitude_volts = 0.0;
};

UnitStatus interpret(const UnitReadback& readback);

// DAC code to volts at the unit's 3.3 V full scale.
double dac_volts(std::uint16_t code);

}  // namespace korvel::api
