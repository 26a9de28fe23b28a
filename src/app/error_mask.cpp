#include "app/error_mask.h"

#include "app/random.h"

namespace korvel::app {

namespace {

bool mask_bit(const PatternColumns& columns, int row, int bit) {
    return (columns[row][0] >> bit) & 1;
}

void set_mask_bit(PatternColumns& columns, int row, int bit, bool one) {
    std::uint8_t& byte = columns[row][0];
    const auto m = static_cast<std::uint8_t>(1u << bit);
    byte = one ? static_cast<std::uint8_t>(byte | m) : static_cast<std::uint8_t>(byte & ~m);
}

}  // namespace

void set_error_burst(PatternColumns& columns, int errors) {
    for (auto& row : columns) row[0] = 0;
    for (int k = 0; k < errors && k < kWordBits; ++k) set_mask_bit(columns, k / 8, 7 - k % 8, true);
}

void spread_errors(PatternColumns& columns) {
    // 254 exchanges: none for i = 254, whose partner could only be 254 or 255.
    for (int i = 0; i <= kWordBits - 3; ++i) {
        const int j = static_cast<int>(Random(i, 255.999));
        const bool a = mask_bit(columns, i / 8, i % 8);
        const bool b = mask_bit(columns, j / 8, j % 8);
        set_mask_bit(columns, i / 8, i % 8, b);
        set_mask_bit(columns, j / 8, j % 8, a);
    }
}

}  // namespace korvel::app
