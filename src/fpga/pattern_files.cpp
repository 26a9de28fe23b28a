#include "fpga/pattern_files.h"

#include "fpga/pattern_reader.h"

namespace korvel {
namespace {

// One bit (`bit` of byte `row`, `column`).
void copy_bit(const PatternColumns& from, PatternColumns& to, int row, int column, int bit) {
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    to[row][column] =
        static_cast<std::uint8_t>((to[row][column] & ~mask) | (from[row][column] & mask));
}

}  // namespace

PatternFile read_pattern_file(TextFile& text, PatternColumns& columns) {
    PatternReader reader(columns);
    PatternFile file;
    file.problem = read_text_file(text, reader);
    file.words = reader.complete_words();
    file.bits = reader.bits();
    file.first_bits = reader.first_bits();
    return file;
}

PatternFile read_pattern_file(const char* path, PatternColumns& columns) {
    TextFile text(path);
    return read_pattern_file(text, columns);
}

void copy_pattern_bits(const PatternFile& file, const PatternColumns& from, PatternColumns& to) {
    // File bit k of word j is row 31 - k / 8, bit 7 - k % 8 of column j.
    for (std::uint32_t k = 0; k < file.bits; ++k) {
        const int within = static_cast<int>(k % kWordBits);
        copy_bit(from, to, kPatternRows - 1 - within / 8, static_cast<int>(k / kWordBits),
                 7 - within % 8);
    }
}

MaskFile read_mask_file(TextFile& text, PatternColumns& columns) {
    MaskReader reader(columns);
    MaskFile file;
    file.problem = read_text_file(text, reader);
    file.outcome = reader.outcome();
    file.period = reader.period();
    file.width = reader.width();
    file.mask_bits = reader.mask_bits();
    file.ones = reader.ones();
    return file;
}

MaskFile read_mask_file(const char* path, PatternColumns& columns) {
    TextFile text(path);
    return read_mask_file(text, columns);
}

void copy_mask_bits(const MaskFile& file, const PatternColumns& from, PatternColumns& to) {
    // Mask bit k is row k / 8, bit 7 - k % 8 of column 0.
    for (int k = 0; k < file.mask_bits; ++k) copy_bit(from, to, k / 8, 0, 7 - k % 8);
}

}  // namespace korvel
