// The FPGA serial loads against the simulated receiver: the bits each memory receives and their
// order, the pin bytes on the wire, the link's idle state afterwards, and the unit vanishing
// before any driver call of a load.
#include <cstring>
#include <string>

#include "fpga/fpga_load.h"
#include "unit_fixture.h"

namespace korvel {
namespace {

using sim::Call;

class FpgaLoad : public testing::UnitFixture {
  protected:
    void SetUp() override {
        UnitFixture::SetUp();
        for (int row = 0; row < kPatternRows; ++row) {
            for (int word = 0; word < kPatternWords; ++word) {
                pattern_buffer[row][word] = static_cast<std::uint8_t>(row * 37 + word * 11 + 1);
            }
        }
        open_unit();
    }
    // What the receiver must see for rows `first` to `last` of column `word`, each LSB first.
    static std::string bits(int word, int first, int last) {
        std::string out;
        for (int row = first; row != last + (last >= first ? 1 : -1);
             row += last >= first ? 1 : -1) {
            for (int b = 0; b < 8; ++b) out += ((pattern_buffer[row][word] >> b) & 1) ? '1' : '0';
        }
        return out;
    }
    static const sim::FpgaMemories& fpga() { return board().fpga(); }
    static void expect_idle_after(std::uint8_t select) {
        EXPECT_EQ(board().direction(), 0xFF);
        EXPECT_EQ(board().pins() & (select | kPinFpgaClock), select);
        EXPECT_EQ(usb_out_count, 0);
    }
};

TEST_F(FpgaLoad, PatternWordsArriveRowZeroFirstLsbFirstIn17PinBytesPerByte) {
    bit_load_FPGA(99, 2);
    EXPECT_EQ(fpga().pattern_bits, bits(0, 0, 31) + bits(1, 0, 31));
    EXPECT_TRUE(fpga().error_mask_bits.empty());
    // 2 + 1088 + 1 pin bytes, written as 2, 1024 and 65.
    EXPECT_EQ(usb().calls(Call::Write), 3u);
    expect_idle_after(kPinSelectPatternMemory);
    // The closing step and the deselect leave D4 on the last bit sent: bit 7 of row 31.
    EXPECT_EQ((board().pins() & kPinFpgaData) != 0, (pattern_buffer[31][1] & 0x80) != 0);

    // Without the last write the receiver holds what 2 + 1024 pin bytes carry: 60 bytes of 17
    // pin bytes and two more bit cells.
    usb().fail_call(Call::Write, 3);
    board().fpga() = {};
    bit_load_FPGA(0, 2);
    EXPECT_EQ(fpga().pattern_bits, (bits(0, 0, 31) + bits(1, 0, 31)).substr(0, 60 * 8 + 2));
}

TEST_F(FpgaLoad, WordCountStaysInsideTheBuffer) {
    bit_load_FPGA(0, 100000);
    EXPECT_EQ(fpga().pattern_bits.size(), 256u * kPatternWords);
    EXPECT_EQ(fpga().pattern_bits.substr(256u * 4095), bits(4095, 0, 31));
    // 2,228,227 pin bytes: 2, then 2,228,225 in full buffers and a last byte.
    EXPECT_EQ(usb().calls(Call::Write), 1u + 2176u + 1u);
    for (int words : {0, -5}) {
        forget_history();
        bit_load_FPGA(0, words);
        EXPECT_EQ(usb().calls(Call::Write), 2u);  // select and deselect, no clock
        EXPECT_EQ(fpga().pattern_bits.size(), 256u * kPatternWords);
        expect_idle_after(kPinSelectPatternMemory);
    }
}

TEST_F(FpgaLoad, ErrorMaskArrivesFromRow31DownThenPeriodAndWidthMsbFirst) {
    bit_load_FPGA_ErrInj(1, 2, 0x80000003u, 0x00000001u);
    EXPECT_EQ(fpga().error_mask_bits, bits(0, 31, 0));
    EXPECT_EQ(fpga().error_period, 0x80000003u);
    EXPECT_EQ(fpga().error_width, 0x00000001u);
    EXPECT_TRUE(fpga().pattern_bits.empty());
    EXPECT_EQ(usb().calls(Call::Write), 2u);  // 2 select bytes, then 675
    expect_idle_after(kPinSelectErrorMemory);
    EXPECT_EQ(board().pins() & kPinFpgaData, kPinFpgaData);  // bit 0 of the width word
    EXPECT_EQ(board().pins() & 0x03, 0x00);  // SCL and SDA driven low by the load...
    DS4520_IO_read(7);
    EXPECT_EQ(board().direction(), 0x80);  // ...until the next I2C operation takes them back
    EXPECT_EQ(board().pins() & 0x03, 0x03);
}

TEST_F(FpgaLoad, ClosedOrUnusableHandleSendsNothing) {
    close();
    forget_history();
    bit_load_FPGA(0, 3);
    bit_load_FPGA_ErrInj(0, 0, 1, 1);
    usb_handle = reinterpret_cast<FT_HANDLE>(1);
    bit_load_FPGA(0, 3);
    EXPECT_EQ(usb_out_count, 0);
    EXPECT_EQ(usb().total_calls(), 0u);
}

TEST_F(FpgaLoad, UnitVanishingBeforeAnyDriverCallOfAPatternLoad) {
    bit_load_FPGA(0, 3);
    ASSERT_EQ(usb().total_calls(), 1u + 3u);  // SetBitMode, writes of 2, 1024 and 609
    for (std::uint64_t n = 1; n <= 4; ++n) {
        SetUp();
        usb().detach_before_call(n);
        bit_load_FPGA(0, 3);
        ASSERT_FALSE(board().attached()) << n;
        EXPECT_EQ(usb_out_count, 0);
        board().attach();
        ASSERT_EQ(init_usb(), 1) << n;
        bit_load_FPGA(0, 1);
        EXPECT_EQ(fpga().pattern_bits, bits(0, 0, 31)) << n;
    }
}

}  // namespace
}  // namespace korvel
