// The chips' EEPROM write cycles on the virtual clock: how long each chip is busy, what starts a
// cycle and what does not, and what a transaction that comes too early gets.
#include <gtest/gtest.h>

#include "i2c_master.h"

namespace korvel::sim {
namespace {

class EepromTiming : public testing::ChipTest {
  protected:
    // Moves the virtual time on to `us`, when it is not past that already.
    static void wait_until(std::uint64_t us) {
        const std::uint64_t now = usb().now_us();
        if (us > now) usb().pause(static_cast<double>(us - now) / 1e6);
    }
    // The RDY/BSY bits of the eight group headers of a DAC's read-back, one per bit.
    static int ready_bits(testing::I2cMaster& m, std::uint8_t address) {
        const auto bytes = m.read(address, 24);
        int bits = 0;
        for (int g = 0; g < 8; ++g) bits |= ((bytes[3 * g] >> 7) & 1) << g;
        return bits;
    }
};

// (A transaction below takes a few hundred microseconds of driver calls; its address byte is
// taken about 50 us after it begins.)

TEST_F(EepromTiming, ExpanderIsDeafForItsWriteTimeAfterAnEepromBackedWrite) {
    testing::I2cMaster m(usb());
    Ds4520& x = board().expander(3);
    ASSERT_TRUE(m.write(0xA6, {0xF0, 0x03}));       // SEE 0: the pull-ups go to EEPROM as well
    const std::uint64_t stop = usb().now_us() - 1;  // the STOP was the last driver call
    // Within tWR the chip acknowledges nothing: a write is lost and a read floats high.
    wait_until(stop + 19000);
    EXPECT_FALSE(m.write(0xA6, {0xF2, 0x0E}));
    EXPECT_EQ(x.control, 0x1FF);
    EXPECT_EQ(m.read(0xA6, 1, 0xF8), std::vector<std::uint8_t>{0xFF});
    EXPECT_TRUE(m.write(0xA4, {0xFA, 0x01}));  // the other chips are not held up
    wait_until(stop + 20000 - 100);
    EXPECT_FALSE(m.write(0xA6, {0xF2, 0x0E}));
    // A lost transaction starts no cycle of its own: tWR after the STOP the chip answers again.
    wait_until(stop + 20000);
    EXPECT_TRUE(m.write(0xA6, {0xF2, 0x0E}));
    EXPECT_EQ(x.control, 0x10E);
    EXPECT_EQ(x.eeprom_control, 0x10E);
}

TEST_F(EepromTiming, OnlyWritesThatReachTheExpanderEepromStartACycle) {
    testing::I2cMaster m(usb());
    Ds4520& x = board().expander(7);
    // Selecting a register, reading, SRAM and the configuration register cost no write time.
    EXPECT_TRUE(m.write(0xAE, {0xF8}));
    EXPECT_EQ(m.read(0xAE, 2).size(), 2u);
    EXPECT_TRUE(m.write(0xAE, {0xFA, 0x12, 0x34}));
    EXPECT_TRUE(m.write(0xAE, {0xF4, 0x01}));  // SEE 1: the registers only
    EXPECT_TRUE(m.write(0xAE, {0xF0, 0x0F, 0x01, 0x0F}));
    EXPECT_TRUE(m.write(0xAE, {0xF3, 0x00}));
    EXPECT_EQ(x.control, 0x00F);
    EXPECT_EQ(x.eeprom_control, 0x1FF);
    // The user EEPROM is always EEPROM, whatever SEE says.
    EXPECT_TRUE(m.write(0xAE, {0x00, 0xAB}));
    EXPECT_FALSE(m.write(0xAE, {0xFA, 0x00}));
    EXPECT_EQ(x.sram[0], 0x12);
}

TEST_F(EepromTiming, ExpanderCycleStartsAtTheStopAndEndsWithThePower) {
    testing::I2cMaster m(usb());
    // Data, then a repeated START to read back: the cells are programmed only after the STOP.
    m.start();
    m.tx(0xA4);
    m.tx(0xF0);
    m.tx(0x05);
    m.start();
    m.tx(0xA4);
    m.tx(0xF0);
    m.start();
    EXPECT_TRUE(m.tx(0xA5));
    EXPECT_EQ(m.rx(false), 0x05);
    m.stop();
    EXPECT_FALSE(m.write(0xA4, {0xFA, 0x01}));
    // Unplugged in the middle of the cycle, the chip comes back ready (with what it stored).
    board().detach();
    board().attach();
    testing::I2cMaster again(usb());
    EXPECT_TRUE(again.write(0xA4, {0xFA, 0x01}));
    EXPECT_EQ(board().expander(2).pullup, 0x005);
}

TEST_F(EepromTiming, DacIgnoresCommandsAndReportsBusyWhileItStores) {
    testing::I2cMaster m(usb());
    auto& c = board().dac(1).channels[2];
    ASSERT_TRUE(m.write(0xC2, {0x5C, 0x12, 0x6C}));  // single write with EEPROM, code 620
    // The cycle began at the last acknowledge, a few calls before the STOP.
    const std::uint64_t written = usb().now_us();
    EXPECT_EQ(ready_bits(m, 0xC2), 0x00);
    EXPECT_EQ(ready_bits(m, 0xC0), 0xFF);  // the other DAC is idle
    // Acknowledged but ignored, to the end of the transaction: a volatile write, another
    // stored one, a general-call reset.
    EXPECT_TRUE(m.write(0xC2, {0x44, 0x10, 0x05, 0x58, 0x10, 0x07}));
    EXPECT_TRUE(m.write(0x00, {0x06}));
    EXPECT_EQ(c.code, 620);
    EXPECT_EQ(board().dac(1).channels[0].eeprom_code, 0);
    wait_until(written + 50000 - 100);
    EXPECT_EQ(ready_bits(m, 0xC2), 0x00);
    wait_until(written + 50000);
    EXPECT_EQ(ready_bits(m, 0xC2), 0xFF);
    EXPECT_TRUE(m.write(0xC2, {0x44, 0x10, 0x05}));
    EXPECT_EQ(c.code, 5);
    EXPECT_EQ(c.eeprom_code, 620);
}

TEST_F(EepromTiming, DacVolatileWritesCostNoTimeAndASequentialWriteStoresOnceAtTheEnd) {
    testing::I2cMaster m(usb());
    auto& chans = board().dac(0).channels;
    EXPECT_TRUE(m.write(0xC0, {0x40, 0x10, 0x01}));        // multi-write
    EXPECT_TRUE(m.write(0xC0, {0x00, 0x02, 0x00, 0x03}));  // fast write, channels A and B
    EXPECT_TRUE(m.write(0xC0, {0x80 | 0x0F}));             // reference selection
    EXPECT_EQ(ready_bits(m, 0xC0), 0xFF);
    // Sequential write from channel C: the chip stores C and D together after D's last byte.
    m.start();
    m.tx(0xC0);
    m.tx(0x50 | (2 << 1));
    m.tx(0x10);
    m.tx(0x33);
    m.stop();
    EXPECT_EQ(ready_bits(m, 0xC0), 0x00);  // cut short after C: stored at the STOP
    usb().pause(0.05);
    EXPECT_TRUE(m.write(0xC0, {0x50 | (2 << 1), 0x10, 0x44, 0x10, 0x55}));
    EXPECT_EQ(chans[2].eeprom_code, 0x44);
    EXPECT_EQ(chans[3].eeprom_code, 0x55);
    EXPECT_EQ(ready_bits(m, 0xC0), 0x00);
    board().detach();
    board().attach();
    testing::I2cMaster again(usb());
    EXPECT_EQ(ready_bits(again, 0xC0), 0xFF);
    EXPECT_EQ(chans[3].code, 0x55);
}

}  // namespace
}  // namespace korvel::sim
