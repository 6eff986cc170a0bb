/** @file clock.cpp Monotonic time, sleeping and the since-boot clock on Linux, for the X11 backend. */
#include "platform/backends/x11/clock.h"

#include <sys/sysinfo.h>
#include <sys/time.h>

#include <cerrno>
#include <ctime>

namespace {

// Time of day in milliseconds since the epoch.
int64_t TimeOfDayMs() {
  timeval now{};
  gettimeofday(&now, nullptr);
  return int64_t(now.tv_sec) * 1000 + now.tv_usec / 1000;
}

}  // namespace

// Milliseconds on the monotonic clock, for pacing and timers.
int64_t MonotonicMs() { return MonotonicUs() / 1000; }

// Microseconds on the monotonic clock, for timing buffer swaps.
int64_t MonotonicUs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// Sleeps for ms milliseconds, resuming after interruptions by signals.
void SleepForMs(int ms) {
  if (ms <= 0) return;
  timespec left{ms / 1000, long(ms % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

// Fixes the base: the time of day minus the uptime in whole seconds.
BootClock::BootClock() {
  struct sysinfo info {};
  const int64_t uptimeSeconds = sysinfo(&info) == 0 ? int64_t(info.uptime) : 0;
  baseMs_ = TimeOfDayMs() - uptimeSeconds * 1000;
}

// Milliseconds since boot as a 32-bit count that wraps.
int BootClock::Read() const {
  // Unsigned arithmetic wraps where signed would overflow.
  const uint32_t wrapped = uint32_t(uint64_t(TimeOfDayMs()) - uint64_t(baseMs_));
  return int(wrapped);
}
