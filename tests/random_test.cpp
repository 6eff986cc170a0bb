/** @file random_test.cpp Tests of the one generator: exact sequences, bounds, seed folding and TruncInt. */
// The one generator: exact sequences from the unseeded state, bounds in
// either order, seed folding, and the truncation every conversion relies on.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/numeric.h"
#include "platform/random.h"

namespace {

class RandomTest : public ::testing::Test {
 protected:
  void SetUp() override { SeedRandom(4660); }
};

TEST_F(RandomTest, StepsFromTheUnseededStateFollowTheMultiplier) {
  // RandomUnit makes two steps; its second step's state is visible afterwards.
  RandomUnit();
  EXPECT_EQ(RandomState(), 539475828);
  RandomUnit();
  EXPECT_EQ(RandomState(), 1951098782);
}

TEST_F(RandomTest, UnitDrawsAreExact) {
  EXPECT_DOUBLE_EQ(RandomUnit(), 0.4189887270692887);
  EXPECT_DOUBLE_EQ(RandomUnit(), 0.21256311710331344);
}

TEST_F(RandomTest, IntegerSequencesFromTheUnseededState) {
  EXPECT_EQ(RandomInt(0, 255), 107);
  EXPECT_EQ(RandomInt(0, 255), 54);
  EXPECT_EQ(RandomInt(0, 255), 177);
  SeedRandom(4660);
  const int dice[] = {3, 2, 5, 1, 4, 2, 5, 3, 3, 4};
  for (int expected : dice) EXPECT_EQ(RandomInt(1, 6), expected);
}

TEST_F(RandomTest, ReversedBoundsCoverTheSameRange) {
  int seenLow = 100, seenHigh = -100;
  for (int i = 0; i < 5000; ++i) {
    int v = RandomInt(10, 0);
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 10);
    seenLow = std::min(seenLow, v);
    seenHigh = std::max(seenHigh, v);
  }
  EXPECT_EQ(seenLow, 0);
  EXPECT_EQ(seenHigh, 10);
  for (int i = 0; i < 2000; ++i) {
    int v = RandomInt(-37, -13);
    ASSERT_GE(v, -37);
    ASSERT_LE(v, -13);
  }
}

TEST_F(RandomTest, EqualBoundsStillConsumeTwoSteps) {
  EXPECT_EQ(RandomInt(7, 7), 7);
  EXPECT_EQ(RandomState(), 539475828);
}

TEST_F(RandomTest, ReversedRealBoundsMatchAUnitDraw) {
  double reversed = RandomReal(1.0, 0.0);
  SeedRandom(4660);
  EXPECT_EQ(reversed, RandomUnit());
  SeedRandom(4660);
  EXPECT_EQ(RandomReal(2.5, 2.5), 2.5);
}

TEST_F(RandomTest, ExtremeBoundsStayInRange) {
  for (int i = 0; i < 1000; ++i) {
    int v = RandomInt(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    (void)v;  // every int is in range; the point is no overflow under the sanitizer
  }
  for (int i = 0; i < 1000; ++i) {
    int v = RandomInt(std::numeric_limits<int32_t>::max() - 3, std::numeric_limits<int32_t>::max());
    ASSERT_GE(v, std::numeric_limits<int32_t>::max() - 3);
  }
}

TEST(Seeding, EveryStepIsTheMultiplierModuloTheMersennePrime) {
  // Each step must be exactly 48271 * s mod (2^31 - 1), whatever shortcut computes it, and a unit draw
  // is made of two steps in turn;
  // the largest states and the states just below a multiple of the modulus are where a shortcut slips.
  constexpr int64_t kModulus = 2147483647;
  for (int32_t seed : {1, 4660, 0x7FFFFFFE, 0x7FFFFFFE - 48271, 44488, 44489, 1234567890}) {
    SeedRandom(seed);
    int64_t expected = RandomState();
    for (int i = 0; i < 200000; ++i) {
      const int64_t first = expected * 48271 % kModulus;
      expected = first * 48271 % kModulus;
      const double unit = (double(first & 0x1FFFFFFC) + double(expected & 0x1FFFFFF8) / 134217728.0) / 536870912.0;
      ASSERT_EQ(RandomUnit(), unit) << "seed " << seed << ", draw " << i;
      ASSERT_EQ(RandomState(), expected) << "seed " << seed << ", draw " << i;
    }
  }
}

TEST(Seeding, InvalidSeedsFoldTo4660) {
  for (int32_t seed : {0, 0x7FFFFFFF, -1, std::numeric_limits<int32_t>::min()}) {
    SeedRandom(seed);
    EXPECT_EQ(RandomState(), 4660) << seed;
  }
  SeedRandom(-2);  // masked to 0x7FFFFFFE, a valid state
  EXPECT_EQ(RandomState(), 0x7FFFFFFE);
}

TEST(Truncation, TowardZeroAndDefinedEverywhere) {
  EXPECT_EQ(TruncInt(2.99), 2);
  EXPECT_EQ(TruncInt(-2.99), -2);
  EXPECT_EQ(TruncInt(-0.5), 0);
  EXPECT_EQ(TruncInt(69.99), 69);
  EXPECT_EQ(TruncInt(255.9), 255);
  EXPECT_EQ(TruncInt(std::nan("")), 0);
  EXPECT_EQ(TruncInt(1e300), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(TruncInt(-1e300), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(TruncInt(std::numeric_limits<double>::infinity()), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(TruncInt(-2147483648.7), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(TruncInt(2147483647.9), std::numeric_limits<int32_t>::max());
}

TEST(Degrees, AnglesTruncateAsTheGameTurnsAndSteps) {
  // Degrees, with 90 straight down the screen (y grows downward).
  EXPECT_EQ(SinDeg(90), 1.0);
  EXPECT_EQ(SinDeg(270), -1.0);
  EXPECT_EQ(CosDeg(180), -1.0);
  EXPECT_EQ(ACosDeg(1.0), 0.0);
  EXPECT_EQ(ACosDeg(0.0), 90.0);
  EXPECT_EQ(ACosDeg(-1.0), 180.0);
  // cos 90 is 6e-17, not 0, yet a step straight down leaves a float x unchanged.
  EXPECT_NE(CosDeg(90), 0.0);
  EXPECT_EQ(StoreF(double(100.0f) + CosDeg(90) * 1.5 * 3.0), 100.0f);
  // A turn toward a point truncates acos in degrees: just above 60 and 120 for
  // +-0.5, but just below 1 for cos 1, which turns by 0.
  EXPECT_EQ(TruncInt(ACosDeg(0.5)), 60);
  EXPECT_EQ(TruncInt(ACosDeg(-0.5)), 120);
  EXPECT_EQ(TruncInt(ACosDeg(CosDeg(1))), 0);
  EXPECT_EQ(TruncInt(ACosDeg(CosDeg(3))), 3);
}

}  // namespace
