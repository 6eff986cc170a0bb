/** @file refresh_probe.h RefreshProbe: whether the full screen refreshes at the game's rate, judged from swap times. */
// Whether the full screen refreshes at the rate the game paces itself to,
// judged from how long swaps that wait for vertical blank take.
#pragma once

// Fed the time each swap took, it answers as soon as the answer is certain.
class RefreshProbe {
 public:
  enum class Verdict { Unclear, Matches, Differs };

  explicit RefreshProbe(int hertz);
  // Takes the time one swap took (including waiting for it to be shown).
  Verdict Add(double tookUs);

 private:
  double periodUs_;
  int matchingInARow_ = 0;
  int earlyInARow_ = 0;
};
