// The generator's draws from the default seed, and their life in the process.
#include <gtest/gtest.h>

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

}  // namespace
