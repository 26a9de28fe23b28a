// Error-injection mask text, turned into the pulse period, the pulse width and the 256-bit mask.
//
// The text starts with two decimal integers, the period and then the width (each may be preceded
// by white space, as a formatted decimal read skips it), followed by 256 mask bits as '0'/'1'
// bytes with every other byte skipped. Mask bit k goes to row k / 8, bit 7 - k % 8 of column 0:
// the error memory is loaded from row 31 down, least significant bit first, so it too receives
// the file's bits from the last to the first.
//
// A number is 0 to 4294967295, written with digits only (a leading '+' is allowed). Anything else
// where a number belongs (nothing, a letter, a minus sign, a value too large) makes the text
// unusable: no mask bit is read and the columns stay as they were. The reader takes the text in
// chunks of any size and gives the same result however the text is cut; it stops wanting more
// after the 256th mask bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "fpga/pattern_memory.h"

namespace korvel {

class MaskReader {
  public:
    enum class Outcome {
        Complete,    // both numbers and all 256 mask bits
        NotNumbers,  // the text does not begin with two usable decimal integers
        Short,       // the text ended before the 256th mask bit (the bits read are in the columns)
    };

    explicit MaskReader(PatternColumns& columns) : columns_(columns) {}

    // Takes the next part of the text. Returns the number of bytes used: all of them, or fewer
    // once the mask is complete or the numbers turned out unusable.
    std::size_t take(std::span<const std::uint8_t> text);

    // Nothing further is needed.
    bool done() const { return phase_ == Phase::Complete || phase_ == Phase::Unusable; }
    // What the text gave, counting its end where the reader now stands (a number that is still
    // being read is complete there).
    Outcome outcome() const;

    std::uint32_t period() const { return period_; }
    std::uint32_t width() const { return width_; }
    int mask_bits() const { return mask_bits_; }
    int ones() const { return ones_; }

  private:
    enum class Phase { Period, Width, Bits, Complete, Unusable };
    // Feeds one byte to the number being read; false when the number ended before this byte.
    bool number_byte(std::uint8_t c, std::uint32_t& value);
    void mask_byte(std::uint8_t c);

    PatternColumns& columns_;
    Phase phase_ = Phase::Period;
    bool in_digits_ = false;  // the current number has begun (sign or digit seen)
    bool has_digit_ = false;
    std::uint32_t period_ = 0;
    std::uint32_t width_ = 0;
    int mask_bits_ = 0;
    int ones_ = 0;
};

}  // namespace korvel
