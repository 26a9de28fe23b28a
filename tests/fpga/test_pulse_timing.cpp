// The pulse timing the error memory can take and the error rate it gives.
#include <gtest/gtest.h>

#include "fpga/pulse_timing.h"

namespace korvel {
namespace {

TEST(PulseTiming, ZeroBecomesOneAndWidthNeverExceedsPeriod) {
    struct Case {
        std::uint32_t period, width, usable_period, usable_width;
    };
    for (const Case& c :
         {Case{4, 1, 4, 1}, Case{0, 0, 1, 1}, Case{0, 5, 1, 1}, Case{7, 0, 7, 1}, Case{3, 9, 3, 3},
          Case{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}}) {
        const PulseTiming t = usable_timing(c.period, c.width);
        EXPECT_EQ(t.period, c.usable_period) << c.period << " " << c.width;
        EXPECT_EQ(t.width, c.usable_width) << c.period << " " << c.width;
    }
}

TEST(ErrorRate, WidthTimesErrorsOverPeriodOver256) {
    EXPECT_DOUBLE_EQ(error_rate(1, 16, 4), 0.015625);
    EXPECT_EQ(error_rate(9, 0, 10), 0.0);
    // The product of width and errors would overflow 32 bits.
    EXPECT_DOUBLE_EQ(error_rate(0xFFFFFFFFu, 255, 0xFFFFFFFFu), 255.0 / 256);
    EXPECT_DOUBLE_EQ(error_rate(1, 1, 0xFFFFFFFFu), 1.0 / 4294967295.0 / 256);
}

}  // namespace
}  // namespace korvel
