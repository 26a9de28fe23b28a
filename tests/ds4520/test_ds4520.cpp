// DS4520 driver against the simulated expanders: the registers each operation writes, built from
// the pin levels the chip reports, and the unit vanishing in the middle of a pin write.
#include <algorithm>
#include <string>

#include "base/clock.h"
#include "unit_fixture.h"

namespace korvel {
namespace {

using testing::kRestart;
using testing::Transactions;

class Ds4520 : public testing::UnitFixture {
  protected:
    void SetUp() override {
        UnitFixture::SetUp();
        open_unit();
    }
    // Makes the nine pins of `chip` read `levels` (bit n = pin n) and forgets the bus so far.
    static void set_levels(int chip, int levels) {
        board().expander(chip).pullup = board().expander(chip).control =
            static_cast<std::uint16_t>(levels);
        forget_history();
    }
    // Select the status register, read it (S), write the pull-up byte P, then the control byte C.
    static Transactions pin_write(int chip, int bank, int s, int p, int c) {
        const int w = 0xA0 | (chip << 1);
        return {{w, 0xF8 + bank}, {w | 1, s}, {w, 0xF0 + bank, p}, {w, 0xF2 + bank, c}};
    }
};

TEST_F(Ds4520, PinWritesFollowThePresentLevels) {
    struct Case {
        int chip, pin, op, levels, bank, s, p, c;
    };
    const Case cases[] = {
        {3, 0, 1, 0x002, 0, 0x02, 0x03, 0x03},   {3, 0, 0, 0x003, 0, 0x03, 0x02, 0x02},
        {2, 8, 1, 0x0FF, 1, 0x00, 0x01, 0x01},   {2, 8, 0, 0x1FF, 1, 0x01, 0x00, 0x00},
        {7, 9, 1, 0x05A, 0, 0x5A, 0x5A, 0x5A},   {7, 2, 2, 0x0FF, 0, 0xFF, 0x00, 0x00},
        {7, 8, 200, 0x100, 1, 0x01, 0x02, 0x02}, {7, 0x101, 1, 0x000, 0, 0x00, 0x02, 0x02},
        {0, 1, 0, 0x000, 0, 0xFF, 0xFD, 0xFD},  // no chip at 0xA0: status reads 0xFF
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.chip << "/" << c.pin << "/" << c.op);
        set_levels(c.chip == 0 ? 2 : c.chip, c.levels);
        DS4520_IO_write(c.chip, c.pin, c.op);
        EXPECT_EQ(transactions(), pin_write(c.chip, c.bank, c.s, c.p, c.c));
        EXPECT_EQ(clock().pause_count(), 2u);
        EXPECT_DOUBLE_EQ(clock().paused_total(), 0.04);
    }
    EXPECT_EQ(last_input_pin, 0xFF);
}

TEST_F(Ds4520, PlainInputStaysReleasedOnEveryLaterWrite) {
    set_levels(7, 0x021);
    DS4520_IO_write(7, 5, 3);
    EXPECT_EQ(transactions(), pin_write(7, 0, 0x21, 0x01, 0x21));
    EXPECT_EQ(board().expander(7).control & 0xFF, 0x21);
    set_levels(2, 0x001);
    DS4520_IO_write(2, 0, 0);
    EXPECT_EQ(transactions(), pin_write(2, 0, 0x01, 0x00, 0x20));
    set_levels(2, 0x05A);
    DS4520_IO_write_fast(2, 12, 1);
    EXPECT_EQ(transactions(), pin_write(2, 0, 0x5A, 0x5A, 0x7A));
    EXPECT_EQ(clock().pause_count(), 0u);
    set_levels(3, 0x100);  // pin 8 as input: later bank-0 writes get no extra bit
    DS4520_IO_write(3, 8, 3);
    EXPECT_EQ(transactions(), pin_write(3, 1, 0x01, 0x00, 0x01));
    set_levels(3, 0x0F0);
    DS4520_IO_write(3, 0, 1);
    EXPECT_EQ(transactions(), pin_write(3, 0, 0xF0, 0xF1, 0xF1));
}

TEST_F(Ds4520, MultiBitWriteReadAndConfiguration) {
    set_levels(7, 0x0FF);
    DS4520_IOX_wr_multibit(7, 0x30, 0x20);
    EXPECT_EQ(transactions(), pin_write(7, 0, 0xFF, 0xEF, 0xEF));
    EXPECT_DOUBLE_EQ(clock().paused_total(), 0.04);
    for (int levels : {0x000, 0x1A5}) {
        set_levels(2, levels);
        DS4520_IOX_wr_multibit(2, -1, 0x5A);  // callers pass 0xFF as -1
        EXPECT_EQ(transactions(), pin_write(2, 0, levels & 0xFF, 0x5A, 0x5A));
    }
    set_levels(7, 0x10B);
    EXPECT_EQ(DS4520_IO_read(7), 0x010B);
    EXPECT_EQ(transactions(), (Transactions{{0xAE, 0xF8, kRestart, 0xAF, 0x0B, 0x01}}));
    EXPECT_EQ(DS4520_IO_read(0), 0xFFFF);
    DS4520_IO_ee_wr_off(3);
    EXPECT_EQ(board().expander(3).config, 0xFF);
    DS4520_IO_ee_wr_on(3);
    EXPECT_EQ(board().expander(3).config, 0x00);
    EXPECT_EQ(clock().pause_count(), 0u);
}

TEST_F(Ds4520, DumpAndLedWalk) {
    set_levels(3, 0x1C3);
    ::testing::internal::CaptureStdout();
    DS4520_IO_dump();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("chip@A4: addr FA: 55\n4520 RAM byte, chip@A4: addr FB: AA\n"), out.npos);
    EXPECT_NE(out.find("4520 RAM byte, chip@AE: addr FF: F0\n"), out.npos);
    EXPECT_NE(out.find("4520 status, i2c_slave_addr A6: 01C3\n"), out.npos);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 21);
    // Chip 3's part: six pattern writes, six reads each opened by W and the register and closed
    // after one byte, then the status pair read in the transaction the last W left open.
    const Transactions all = transactions();
    ASSERT_EQ(all.size(), 3u * 13u);
    const int pattern[6] = {0x55, 0xAA, 0x33, 0xCC, 0x0F, 0xF0};
    Transactions chip3;
    for (int i = 0; i < 6; ++i) chip3.push_back({0xA6, 0xFA + i, pattern[i]});
    for (int i = 0; i < 6; ++i) chip3.push_back({0xA6, 0xFA + i, kRestart, 0xA7, pattern[i]});
    chip3.push_back({0xA6, 0xF8, kRestart, 0xA7, 0xC3, 0x01});
    EXPECT_EQ(Transactions(all.begin() + 13, all.begin() + 26), chip3);
    EXPECT_EQ(clock().pause_count(), 0u);

    forget_history();
    ledTest();
    const Transactions walk = transactions();
    ASSERT_EQ(walk.size(), 36u * 4u);
    for (int step = 0; step < 36; ++step) {
        const int i = step % 18;  // chip 2 pins 0..7, then chip 7 given 0..9 (8 is bank 1)
        EXPECT_EQ(walk[step * 4][0], i < 8 ? 0xA4 : 0xAE) << step;
        EXPECT_EQ(walk[step * 4][1], i == 16 ? 0xF9 : 0xF8) << step;
    }
    EXPECT_EQ(board().expander(2).control & 0x0FF, 0);
    EXPECT_EQ(board().expander(7).control, 0);
    EXPECT_NEAR(clock().paused_total(), 5.04, 1e-9);
}

TEST_F(Ds4520, ThePausesCoverTheEepromWriteTimeAndTheFastWriteNeedsEepromWritingOff) {
    // Pull-up and I/O-control registers are written through to EEPROM (the chips' power-up
    // setting). Without the pause, the control write comes while the chip still programs the
    // pull-ups: it does not acknowledge, and pin 0 stays high.
    set_levels(3, 0x003);
    DS4520_IO_write_fast(3, 0, 0);
    EXPECT_EQ(board().expander(3).pullup, 0x002);
    EXPECT_EQ(board().expander(3).control, 0x003);
    EXPECT_EQ(acks().back(), false);
    Delay(0.02);
    set_levels(3, 0x003);
    DS4520_IO_write(3, 0, 0);
    EXPECT_EQ(board().expander(3).control, 0x002);
    EXPECT_EQ(board().expander(3).eeprom_control, 0x102);  // bank 1 untouched
    // With EEPROM writing off the registers change at once and the fast write is whole.
    DS4520_IO_ee_wr_off(3);
    set_levels(3, 0x003);
    DS4520_IO_write_fast(3, 1, 0);
    EXPECT_EQ(board().expander(3).control, 0x001);
    EXPECT_EQ(board().expander(3).eeprom_control, 0x102);
    EXPECT_EQ(clock().paused_total(), 0.0);
}

TEST_F(Ds4520, UnitVanishingBeforeAnyDriverCallOfAPinWrite) {
    DS4520_IO_write(3, 0, 1);
    const std::uint64_t calls = usb().total_calls();
    ASSERT_EQ(calls, 114u + 100u + 166u + 166u);
    for (std::uint64_t n = 1; n <= calls; ++n) {
        SetUp();
        usb().detach_before_call(n);
        DS4520_IO_write(3, 0, 1);
        ASSERT_FALSE(board().attached()) << n;
        board().attach();
        ASSERT_EQ(init_usb(), 1) << n;
        set_levels(3, 0x002);
        DS4520_IO_write(3, 0, 1);
        ASSERT_EQ(board().expander(3).control & 0xFF, 0x03) << n;
    }
}

}  // namespace
}  // namespace korvel
