/** @file color.h TColor: an RGB colour shared by reference (ColorRef) between ingredients, people and boxes. */
// TColor: an RGB colour, shared by reference and never copied, so that an
// ingredient, a person's favourite colour and a box's mix may be one object
// and a change to it is seen by every holder.
#pragma once

#include <cstdint>
#include <memory>

class TColor;
using ColorRef = std::shared_ptr<TColor>;

class TColor {
 public:
  int32_t R = 0;
  int32_t G = 0;
  int32_t B = 0;

  // Sets the three channels.
  int Set(int32_t r, int32_t g, int32_t b) {
    R = r;
    G = g;
    B = b;
    return 0;
  }
  // A new colour object with the given channels.
  static ColorRef Get(int32_t r, int32_t g, int32_t b) {
    auto c = std::make_shared<TColor>();
    c->Set(r, g, b);
    return c;
  }
  // A new vivid favourite colour, balanced against the colours handed out so far.
  int Randomize();
  // A vivid colour near the fashion colour Trend, counted double; Trend must be set.
  int FollowTrend();
  // This colour's cell of the 3 x 3 x 3 partition of the colour cube.
  int32_t Cell() const { return CellOf(R, G, B); }
  // Cell index 0..26 of channels in 0..255: each channel's level is (v - 1) div 85.
  static int32_t CellOf(int32_t r, int32_t g, int32_t b) { return (r - 1) / 85 * 9 + (g - 1) / 85 * 3 + (b - 1) / 85; }
};
