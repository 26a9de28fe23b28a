// The error-injection memory's pulse timing and the error rate it gives.
//
// The FPGA XORs the 256-bit mask into `width` consecutive 256-bit blocks out of every `period`
// blocks, so a mask with e ones gives width * e / period / 256 errors per bit. It takes the two
// numbers less one (a width word of 0 is one block).
#pragma once

#include <cstdint>

namespace korvel {

struct PulseTiming {
    std::uint32_t period = 1;
    std::uint32_t width = 1;
};
// Period and width as the unit can take them: 0 becomes 1, a width above the period becomes
// the period.
PulseTiming usable_timing(std::uint32_t period, std::uint32_t width);

// Errors per bit, in double precision (no 32-bit product can overflow); 0 for an empty mask.
// `period` is at least 1.
double error_rate(std::uint32_t width, int errors_per_256, std::uint32_t period);

}  // namespace korvel
