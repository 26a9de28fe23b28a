// The seven exported functions, checked on the simulated unit's pins and DAC registers.
#include <climits>
#include <cmath>
#include <limits>

#include "korvel.h"
#include "simulated_unit_fixture.h"

namespace {

using ExportedFunctions = SimulatedUnitTest;

TEST_F(ExportedFunctions, OpenAndCloseReportAsDocumented) {
    EXPECT_EQ(usb_close(), 1);  // before any usb_init: nothing is handed to the driver
    EXPECT_EQ(korvel::sim::usb().calls(korvel::sim::Call::Close), 0u);
    EXPECT_EQ(usb_init(), 1);
    EXPECT_EQ(usb_close(), 1);
    EXPECT_EQ(usb_close(), 1);
    board().detach();
    EXPECT_EQ(usb_init(), 0);
    // With no device described as the unit, the first FTDI device is opened and put into
    // bit-bang mode all the same (what the header warns about).
    korvel::sim::usb().add_other_device("FT232R USB UART", "A10K");
    EXPECT_EQ(usb_init(), 1);
    EXPECT_EQ(korvel::sim::usb().calls(korvel::sim::Call::Open), 2u);
}

TEST_F(ExportedFunctions, DivideRatioIsClampedOnTheWholeArgumentAndKeepsTheResetPin) {
    ASSERT_EQ(usb_init(), 1);
    const int reset_pin = board().expander(2).pins() & 0x100;
    const int cases[][2] = {{0, 0x01},     {-5, 0x01},     {INT_MIN, 0x01}, {4, 0x04},
                            {255, 0xFF},   {256, 0x00},    {1000, 0x00},    {0x101, 0x00},
                            {0x1FE, 0x00}, {INT_MAX, 0x00}};
    for (const auto& [ratio, byte] : cases) {
        SCOPED_TRACE(ratio);
        EXPECT_EQ(set_divide_ratio(ratio), 1);
        EXPECT_EQ(expander_byte(2), byte);
        EXPECT_EQ(board().expander(2).pins() & 0x100, reset_pin);
    }
}

TEST_F(ExportedFunctions, AlternateUnitVariantGetsTheDivideByteUnreversed) {
    board().description = "ZEVA~KORVEL";
    ASSERT_EQ(usb_init(), 1);
    ASSERT_NE(std::getenv("ZEVA_CHIP_FLAG"), nullptr);
    EXPECT_STREQ(std::getenv("ZEVA_CHIP_FLAG"), "1");
    set_divide_ratio(1);
    EXPECT_EQ(expander_byte(2), 0x01);  // the panel path would send 0x80
}

TEST_F(ExportedFunctions, PatternCodeIsClampedToOneToTenAndClearsThePhaseFields) {
    ASSERT_EQ(usb_init(), 1);
    const int cases[][2] = {{0, 1},   {-1, 1},  {INT_MIN, 1}, {4, 4},       {10, 10},
                            {11, 10}, {12, 10}, {260, 10},    {INT_MAX, 10}};
    for (const auto& [code, byte] : cases) {
        SCOPED_TRACE(code);
        korvel::DS4520_IOX_wr_multibit(7, 0xF0, 0xA0);  // phase fields non-zero beforehand
        EXPECT_EQ(prbs_select(code), 1);
        EXPECT_EQ(expander_byte(7), byte);
    }
}

TEST_F(ExportedFunctions, ClockOutput1DrivesTheActiveLowEnableOnly) {
    ASSERT_EQ(usb_init(), 1);
    korvel::DS4520_IO_write(3, 1, 1);  // error injection pin high: must stay so
    EXPECT_EQ(ClockOutput1(1), 1);
    EXPECT_EQ(board().expander(3).pins() & 0x03, 0x02);
    EXPECT_EQ(ClockOutput1(0), 1);
    EXPECT_EQ(board().expander(3).pins() & 0x03, 0x03);
    // Only the low byte of on XOR 1 is the pin operation: 0x101 is "on".
    EXPECT_EQ(ClockOutput1(0x101), 1);
    EXPECT_EQ(board().expander(3).pins() & 0x03, 0x02);
    // Any other operation pulls the whole bank low, error injection included.
    ClockOutput1(0);
    EXPECT_EQ(ClockOutput1(5), 1);
    EXPECT_EQ(board().expander(3).pins() & 0xFF, 0x00);
    // 2 makes the pin a plain input: released without its pull-up. The driver keeps it released
    // from then on, so "on" no longer pulls it low.
    ClockOutput1(2);
    EXPECT_EQ(board().expander(3).control & 0x01, 1);
    EXPECT_EQ(board().expander(3).pullup & 0x01, 0);
    ClockOutput1(1);
    EXPECT_EQ(board().expander(3).pins() & 0x01, 1);
}

TEST_F(ExportedFunctions, LevelsAreLimitedVolatileAndOnTheirOwnChannel) {
    ASSERT_EQ(usb_init(), 1);
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::nanf("");
    const auto eeprom_before = board().dac(0).channels[2].eeprom_code;
    const struct {
        int (*set)(float);
        int channel;
        float volts;
        int code;
    } cases[] = {{set_dutycycle, 2, 0.0f, 2234}, {set_dutycycle, 2, 1.8f, 2234},
                 {set_dutycycle, 2, 2.5f, 3103}, {set_dutycycle, 2, 5.0f, 4095},
                 {set_dutycycle, 2, -inf, 2234}, {set_dutycycle, 2, inf, 4095},
                 {set_dutycycle, 2, nan, 2234},  {set_amplitude, 3, 3.0f, 3351},
                 {set_amplitude, 3, 2.5f, 3103}, {set_amplitude, 3, 0.0f, 2234},
                 {set_amplitude, 3, nan, 2234}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "channel " << c.channel << ", " << c.volts << " V");
        const int other = dac_code(5 - c.channel);
        EXPECT_EQ(c.set(c.volts), 1);
        EXPECT_EQ(dac_code(c.channel), c.code);
        EXPECT_EQ(dac_code(5 - c.channel), other);
    }
    EXPECT_EQ(board().dac(0).channels[2].eeprom_code, eeprom_before);
}

}  // namespace
