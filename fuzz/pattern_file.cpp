// Pattern file text: never out of bounds, the same result in one piece and in chunks, and the
// counts agree with the '0'/'1' bytes of the input.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "chunks.h"
#include "fpga/pattern_reader.h"

namespace {

korvel::PatternColumns whole, pieces;
// Columns the previous input may have written: only those are cleared and compared, so that a
// run costs what its input costs rather than two 128 KiB buffers.
int touched = korvel::kPatternWords;

void check(bool ok) {
    if (!ok) std::abort();
}

void clear_touched() {
    for (int row = 0; row < korvel::kPatternRows; ++row) {
        std::memset(whole[row], 0, touched);
        std::memset(pieces[row], 0, touched);
    }
}

bool same_columns(int columns) {
    for (int row = 0; row < korvel::kPatternRows; ++row)
        if (std::memcmp(whole[row], pieces[row], columns) != 0) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> text(data, size);
    clear_touched();

    korvel::PatternReader one(whole);
    const std::size_t used = one.take(text);
    korvel::PatternReader many(pieces);
    korvel::fuzz::in_chunks(text, [&](std::span<const std::uint8_t> chunk) { many.take(chunk); });

    check(used <= size);
    check(one.bits() == many.bits() && one.first_bits() == many.first_bits());
    touched = static_cast<int>((one.bits() + korvel::kWordBits - 1) / korvel::kWordBits);
    // One column past the last bit must be untouched too.
    check(same_columns(std::min(touched + 1, korvel::kPatternWords)));
    if (touched < korvel::kPatternWords)
        for (int row = 0; row < korvel::kPatternRows; ++row) check(whole[row][touched] == 0);

    std::uint32_t bits = 0;
    std::string first;
    for (std::size_t i = 0; i < used; ++i) {
        if (data[i] != '0' && data[i] != '1') continue;
        ++bits;
        if (first.size() < korvel::PatternReader::kShownBits) first += static_cast<char>(data[i]);
    }
    check(bits == one.bits() && first == one.first_bits());
    check(one.complete_words() == static_cast<int>(bits / korvel::kWordBits));
    check(one.done() == (bits == korvel::PatternReader::kMaxBits));
    check(used == size || one.done());
    return 0;
}
