/** @file stages_test.cpp Tests of the stage machine: thresholds, zoom, crowd growth, events, trend clock. */
// The stage machine: thresholds, the zoom, the crowd growing, the stage
// events and the trend clock, on a headless game.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <set>

#include "game/names.h"
#include "game/person.h"
#include "game/work.h"
#include "platform/numeric.h"
#include "platform/random.h"
#include "tests/staged_game.h"

namespace {

using Stages = StagedGame;

// The generator and the colour tally at one moment, to replay the draws made since.
struct Replay {
  int32_t State = RandomState();
  std::array<int32_t, 27> Cells = ColorCells;
  int32_t CellMax = ColorCellMax;
  void Rewind() const {
    SeedRandom(State);
    ColorCells = Cells;
    ColorCellMax = CellMax;
  }
};

// Whether a box at (x, y) would cover an opaque pixel of the oval centred on the origin.
bool OnTheOval(int32_t x0, int32_t y0) {
  const Image& oval = *Oval;
  for (int32_t y = y0; y < y0 + TWork::height; ++y)
    for (int32_t x = x0; x < x0 + TWork::width; ++x) {
      const int32_t px = x + oval.Width / 2, py = y + oval.Height / 2;
      if (px >= 0 && py >= 0 && px < oval.Width && py < oval.Height && oval.AlphaAt(px, py) >= 128) return true;
    }
  return false;
}

// The boxes the game made itself, by slot.
std::vector<size_t> ProtectedSlots() {
  std::vector<size_t> slots;
  for (size_t i = 0; i < Works.size(); ++i)
    if (Works[i] && Works[i]->Protected) slots.push_back(i);
  return slots;
}

// A box made by the player, in a slot.
WorkRef PlayerBox(size_t slot, int32_t active) {
  WorkRef box = StagedGame::PutBox(slot, -140, -92, White, 1);
  box->Active = active;
  return box;
}

// The old boxes are weighed down with `grey` greys, then filled with Capacity - 6
// to Capacity + 9 random colours and one more, Capacity read after the greys.
void ExpectOldBox(const TWork& box, int32_t grey) {
  EXPECT_EQ(box.Protected, 1);
  for (int32_t k = 0; k < grey; ++k) EXPECT_EQ(box.Ingredients[size_t(k)], Grey);
  EXPECT_NE(box.Ingredients[size_t(grey)], Grey);
  const int32_t randoms = box.NextIng - grey;
  EXPECT_GE(randoms, box.Capacity - 6 + 1);
  EXPECT_LE(randoms, box.Capacity + 9 + 1);
}

TEST_F(Stages, EachStageEndsAtItsTwoThresholdsAndPrintsItsNumber) {
  for (int32_t s = 0; s < LastStage; ++s) {
    SCOPED_TRACE(s);
    const int32_t gain = StageTable[size_t(s)].GainNeeded, total = StageTable[size_t(s)].TotalNeeded;
    EXPECT_TRUE(Advances(s, gain, total));
    EXPECT_FALSE(Advances(s, gain - 1, total));  // at stage 1: a second with a loss
    EXPECT_FALSE(Advances(s, gain, total - 1));
    EXPECT_FALSE(Advances(s, -3, 2 * total));
    EXPECT_TRUE(Advances(s, -3, 2 * total + 1));
  }
  // Stage 1 needs no gain: an empty second will do once the total is there.
  EXPECT_TRUE(Advances(1, 0, 90));
  // The last stage's thresholds are never met, and there is no stage beyond it.
  EXPECT_FALSE(Advances(LastStage, INT32_MAX, INT32_MAX));
}

TEST_F(Stages, TheGainOfASecondCountsOnlyInTheFrameAfterIt) {
  // The gain left by the last people pass is seen by the next frame's stage check, before
  // the frame clears it; the crowd grows in the same frame, and the score starts again.
  StageScore = 24;
  SecondScore = 5;
  ::testing::internal::CaptureStdout();
  game->Run(1);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "1\n");
  EXPECT_EQ(PeopleCount, 25);
  EXPECT_EQ(SecondScore, 0);
  EXPECT_EQ(StageScore, 0);
}

TEST_F(Stages, TheZoomEasesByFrameTimeAndNeverRises) {
  auto ease = [](int32_t stage, float scale, float frameTime) {
    Stage = stage;
    Scale = scale;
    FrameTime = frameTime;
    PeopleCount = StageTable[size_t(stage)].CrowdSize;
    ZoomAndGrowth();
    return Scale;
  };
  // Stage 0 starts at its target: the view does not move; stage 1 moves 0.0005 a frame.
  EXPECT_EQ(ease(0, 1.0f, 1.5f), 1.0f);
  EXPECT_EQ(ease(1, 1.0f, 1.5f), StoreF(double(1.0f) - 1.5 / 3000.0));
  EXPECT_EQ(ease(1, 1.0f, 0.0f), 1.0f);  // until the frame time is measured
  // No clamp: the last step goes a little past the target, and the view never rises.
  EXPECT_EQ(ease(1, 0.9002f, 1.5f), StoreF(double(0.9002f) - 1.5 / 3000.0));
  EXPECT_LT(Scale, 0.9f);
  EXPECT_EQ(ease(1, 0.85f, 1.5f), 0.85f);
  EXPECT_EQ(ease(8, 0.2f, 1.5f), StoreF(double(0.2f) - 1.5 / 13500.0));
  // After a long stall the rule holds while the view stays above 0, however little ...
  EXPECT_EQ(ease(8, 0.15f, 1890.0f), StoreF(double(0.15f) - 1890.0 / 13500.0));
  EXPECT_EQ(ease(8, 0.15f, 2025.0f), StoreF(double(0.15f) - 2025.0 / 13500.0));
  EXPECT_GT(Scale, 0.0f);
  // ... and a step that would reach 0 or below ends at the stage's target.
  EXPECT_EQ(ease(8, 0.5f, 6750.0f), 0.1f);
  EXPECT_EQ(ease(8, 0.15f, 2100.0f), 0.1f);
  EXPECT_EQ(ease(3, 0.7f, 1.0e9f), 0.58f);
}

TEST_F(Stages, TheGamesBoxTakesTheFirstFreeSlotPeekingInAtTheCorner) {
  PlayerBox(0, 1);
  const WorkRef deleted = PlayerBox(1, 0);
  EXPECT_EQ(BeginStage(2), "2\n");
  ASSERT_NE(Works[1], deleted);  // a deleted box's slot is free
  const TWork& box = *Works[1];
  EXPECT_EQ(FirstWork, 1);
  EXPECT_EQ(box.Protected, 1);
  EXPECT_EQ(box.x, 527);
  EXPECT_EQ(box.y, -587);
  EXPECT_EQ(box.NextIng, box.Capacity + 2);
  EXPECT_EQ(StageScore, 0);

  // With every slot taken there is no box, and FirstWork is left alone.
  for (size_t i = 0; i < Works.size(); ++i) PlayerBox(i, 1);
  FirstWork = 0;
  BeginStage(2);
  EXPECT_EQ(FirstWork, 0);
  EXPECT_TRUE(ProtectedSlots().empty());
}

TEST_F(Stages, TheFirstChefComesAfterHisCreationsDrawsAndTheCrowdFillsUpBehindHim) {
  BeginStage(2);
  ZoomAndGrowth();
  ASSERT_EQ(PeopleCount, 30);
  const TWork& box = *Works[size_t(FirstWork)];
  const Replay before;
  EXPECT_EQ(BeginStage(3), "3\n");
  const int32_t after = RandomState();
  ZoomAndGrowth();
  EXPECT_EQ(PeopleCount, 50);
  for (int32_t i = 30; i < 50; ++i) {
    EXPECT_EQ(People[size_t(i)]->ID, i);
    EXPECT_EQ(People[size_t(i)]->MyHat->Owner, i);
  }
  const TPerson& chef = *People[30];
  EXPECT_EQ(chef.Chef, ChefBorn);
  EXPECT_EQ(chef.Ownership, FirstWork);
  EXPECT_EQ(chef.Safe, 1);

  before.Rewind();
  TPerson::New();
  EXPECT_EQ(chef.x, float(box.x + RandomInt(200, 340)));
  EXPECT_EQ(chef.y, float(box.y + RandomInt(-160, 185)));
  EXPECT_EQ(chef.Angle, RandomInt(100, 170));
  EXPECT_EQ(chef.Hairstyle, RandomInt(0, 3));
  EXPECT_EQ(RandomState(), after);  // and nothing else was drawn
}

TEST_F(Stages, TheRingKeepsClearOfTheOvalAndOfItselfAndSkipsTakenSlots) {
  PlayerBox(0, 1);
  const WorkRef deleted = PlayerBox(3, 0);
  Scale = 0.58f;
  SetDrawScale(0.5f, 0.5f);  // whatever the last frame left, the ring is placed in world units
  SetDrawRotation(30);
  const Replay before;
  EXPECT_EQ(BeginStage(4), "4\n");
  const std::vector<size_t> ring = ProtectedSlots();
  ASSERT_EQ(ring.size(), 15u);
  EXPECT_EQ(ring.front(), 1u);
  EXPECT_EQ(ring.back(), 15u);
  EXPECT_NE(Works[3], deleted);
  EXPECT_FALSE(Works[16]);
  for (size_t a = 0; a < ring.size(); ++a) {
    const TWork& box = *Works[ring[a]];
    SCOPED_TRACE(ring[a]);
    ExpectOldBox(box, 7);
    EXPECT_GE(box.x, -1800);
    EXPECT_LE(box.x, 1520);
    EXPECT_GE(box.y, -1300);
    EXPECT_LE(box.y, 1115);
    for (size_t b = a + 1; b < ring.size(); ++b) {
      const TWork& other = *Works[ring[b]];
      const bool apart =
          box.x + 280 <= other.x || other.x + 280 <= box.x || box.y + 185 <= other.y || other.y + 185 <= box.y;
      EXPECT_TRUE(apart) << "overlaps the box in slot " << ring[b];
    }
    EXPECT_FALSE(OnTheOval(box.x, box.y));
  }
  SetDrawScale(1, 1);
  SetDrawRotation(0);
  // The first box's place is drawn until it is clear of the oval, and then the box is made.
  before.Rewind();
  int32_t x, y;
  do {
    x = RandomInt(-1800, 1520);
    y = RandomInt(-1300, 1115);
  } while (OnTheOval(x, y));
  EXPECT_EQ(Works[1]->x, x);
  EXPECT_EQ(Works[1]->y, y);
  EXPECT_EQ(Works[1]->Capacity, TWork::New()->Capacity + 6);
}

TEST_F(Stages, TheFarFieldLiesOutsideTheInnerRectangle) {
  BeginStage(4);
  const Replay before;
  EXPECT_EQ(BeginStage(6), "6\n");
  const std::vector<size_t> protectedSlots = ProtectedSlots();
  ASSERT_EQ(protectedSlots.size(), 215u);
  EXPECT_EQ(protectedSlots.back(), 214u);
  bool touchesInnerEdge = false;
  for (size_t i = 15; i < 215; ++i) {
    const TWork& box = *Works[i];
    ExpectOldBox(box, 15);
    EXPECT_TRUE(box.x <= -1800 || box.x >= 1800 || box.y <= -1300 || box.y >= 1300) << box.x << ", " << box.y;
    EXPECT_LE(std::abs(box.x), 5200);
    EXPECT_LE(std::abs(box.y), 3840);
    touchesInnerEdge |= box.x < 1800 && box.x + 280 > -1800 && box.y < 1300 && box.y + 185 > -1300;
  }
  // Only the corner is kept out: some boxes reach into the inner rectangle.
  EXPECT_TRUE(touchesInnerEdge);
  // Here the box is made first, and its place drawn after.
  before.Rewind();
  const int32_t capacity = TWork::New()->Capacity;
  int32_t x, y;
  do {
    x = RandomInt(-5200, 5200);
    y = RandomInt(-3840, 3840);
  } while (-1800 < x && x < 1800 && -1300 < y && y < 1300);
  EXPECT_EQ(Works[15]->Capacity, capacity + 14);
  EXPECT_EQ(Works[15]->x, x);
  EXPECT_EQ(Works[15]->y, y);
}

TEST_F(Stages, TrendsComeAndGoFromStageFourOn) {
  Stage = 3;
  TrendTimer = 5;
  for (int tick = 0; tick < 100; ++tick) TrendStep();
  EXPECT_EQ(TrendTimer, 5);
  EXPECT_FALSE(Trend);

  // From stage 4: a trend lasts 12 to 36 ticks, the pause between two is 20 to 90.
  Stage = 4;
  std::set<int> lasts, pauses;
  std::set<int32_t> strengths;
  int run = 0;
  bool on = false;
  for (int tick = 0; tick < 200000; ++tick) {
    TrendStep();
    ASSERT_NE(TrendTimer, 0);
    const bool now = bool(Trend);
    ASSERT_EQ(now, TrendTimer < 0);
    if (now && !on) {
      const TColor& c = *Trend;  // a strong colour
      EXPECT_TRUE(std::abs(c.R - c.G) >= 120 || std::abs(c.G - c.B) >= 120 || std::abs(c.B - c.R) >= 120);
      strengths.insert(TrendStrength);
    }
    if (now == on) {
      ++run;
      continue;
    }
    if (tick > 100) (on ? lasts : pauses).insert(run);
    on = now;
    run = 1;
  }
  EXPECT_EQ(*lasts.begin(), 12);
  EXPECT_EQ(*lasts.rbegin(), 36);
  EXPECT_EQ(*pauses.begin(), 20);
  EXPECT_EQ(*pauses.rbegin(), 90);
  EXPECT_EQ(*strengths.begin(), 0);
  EXPECT_EQ(*strengths.rbegin(), 8);
}

// A trend's colour needs one pair of channels 120 apart, whichever pair it is: a first
// colour drawn with exactly 120 is the trend, one whose widest pair is 119 is drawn again.
TEST_F(Stages, ATrendColourWithTwoChannelsExactly120ApartIsTaken) {
  Stage = 4;
  const Replay start;
  auto gap = [](const TColor& c, int pair) {
    return pair == 0 ? std::abs(c.R - c.G) : pair == 1 ? std::abs(c.G - c.B) : std::abs(c.B - c.R);
  };
  // The first colour a trend starting from the generator at `state` would try.
  auto firstTry = [&](int32_t state) {
    start.Rewind();
    SeedRandom(state);
    RandomInt(-37, -13);  // the trend's length comes first
    TColor c;
    c.Randomize();
    return c;
  };
  // A generator state whose first try has `widest` between the channels of `pair` and less elsewhere.
  auto stateFor = [&](int pair, int32_t widest) {
    for (int32_t state = 1; state < 2000000; ++state) {
      const TColor c = firstTry(state);
      if (gap(c, pair) == widest && gap(c, (pair + 1) % 3) < widest && gap(c, (pair + 2) % 3) < widest) return state;
    }
    return 0;
  };
  for (int pair = 0; pair < 3; ++pair) {
    const int32_t state = stateFor(pair, 120);
    ASSERT_NE(state, 0) << pair;
    const TColor first = firstTry(state);
    start.Rewind();
    SeedRandom(state);
    TrendTimer = 1;
    TrendStep();
    ASSERT_TRUE(Trend);
    EXPECT_TRUE(Trend->R == first.R && Trend->G == first.G && Trend->B == first.B)
        << "pair " << pair << ": the first try (" << first.R << ", " << first.G << ", " << first.B
        << ") was refused for (" << Trend->R << ", " << Trend->G << ", " << Trend->B << ")";
  }
  const int32_t state = stateFor(0, 119);
  ASSERT_NE(state, 0);
  start.Rewind();
  SeedRandom(state);
  TrendTimer = 1;
  TrendStep();
  ASSERT_TRUE(Trend);
  const int32_t widest = std::max({gap(*Trend, 0), gap(*Trend, 1), gap(*Trend, 2)});
  EXPECT_GE(widest, 120) << "a colour whose channels are at most 119 apart became the trend";
}

}  // namespace
