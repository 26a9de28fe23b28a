// The shape in which the program keeps what it sends to the FPGA's two memories: 32 rows of 4096
// byte columns. Column j of the 32 rows is 256-bit word j of the custom pattern; column 0 also
// holds the 256-bit error mask.
#pragma once

#include <cstdint>

namespace korvel {

constexpr int kPatternRows = 32;
constexpr int kPatternWords = 4096;
constexpr int kWordBits = 8 * kPatternRows;  // 256

using PatternColumns = std::uint8_t[kPatternRows][kPatternWords];

}  // namespace korvel
