/** @file opinion.h TOpinion: what one person thinks of one box, a score from 0 to 69 where 35 is indifference. */
// TOpinion: what one person thinks of one box, a score from 0 to 69 where 35
// is indifference. Formed by comparing the person's favourite colour with the
// box's mix by hue, saturation and lightness; re-formed from time to time.
#pragma once

#include <cstdint>

#include "game/color.h"

class TOpinion {
 public:
  int32_t Of = -1;       // ID of the box the opinion is about
  int32_t Is = -1;       // the score, 0 to 69; -1 until the first Form
  int32_t ChangeIn = 0;  // 4 Hz ticks until the opinion is due to be formed again
  float Range = 0.0f;    // openness to strong colours, fixed for life
  float Point = 0.0f;    // where the score falls in its band, 0 to 1
  int32_t Patience = 0;  // 5 to 20 at creation, one less after every Form

  // A fresh opinion: draws Range, Point and Patience, in that order.
  static TOpinion New();
  // Counts ChangeIn down by the 4 Hz ticks since the last frame; once due, lets Point drift.
  int Be();
  // Judges the colour seen by a person whose favourite colour is own.
  int Form(const TColor& own, const TColor& seen);
};
