// Serial loads of the FPGA's custom-pattern and error-injection memories over D2 (clock), D4
// (data), D5 and D6 (active-low memory selects).
#pragma once

#include <cstdint>

#include "fpga/pattern_memory.h"

namespace korvel {

// Column j of the 32 rows is 256-bit word j of the custom pattern; column 0 is also the error mask.
extern PatternColumns pattern_buffer;

// Back to the state of a fresh process: pattern_buffer all zero.
void reset_fpga();

// Loads words 0..words-1 into the custom-pattern memory (the first argument is ignored).
void bit_load_FPGA(int ignored, int words);
// Loads the mask (column 0) and the period and width words into the error-injection memory.
void bit_load_FPGA_ErrInj(int ignored1, int ignored2, std::uint32_t period, std::uint32_t width);

// Told as a load into either memory begins (true) and ends (false), whoever started it: remote
// clients see a load in progress through it. One listener per process; nullptr: none.
void set_load_listener(void (*listener)(bool loading));

}  // namespace korvel
