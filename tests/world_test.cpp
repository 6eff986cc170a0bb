/** @file world_test.cpp Tests that one ResetWorld puts every world global back to its start value. */
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "game/mouse.h"
#include "game/person.h"
#include "game/tutor.h"
#include "game/work.h"
#include "game/world.h"
#include "platform/random.h"

namespace {

// Scramble gives a value unlike its start; Same compares two values (colours
// by their channels, other objects by identity). The list in
// game/world_globals.inc drives both, so a new global is checked as soon as
// it is listed; a global of a new type needs a Scramble and a Same here.
void Scramble(int32_t& v) { v += 3; }
void Scramble(int64_t& v) { v += 3; }
void Scramble(float& v) { v += 3; }
template <typename T>
void Scramble(std::shared_ptr<T>& v) {
  v = std::make_shared<T>();
}
void Scramble(ColorRef& v) { v = TColor::Get(1, 2, 3); }
void Scramble(TButton& b) {
  b.x += 1;
  b.y += 1;
  b.width += 1;
  b.height += 1;
  b.text += "?";
  b.Activate += 1;
}
void Scramble(StageRow& row) {
  row.GainNeeded += 1;
  row.TotalNeeded += 1;
  row.TargetScale += 1;
  row.CrowdSize += 1;
}
template <typename T, size_t N>
void Scramble(std::array<T, N>& a) {
  for (T& v : a) Scramble(v);
}

bool Same(int32_t a, int32_t b) { return a == b; }
bool Same(int64_t a, int64_t b) { return a == b; }
bool Same(float a, float b) { return a == b; }
template <typename T>
bool Same(const std::shared_ptr<T>& a, const std::shared_ptr<T>& b) {
  return a == b;
}
bool Same(const ColorRef& a, const ColorRef& b) {
  if (!a || !b) return !a && !b;
  return a->R == b->R && a->G == b->G && a->B == b->B;
}
bool Same(const TButton& a, const TButton& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height && a.text == b.text &&
         a.Activate == b.Activate;
}
bool Same(const StageRow& a, const StageRow& b) {
  return a.GainNeeded == b.GainNeeded && a.TotalNeeded == b.TotalNeeded && a.TargetScale == b.TargetScale &&
         a.CrowdSize == b.CrowdSize;
}
template <typename T, size_t N>
bool Same(const std::array<T, N>& a, const std::array<T, N>& b) {
  for (size_t i = 0; i < N; ++i)
    if (!Same(a[i], b[i])) return false;
  return true;
}

// A global's start value as its own type.
template <typename T>
T StartOf(T v) {
  return v;
}

TEST(World, OneResetPutsEveryGlobalAndTheGeneratorBackToTheStart) {
  ResetWorld();
  SeedRandom(99);
  RandomInt(0, 9);
#define WORLD_GLOBAL(type, name, start) Scramble(name);
#include "game/world_globals.inc"
#undef WORLD_GLOBAL
  // Every global now differs from its start, so the reset below has something to undo.
#define WORLD_GLOBAL(type, name, start) EXPECT_FALSE(Same(name, StartOf<type>(start))) << #name " was not changed";
#include "game/world_globals.inc"
#undef WORLD_GLOBAL
  ResetWorld();
#define WORLD_GLOBAL(type, name, start) EXPECT_TRUE(Same(name, StartOf<type>(start))) << #name " was not reset";
#include "game/world_globals.inc"
#undef WORLD_GLOBAL
  EXPECT_EQ(RandomState(), 4660);
  // Start values the rules give, spelled out once more where a wrong start would pass unseen above.
  EXPECT_EQ(Scale, 1.0f);
  EXPECT_EQ(Mode, ModeNormal);
  EXPECT_EQ(DroppedHatOwner, -1);
  EXPECT_EQ(Grey->R, 127);
  EXPECT_EQ(White->B, 255);
  EXPECT_EQ(Black->G, 0);
  // Each reset makes its own colour objects: a box's mix never aliases the last game's.
  const ColorRef white = White;
  ResetWorld();
  EXPECT_NE(White, white);
}

}  // namespace
