// The board's wiring: idle levels, the open-drain bus, contention and the decoded bus log.
#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <string>

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
    EXPECT_THROW(b.expander(5), std::out_of_range);
    EXPECT_THROW(b.dac(2), std::out_of_range);
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

// The log as text: S start, R repeated start, P stop, bytes in hex with + for ACK and - for NACK.
std::string log_text(const std::vector<BusEvent>& log) {
    std::string out;
    char byte[8];
    for (const auto& e : log) {
        if (!out.empty()) out += ' ';
        if (e.kind == Kind::Byte) {
            std::snprintf(byte, sizeof byte, "%02X%c", e.value, e.acked ? '+' : '-');
            out += byte;
        } else {
            out += e.kind == Kind::Start ? "S" : e.kind == Kind::RepeatedStart ? "R" : "P";
        }
    }
    return out;
}

TEST_F(BusWiringTest, BusLogShowsTransactionsAsTheyCrossedTheWire) {
    testing::I2cMaster m(usb());
    board().clear_bus_log();
    m.write(0xAE, {0xF8});
    m.read(0xAE, 1, 0xF8);  // the pins of a fresh expander: all released
    m.write(0xB0, {});      // nobody there
    EXPECT_EQ(log_text(board().bus_log()), "S AE+ F8+ P S AE+ F8+ R AF+ FF- P S B0- P");
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
    EXPECT_EQ(log_text(board().bus_log()), "S P S A6+ F2+ 0F+ P");
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
