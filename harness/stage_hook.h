/** @file stage_hook.h StageHook: pushes a game through its stages between frames, for tests only. */
// The stage hook, for tests only: pushes a game through its stages without
// anybody playing, by raising the stage score between frames. The game the
// player runs never contains it.
#pragma once

#include <cstdint>

#include "game/stages.h"

// Raises the stage score just past twice the current stage's total, so the next
// frame's stage check moves on one stage. Does nothing at the last stage.
void PushStage();

// Run after every frame: every `every` frames it pushes the next stage, once the
// view has reached the current stage's target, until the stage `until` has begun.
// With snapZoom the view is set to the target at once instead of easing there, so
// the closing scene comes in seconds.
class StageHook {
 public:
  StageHook(int32_t every, bool snapZoom, int32_t until = LastStage)
      : every_(every > 0 ? every : 1), snapZoom_(snapZoom), until_(until) {}
  void AfterFrame();

 private:
  int32_t every_;
  bool snapZoom_;
  int32_t until_;
  int64_t frames_ = 0;
};
