/** @file color_test.cpp Tests of favourite colours: cells, Randomize and FollowTrend, and the histogram. */
// Favourite colours: the cell partition, the exact draws of Randomize and
// FollowTrend, the bounds of each style, and the balancing histogram.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>

#include "game/color.h"
#include "game/world.h"
#include "platform/random.h"

namespace {

class ColorTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetWorld(); }
  void TearDown() override { ResetWorld(); }
  static int32_t LargestCell() { return *std::max_element(ColorCells.begin(), ColorCells.end()); }
};

TEST_F(ColorTest, CellsSplitEachChannelAt85And170) {
  EXPECT_EQ(TColor::CellOf(0, 0, 0), 0);
  EXPECT_EQ(TColor::CellOf(85, 86, 171), 5);
  EXPECT_EQ(TColor::CellOf(255, 255, 255), 26);
  EXPECT_EQ(TColor::CellOf(170, 0, 0), 9);
  EXPECT_EQ(TColor::CellOf(171, 0, 0), 18);
  // Set stores what it is given, even outside 0..255.
  ColorRef c = TColor::Get(300, -5, 0);
  EXPECT_EQ(c->R, 300);
  EXPECT_EQ(c->G, -5);
  EXPECT_EQ(c->B, 0);
}

// The first Randomize of a game for seeds that reach each style (the floor a,
// then the style k, then its three channels); the last one draws a near-grey in
// style 0 first and starts again with a new style. The state after it shows
// that no draw was added or skipped.
struct FirstColour {
  int32_t Seed;
  int32_t Style;  // the first style drawn
  int32_t R, G, B;
  int32_t StateAfter;
};
constexpr FirstColour kFirstColours[] = {
    {8000024, 0, 99, 207, 136, 980397245},    // anything with a pair far apart
    {2000006, 1, 238, 165, 110, 781970223},   // red dominant
    {10000030, 2, 17, 167, 78, 1762367468},   // green dominant
    {4000012, 3, 141, 41, 220, 1563940446},   // blue dominant
    {1000003, 4, 250, 251, 168, 1464726935},  // red and green from the floor
    {6000018, 5, 169, 232, 248, 198427022},   // green and blue
    {3000009, 6, 241, 86, 237, 99213511},     // blue and red
    {33000099, 0, 49, 133, 231, 1706210683},  // style 0 draws a near-grey: redrawn, blue dominant
};

TEST_F(ColorTest, FirstRandomizeGivesTheKnownColourForEachStyle) {
  for (const FirstColour& want : kFirstColours) {
    ResetWorld();
    SeedRandom(want.Seed);
    RandomInt(160, 255);
    EXPECT_EQ(RandomInt(0, 6), want.Style) << "seed " << want.Seed;
    ResetWorld();
    SeedRandom(want.Seed);
    TColor c;
    c.Randomize();
    EXPECT_EQ(c.R, want.R) << "seed " << want.Seed;
    EXPECT_EQ(c.G, want.G) << "seed " << want.Seed;
    EXPECT_EQ(c.B, want.B) << "seed " << want.Seed;
    EXPECT_EQ(RandomState(), want.StateAfter) << "seed " << want.Seed << ": a draw too many or too few";
    EXPECT_EQ(ColorCells[c.Cell()], 1);
    EXPECT_EQ(ColorCellMax, 1);
  }
}

TEST_F(ColorTest, FirstRandomizeKeepsEachStylesBounds) {
  std::array<int, 7> styles{};
  for (int32_t i = 1; i <= 2000; ++i) {
    const int32_t seed = i * 1000003;  // far apart: small seeds start alike
    SeedRandom(seed);
    const int32_t a = RandomInt(160, 255);
    const int32_t k = RandomInt(0, 6);
    ResetWorld();
    SeedRandom(seed);
    TColor c;
    c.Randomize();
    std::array<int, 3> ch{c.R, c.G, c.B};
    std::sort(ch.begin(), ch.end());                  // weakest, middle, strongest
    ASSERT_GE(ch[2] - ch[0], 45) << "seed " << seed;  // no style gives a grey
    if (k == 0) continue;  // style 0 may retry with another style: its colours are in the table above
    styles[size_t(k)] += 1;
    if (k <= 3) {  // one dominant channel 140..255, at least 65 above both others
      ASSERT_GE(ch[2], 140) << "seed " << seed;
      ASSERT_LE(ch[1], ch[2] - 65) << "seed " << seed;
    } else {  // two strong channels from the floor, the third at least 45 below the weaker
      ASSERT_GE(ch[1], a) << "seed " << seed;
      ASSERT_LE(ch[0], ch[1] - 45) << "seed " << seed;
    }
  }
  for (int k = 1; k < 7; ++k) EXPECT_GT(styles[size_t(k)], 100) << "style " << k;
}

TEST_F(ColorTest, BalancingKeepsTheHistogramAndItsMaximumInStep) {
  SeedRandom(77);
  Trend = TColor::Get(250, 10, 130);
  int total = 0;
  for (int i = 0; i < 3000; ++i) {
    const int32_t before = ColorCellMax;
    TColor c;
    if (i % 10 == 9) {
      c.FollowTrend();
      total += 2;
      ASSERT_LE(ColorCellMax - before, 2);
    } else {
      c.Randomize();
      total += 1;
      ASSERT_LE(ColorCellMax - before, 1);
    }
    ASSERT_EQ(ColorCellMax, LargestCell()) << "after draw " << i;
  }
  int sum = 0;
  for (int n : ColorCells) sum += n;
  EXPECT_EQ(sum, total);
}

TEST_F(ColorTest, CrowdedCellsAreRefused) {
  // Every cell but one is at the maximum, so a colour elsewhere passes only
  // once in 1001 tries and nearly every new colour lands in the empty cell.
  ColorCells.fill(1000);
  ColorCellMax = 1000;
  ColorCells[18] = 0;  // strong reds
  SeedRandom(5);
  int landed = 0;
  for (int i = 0; i < 60; ++i) {
    TColor c;
    c.Randomize();
    landed += c.Cell() == 18;
  }
  EXPECT_GE(landed, 58);
  EXPECT_EQ(ColorCells[18], landed);
  EXPECT_EQ(ColorCellMax, 1000);
}

TEST_F(ColorTest, FollowTrendDrawsNearTheTrendAndCountsDouble) {
  Trend = TColor::Get(250, 10, 130);
  SeedRandom(9);
  TColor first;
  first.FollowTrend();
  EXPECT_EQ(ColorCellMax, 2);  // a jump of two from an empty histogram
  for (int i = 0; i < 300; ++i) {
    first.FollowTrend();
    ASSERT_TRUE(first.R >= 210 && first.G <= 50 && first.B >= 90 && first.B <= 170);
  }

  // A paler trend is often redrawn: all three channels again until a pair is 60 apart.
  Trend = TColor::Get(120, 120, 180);
  int retries = 0;
  for (int32_t i = 1; i <= 50; ++i) {
    const int32_t seed = i * 1000003;  // far apart: small seeds start alike
    SeedRandom(seed);
    int r, g, b, draws = 0;
    do {
      r = RandomInt(80, 160);
      g = RandomInt(80, 160);
      b = RandomInt(140, 220);
      ++draws;
    } while (std::abs(r - g) < 60 && std::abs(g - b) < 60 && std::abs(b - r) < 60);
    const int32_t stateAfter = RandomState();
    retries += draws > 1;
    SeedRandom(seed);
    TColor c;
    c.FollowTrend();
    ASSERT_TRUE(c.R == r && c.G == g && c.B == b && RandomState() == stateAfter) << "seed " << seed;
  }
  EXPECT_GT(retries, 0);
}

}  // namespace
