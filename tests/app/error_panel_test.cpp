// The Error Injection Setup panel: mask files, the pulse timing and its rate, n errors in one
// burst or spread at random, and what the unit's error memory receives each time.
#include <cfloat>
#include <string>

#include "app/error_panel.h"
#include "app/random.h"
#include "pattern_fixture.h"

using namespace korvel::app;
namespace platform = korvel::platform;
using korvel::pattern_buffer;

namespace {

int ones_in_mask() {
    int n = 0;
    for (auto& row : pattern_buffer)
        for (int b = 0; b < 8; ++b) n += (row[0] >> b) & 1;
    return n;
}

// The mask as the error memory receives it: row 31 first, each row least significant bit first.
std::string mask_as_sent() {
    std::string bits;
    for (int row = 31; row >= 0; --row)
        for (int b = 0; b < 8; ++b) bits += ((pattern_buffer[row][0] >> b) & 1) ? '1' : '0';
    return bits;
}

}  // namespace

TEST_F(PatternPanelTest, MaskFileWith16ErrorsEvery4thBlock) {
    const int err = open_err_panel();
    const std::string mask = bit_lines(256, [](int k) { return k < 16; });
    choose(err, PANELERR_SELECT_ERR_TXT_FILE, write_file("mask.txt", "4\n1\n" + mask));
    EXPECT_EQ(platform::operate_ctrl(err, PANELERR_LOAD_FPGA), 0);

    EXPECT_EQ(number_of(err, PANELERR_PULSE_PERIOD), 4);
    EXPECT_EQ(number_of(err, PANELERR_PULSE_WIDTH), 1);
    EXPECT_EQ(number_of(err, PANELERR_ERRS_PER_256), 16);
    EXPECT_EQ(errors_per_256, 16);
    EXPECT_DOUBLE_EQ(number_of(err, PANELERR_ERROR_RATE), 0.015625);
    EXPECT_DOUBLE_EQ(number_of(err, PANELERR_BITS_PER_ERR), 64);
    EXPECT_EQ(fpga().error_period, 3u);
    EXPECT_EQ(fpga().error_width, 0u);
    // The memory receives the file's mask bits from the last to the first.
    std::string file_bits = bits_in(mask);
    EXPECT_EQ(fpga().error_mask_bits, std::string(file_bits.rbegin(), file_bits.rend()));
    EXPECT_EQ(pattern_buffer[0][0], 0xFF);
    EXPECT_EQ(pattern_buffer[1][0], 0xFF);
    EXPECT_EQ(pattern_buffer[2][0], 0x00);
    EXPECT_EQ(board().pins() & (korvel::kPinSelectErrorMemory | korvel::kPinFpgaClock),
              korvel::kPinSelectErrorMemory);
}

TEST_F(PatternPanelTest, MaskFileTimingIsMadeUsable) {
    const int err = open_err_panel();
    struct Case {
        const char* head;
        unsigned period, width;
    };
    for (const Case& c : {Case{"5 9", 5, 5}, Case{"0 0", 1, 1}, Case{"3 0", 3, 1},
                          Case{"4294967295 4294967295", 4294967295u, 4294967295u}}) {
        choose(err, PANELERR_SELECT_ERR_TXT_FILE,
               write_file("timing.txt", std::string(c.head) + "\n" + std::string(256, '1')));
        platform::operate_ctrl(err, PANELERR_LOAD_FPGA);
        EXPECT_EQ(number_of(err, PANELERR_PULSE_PERIOD), c.period) << c.head;
        EXPECT_EQ(number_of(err, PANELERR_PULSE_WIDTH), c.width) << c.head;
        EXPECT_EQ(fpga().error_period, c.period - 1) << c.head;
        EXPECT_EQ(fpga().error_width, c.width - 1) << c.head;
    }
    // 256 errors in every block: one error per bit, which no 32-bit product could compute.
    EXPECT_DOUBLE_EQ(number_of(err, PANELERR_ERROR_RATE), 1.0);
    EXPECT_EQ(errors_per_256, 256);
}

TEST_F(PatternPanelTest, UnusableMaskFilesAreAbandoned) {
    const int err = open_err_panel();
    for (auto& row : pattern_buffer) row[0] = 0x5A;
    // Ends before its 256th bit: the rows read so far stay, nothing else changes.
    choose(err, PANELERR_SELECT_ERR_TXT_FILE,
           write_file("short.txt", "2 1\n" + std::string(12, '1')));
    EXPECT_EQ(platform::operate_ctrl(err, PANELERR_LOAD_FPGA), 0);
    EXPECT_EQ(pattern_buffer[0][0], 0xFF);
    EXPECT_EQ(pattern_buffer[1][0], 0xFA);
    EXPECT_EQ(pattern_buffer[2][0], 0x5A);
    // Not beginning with two numbers: not even the mask is touched.
    choose(err, PANELERR_SELECT_ERR_TXT_FILE,
           write_file("words.txt", "period 4 width 1\n" + std::string(256, '1')));
    EXPECT_EQ(platform::operate_ctrl(err, PANELERR_LOAD_FPGA), 0);
    EXPECT_EQ(pattern_buffer[2][0], 0x5A);
    // A file that cannot be opened.
    choose(err, PANELERR_SELECT_ERR_TXT_FILE, path_of("missing.txt"));
    EXPECT_EQ(platform::operate_ctrl(err, PANELERR_LOAD_FPGA), -1);

    EXPECT_EQ(writes(), 0u);
    EXPECT_EQ(number_of(err, PANELERR_PULSE_PERIOD), 1);
    EXPECT_EQ(number_of(err, PANELERR_ERRS_PER_256), 1);
    EXPECT_EQ(errors_per_256, 0);
}

TEST_F(PatternPanelTest, TimingControlsReloadThePresentMask) {
    const int err = open_err_panel();
    // Before any mask: whatever column 0 holds (here the editor's word 0), rate from 0 errors.
    pattern_buffer[31][0] = 0x01;
    platform::operate_ctrl(err, PANELERR_PULSE_PERIOD, 10, EVENT_COMMIT);
    EXPECT_EQ(fpga().error_period, 9u);
    EXPECT_EQ(fpga().error_width, 0u);
    EXPECT_EQ(fpga().error_mask_bits, "1" + std::string(255, '0'));
    EXPECT_EQ(number_of(err, PANELERR_ERROR_RATE), 0.0);
    // 1 / 0: the largest value the float control can hold.
    EXPECT_EQ(number_of(err, PANELERR_BITS_PER_ERR), FLT_MAX);

    // A width above the period becomes the period, shown and sent.
    errors_per_256 = 8;
    platform::operate_ctrl(err, PANELERR_PULSE_WIDTH, 25, EVENT_COMMIT);
    EXPECT_EQ(number_of(err, PANELERR_PULSE_WIDTH), 10);
    EXPECT_EQ(fpga().error_width, 9u);
    EXPECT_DOUBLE_EQ(number_of(err, PANELERR_ERROR_RATE), 8.0 / 256);

    // A rate typed in is replaced by the computed one.
    platform::operate_ctrl(err, PANELERR_ERROR_RATE, 0.5, EVENT_COMMIT);
    EXPECT_DOUBLE_EQ(number_of(err, PANELERR_ERROR_RATE), 8.0 / 256);
    EXPECT_DOUBLE_EQ(number_of(err, PANELERR_BITS_PER_ERR), 32);
}

TEST_F(PatternPanelTest, ErrorsInOneBurst) {
    const int err = open_err_panel();
    platform::operate_ctrl(err, PANELERR_ERRS_PER_256, 16, EVENT_COMMIT);
    EXPECT_EQ(pattern_buffer[0][0], 0xFF);
    EXPECT_EQ(pattern_buffer[1][0], 0xFF);
    for (int row = 2; row < 32; ++row) EXPECT_EQ(pattern_buffer[row][0], 0x00) << row;
    EXPECT_EQ(fpga().error_mask_bits, mask_as_sent());
    EXPECT_DOUBLE_EQ(number_of(err, PANELERR_ERROR_RATE), 16.0 / 256);

    platform::operate_ctrl(err, PANELERR_ERRS_PER_256, 3, EVENT_COMMIT);
    EXPECT_EQ(pattern_buffer[0][0], 0xE0);
    EXPECT_EQ(pattern_buffer[1][0], 0x00);
}

TEST_F(PatternPanelTest, TheFirstSpreadAfterStartUpIsTheSameInEveryRun) {
    const int err = open_err_panel();
    SetCtrlVal(err, PANELERR_SPREAD_ERRS, 1);
    platform::operate_ctrl(err, PANELERR_ERRS_PER_256, 16, EVENT_COMMIT);
    // From the default seed the 254 exchanges move the burst (indices 0..15, bit k % 8 of row
    // k / 8) to indices 4, 14, 18, 32, 70, 102, 112, 150, 155, 165, 171, 179, 185, 191, 217 and
    // 219. The first draw is 0.44389...: index 0 goes to 113. Worked out once with a separate
    // script of the same generator and exchange steps.
    const std::uint8_t expected[32] = {0x10, 0x40, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00,
                                       0x40, 0x00, 0x00, 0x00, 0x40, 0x00, 0x01, 0x00,
                                       0x00, 0x00, 0x40, 0x08, 0x20, 0x08, 0x08, 0x82,
                                       0x00, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x00};
    for (int row = 0; row < 32; ++row) EXPECT_EQ(pattern_buffer[row][0], expected[row]) << row;
    EXPECT_EQ(fpga().error_mask_bits, mask_as_sent());
    EXPECT_EQ(errors_per_256, 16);

    // Exactly 254 draws were taken: the next is the 255th of the sequence.
    const double next = Random(0, 1);
    reset_random();
    for (int i = 0; i < 254; ++i) Random(0, 1);
    EXPECT_EQ(Random(0, 1), next);
}

TEST_F(PatternPanelTest, SpreadingKeepsTheNumberOfErrorsAndContinuesTheSequence) {
    const int err = open_err_panel();
    SetCtrlVal(err, PANELERR_SPREAD_ERRS, 1);
    std::string previous;
    for (int errors : {16, 16, 1, 255, 128}) {
        platform::operate_ctrl(err, PANELERR_ERRS_PER_256, errors, EVENT_COMMIT);
        EXPECT_EQ(ones_in_mask(), errors);
        EXPECT_NE(mask_as_sent(), previous) << errors;  // the draws go on from use to use
        previous = mask_as_sent();
    }
}
