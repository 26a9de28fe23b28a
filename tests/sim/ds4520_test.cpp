// The DS4520 expanders answer on the bit-banged bus as their data sheet says.
#include <gtest/gtest.h>

#include "i2c_master.h"

namespace korvel::sim {
namespace {

class Ds4520Test : public testing::ChipTest {};

TEST_F(Ds4520Test, AddressesOfTheThreeChipsAcknowledgeAndOthersDoNot) {
    testing::I2cMaster m(usb());
    for (std::uint8_t a : {0xA4, 0xA6, 0xAE}) EXPECT_TRUE(m.write(a, {0xFA})) << int(a);
    for (std::uint8_t a : {0xA0, 0xA2, 0xA8, 0xAA, 0xAC, 0x40})
        EXPECT_FALSE(m.write(a, {0xFA})) << int(a);
}

TEST_F(Ds4520Test, RegisterWritesSetPinsFromIoControlAndPullUps) {
    testing::I2cMaster m(usb());
    EXPECT_TRUE(m.write(0xA6, {0xF0, 0x03}));
    usb().pause(0.02);  // each of these writes also programs the EEPROM copy
    EXPECT_TRUE(m.write(0xA6, {0xF2, 0x03}));
    usb().pause(0.02);
    EXPECT_TRUE(m.write(0xA6, {0xF3, 0xFE}));  // bank 1 holds only pin 8, in bit 0
    usb().pause(0.02);
    const Ds4520& x = board().expander(3);
    EXPECT_EQ(x.pullup, 0x003);
    EXPECT_EQ(x.control, 0x003);
    EXPECT_EQ(x.pins(), 0x003);
    // The status registers show the pin levels.
    EXPECT_EQ(m.read(0xA6, 2, 0xF8), (std::vector<std::uint8_t>{0x03, 0x00}));
    // Only chip 3 changed.
    EXPECT_EQ(board().expander(2).control, 0x1FF);
    EXPECT_EQ(board().expander(7).control, 0x1FF);
}

TEST_F(Ds4520Test, PointerSurvivesStopAndAutoIncrementsOnReadsAndWrites) {
    testing::I2cMaster m(usb());
    // One write fills three SRAM bytes in a row.
    EXPECT_TRUE(m.write(0xAE, {0xFA, 0x55, 0xAA, 0x33}));
    EXPECT_EQ(board().expander(7).sram[0], 0x55);
    EXPECT_EQ(board().expander(7).sram[1], 0xAA);
    EXPECT_EQ(board().expander(7).sram[2], 0x33);
    // Select a register, STOP, then read in a separate transaction: the pointer is kept.
    EXPECT_TRUE(m.write(0xAE, {0xFB}));
    EXPECT_EQ(m.read(0xAE, 2), (std::vector<std::uint8_t>{0xAA, 0x33}));
    // And it moved on by two.
    EXPECT_EQ(m.read(0xAE, 1), (std::vector<std::uint8_t>{0x00}));
}

TEST_F(Ds4520Test, EepromCopiesFollowUnlessSeeIsSetAndComeBackAfterPowerCycle) {
    testing::I2cMaster m(usb());
    m.write(0xA4, {0xF0, 0x11, 0x00, 0x22});  // F0, F1, F2 with SEE 0: written through
    usb().pause(0.02);                        // the EEPROM write time
    m.write(0xA4, {0xF4, 0xFF});              // SEE on: registers only from now on
    m.write(0xA4, {0xF2, 0x44});
    m.write(0xA4, {0x10, 0x99});  // user EEPROM is always nonvolatile
    const Ds4520& x = board().expander(2);
    EXPECT_EQ(x.control & 0xFF, 0x44);
    EXPECT_EQ(x.eeprom_control & 0xFF, 0x22);
    EXPECT_EQ(x.eeprom_pullup & 0xFF, 0x11);
    EXPECT_EQ(x.user_eeprom[0x10], 0x99);
    usb().pause(0.02);
    EXPECT_TRUE(m.write(0xA4, {0xFA, 0x77}));
    EXPECT_EQ(x.sram[0], 0x77);

    board().detach();
    board().attach();
    EXPECT_EQ(x.control & 0xFF, 0x22);
    EXPECT_EQ(x.pullup & 0xFF, 0x11);
    EXPECT_EQ(x.config, 0);   // volatile
    EXPECT_EQ(x.sram[0], 0);  // volatile
    EXPECT_EQ(x.user_eeprom[0x10], 0x99);
}

TEST_F(Ds4520Test, UserEepromPageWritesWrapWithinEightBytes) {
    testing::I2cMaster m(usb());
    m.write(0xA4, {0x06, 1, 2, 3});
    const auto& ee = board().expander(2).user_eeprom;
    EXPECT_EQ(ee[6], 1);
    EXPECT_EQ(ee[7], 2);
    EXPECT_EQ(ee[0], 3);
    EXPECT_EQ(ee[8], 0);
}

TEST_F(Ds4520Test, UnplugInTheMiddleOfAReadLeavesNoChipHoldingTheBus) {
    {
        testing::I2cMaster m(usb());
        m.start();
        m.tx(0xA5);  // the chip now drives the first bit of user EEPROM byte 0 (0x00)
        EXPECT_EQ(board().pins() & 2, 0);
        board().detach();
        board().attach();
    }
    testing::I2cMaster m(usb());
    EXPECT_EQ(board().pins() & 3, 3);
    EXPECT_TRUE(m.write(0xA4, {0xF2, 0x0F}));
}

TEST_F(Ds4520Test, ReadingAnAbsentChipGivesFF) {
    testing::I2cMaster m(usb());
    EXPECT_EQ(m.read(0xA0, 2, 0xF8), (std::vector<std::uint8_t>{0xFF, 0xFF}));
    EXPECT_EQ(m.read(0xA8, 3), (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF}));
}

TEST_F(Ds4520Test, NackedReadReleasesTheBusForStop) {
    testing::I2cMaster m(usb());
    board().expander(7).control = 0x000;  // the status byte is all zeros: SDA held low per bit
    EXPECT_EQ(m.read(0xAE, 1, 0xF8), (std::vector<std::uint8_t>{0x00}));
    EXPECT_EQ(board().pins() & 3, 3);  // after STOP both lines are high again
    const auto& log = board().bus_log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.back().kind, BusEvent::Kind::Stop);
    EXPECT_EQ(board().contention_count(), 0u);
}

}  // namespace
}  // namespace korvel::sim
