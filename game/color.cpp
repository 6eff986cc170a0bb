/** @file color.cpp TColor's random favourite colours, vivid and spread evenly over the colour cube by ColorCells. */
// Random favourite colours: vivid, never grey, and spread evenly over the
// colour cube by the ColorCells histogram that every new colour is counted in.
#include "game/color.h"

#include <algorithm>
#include <cstdlib>

#include "game/world.h"
#include "platform/random.h"

namespace {

// True when no two channels are `gap` or more apart: too grey for a favourite.
bool TooGrey(const TColor& c, int32_t gap) {
  return std::abs(c.R - c.G) < gap && std::abs(c.G - c.B) < gap && std::abs(c.B - c.R) < gap;
}

// One attempt of style k with strong-pair floor a; false when style 0 drew a near-grey.
bool DrawStyle(TColor& c, int32_t k, int32_t a) {
  switch (k) {
    case 0:  // anything with one pair of channels far apart
      c.R = RandomInt(0, 255);
      c.G = RandomInt(0, 255);
      c.B = RandomInt(0, 255);
      return !TooGrey(c, 100);
    case 1:  // red-dominant
      c.R = RandomInt(140, 255);
      c.G = RandomInt(0, c.R - 65);
      c.B = RandomInt(0, c.R - 65);
      return true;
    case 2:  // green-dominant
      c.G = RandomInt(140, 255);
      c.B = RandomInt(0, c.G - 65);
      c.R = RandomInt(0, c.G - 65);
      return true;
    case 3:  // blue-dominant
      c.B = RandomInt(140, 255);
      c.R = RandomInt(0, c.B - 65);
      c.G = RandomInt(0, c.B - 65);
      return true;
    case 4:  // yellows: red and green strong
      c.R = RandomInt(a, 255);
      c.G = RandomInt(a, 255);
      c.B = RandomInt(0, std::min(c.R, c.G) - 45);
      return true;
    case 5:  // cyans: green and blue strong
      c.G = RandomInt(a, 255);
      c.B = RandomInt(a, 255);
      c.R = RandomInt(0, std::min(c.G, c.B) - 45);
      return true;
    default:  // magentas: blue and red strong
      c.B = RandomInt(a, 255);
      c.R = RandomInt(a, 255);
      c.G = RandomInt(0, std::min(c.B, c.R) - 45);
      return true;
  }
}

}  // namespace

int TColor::Randomize() {
  // The floor is drawn once and kept through every retry.
  const int32_t a = RandomInt(160, 255);
  for (;;) {
    const int32_t k = RandomInt(0, 6);
    if (!DrawStyle(*this, k, a)) continue;
    // A crowded cell is accepted with chance (M + 1 - m) / (M + 1), so tastes spread evenly.
    const int32_t c = Cell();
    if (ColorCells[c] > ColorCellMax / 3 && RandomInt(0, ColorCellMax) < ColorCells[c]) continue;
    ColorCells[c] += 1;
    if (ColorCells[c] > ColorCellMax) ColorCellMax += 1;
    return 0;
  }
}

int TColor::FollowTrend() {
  // Trend's channels are read at each draw, so even Trend itself may follow the trend.
  do {
    R = RandomInt(std::max(0, Trend->R - 40), std::min(255, Trend->R + 40));
    G = RandomInt(std::max(0, Trend->G - 40), std::min(255, Trend->G + 40));
    B = RandomInt(std::max(0, Trend->B - 40), std::min(255, Trend->B + 40));
  } while (TooGrey(*this, 60));
  // Followers of a fashion may crowd one cell: no balancing, and they count double.
  const int32_t c = Cell();
  ColorCells[c] += 2;
  if (ColorCells[c] > ColorCellMax) ColorCellMax = ColorCells[c];
  return 0;
}
