/** @file opinion.cpp TOpinion's judging: a person scores a box's mix by hue, saturation, lightness and two traits. */
// How a person judges a box: by hue distance, the mix's saturation and
// lightness, and two personal traits. Reals named below are held as 32-bit
// floats exactly where the game's rules hold them so, or scores would drift
// by one at band edges; everything else is computed in double.
#include "game/opinion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "game/world.h"
#include "platform/numeric.h"
#include "platform/random.h"
#include "platform/services.h"

namespace {

// The largest and smallest channel.
int32_t MaxOf(const TColor& c) { return std::max({c.R, c.G, c.B}); }
int32_t MinOf(const TColor& c) { return std::min({c.R, c.G, c.B}); }

// Hue in whole degrees, -1 for a grey. Ties go to the channel tested first, and a
// red with more blue than green keeps a negative hue (reds lie in -60..60).
int32_t Hue(const TColor& c) {
  const int32_t hi = MaxOf(c);
  const int32_t lo = MinOf(c);
  if (hi == lo) return -1;
  if (hi == c.R) return (c.G - c.B) * 60 / (hi - lo) % 360;
  if (hi == c.G) return (c.B - c.R) * 60 / (hi - lo) + 120;
  return (c.R - c.G) * 60 / (hi - lo) + 240;
}

// Lightness, 0..1, held as a 32-bit float.
float Lightness(const TColor& c) { return StoreF(double(MaxOf(c) + MinOf(c)) / 510.0); }

// A score bound from a sum that the game holds as a 32-bit float before truncating.
int32_t FloatSum(double base, double times, double k) { return TruncInt(StoreF(base + times * k)); }

}  // namespace

TOpinion TOpinion::New() {
  TOpinion o;
  o.Range = StoreF(RandomReal(1.0, 0.0));
  o.Point = StoreF(RandomReal(1.0, 0.0));
  o.Patience = RandomInt(5, 20);
  return o;
}

int TOpinion::Be() {
  // Ticks since the frame loop last consumed them, so two calls in a frame count twice.
  ChangeIn = WrapInt(int64_t(ChangeIn) - (int64_t(TimerTickCount(Timer4)) - LastTick4));
  if (ChangeIn > 0) return 0;
  // Moods move even when nothing changes: the score's place in its band drifts.
  Point = StoreF(double(Point) + RandomReal(-0.2, 0.2));
  if (Point < 0.0f) Point = 0.0f;
  if (Point > 1.0f) Point = 1.0f;
  return 0;
}

int TOpinion::Form(const TColor& own, const TColor& seen) {
  ChangeIn = RandomInt(5, 15);
  Patience -= 1;

  const int32_t seenMax = MaxOf(seen);
  const int32_t seenMin = MinOf(seen);
  const float S = seenMax == seenMin ? 0.0f : StoreF(1.0 - double(seenMin) / double(seenMax));
  // Nobody cares about grey.
  if (double(S) < 0.125) {
    Is = 35;
    return 0;
  }

  const int32_t H1 = Hue(own);
  const int32_t H2 = Hue(seen);
  const float L1 = Lightness(own);
  const float L2 = Lightness(seen);
  const int32_t D = std::min({std::abs(H1 - H2), std::abs(H1 + 360 - H2), std::abs(H1 - 360 - H2)});
  // The mix's strength: bright, saturated colours are the strong ones. 6.2 as the game's float.
  const double Q = double(L2) * (double(S) * double(S)) / double(6.2f);
  const float kL = StoreF(4.0 * (0.25 - std::fabs(0.7 - double(L2))));
  const float kM = StoreF(4.0 * (0.25 - std::fabs(double(L1) - double(L2))));
  const double k = std::max(0.0, double(kL));
  const double k2 = std::max({0.0, double(kL), double(kM)});
  const double s = S;
  const bool open = double(Range) <= Q;  // open to strong colours: never offended by them

  int32_t F = 0;
  int32_t E = 0;
  if (H1 == -1 || (D >= 41 && D <= 138)) {  // unrelated hues, or a grey favourite
    if (!open) {
      const int32_t lo = FloatSum(18, 10, k);
      const int32_t hi = FloatSum(39, 10, k);
      E = hi;
      F = TruncInt(hi - (hi - lo) * s);
    } else {
      const int32_t P = FloatSum(51, 10, k2);
      F = 45;
      E = TruncInt(45 + (P - 45) * s);
    }
  } else if (D >= 139) {  // opposite hues
    if (!open) {
      F = TruncInt(15 - 15 * s);
      E = 35;
    } else {
      const int32_t P = FloatSum(45, 10, k2);
      F = 39;
      E = TruncInt(39 + (P - 39) * s);
    }
  } else {  // similar hues please everyone, less so when the mix is pale
    F = FloatSum(35, 17, k2);
    E = FloatSum(59, 10, k2);
    if (double(S) < double(0.8f)) E = TruncInt(F + (E - F) * s * 1.25);
  }

  // A nearly black mix is judged close to indifference whatever its hue.
  if (double(L2) < 0.25) {
    const double U = 35 + 140 * double(L2);
    const double W = 35 - 140 * double(L2);
    if (E > U) E = TruncInt(U);
    if (F > U) F = TruncInt(U);
    if (E < W) E = TruncInt(W);
    if (F < W) F = TruncInt(W);
  }

  Is = TruncInt(F + (E - F) * double(Point));
  return 0;
}
