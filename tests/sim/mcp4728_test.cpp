// The MCP4728 DACs take the write commands and give the 24-byte read-back of their data sheet.
#include <gtest/gtest.h>

#include "i2c_master.h"

namespace korvel::sim {
namespace {

class Mcp4728Test : public testing::ChipTest {};

TEST_F(Mcp4728Test, MultiWriteSetsTheInputRegisterOnly) {
    testing::I2cMaster m(usb());
    EXPECT_TRUE(m.write(0xC0, {0x44, 0x14, 0xD9}));  // channel C, gain 1, code 1241
    const auto& ch = board().dac(0).channels[2];
    EXPECT_EQ(ch.code, 1241);
    EXPECT_EQ(ch.gain, 1);
    EXPECT_EQ(ch.vref, 0);
    EXPECT_EQ(ch.power_down, 0);
    EXPECT_EQ(ch.eeprom_code, 0);
    EXPECT_EQ(board().dac(1).channels[2].code, 0);
    // Several channels in one transaction.
    EXPECT_TRUE(m.write(0xC2, {0x40, 0x0F, 0xFF, 0x46, 0x80 | 0x01, 0x23}));
    EXPECT_EQ(board().dac(1).channels[0].code, 0xFFF);
    EXPECT_EQ(board().dac(1).channels[3].code, 0x123);
    EXPECT_EQ(board().dac(1).channels[3].vref, 1);
}

TEST_F(Mcp4728Test, SingleWriteStoresInEepromWhichIsWhatPowerUpLoads) {
    testing::I2cMaster m(usb());
    EXPECT_TRUE(m.write(0xC2, {0x5C, 0x12, 0x6C}));  // channel C with EEPROM, code 620
    usb().pause(0.05);                               // the EEPROM write time
    EXPECT_TRUE(m.write(0xC2, {0x44, 0x10, 0x05}));  // then a volatile change
    auto& ch = board().dac(1).channels[2];
    EXPECT_EQ(ch.code, 5);
    EXPECT_EQ(ch.eeprom_code, 620);
    EXPECT_EQ(ch.eeprom_gain, 1);
    board().detach();
    board().attach();
    EXPECT_EQ(ch.code, 620);
    EXPECT_EQ(ch.gain, 1);
}

TEST_F(Mcp4728Test, ReadBackIsRegisterThenEepromPerChannel) {
    auto& chans = board().dac(1).channels;
    chans[1].code = 0xABC;
    chans[1].vref = 1;
    chans[1].power_down = 2;
    chans[1].eeprom_code = 0x123;
    chans[1].eeprom_gain = 1;
    testing::I2cMaster m(usb());
    const auto bytes = m.read(0xC2, 24);
    ASSERT_EQ(bytes.size(), 24u);
    // Channel A: ready, powered, channel 0, address bits 001.
    EXPECT_EQ(bytes[0], 0xC1);
    EXPECT_EQ(bytes[3], 0xC1);
    // Channel B.
    const std::vector<std::uint8_t> b(bytes.begin() + 6, bytes.begin() + 12);
    EXPECT_EQ(b, (std::vector<std::uint8_t>{0xD1, 0xCA, 0xBC, 0xD1, 0x11, 0x23}));
    EXPECT_EQ(bytes[18], 0xF1);  // channel D
}

TEST_F(Mcp4728Test, NothingAnswersAtOtherAddresses) {
    testing::I2cMaster m(usb());
    EXPECT_FALSE(m.write(0xC4, {0x40, 0x1F, 0xFF}));
    EXPECT_EQ(m.read(0xC5, 2), (std::vector<std::uint8_t>{0xFF, 0xFF}));
    for (int sel = 0; sel < 2; ++sel)
        for (const auto& ch : board().dac(sel).channels) EXPECT_EQ(ch.code, 0);
}

TEST_F(Mcp4728Test, GeneralCallResetReloadsEeprom) {
    board().dac(0).channels[0].eeprom_code = 77;
    testing::I2cMaster m(usb());
    m.write(0xC0, {0x40, 0x10, 0x01});
    EXPECT_EQ(board().dac(0).channels[0].code, 1);
    EXPECT_TRUE(m.write(0x00, {0x06}));
    EXPECT_EQ(board().dac(0).channels[0].code, 77);
    // The reset leaves the chips' bus interface in step: nothing holds SDA afterwards.
    EXPECT_EQ(board().pins() & 3, 3);
    EXPECT_TRUE(m.write(0xC0, {0x40, 0x10, 0x02}));
    EXPECT_EQ(board().dac(0).channels[0].code, 2);
}

}  // namespace
}  // namespace korvel::sim
