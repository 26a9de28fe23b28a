// Error-mask file text: never out of bounds, the same result in one piece and in chunks, and
// outcome, counts and mask consistent with each other.
#include <cstdlib>
#include <cstring>

#include "chunks.h"
#include "fpga/mask_reader.h"

namespace {

korvel::PatternColumns whole, pieces;

void check(bool ok) {
    if (!ok) std::abort();
}

int ones_in_column0(const korvel::PatternColumns& columns) {
    int n = 0;
    for (const auto& row : columns) n += __builtin_popcount(row[0]);
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using Outcome = korvel::MaskReader::Outcome;
    const std::span<const std::uint8_t> text(data, size);
    // Only column 0 (and its neighbour, checked below) can hold anything from the last input.
    for (int row = 0; row < korvel::kPatternRows; ++row)
        whole[row][0] = whole[row][1] = pieces[row][0] = pieces[row][1] = 0;

    korvel::MaskReader one(whole);
    const std::size_t used = one.take(text);
    korvel::MaskReader many(pieces);
    korvel::fuzz::in_chunks(text, [&](std::span<const std::uint8_t> chunk) { many.take(chunk); });

    check(used <= size);
    check(one.outcome() == many.outcome() && one.period() == many.period() &&
          one.width() == many.width() && one.mask_bits() == many.mask_bits() &&
          one.ones() == many.ones());
    for (int row = 0; row < korvel::kPatternRows; ++row) check(whole[row][0] == pieces[row][0]);

    check(one.ones() >= 0 && one.ones() <= one.mask_bits() && one.mask_bits() <= korvel::kWordBits);
    check(one.ones() == ones_in_column0(whole));
    check((one.outcome() == Outcome::Complete) == (one.mask_bits() == korvel::kWordBits));
    if (one.outcome() == Outcome::NotNumbers) check(one.mask_bits() == 0);
    check(used == size || one.done());
    // Only column 0 is the mask (a write beyond the columns is the address sanitizer's to catch).
    for (int row = 0; row < korvel::kPatternRows; ++row)
        check(whole[row][1] == 0 && pieces[row][1] == 0);
    return 0;
}
