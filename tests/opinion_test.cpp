/** @file opinion_test.cpp Tests of TOpinion: worked examples, the draws of Form and New, Be's countdown. */
// Opinions: the worked examples of the judging rules, the one draw of Form,
// the three draws of New, and Be's countdown against the 4 Hz clock.
#include <gtest/gtest.h>

#include <cmath>

#include "game/opinion.h"
#include "game/world.h"
#include "platform/numeric.h"
#include "platform/random.h"
#include "tests/headless_fixture.h"

namespace {

struct Example {
  const char* what;
  int own[3];
  int seen[3];
  float range;
  float point;
  int expected;
};

// own, seen, Range, Point -> Is.
const Example kExamples[] = {
    {"grey mix", {255, 0, 0}, {128, 128, 128}, 0.5f, 0.5f, 35},
    {"nearly grey mix (min/max 0.9)", {255, 0, 0}, {200, 180, 180}, 0.0f, 1.0f, 35},
    {"black mix", {255, 0, 0}, {0, 0, 0}, 0.5f, 0.5f, 35},
    {"same colour, top of band", {255, 0, 0}, {255, 0, 0}, 0.5f, 1.0f, 69},
    {"same colour, bottom of band", {255, 0, 0}, {255, 0, 0}, 0.5f, 0.0f, 52},
    {"similar, darker", {255, 0, 0}, {200, 0, 0}, 0.5f, 0.5f, 54},
    {"opposite, offended", {255, 0, 0}, {0, 200, 200}, 0.5f, 0.5f, 17},
    {"opposite, open (Range below Q)", {255, 0, 0}, {0, 200, 200}, 0.01f, 0.5f, 44},
    {"unrelated, offended", {255, 0, 0}, {0, 200, 0}, 0.5f, 0.5f, 28},
    {"unrelated, open", {255, 0, 0}, {0, 200, 0}, 0.01f, 0.5f, 50},
    {"grey favourite: unrelated whatever the hue", {128, 128, 128}, {0, 0, 200}, 0.5f, 0.5f, 28},
    {"dark mix cuts E to U", {255, 0, 0}, {40, 0, 0}, 0.5f, 0.5f, 40},
    {"dark mix lifts F to W", {255, 0, 0}, {0, 40, 40}, 0.5f, 0.5f, 29},
    {"pale mix, bottom", {250, 60, 60}, {255, 200, 200}, 0.5f, 0.0f, 38},
    {"pale mix pulls E down", {250, 60, 60}, {255, 200, 200}, 0.5f, 1.0f, 44},
    // Hues -58 and 298 are 4 degrees apart across the wrap, not 356.
    {"similar across the wrap", {255, 0, 250}, {250, 0, 255}, 0.5f, 0.5f, 60},
    {"similar across the wrap, reversed", {250, 0, 255}, {255, 0, 250}, 0.5f, 0.5f, 60},
};

TEST(OpinionForm, WorkedExamples) {
  for (const Example& ex : kExamples) {
    SeedRandom(1);
    TOpinion o;
    o.Range = ex.range;
    o.Point = ex.point;
    ColorRef own = TColor::Get(ex.own[0], ex.own[1], ex.own[2]);
    ColorRef seen = TColor::Get(ex.seen[0], ex.seen[1], ex.seen[2]);
    o.Form(*own, *seen);
    EXPECT_EQ(o.Is, ex.expected) << ex.what;
  }
}

TEST(OpinionForm, OpennessIsMeasuredAgainstTheFloatStrength) {
  // Cyan (0, 210, 210) seen by a lover of red: Q = L2 x S^2 / 6.2, with 6.2 the
  // 32-bit float. The largest Range not above Q still lies above the Q a double
  // 6.2 would give, so only the game's constant makes this person open to it.
  const double X = double(StoreF(420.0 / 510.0 / 2.0));  // L2 with S = 1
  const double Q = X / double(6.2f);
  float edge = StoreF(Q);
  if (double(edge) > Q) edge = std::nextafter(edge, 0.0f);
  ASSERT_GT(double(edge), X / 6.2);
  ColorRef red = TColor::Get(255, 0, 0);
  ColorRef cyan = TColor::Get(0, 210, 210);
  TOpinion o;
  o.Point = 0.5f;
  o.Range = edge;
  o.Form(*red, *cyan);
  EXPECT_EQ(o.Is, 45);  // open: F = 39, E = 51
  o.Range = std::nextafter(edge, 1.0f);
  o.Form(*red, *cyan);
  EXPECT_EQ(o.Is, 17);  // offended: F = 0, E = 35
}

TEST(OpinionForm, MakesOneDrawAndLowersPatienceEvenForGrey) {
  for (int32_t seed : {3, 4, 5, 6}) {
    SeedRandom(seed);
    const int32_t changeIn = RandomInt(5, 15);
    const int32_t stateAfter = RandomState();
    for (const ColorRef& seen : {TColor::Get(128, 128, 128), TColor::Get(0, 200, 0)}) {
      SeedRandom(seed);
      TOpinion o;
      o.Patience = 7;
      o.Form(*TColor::Get(255, 0, 0), *seen);
      EXPECT_EQ(o.ChangeIn, changeIn);
      EXPECT_EQ(o.Patience, 6);
      EXPECT_EQ(RandomState(), stateAfter);
    }
  }
}

TEST(OpinionNew, DrawsRangePointPatienceInThatOrder) {
  SeedRandom(42);
  const float range = StoreF(RandomReal(1.0, 0.0));
  const float point = StoreF(RandomReal(1.0, 0.0));
  const int32_t patience = RandomInt(5, 20);
  SeedRandom(42);
  const TOpinion o = TOpinion::New();
  EXPECT_EQ(o.Range, range);
  EXPECT_EQ(o.Point, point);
  EXPECT_EQ(o.Patience, patience);
  EXPECT_EQ(o.Of, -1);
  EXPECT_EQ(o.Is, -1);
  EXPECT_EQ(o.ChangeIn, 0);
}

class OpinionBe : public HeadlessWorld {
 protected:
  void SetUp() override {
    HeadlessWorld::SetUp();
    Timer4 = StartTimer(4.0f);
  }
  // Lets the 4 Hz clock run for some ticks; the game sees them once events are processed.
  void Elapse(int ticks) {
    backend.AdvanceMs(250 * ticks);
    KeyHeld(KeyReturn);
    ASSERT_EQ(TimerTickCount(Timer4) - LastTick4, ticks);
  }
};

TEST_F(OpinionBe, FiveTicksRunTheCountdownOutAndDriftPoint) {
  LastTick4 = 0;
  Elapse(5);
  for (float start : {0.5f, 0.0f, 1.0f, 0.95f}) {
    SeedRandom(11);
    TOpinion o;
    o.ChangeIn = 3;
    o.Point = start;
    o.Be();
    EXPECT_EQ(o.ChangeIn, -2);
    EXPECT_GE(o.Point, 0.0f);
    EXPECT_LE(o.Point, 1.0f);
    EXPECT_LE(std::abs(double(o.Point) - double(start)), 0.2 + 1e-6);
    EXPECT_NE(RandomState(), 11);
  }
}

TEST_F(OpinionBe, TwoTicksLeaveTheOpinionUntouched) {
  Elapse(2);
  SeedRandom(11);
  TOpinion o;
  o.ChangeIn = 3;
  o.Point = 0.5f;
  o.Be();
  EXPECT_EQ(o.ChangeIn, 1);
  EXPECT_EQ(o.Point, 0.5f);
  EXPECT_EQ(RandomState(), 11);  // no drift, no draw
}

TEST_F(OpinionBe, CountsTicksSinceTheFrameNotSinceItsLastCall) {
  Elapse(3);
  LastTick4 = 1;  // the frame loop consumed one tick already: two remain
  TOpinion o;
  o.ChangeIn = 10;
  o.Be();
  o.Be();
  EXPECT_EQ(o.ChangeIn, 6);
}

}  // namespace
