/** @file clock.h The Linux clocks the X11 backend tells time with: MonotonicMs, SleepForMs and BootClock. */
#pragma once

#include <cstdint>

// Milliseconds on the monotonic clock, for pacing and timers.
int64_t MonotonicMs();
// Microseconds on the monotonic clock, for timing buffer swaps.
int64_t MonotonicUs();
// Sleeps for ms milliseconds, resuming after interruptions by signals.
void SleepForMs(int ms);

// Milliseconds since boot: fixed at creation as the time of day minus the
// reported uptime, then read as the time of day minus that base.
class BootClock {
 public:
  BootClock();
  // Milliseconds since boot as a 32-bit count that wraps.
  int Read() const;

 private:
  int64_t baseMs_ = 0;
};
