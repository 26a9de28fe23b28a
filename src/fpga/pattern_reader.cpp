#include "fpga/pattern_reader.h"

namespace korvel {

std::size_t PatternReader::take(std::span<const std::uint8_t> text) {
    std::size_t used = 0;
    while (used < text.size() && !done()) {
        const std::uint8_t c = text[used++];
        if (c != '0' && c != '1') continue;
        const bool one = c == '1';
        if (first_bits_.size() < kShownBits) first_bits_ += static_cast<char>(c);

        const std::uint32_t word = bits_ / kWordBits;
        const std::uint32_t k = bits_ % kWordBits;
        std::uint8_t& byte = columns_[kPatternRows - 1 - k / 8][word];
        const auto mask = static_cast<std::uint8_t>(0x80u >> (k % 8));
        byte =
            one ? static_cast<std::uint8_t>(byte | mask) : static_cast<std::uint8_t>(byte & ~mask);
        ++bits_;
    }
    return used;
}

}  // namespace korvel
