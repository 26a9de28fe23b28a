// The generator's draws from the default seed, and the pulse timing and rate arithmetic.
#include <gtest/gtest.h>

#include "app/error_rate.h"
#include "app/random.h"
#include "app/state.h"

using namespace korvel::app;

namespace {

class RandomDraws : public ::testing::Test {
  protected:
    void SetUp() override { reset_app_state(); }
};

TEST_F(RandomDraws, FromTheDefaultSeed) {
    // States 5009, 3183, 5009 advance to (9007, 1950, 2486), (26747, 2023, 28421), (3118, 14579,
    // 10213); u is the fractional part of s1/30269 + s2/30307 + s3/30323.
    EXPECT_DOUBLE_EQ(Random(0, 1), 0.44389070949730713);
    EXPECT_DOUBLE_EQ(Random(10, 20), 10 + 10 * 0.8876689227316021);
    EXPECT_DOUBLE_EQ(Random(0, 1), 0.9208607072665903);
    // A fresh process starts over.
    reset_app_state();
    EXPECT_DOUBLE_EQ(Random(0, 1), 0.44389070949730713);
}

TEST_F(RandomDraws, ANegativeRangeGivesMinAndDrawsNothing) {
    EXPECT_EQ(Random(5, 4.5), 5);
    EXPECT_DOUBLE_EQ(Random(0, 1), 0.44389070949730713);
    // An empty range draws and gives min.
    EXPECT_EQ(Random(7, 7), 7);
    EXPECT_DOUBLE_EQ(Random(0, 1), 0.9208607072665903);
}

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
