#include "fpga/mask_reader.h"

namespace korvel {

namespace {

// White space as a formatted read skips it.
bool is_space(std::uint8_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool is_digit(std::uint8_t c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool MaskReader::number_byte(std::uint8_t c, std::uint32_t& value) {
    if (!in_digits_) {
        if (is_space(c)) return true;
        in_digits_ = true;
        if (c == '+') return true;
    }
    if (is_digit(c)) {
        const std::uint64_t next = std::uint64_t{value} * 10 + (c - '0');
        if (next > 0xFFFFFFFFu) {
            phase_ = Phase::Unusable;
            return true;
        }
        value = static_cast<std::uint32_t>(next);
        has_digit_ = true;
        return true;
    }
    // The number ends here; without a digit it was no number.
    if (!has_digit_) phase_ = Phase::Unusable;
    return false;
}

void MaskReader::mask_byte(std::uint8_t c) {
    if (c != '0' && c != '1') return;
    const int k = mask_bits_++;
    std::uint8_t& byte = columns_[k / 8][0];
    const auto mask = static_cast<std::uint8_t>(0x80u >> (k % 8));
    if (c == '1') {
        byte = static_cast<std::uint8_t>(byte | mask);
        ++ones_;
    } else {
        byte = static_cast<std::uint8_t>(byte & ~mask);
    }
    if (mask_bits_ == kWordBits) phase_ = Phase::Complete;
}

std::size_t MaskReader::take(std::span<const std::uint8_t> text) {
    std::size_t used = 0;
    while (used < text.size() && !done()) {
        const std::uint8_t c = text[used];
        switch (phase_) {
            case Phase::Period:
                if (number_byte(c, period_)) {
                    ++used;
                } else if (phase_ == Phase::Period) {
                    // The byte that ended the period is read again as the width's first.
                    phase_ = Phase::Width;
                    in_digits_ = has_digit_ = false;
                }
                break;
            case Phase::Width:
                if (number_byte(c, width_)) {
                    ++used;
                } else if (phase_ == Phase::Width) {
                    phase_ = Phase::Bits;
                }
                break;
            case Phase::Bits:
                mask_byte(c);
                ++used;
                break;
            case Phase::Complete:
            case Phase::Unusable:
                break;
        }
    }
    return used;
}

MaskReader::Outcome MaskReader::outcome() const {
    switch (phase_) {
        case Phase::Complete:
            return Outcome::Complete;
        case Phase::Width:
            // A width whose digits run up to the end of the text is complete, with no mask.
            return has_digit_ ? Outcome::Short : Outcome::NotNumbers;
        case Phase::Bits:
            return Outcome::Short;
        case Phase::Period:
        case Phase::Unusable:
            break;
    }
    return Outcome::NotNumbers;
}

}  // namespace korvel
