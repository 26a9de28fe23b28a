// The board's wiring: idle levels, the open-drain bus, contention and the decoded bus log.
#include <gtest/gtest.h>

#include "i2c_master.h"

namespace korvel::sim {
namespace {

using Kind = BusEvent::Kind;

class BusWiringTest : public ::testing::Test {
  protected:
    void SetUp() override { reset_usb(); }
    Board& board() { return usb().board(); }
};

TEST_F(BusWiringTest, UndrivenPinsReadTheirIdleLevelsAndOutputsTheirLatch) {
    Board b;
    EXPECT_EQ(b.pins(), kIdlePinLevels);
    b.write_latch(0x14);
    EXPECT_EQ(b.pins(), kIdlePinLevels);  // the latch alone drives nothing
    b.set_direction(0xFF);
    EXPECT_EQ(b.pins(), 0x14);
    b.set_direction(0x0F);
    EXPECT_EQ(b.pins(), (0x14 & 0x0F) | (kIdlePinLevels & 0xF0));
}

TEST_F(BusWiringTest, DrivingSdaHighAgainstAnAcknowledgeIsContention) {
    testing::I2cMaster m(usb());
    m.start();
    m.tx_bits(0xA4);  // the expander now pulls SDA low for its acknowledge
    EXPECT_EQ(board().pins() & 2, 0);
    EXPECT_EQ(board().contention_count(), 0u);
    m.latch(2);
    m.lines(3);                        // SDA an output holding 1: the host fights the chip
    EXPECT_EQ(board().pins() & 2, 0);  // the chip's pull-down wins the wired-AND
    m.latch(2);                        // still fighting: the same occurrence
    EXPECT_EQ(board().contention_count(), 1u);
    m.lines(1);  // released again
    m.lines(0);
    m.lines(1);
    m.stop();
    EXPECT_EQ(board().contention_count(), 1u);
}

TEST_F(BusWiringTest, BusLogShowsTransactionsAsTheyCrossedTheWire) {
    testing::I2cMaster m(usb());
    board().clear_bus_log();
    m.write(0xAE, {0xF8});
    m.read(0xAE, 1, 0xF8);
    m.write(0xB0, {});
    const auto& log = board().bus_log();
    ASSERT_EQ(log.size(), 14u);
    EXPECT_EQ(log[0].kind, Kind::Start);
    EXPECT_EQ(log[1].kind, Kind::Byte);
    EXPECT_EQ(log[1].value, 0xAE);
    EXPECT_TRUE(log[1].acked);
    EXPECT_EQ(log[2].value, 0xF8);
    EXPECT_EQ(log[3].kind, Kind::Stop);
    EXPECT_EQ(log[4].kind, Kind::Start);
    EXPECT_EQ(log[6].kind, Kind::Byte);
    EXPECT_EQ(log[7].kind, Kind::RepeatedStart);
    EXPECT_EQ(log[8].value, 0xAF);
    EXPECT_EQ(log[9].value, 0xFF);  // the pins of a fresh expander: all released
    EXPECT_FALSE(log[9].acked);     // the master's NACK
    EXPECT_EQ(log[10].kind, Kind::Stop);
    EXPECT_EQ(log[12].value, 0xB0);
    EXPECT_FALSE(log[12].acked);  // nobody there
}

TEST_F(BusWiringTest, TakingThePinsForTheFpgaAndBackMakesNoBusCondition) {
    testing::I2cMaster m(usb());
    board().clear_bus_log();
    usb().set_bit_mode(m.handle(), 0xFF, 1);  // all outputs, latch 0: both lines low
    m.lines(0);                               // the I2C side releases both at once
    EXPECT_TRUE(board().bus_log().empty());
    EXPECT_TRUE(m.write(0xA4, {0xFA, 1}));
}

TEST_F(BusWiringTest, StartUpGlitchOfTheI2cSideIsHarmless) {
    // The I2C side's start-up step drives SDA low with SCL released (a START) and its first
    // real START releases SDA first (a STOP): the chips must simply see an empty transaction.
    testing::I2cMaster m(usb());
    board().clear_bus_log();
    m.lines(2);
    EXPECT_TRUE(m.write(0xA6, {0xF2, 0x0F}));
    EXPECT_EQ(board().expander(3).control, 0x10F);
    const auto& log = board().bus_log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0].kind, Kind::Start);
    EXPECT_EQ(log[1].kind, Kind::Stop);
    EXPECT_EQ(log[2].kind, Kind::Start);
}

TEST_F(BusWiringTest, BusLogStaysBounded) {
    testing::I2cMaster m(usb());
    Board& b = board();
    // Clock a long stream of bytes inside one transaction straight on the board.
    m.start();
    b.set_direction(0x01);  // SCL low, SDA released
    for (int i = 0; i < 9 * 140000; ++i) {
        b.set_direction(0x00);
        b.set_direction(0x01);
    }
    EXPECT_LE(b.bus_log().size(), 2u * 65536u);
    EXPECT_GE(b.bus_log().size(), 65536u);
}

}  // namespace
}  // namespace korvel::sim
