// The calibration entry as plain data: which keys are marks, how the field's text and the cursor
// move, the phase byte per scramble mode, and the 99-character summary line.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/calibration.h"
#include "resource/key_codes.h"

namespace {

using namespace korvel::app;

CalEntryBuffer entry(std::string_view sixteen) {
    CalEntryBuffer b = blank_cal_entry();
    merge_field_text(b, sixteen);
    return b;
}

// A line of 99 blanks with the given texts placed at their columns.
std::string line_with(std::initializer_list<std::pair<std::size_t, std::string_view>> parts) {
    std::string line(99, ' ');
    for (const auto& [column, text] : parts) line.replace(column, text.size(), text);
    return line;
}

TEST(CalibrationKeys, MarksBackspaceAndEverythingElse) {
    struct Case {
        int key;
        std::optional<CalKey> expected;
    };
    const Case cases[] = {
        {'x', CalKey{'x', 1}},
        {'X', CalKey{'x', 1}},
        {'/', CalKey{'x', 1}},
        {VAL_INSERT_VKEY, CalKey{'x', 1}},
        {'.', CalKey{'.', 1}},
        {VAL_UP_ARROW_VKEY, CalKey{'.', 1}},
        {'?', CalKey{'?', 1}},
        {VAL_BACKSPACE_VKEY, CalKey{' ', -1}},
        {8, CalKey{' ', -1}},
        // Only the low seven bits of other codes count: Ctrl+X is still a mark.
        {'x' | VAL_MENUKEY_MODIFIER, CalKey{'x', 1}},
        {'a', std::nullopt},
        {'7', std::nullopt},
        {' ', std::nullopt},
        {VAL_ENTER_VKEY, std::nullopt},
        {VAL_F12_VKEY, std::nullopt},
        {VAL_INSERT_VKEY | VAL_SHIFT_MODIFIER, std::nullopt},
        {VAL_DOWN_ARROW_VKEY, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const auto got = classify_cal_key(c.key);
        ASSERT_EQ(got.has_value(), c.expected.has_value());
        if (got) {
            EXPECT_EQ(got->mark, c.expected->mark);
            EXPECT_EQ(got->step, c.expected->step);
        }
    }
}

TEST(CalibrationEntry, FieldTextMergesWithoutItsSeparatorsAndStopsAtThirtyCharacters) {
    CalEntryBuffer b = blank_cal_entry();
    merge_field_text(b, "x.x. ..?. x");
    EXPECT_EQ(std::string(b.data(), 12), "x.x...?.x   ");
    EXPECT_EQ(cal_field_text(b), "x.x. ..?. x" + std::string(10, ' '));

    // Positions beyond the text keep what they held; a trailing blank lands at the next position.
    b = entry("abcdefghijklmnopqrst");
    merge_field_text(b, "xy ");
    EXPECT_EQ(std::string(b.data(), 20), "xy defghijklmnopqrst");

    // Only the first 30 characters are read, so the terminator survives any text.
    b = blank_cal_entry();
    merge_field_text(b, std::string(40, '?'));
    EXPECT_EQ(std::string(b.data()), std::string(30, '?'));
    merge_field_text(b, std::string_view("ab\0cd", 5));
    EXPECT_EQ(std::string(b.data(), 4), "ab??");

    EXPECT_EQ(cal_field_text(entry("0123456789ABCDEFG")), "0123 4567 89AB CDEF G");

    // The field's own layout is read cell by cell: blank cells keep their places.
    b = entry("0123456789ABCDEFGHIJ");
    merge_field_text(b, " .x. ..?. x  x .x.. y");
    EXPECT_EQ(std::string(b.data(), 20), " .x...?.x  x.x..yHIJ");
    EXPECT_EQ(cal_field_text(blank_cal_entry()).size(), 21u);
}

TEST(CalibrationEntry, CursorWrapsBothWays) {
    EXPECT_EQ(entry_position(3, 3), 15);
    EXPECT_EQ(entry_position(1, 2), 6);
    EXPECT_EQ(step_entry_position(15, +1), 0);
    EXPECT_EQ(step_entry_position(0, -1), 15);
    EXPECT_EQ(step_entry_position(6, +1), 7);
}

TEST(CalibrationEntry, PhaseByteSwapsOnNewerModesAndMode2AlsoXorsTheColumn) {
    // (C << 6) | (R << 4); swap exchanges the two bits of a field.
    EXPECT_EQ(phase_code(0, 1, 2), (2 << 6) | (1 << 4));
    EXPECT_EQ(phase_code(1, 1, 2), (1 << 6) | (2 << 4));
    EXPECT_EQ(phase_code(1, 3, 0), (0 << 6) | (3 << 4));
    // Mode 2: C = swap(column) ^ (row & 2) ^ 3.
    EXPECT_EQ(phase_code(2, 0, 0), (3 << 6) | (0 << 4));
    EXPECT_EQ(phase_code(2, 1, 1), (1 << 6) | (2 << 4));
    EXPECT_EQ(phase_code(2, 2, 1), (3 << 6) | (1 << 4));
    EXPECT_EQ(phase_code(2, 3, 3), (2 << 6) | (3 << 4));
}

TEST(CalibrationSummary, LinearGridOfPassesScoresFiveAtCellZero) {
    const std::string line = cal_summary_line(entry("................"), 2, 0);
    EXPECT_EQ(line, line_with({{0, ".... .... .... ...."},
                               {22, ".... .... .... ...."},
                               {44, "0123 4567 89AB CDEF"},
                               {66, "...."},
                               {73, "...."},
                               {80, "...."},
                               {85, "...."},
                               {90, "0"},
                               {92, "5"},
                               {94, "    0"}}));
}

TEST(CalibrationSummary, NoPassGivesCellZeroWithTheModesDigit) {
    for (int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        const std::string line = cal_summary_line(entry("xxxx?xxx xxxxxxx"), mode, 250);
        EXPECT_EQ(line.size(), 99u);
        EXPECT_EQ(line[90], mode == 2 ? '0' : '3');
        EXPECT_EQ(line[92], '0');
        // Every row all-miss: rows "x", and every column count (4) equals that row count.
        EXPECT_EQ(line.substr(66, 4), "xxxx");
        EXPECT_EQ(line.substr(73, 4), "....");
        EXPECT_EQ(line.substr(80, 4), "xxxx");
        EXPECT_EQ(line.substr(85, 4), "4444");
        EXPECT_EQ(line.substr(44, 19), std::string(19, ' '));
        EXPECT_EQ(line.substr(94), "  250");
    }
}

TEST(CalibrationSummary, MixedGridPositionByPosition) {
    const std::string line = cal_summary_line(entry("xxxxx..x.....?.x"), 2, 26000);
    EXPECT_EQ(line, line_with({{0, "xxxx x..x .... .?.x"},
                               {22, "xxxx x..x .... .?.x"},
                               {50, "56"},
                               {54, "89AB"},
                               {59, "C"},
                               {61, "E"},
                               {66, "x..."},
                               {73, "xx.x"},
                               {80, "x2.2"},
                               {85, "2213"},
                               // cell 10 has four passing neighbours
                               {90, "A"},
                               {92, "5"},
                               {94, "26000"}}));
}

TEST(CalibrationSummary, ScrambledModesPlaceEntriesThroughTheirTables) {
    // Mode 0: entry position 0 is cell 3, whose entry position (ENTRY_FROM_CELL) is 0 again.
    std::string line = cal_summary_line(entry(".xxxxxxxxxxxxxxx"), 0, 100);
    EXPECT_EQ(line.substr(0, 4), "xxx.");
    EXPECT_EQ(line.substr(22, 4), ".xxx");
    EXPECT_EQ(line.substr(44, 4), "   0");
    // Best cell 3 (score 1); column 90 shows CELL_FROM_ENTRY's digit 3 of mode 0.
    EXPECT_EQ(line[90], '0');
    EXPECT_EQ(line[92], '1');

    // Mode 0 maps entry position 4 to cell 11 (0xB), whose entry position is 4 again.
    line = cal_summary_line(entry("xxxx.xxxxxxxxxxx"), 0, 100);
    EXPECT_EQ(line.substr(10, 9), "xxx. xxxx");
    EXPECT_EQ(line[57], '4');
    EXPECT_EQ(line[90], '6');
}

TEST(CalibrationFile, NamePadsSerialsBelowOneThousand) {
    EXPECT_EQ(cal_data_file_name(7), "CalDataSN007.cfg");
    EXPECT_EQ(cal_data_file_name(0), "CalDataSN000.cfg");
    EXPECT_EQ(cal_data_file_name(12345), "CalDataSN12345.cfg");
}

TEST(CalibrationFile, LinesAreAppendedNeverTruncated) {
    const auto dir =
        std::filesystem::temp_directory_path() /
        ("korvel_cal_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "CalDataSN007.cfg").string();
    std::filesystem::remove(path);
    EXPECT_TRUE(append_cal_line(path, "first"));
    EXPECT_TRUE(append_cal_line(path, "second"));
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    EXPECT_EQ(all.str(), "first\nsecond\n");
    // A directory cannot be opened as a file.
    EXPECT_FALSE(append_cal_line(dir.string(), "third"));
    std::filesystem::remove_all(dir);
}

}  // namespace
