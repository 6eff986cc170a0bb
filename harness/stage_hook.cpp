/** @file stage_hook.cpp PushStage and StageHook: a game raised to its next stage between frames. */
#include "harness/stage_hook.h"

#include "game/stages.h"
#include "game/world.h"

void PushStage() {
  if (Stage >= LastStage) return;
  StageScore = 2 * StageTable[size_t(Stage)].TotalNeeded + 1;
}

void StageHook::AfterFrame() {
  frames_ += 1;
  const float target = StageTable[size_t(Stage)].TargetScale;
  if (snapZoom_ && Scale > target) Scale = target;
  if (frames_ % every_ == 0 && Scale <= target && Stage < until_) PushStage();
}
