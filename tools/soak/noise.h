/** @file noise.h NoisePlayer: the soak's careless player, acting on the game only through the headless input. */
// The soak's noise player: a careless player who acts on the game only through
// the headless backend's input, as a person at the mouse would. Stray clicks,
// drags, people and chefs grabbed and thrown, hats dropped on boxes, boxes
// placed, finalized and deleted (and the choice cancelled with the right
// button halfway), F1 held for a while, and now and then a lost focus.
// Its own random generator, so the game's draws are untouched.
#pragma once

#include <cstdint>
#include <deque>
#include <random>

#include "platform/backends/headless.h"

class NoisePlayer {
 public:
  NoisePlayer(HeadlessBackend& backend, uint32_t seed) : backend_(backend), random_(seed) {}
  // Feeds the input of the next frame, planning a new action when the last is done.
  void BeforeFrame();
  // True while an action is under way (the next BeforeFrame goes on with it).
  bool Busy() const { return !steps_.empty(); }
  // Actions begun so far, by kind (see Kind), for the soak's report.
  static constexpr int Kinds = 10;
  const int64_t* Begun() const { return begun_; }
  static const char* KindName(int kind);

 private:
  // One step of an action: a few happen in one frame, a move takes several.
  struct Step {
    enum class What { Press, Release, KeyDown, KeyUp, MoveTo, MoveToPerson, MoveBy, Wait, Suspend } Kind;
    int32_t A = 0;       // button or key; world x; person index; pointer dx; frames
    int32_t B = 0;       // world y; pointer dy
    int32_t Speed = 40;  // most screen pixels a frame while moving
    int32_t Frames = 1;  // frames a MoveBy or Wait lasts; at most, for a move
    int32_t OffX = 0;    // where on the person to aim, from his corner
    int32_t OffY = 0;
  };
  void Plan();
  void PlanStrayClick();
  void PlanDrag();
  void PlanThrow();
  void PlanHatToBox();
  void PlanBoxCommand(int kind);
  void PlanHelp();
  void MoveToScreen(int32_t sx, int32_t sy, int32_t speed);
  void MoveToBox(int32_t speed);
  int32_t Pick(int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(random_); }
  bool Chance(int32_t percent) { return Pick(1, 100) <= percent; }

  HeadlessBackend& backend_;
  std::mt19937 random_;
  std::deque<Step> steps_;
  int64_t begun_[Kinds] = {};
};
