// The seven exported functions, checked on the simulated unit's pins and DAC registers.
#include <climits>
#include <cmath>
#include <limits>

#include "ds4520/ds4520.h"
#include "korvel.h"
#include "simulated_unit_fixture.h"

namespace {

using ExportedFunctions = SimulatedUnitTest;

TEST_F(ExportedFunctions, UsbInitOpensTheUnitAndReportsAMissingOne) {
    EXPECT_EQ(usb_init(), 1);
    EXPECT_EQ(usb_close(), 1);
    board().detach();
    EXPECT_EQ(usb_init(), 0);
}

TEST_F(ExportedFunctions, UsbCloseBeforeUsbInitReturnsOneAndTouchesNoDevice) {
    EXPECT_EQ(usb_close(), 1);
    EXPECT_EQ(usb_close(), 1);
    EXPECT_EQ(korvel::sim::usb().calls(korvel::sim::Call::Close), 0u);
}

TEST_F(ExportedFunctions, DivideRatioIsClampedOnTheWholeArgumentBeforeTheByteIsTaken) {
    ASSERT_EQ(usb_init(), 1);
    const struct {
        int ratio, byte;
    } cases[] = {{0, 0x01},   {-5, 0x01},    {INT_MIN, 0x01}, {1, 0x01},
                 {4, 0x04},   {255, 0xFF},   {256, 0x00},     {1000, 0x00},
                 {257, 0x00}, {0x1FE, 0x00}, {INT_MAX, 0x00}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ratio);
        EXPECT_EQ(set_divide_ratio(c.ratio), 1);
        EXPECT_EQ(expander_byte(2), c.byte);
    }
}

TEST_F(ExportedFunctions, DivideRatioLeavesTheFpgaResetPinAlone) {
    ASSERT_EQ(usb_init(), 1);
    const int reset_pin_before = board().expander(2).pins() & 0x100;
    set_divide_ratio(0x5A);
    EXPECT_EQ(board().expander(2).pins() & 0x100, reset_pin_before);
}

TEST_F(ExportedFunctions, AlternateUnitVariantGetsTheDivideByteUnreversed) {
    board().description = "ZEVA~KORVEL";
    ASSERT_EQ(usb_init(), 1);
    const char* flag = std::getenv("ZEVA_CHIP_FLAG");
    ASSERT_NE(flag, nullptr);
    EXPECT_STREQ(flag, "1");
    set_divide_ratio(1);
    EXPECT_EQ(expander_byte(2), 0x01);
    set_divide_ratio(0x03);
    EXPECT_EQ(expander_byte(2), 0x03);
}

TEST_F(ExportedFunctions, PatternCodeIsClampedToOneToTenAndClearsThePhaseFields) {
    ASSERT_EQ(usb_init(), 1);
    const struct {
        int code, byte;
    } cases[] = {{0, 1},   {-1, 1},  {INT_MIN, 1}, {1, 1},    {4, 4},
                 {10, 10}, {11, 10}, {12, 10},     {260, 10}, {INT_MAX, 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        korvel::DS4520_IOX_wr_multibit(7, 0xF0, 0xA0);  // phase fields non-zero beforehand
        EXPECT_EQ(prbs_select(c.code), 1);
        EXPECT_EQ(expander_byte(7), c.byte);
    }
}

TEST_F(ExportedFunctions, ClockOutput1DrivesTheActiveLowEnable) {
    ASSERT_EQ(usb_init(), 1);
    EXPECT_EQ(ClockOutput1(1), 1);
    EXPECT_EQ(board().expander(3).pins() & 0x01, 0);
    EXPECT_EQ(ClockOutput1(0), 1);
    EXPECT_EQ(board().expander(3).pins() & 0x01, 1);
    // 2 makes the pin a plain input: released, without its pull-up.
    ClockOutput1(2);
    EXPECT_EQ(board().expander(3).control & 0x01, 1);
    EXPECT_EQ(board().expander(3).pullup & 0x01, 0);
    // The driver keeps a plain-input pin released from then on: "on" no longer pulls it low.
    ClockOutput1(1);
    EXPECT_EQ(board().expander(3).pins() & 0x01, 1);
}

TEST_F(ExportedFunctions, ClockOutput1KeepsTheErrorInjectionPin) {
    ASSERT_EQ(usb_init(), 1);
    korvel::DS4520_IO_write(3, 1, 1);
    ClockOutput1(1);
    EXPECT_EQ(board().expander(3).pins() & 0x03, 0x02);
}

TEST_F(ExportedFunctions, DutyCycleIsLimitedToItsDacVoltRange) {
    ASSERT_EQ(usb_init(), 1);
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float volts;
        int code;
    } cases[] = {{0.0f, 2234}, {1.8f, 2234}, {2.5f, 3103},          {3.3f, 4095}, {5.0f, 4095},
                 {-inf, 2234}, {inf, 4095},  {std::nanf(""), 2234}, {-1.0f, 2234}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volts);
        EXPECT_EQ(set_dutycycle(c.volts), 1);
        EXPECT_EQ(dac_code(2), c.code);
    }
}

TEST_F(ExportedFunctions, AmplitudeIsLimitedToItsDacVoltRange) {
    ASSERT_EQ(usb_init(), 1);
    const struct {
        float volts;
        int code;
    } cases[] = {{3.0f, 3351}, {2.5f, 3103}, {2.7f, 3351},
                 {1.8f, 2234}, {0.0f, 2234}, {std::nanf(""), 2234}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volts);
        EXPECT_EQ(set_amplitude(c.volts), 1);
        EXPECT_EQ(dac_code(3), c.code);
    }
}

TEST_F(ExportedFunctions, LevelsAreVolatileAndTouchOnlyTheirOwnChannel) {
    ASSERT_EQ(usb_init(), 1);
    const auto eeprom_before = board().dac(0).channels[2].eeprom_code;
    const int amplitude_before = dac_code(3);
    set_dutycycle(2.5f);
    EXPECT_EQ(board().dac(0).channels[2].eeprom_code, eeprom_before);
    EXPECT_EQ(dac_code(3), amplitude_before);
    set_amplitude(2.5f);
    EXPECT_EQ(dac_code(2), 3103);
}

TEST_F(ExportedFunctions, SettersWithoutAnOpenLinkChangeNothing) {
    const int pattern_before = expander_byte(7);
    const int duty_before = dac_code(2);
    prbs_select(4);
    set_dutycycle(2.5f);
    ClockOutput1(1);
    EXPECT_EQ(expander_byte(7), pattern_before);
    EXPECT_EQ(dac_code(2), duty_before);
}

}  // namespace
