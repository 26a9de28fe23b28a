// The FPGA serial loads against the simulated receiver: the bits each memory receives, in order,
// the pin bytes they take on the wire, and the idle state of the link afterwards.
#include <cstring>
#include <string>

#include "ds4520/ds4520.h"
#include "fpga/fpga_load.h"
#include "link/usb_link.h"
#include "unit_fixture.h"

namespace korvel {
namespace {

using sim::Call;

class FpgaLoad : public testing::UnitFixture {
  protected:
    void SetUp() override {
        UnitFixture::SetUp();
        std::memset(pattern_buffer, 0, sizeof pattern_buffer);
        fpga_pin_image = 0;
        open_unit();
    }
    // Fills word `word` with a pattern that tells every row apart.
    static void fill_word(int word) {
        for (int row = 0; row < kPatternRows; ++row) {
            pattern_buffer[row][word] = static_cast<std::uint8_t>(row * 37 + word * 11 + 1);
        }
    }
    static std::string lsb_first(std::uint8_t byte) {
        std::string bits;
        for (int b = 0; b < 8; ++b) bits += ((byte >> b) & 1) ? '1' : '0';
        return bits;
    }
    static const sim::FpgaMemories& fpga() { return board().fpga(); }
    static void expect_link_idle(std::uint8_t select) {
        EXPECT_EQ(board().direction(), 0xFF);
        EXPECT_EQ(board().pins() & (select | kPinFpgaClock), select);
        EXPECT_EQ(usb_out_count, 0);
    }
};

TEST_F(FpgaLoad, PatternWordsArriveRowByRowLsbFirst) {
    for (int word = 0; word < 3; ++word) fill_word(word);
    bit_load_FPGA(99, 2);
    std::string expected;
    for (int word = 0; word < 2; ++word) {
        for (int row = 0; row < kPatternRows; ++row)
            expected += lsb_first(pattern_buffer[row][word]);
    }
    EXPECT_EQ(fpga().pattern_bits, expected);
    EXPECT_TRUE(fpga().error_mask_bits.empty());
    // 2 select bytes, 2 x 544 data bytes, 1 deselect byte: written as 2, 1024 and 65.
    EXPECT_EQ(usb().calls(Call::Write), 3u);
    EXPECT_EQ(usb().calls(Call::SetBitMode), 1u);
    expect_link_idle(kPinSelectPatternMemory);
}

TEST_F(FpgaLoad, SeventeenPinBytesPerByteOnTheWire) {
    fill_word(0);
    fill_word(1);
    // Drop the last write: the receiver then holds what the first 2 + 1024 pin bytes carried,
    // 60 whole bytes of 17 pin bytes and two more bit cells.
    usb().fail_call(Call::Write, 3);
    bit_load_FPGA(0, 2);
    ASSERT_EQ(fpga().pattern_bits.size(), 60u * 8u + 2u);
    std::string expected;
    for (int row = 0; row < kPatternRows; ++row) expected += lsb_first(pattern_buffer[row][0]);
    for (int row = 0; row < kPatternRows; ++row) expected += lsb_first(pattern_buffer[row][1]);
    EXPECT_EQ(fpga().pattern_bits, expected.substr(0, 482));
}

TEST_F(FpgaLoad, WordCountIsKeptInsideTheBuffer) {
    fill_word(0);
    bit_load_FPGA(0, 1);
    const std::string one_word = fpga().pattern_bits;
    ASSERT_EQ(one_word.size(), 256u);
    EXPECT_EQ(usb().calls(Call::Write), 2u);

    for (int words : {0, -5}) {
        forget_history();
        bit_load_FPGA(0, words);
        EXPECT_EQ(usb().calls(Call::Write), 2u);   // select and deselect only
        EXPECT_EQ(fpga().pattern_bits, one_word);  // no clock, memory unchanged
        expect_link_idle(kPinSelectPatternMemory);
    }
}

TEST_F(FpgaLoad, FullPatternLoadStopsAtTheLastColumn) {
    pattern_buffer[31][kPatternWords - 1] = 0x80;
    bit_load_FPGA(0, 100000);
    ASSERT_EQ(fpga().pattern_bits.size(), 256u * kPatternWords);
    EXPECT_EQ(fpga().pattern_bits.back(), '1');
    // 2,228,227 pin bytes: one header write of 2, then full buffers, then the rest.
    EXPECT_EQ(usb().calls(Call::Write), 1u + (2228227u - 2u + 1023u) / 1024u);
}

TEST_F(FpgaLoad, ErrorMaskArrivesFromRow31DownWithPeriodAndWidthMsbFirst) {
    fill_word(0);
    bit_load_FPGA_ErrInj(1, 2, 0x80000003u, 0x00000001u);
    std::string expected;
    for (int row = kPatternRows - 1; row >= 0; --row) expected += lsb_first(pattern_buffer[row][0]);
    EXPECT_EQ(fpga().error_mask_bits, expected);
    EXPECT_EQ(fpga().error_period, 0x80000003u);
    EXPECT_EQ(fpga().error_width, 0x00000001u);
    EXPECT_TRUE(fpga().pattern_bits.empty());
    // 677 pin bytes: the 2 select bytes, then 675 in one write.
    EXPECT_EQ(usb().calls(Call::Write), 2u);
    expect_link_idle(kPinSelectErrorMemory);

    forget_history();
    bit_load_FPGA_ErrInj(0, 0, 0xFFFFFFFFu, 0xFFFFFFFFu);
    EXPECT_EQ(fpga().error_period, 0xFFFFFFFFu);
    EXPECT_EQ(fpga().error_width, 0xFFFFFFFFu);
    EXPECT_EQ(fpga().error_mask_bits, expected);
}

TEST_F(FpgaLoad, NextI2cOperationTakesThePinsBack) {
    bit_load_FPGA_ErrInj(0, 0, 3, 0);
    EXPECT_EQ(board().pins() & 0x03, 0x00);  // SCL and SDA driven low by the load
    DS4520_IO_read(7);
    EXPECT_EQ(board().direction(), 0x80);
    EXPECT_EQ(board().pins() & 0x03, 0x03);
}

TEST_F(FpgaLoad, NothingIsSentThroughAClosedOrUnusableHandle) {
    close();
    forget_history();
    bit_load_FPGA(0, 3);
    bit_load_FPGA_ErrInj(0, 0, 1, 1);
    EXPECT_EQ(usb().total_calls(), 0u);
    usb_handle = reinterpret_cast<FT_HANDLE>(1);
    bit_load_FPGA(0, 3);
    EXPECT_EQ(usb_out_count, 0);
    EXPECT_EQ(usb().total_calls(), 0u);
}

TEST_F(FpgaLoad, DetachBeforeEveryDriverCallOfAPatternLoad) {
    fill_word(0);
    fill_word(1);
    fill_word(2);
    bit_load_FPGA(0, 3);
    const std::uint64_t calls = usb().total_calls();
    ASSERT_EQ(calls, 1u + 3u);  // SetBitMode and the writes of 2, 1024, 609 pin bytes
    for (std::uint64_t n = 1; n <= calls; ++n) {
        SCOPED_TRACE(::testing::Message() << "detached before call " << n);
        SetUp();
        fill_word(0);
        usb().detach_before_call(n);
        bit_load_FPGA(0, 3);
        EXPECT_FALSE(board().attached());
        EXPECT_EQ(usb_out_count, 0);
        board().attach();
        ASSERT_EQ(init_usb(), 1);
        bit_load_FPGA(0, 1);
        EXPECT_EQ(fpga().pattern_bits.size(), 256u);
    }
}

}  // namespace
}  // namespace korvel
