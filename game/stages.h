/** @file stages.h The stage machine: StageCheck, ZoomAndGrowth and TrendStep carry the game through stages 0 to 8. */
// The stage machine: the crowd's moods carry the game through nine stages,
// 0 to 8. Each stage has a zoom the view eases toward and a crowd size the
// crowd grows to at once; four stages add to the world themselves. From
// stage 4 on a trend clock makes a fashion colour come and go.
#pragma once

#include <cstdint>

// The last stage: its thresholds are never met, and the closing scene follows it.
constexpr int32_t LastStage = 8;

// Advances at most one stage when the score allows: prints the new stage
// number, resets the stage score and runs the new stage's event.
void StageCheck();
// Eases Scale toward the stage's target, then grows the crowd to the stage's size.
void ZoomAndGrowth();
// One 4 Hz tick of the trend clock; nothing happens before stage 4.
void TrendStep();
