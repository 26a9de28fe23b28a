// Custom test pattern text, turned into pattern words.
//
// Every byte '0' or '1' is one pattern bit; every other byte (spaces, line ends, other digits,
// letters, binary junk) is skipped. Bits fill word 0 first, 256 per word. Within word j the file's
// bit k goes to row 31 - k / 8, bit 7 - k % 8 of column j: the FPGA takes each word row 0 first,
// least significant bit first, so it receives the word's bits in the reverse of their file order,
// and bit-editor position p of word 0 holds file bit 255 - p.
//
// The reader takes the text in chunks of any size and gives the same result however the text is
// cut. It stops wanting more once word 4096, the last the memory holds, is complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fpga/pattern_memory.h"

namespace korvel {

class PatternReader {
  public:
    static constexpr std::uint32_t kMaxBits = std::uint32_t{kWordBits} * kPatternWords;
    static constexpr std::size_t kShownBits = kWordBits;

    // Bits are written into `columns` as they arrive; a bit not reached keeps its old value.
    explicit PatternReader(PatternColumns& columns) : columns_(columns) {}

    // Takes the bits in `text`. Returns the number of bytes used: all of them, or fewer once the
    // last word is complete.
    std::size_t take(std::span<const std::uint8_t> text);

    // Word 4096 is complete: nothing further is read.
    bool done() const { return bits_ == kMaxBits; }
    std::uint32_t bits() const { return bits_; }
    // Words whose 256 bits all arrived; the bits of an incomplete last word are in the columns
    // but are not part of the pattern.
    int complete_words() const { return static_cast<int>(bits_ / kWordBits); }
    // The first 256 bit characters in file order, without separators.
    const std::string& first_bits() const { return first_bits_; }

  private:
    PatternColumns& columns_;
    std::uint32_t bits_ = 0;
    std::string first_bits_;
};

}  // namespace korvel
