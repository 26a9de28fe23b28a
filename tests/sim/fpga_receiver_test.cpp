// The FPGA serial receiver records what is clocked in, in order, for each memory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "korvel/sim/usb.h"

namespace korvel::sim {
namespace {

constexpr std::uint8_t kClk = 0x04, kData = 0x10, kErr = 0x20, kPat = 0x40;

class FpgaReceiverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_usb();
        std::uint32_t n = 0;
        usb().create_device_info_list(n);
        ASSERT_EQ(usb().open(0, h_), kOk);
        ASSERT_EQ(usb().set_bit_mode(h_, 0xFF, 1), kOk);
    }
    void push(std::uint8_t b) { bytes_.push_back(b); }
    // One bit cell: data with the clock low, then the clock raised.
    void bit(std::uint8_t select, bool one) {
        const std::uint8_t base = static_cast<std::uint8_t>(select | (one ? kData : 0));
        push(base);
        push(base | kClk);
    }
    void send() {
        std::uint32_t written = 0;
        ASSERT_EQ(
            usb().write(h_, bytes_.data(), static_cast<std::uint32_t>(bytes_.size()), written),
            kOk);
        bytes_.clear();
    }
    Handle h_ = 0;
    std::vector<std::uint8_t> bytes_;
};

TEST_F(FpgaReceiverTest, PatternBitsInArrivalOrder) {
    push(kErr | kPat);
    push(kErr);  // pattern memory selected
    const std::string bits = "1101000111";
    for (char c : bits) bit(kErr, c == '1');
    push(kErr | kPat);
    send();
    EXPECT_EQ(usb().board().fpga().pattern_bits, bits);
    EXPECT_TRUE(usb().board().fpga().error_mask_bits.empty());
}

TEST_F(FpgaReceiverTest, ErrorMemoryTakesMaskThenPeriodThenWidth) {
    push(kErr | kPat);
    push(kPat);
    std::string mask(256, '0');
    mask[0] = mask[255] = '1';
    for (char c : mask) bit(kPat, c == '1');
    for (int i = 31; i >= 0; --i) bit(kPat, (3u >> i) & 1);
    for (int i = 31; i >= 0; --i) bit(kPat, (0x80000001u >> i) & 1);
    bit(kPat, true);  // beyond the memory: ignored
    push(kErr | kPat);
    send();
    const auto& f = usb().board().fpga();
    EXPECT_EQ(f.error_mask_bits, mask);
    EXPECT_EQ(f.error_period, 3u);
    EXPECT_EQ(f.error_width, 0x80000001u);
}

TEST_F(FpgaReceiverTest, NewLoadReplacesOnlyWhenBitsArriveAndDetachLosesIt) {
    push(kErr | kPat);
    push(kErr);
    bit(kErr, true);
    push(kErr | kPat);
    // A select pulse without clocks keeps the memory.
    push(kErr);
    push(kErr | kPat);
    // Clocks while deselected are not recorded.
    bit(kErr | kPat, false);
    send();
    EXPECT_EQ(usb().board().fpga().pattern_bits, "1");
    push(kErr);
    bit(kErr, false);
    push(kErr | kPat);
    send();
    EXPECT_EQ(usb().board().fpga().pattern_bits, "0");
    usb().board().detach();
    EXPECT_TRUE(usb().board().fpga().pattern_bits.empty());
}

}  // namespace
}  // namespace korvel::sim
