// The pattern and mask text readers: where each file bit lands in the columns, what counts as a
// bit, where reading stops, and that the result never depends on how the text is cut into chunks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>

#include "fpga/mask_reader.h"
#include "fpga/pattern_reader.h"

namespace korvel {
namespace {

using Outcome = MaskReader::Outcome;

std::span<const std::uint8_t> bytes(std::string_view s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

class Columns : public ::testing::Test {
  protected:
    // Starts filled with a marker so that untouched bytes show.
    void SetUp() override { std::memset(columns, 0xA5, sizeof columns); }
    static inline PatternColumns columns;
};

// n bits of the word whose bit k is `bit_at(k)`, 32 per line with blanks between bytes.
template <class F>
std::string bit_text(int n, F bit_at) {
    std::string text;
    for (int k = 0; k < n; ++k) {
        text += bit_at(k) ? '1' : '0';
        if (k % 8 == 7) text += ' ';
        if (k % 32 == 31) text += "\r\n";
    }
    return text;
}

using PatternText = Columns;

TEST_F(PatternText, FileBitKGoesToRow31MinusKOver8Bit7MinusKMod8) {
    // Word 0: a single 1 as its first bit; word 1: a single 1 as bit 9; other characters around.
    std::string text = "junk 2-9: 23456789 " + bit_text(256, [](int k) { return k == 0; }) +
                       "xyz\t" + bit_text(256, [](int k) { return k == 9; }) + "\n";
    PatternReader reader(columns);
    EXPECT_EQ(reader.take(bytes(text)), text.size());
    EXPECT_EQ(reader.complete_words(), 2);
    EXPECT_EQ(reader.bits(), 512u);
    for (int row = 0; row < kPatternRows; ++row) {
        EXPECT_EQ(columns[row][0], row == 31 ? 0x80 : 0x00) << row;
        EXPECT_EQ(columns[row][1], row == 30 ? 0x40 : 0x00) << row;
        EXPECT_EQ(columns[row][2], 0xA5) << row;  // beyond the text: untouched
    }
    EXPECT_EQ(reader.first_bits(), "1" + std::string(255, '0'));
}

TEST_F(PatternText, AnIncompleteLastWordIsWrittenButNotCounted) {
    // 300 bits: one word, then 44 bits in column 1 (rows 31..27 and the top half of row 26).
    const std::string text = bit_text(300, [](int k) { return k >= 256; });
    PatternReader reader(columns);
    reader.take(bytes(text));
    EXPECT_EQ(reader.complete_words(), 1);
    EXPECT_EQ(reader.bits(), 300u);
    for (int row = 31; row >= 27; --row) EXPECT_EQ(columns[row][1], 0xFF) << row;
    EXPECT_EQ(columns[26][1], 0xF5);  // bits 7..4 from the file, 3..0 as they were (0x5)
    EXPECT_EQ(columns[25][1], 0xA5);
    EXPECT_EQ(reader.first_bits().size(), 256u);

    // Fewer than 256 bits: no word at all.
    PatternReader few(columns);
    few.take(bytes("0101 1"));
    EXPECT_EQ(few.complete_words(), 0);
    EXPECT_EQ(few.first_bits(), "01011");
}

TEST_F(PatternText, StopsAfterWord4096) {
    std::string text(PatternReader::kMaxBits, '1');
    text += "0000 this tail is never read";
    PatternReader reader(columns);
    EXPECT_EQ(reader.take(bytes(text)), std::size_t{PatternReader::kMaxBits});
    EXPECT_TRUE(reader.done());
    EXPECT_EQ(reader.complete_words(), kPatternWords);
    EXPECT_EQ(reader.take(bytes("0")), 0u);
    EXPECT_EQ(columns[0][kPatternWords - 1], 0xFF);
}

TEST_F(PatternText, ChunkBoundariesDoNotMatter) {
    std::string text;
    for (int i = 0; i < 900; ++i) text += (i * 7 % 5 < 2) ? "1" : (i % 3 ? "0" : " \n0a");
    PatternReader whole(columns);
    whole.take(bytes(text));
    PatternColumns once;
    std::memcpy(once, columns, sizeof once);

    std::memset(columns, 0xA5, sizeof columns);
    PatternReader pieces(columns);
    for (std::size_t at = 0, n = 1; at < text.size(); at += n, n = n % 13 + 1)
        pieces.take(bytes(std::string_view(text).substr(at, n)));
    EXPECT_EQ(pieces.bits(), whole.bits());
    EXPECT_EQ(pieces.first_bits(), whole.first_bits());
    EXPECT_EQ(std::memcmp(once, columns, sizeof once), 0);
}

using MaskText = Columns;

TEST_F(MaskText, PeriodWidthThenMaskBitsInFileOrderFromRow0Bit7) {
    const std::string text = "4\n1\n" + bit_text(256, [](int k) { return k < 16 || k == 250; });
    MaskReader reader(columns);
    // The blank and line end after the 256th bit are not needed.
    EXPECT_EQ(reader.take(bytes(text)), text.size() - 3);
    EXPECT_EQ(reader.outcome(), Outcome::Complete);
    EXPECT_EQ(reader.period(), 4u);
    EXPECT_EQ(reader.width(), 1u);
    EXPECT_EQ(reader.ones(), 17);
    EXPECT_EQ(columns[0][0], 0xFF);
    EXPECT_EQ(columns[1][0], 0xFF);
    for (int row = 2; row < 31; ++row) EXPECT_EQ(columns[row][0], 0x00) << row;
    EXPECT_EQ(columns[31][0], 0x20);  // bit 250: row 31, bit 7 - 2
    EXPECT_EQ(columns[0][1], 0xA5);   // only column 0 is the mask
}

TEST_F(MaskText, NumbersAsAFormattedDecimalReadTakesThem) {
    struct Case {
        std::string_view head;
        std::uint32_t period, width;
    };
    for (const Case& c : {Case{"  +7\t\t0009 ", 7, 9}, Case{"4294967295 0\n", 4294967295u, 0},
                          Case{"0 0 ", 0, 0}, Case{"12 3abc", 12, 3}}) {
        MaskReader reader(columns);
        reader.take(bytes(std::string(c.head) + std::string(256, '1')));
        EXPECT_EQ(reader.outcome(), Outcome::Complete) << c.head;
        EXPECT_EQ(reader.period(), c.period) << c.head;
        EXPECT_EQ(reader.width(), c.width) << c.head;
    }
    // Digits right after the width still belong to it: "1" then "0101" reads as width 10101.
    MaskReader joined(columns);
    joined.take(bytes("4 10101"));
    EXPECT_EQ(joined.width(), 10101u);
    EXPECT_EQ(joined.outcome(), Outcome::Short);
}

TEST_F(MaskText, TextNotBeginningWithTwoNumbersLeavesTheMaskAlone) {
    const std::string mask = "\nmask: " + std::string(256, '1');
    for (std::string_view head : {"", "   ", "4", "x 1", "4,1", "-4 1", "4 -1", "+ 1",
                                  "4294967296 1", "1 99999999999999999999"}) {
        MaskReader reader(columns);
        reader.take(bytes(std::string(head) + mask));
        EXPECT_TRUE(reader.done()) << head;
        EXPECT_EQ(reader.outcome(), Outcome::NotNumbers) << '"' << head << '"';
        EXPECT_EQ(reader.mask_bits(), 0) << head;
        EXPECT_EQ(columns[0][0], 0xA5) << head;
    }
    // Nothing at all, or white space only, is no number either.
    for (std::string_view text : {"", " \n\t"}) {
        MaskReader reader(columns);
        reader.take(bytes(text));
        EXPECT_EQ(reader.outcome(), Outcome::NotNumbers);
    }
}

TEST_F(MaskText, ShortMaskKeepsTheBitsReadAndStopsAfterBit256) {
    MaskReader short_mask(columns);
    short_mask.take(bytes("2 1 " + std::string(100, '0')));
    EXPECT_EQ(short_mask.outcome(), Outcome::Short);
    EXPECT_EQ(short_mask.mask_bits(), 100);
    EXPECT_EQ(columns[11][0], 0x00);
    EXPECT_EQ(columns[12][0], 0x05);  // bits 96..99: the top half cleared
    EXPECT_EQ(columns[13][0], 0xA5);

    // Numbers that run to the very end are complete, with no mask.
    MaskReader no_mask(columns);
    no_mask.take(bytes("2 1"));
    EXPECT_EQ(no_mask.outcome(), Outcome::Short);

    const std::string text = "2 1 " + std::string(256, '1') + "0000";
    MaskReader full(columns);
    EXPECT_EQ(full.take(bytes(text)), text.size() - 4);
    EXPECT_TRUE(full.done());
    EXPECT_EQ(full.ones(), 256);
}

TEST_F(MaskText, ChunkBoundariesDoNotMatter) {
    const std::string text = " \n 123456 \r\n 789 " + bit_text(256, [](int k) { return k % 3; });
    MaskReader whole(columns);
    whole.take(bytes(text));
    for (std::size_t cut = 0; cut <= 20; ++cut) {
        MaskReader pieces(columns);
        pieces.take(bytes(std::string_view(text).substr(0, cut)));
        pieces.take(bytes(std::string_view(text).substr(cut)));
        EXPECT_EQ(pieces.outcome(), Outcome::Complete) << cut;
        EXPECT_EQ(pieces.period(), 123456u) << cut;
        EXPECT_EQ(pieces.width(), 789u) << cut;
        EXPECT_EQ(pieces.ones(), whole.ones()) << cut;
    }
}

}  // namespace
}  // namespace korvel
