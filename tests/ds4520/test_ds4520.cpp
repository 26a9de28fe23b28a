// DS4520 driver against the simulated expanders: the register writes of each pin operation, the
// multi-bit write, the status read, the configuration writes and the engineering routines.
#include <algorithm>
#include <string>
#include <vector>

#include "ds4520/ds4520.h"
#include "link/usb_link.h"
#include "unit_fixture.h"

namespace korvel {
namespace {

using testing::bus_transactions;
using testing::kRestart;
using Transactions = std::vector<std::vector<int>>;

int write_address(int chip) {
    return 0xA0 | (chip << 1);
}

class Ds4520 : public testing::UnitFixture {
  protected:
    void SetUp() override {
        UnitFixture::SetUp();
        open_unit();
    }
    // Makes the nine pins of `chip` read `levels` (bit n = pin n).
    static void set_levels(int chip, int levels) {
        board().expander(chip).pullup = static_cast<std::uint16_t>(levels);
        board().expander(chip).control = static_cast<std::uint16_t>(levels);
    }
    // The four transactions of a pin write: select status, read it, pull-up, I/O control.
    static Transactions pin_write(int chip, int status_reg, int status, int pullup_reg, int pullup,
                                  int control) {
        const int w = write_address(chip);
        return {{w, status_reg},
                {w | 1, status},
                {w, pullup_reg, pullup},
                {w, pullup_reg + 2, control}};
    }
};

struct PinWriteCase {
    int chip, pin, op, levels;
    int status_reg, status, pullup_reg, pullup, control;
};

TEST_F(Ds4520, PinWritesBuildBothBytesFromThePresentLevels) {
    const PinWriteCase cases[] = {
        {3, 0, 1, 0x002, 0xF8, 0x02, 0xF0, 0x03, 0x03},
        {3, 0, 0, 0x003, 0xF8, 0x03, 0xF0, 0x02, 0x02},
        {2, 8, 1, 0x0FF, 0xF9, 0x00, 0xF1, 0x01, 0x01},
        {2, 8, 0, 0x1FF, 0xF9, 0x01, 0xF1, 0x00, 0x00},
        {7, 9, 1, 0x05A, 0xF8, 0x5A, 0xF0, 0x5A, 0x5A},    // no such pin: bank rewritten unchanged
        {7, 2, 2, 0x0FF, 0xF8, 0xFF, 0xF0, 0x00, 0x00},    // unknown op, bank 0
        {7, 8, 200, 0x100, 0xF9, 0x01, 0xF1, 0x02, 0x02},  // unknown op, bank 1
        {7, 0x100 + 1, 1, 0x000, 0xF8, 0x00, 0xF0, 0x02, 0x02},  // pin used as 8 bits
    };
    for (const PinWriteCase& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "chip " << c.chip << " pin " << c.pin << " op " << c.op);
        set_levels(c.chip, c.levels);
        forget_history();
        DS4520_IO_write(c.chip, c.pin, c.op);
        EXPECT_EQ(bus_transactions(),
                  pin_write(c.chip, c.status_reg, c.status, c.pullup_reg, c.pullup, c.control));
        EXPECT_EQ(clock().pause_count(), 2u);
        EXPECT_DOUBLE_EQ(clock().paused_total(), 0.04);
        EXPECT_EQ(last_input_pin, 0xFF);
    }
}

TEST_F(Ds4520, PlainInputIsRememberedAndKeptReleasedOnEveryChip) {
    set_levels(7, 0x021);
    DS4520_IO_write(7, 5, 3);
    EXPECT_EQ(last_input_pin, 5);
    EXPECT_EQ(bus_transactions(), pin_write(7, 0xF8, 0x21, 0xF0, 0x01, 0x21));
    EXPECT_EQ(board().expander(7).pullup & 0xFF, 0x01);
    EXPECT_EQ(board().expander(7).control & 0xFF, 0x21);

    set_levels(2, 0x001);
    forget_history();
    DS4520_IO_write(2, 0, 0);
    EXPECT_EQ(bus_transactions(), pin_write(2, 0xF8, 0x01, 0xF0, 0x00, 0x20));

    set_levels(2, 0x05A);
    forget_history();
    DS4520_IO_write(2, 12, 1);  // no pin 12: bank unchanged plus the remembered input
    EXPECT_EQ(bus_transactions(), pin_write(2, 0xF8, 0x5A, 0xF0, 0x5A, 0x7A));
}

TEST_F(Ds4520, BankOneInputSetsNoBankZeroBitLater) {
    set_levels(3, 0x100);
    DS4520_IO_write(3, 8, 3);
    EXPECT_EQ(bus_transactions(), pin_write(3, 0xF9, 0x01, 0xF1, 0x00, 0x01));
    EXPECT_EQ(last_input_pin, 8);
    set_levels(3, 0x0F0);
    forget_history();
    DS4520_IO_write_fast(3, 0, 1);
    EXPECT_EQ(bus_transactions(), pin_write(3, 0xF8, 0xF0, 0xF0, 0xF1, 0xF1));
    EXPECT_EQ(clock().pause_count(), 0u);
}

TEST_F(Ds4520, MultiBitWriteMasksThePresentLevels) {
    set_levels(7, 0x0FF);
    DS4520_IOX_wr_multibit(7, 0x30, 0x20);
    EXPECT_EQ(bus_transactions(),
              (Transactions{{0xAE, 0xF8}, {0xAF, 0xFF}, {0xAE, 0xF0, 0xEF}, {0xAE, 0xF2, 0xEF}}));
    EXPECT_DOUBLE_EQ(clock().paused_total(), 0.04);

    for (int levels : {0x000, 0x1FF, 0x0A5}) {
        set_levels(2, levels);
        forget_history();
        DS4520_IOX_wr_multibit(2, -1, 0x5A);  // callers pass 0xFF as -1
        const Transactions got = bus_transactions();
        ASSERT_EQ(got.size(), 4u);
        EXPECT_EQ(got[2], (std::vector<int>{0xA4, 0xF0, 0x5A}));
        EXPECT_EQ(got[3], (std::vector<int>{0xA4, 0xF2, 0x5A}));
        EXPECT_EQ(board().expander(2).pins() & 0xFF, 0x5A);
    }

    set_levels(7, 0x000);
    forget_history();
    DS4520_IOX_wr_multibit(7, -64, 0x80);  // 0xC0
    EXPECT_EQ(bus_transactions()[3], (std::vector<int>{0xAE, 0xF2, 0x80}));
}

TEST_F(Ds4520, ReadReturnsBothBanksInOneTransaction) {
    set_levels(7, 0x10B);
    EXPECT_EQ(DS4520_IO_read(7), 0x010B);
    EXPECT_EQ(bus_transactions(), (Transactions{{0xAE, 0xF8, kRestart, 0xAF, 0x0B, 0x01}}));
    EXPECT_EQ(clock().pause_count(), 0u);
}

TEST_F(Ds4520, AbsentChipReadsAllOnes) {
    EXPECT_EQ(DS4520_IO_read(0), 0xFFFF);
    forget_history();
    DS4520_IO_write(0, 1, 0);
    EXPECT_EQ(bus_transactions(), pin_write(0, 0xF8, 0xFF, 0xF0, 0xFD, 0xFD));
}

TEST_F(Ds4520, ConfigurationWritesSwitchEepromStorage) {
    DS4520_IO_ee_wr_on(3);
    EXPECT_EQ(board().expander(3).config, 0x00);
    DS4520_IO_ee_wr_off(3);
    EXPECT_EQ(board().expander(3).config, 0xFF);
    EXPECT_EQ(bus_transactions(), (Transactions{{0xA6, 0xF4, 0x00}, {0xA6, 0xF4, 0xFF}}));
    EXPECT_EQ(clock().pause_count(), 0u);
}

TEST_F(Ds4520, DumpWritesTheTestPatternAndPrintsItBack) {
    set_levels(3, 0x1C3);
    ::testing::internal::CaptureStdout();
    DS4520_IO_dump();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("4520 RAM byte, chip@A4: addr FA: 55\n"
                       "4520 RAM byte, chip@A4: addr FB: AA\n"
                       "4520 RAM byte, chip@A4: addr FC: 33\n"
                       "4520 RAM byte, chip@A4: addr FD: CC\n"
                       "4520 RAM byte, chip@A4: addr FE: 0F\n"
                       "4520 RAM byte, chip@A4: addr FF: F0\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("4520 status, i2c_slave_addr A6: 01C3\n"), std::string::npos) << out;
    EXPECT_NE(out.find("4520 RAM byte, chip@AE: addr FF: F0\n"), std::string::npos) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 21);
}

TEST_F(Ds4520, LedTestWalksEighteenPinsUpAndDown) {
    ledTest();
    const Transactions got = bus_transactions();
    ASSERT_EQ(got.size(), 36u * 4u);
    EXPECT_EQ(got[2], (std::vector<int>{0xA4, 0xF0, got[1][1] | 0x01}));  // chip 2 pin 0 high
    EXPECT_EQ(got[17 * 4][0], 0xAE);  // step 17 is chip 7, pin 9
    EXPECT_EQ(clock().pause_count(), 36u * 3u);
    EXPECT_NEAR(clock().paused_total(), 5.04, 1e-9);
}

}  // namespace
}  // namespace korvel
