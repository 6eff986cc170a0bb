/** @file refresh_probe.cpp RefreshProbe's rule: whether waited swaps show the game's frame rate. */
#include "platform/backends/x11/refresh_probe.h"

namespace {

// A swap is one refresh long when it is within this much of the period.
constexpr double kToleranceUs = 1000.0;
// Three swaps of one period in a row: the screen refreshes at the rate.
constexpr int kMatchingSwaps = 3;
// When each swap waits until it is shown, only the first of a series can come
// early (the refresh may be close when it starts); after a late one the next
// still waits a whole period. This many early swaps in a row are not waiting
// on a refresh at the rate at all (a server that never waits, or a faster
// screen), and no match can follow.
constexpr int kEarlySwaps = 10;

}  // namespace

RefreshProbe::RefreshProbe(int hertz) : periodUs_(hertz > 0 ? 1000000.0 / hertz : 0.0) {}

RefreshProbe::Verdict RefreshProbe::Add(double tookUs) {
  if (periodUs_ <= 0.0) return Verdict::Differs;
  matchingInARow_ = tookUs >= periodUs_ - kToleranceUs && tookUs <= periodUs_ + kToleranceUs ? matchingInARow_ + 1 : 0;
  earlyInARow_ = tookUs < periodUs_ - kToleranceUs ? earlyInARow_ + 1 : 0;
  if (matchingInARow_ >= kMatchingSwaps) return Verdict::Matches;
  if (earlyInARow_ >= kEarlySwaps) return Verdict::Differs;
  return Verdict::Unclear;
}
