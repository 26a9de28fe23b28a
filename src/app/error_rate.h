// The error-injection arithmetic of the Error Injection Setup panel: the pulse timing the FPGA
// can take, the resulting error rate, and the two ways of placing n errors in the 256-bit mask.
//
// The FPGA XORs the mask into `width` consecutive 256-bit blocks out of every `period` blocks, so
// a mask with e ones gives width * e / period / 256 errors per bit.
#pragma once

#include <cstdint>

#include "fpga/pattern_memory.h"

namespace korvel::app {

struct PulseTiming {
    std::uint32_t period = 1;
    std::uint32_t width = 1;
};
// Period and width as the unit can take them: 0 becomes 1, a width above the period becomes
// the period.
PulseTiming usable_timing(std::uint32_t period, std::uint32_t width);

// Errors per bit, in double precision (no 32-bit product can overflow). 0 for an empty mask.
double error_rate(std::uint32_t width, int errors_per_256, std::uint32_t period);

// Clears the mask (column 0) and sets its first `errors` positions in file order (position k is
// bit 7 - k % 8 of row k / 8): one burst.
void set_error_burst(PatternColumns& columns, int errors);

// Spreads the mask's ones at random: for i from 0 to 253, exchanges mask index i with index
// j = trunc(Random(i, 255.999)), where index k is bit k % 8 of row k / 8. The number of ones
// never changes.
void spread_errors(PatternColumns& columns);

}  // namespace korvel::app
