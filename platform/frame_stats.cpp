#include "platform/frame_stats.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

double ClockMs(clockid_t id) {
  timespec t{};
  clock_gettime(id, &t);
  return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1.0e6;
}

FrameClockReading SystemClock() { return {ClockMs(CLOCK_MONOTONIC), ClockMs(CLOCK_PROCESS_CPUTIME_ID)}; }

FrameStats Stats;
FrameClock Clock = SystemClock;

}  // namespace

void FrameStats::ScreenOpened(int hertz) {
  slotMs_ = 1000.0 / double(hertz > 0 ? hertz : 60);
  counting_ = false;
  if (shownAny_) {
    changing_ = true;
    changeFromMs_ = lastShownMs_;
  }
}

void FrameStats::WorkDone(const FrameClockReading& now) { workEndMs_ = now.WallMs; }

void FrameStats::Shown(const FrameClockReading& now) {
  if (counting_) {
    const double work = workEndMs_ - frameStart_.WallMs;
    frames_ += 1;
    workMs_ += work;
    if (work > worstMs_) worstMs_ = work;
    if (work > slotMs_) late_ += 1;
    cpuMs_ += now.CpuMs - frameStart_.CpuMs;
    shownMs_ += now.WallMs - frameStart_.WallMs;
  }
  if (changing_) {
    changing_ = false;
    screenChangeMs_ = now.WallMs - changeFromMs_;
  }
  counting_ = true;
  shownAny_ = true;
  lastShownMs_ = now.WallMs;
  frameStart_ = now;
}

std::string FrameStats::Summary() const {
  char line[400];
  int used = std::snprintf(line, sizeof line,
                           "chromelly: %lld frames; frame time mean %.3f ms, worst %.3f ms; %.2f%% late (%lld over "
                           "%.3f ms); CPU %.3f ms per frame; %.2f frames a second",
                           static_cast<long long>(frames_), MeanMs(), WorstMs(), 100.0 * LateShare(),
                           static_cast<long long>(late_), slotMs_, CpuMsPerFrame(), FramesPerSecond());
  if (screenChangeMs_ >= 0 && used > 0 && size_t(used) < sizeof line)
    std::snprintf(line + used, sizeof line - size_t(used), "; first frame %.1f ms after the screen before's last",
                  screenChangeMs_);
  return line;
}

bool FrameStatsWanted() {
  const char* value = std::getenv("CHROMELLY_STATS");
  return value && std::strcmp(value, "1") == 0;
}

void FrameStatsScreenOpened(int hertz) {
  if (FrameStatsWanted()) Stats.ScreenOpened(hertz);
}

void FrameStatsWorkDone() {
  if (FrameStatsWanted()) Stats.WorkDone(Clock());
}

void FrameStatsShown() {
  if (FrameStatsWanted()) Stats.Shown(Clock());
}

void ReportFrameStats() {
  if (!FrameStatsWanted()) return;
  std::fprintf(stderr, "%s\n", Stats.Summary().c_str());
  std::fflush(stderr);
}

const FrameStats& CurrentFrameStats() { return Stats; }

void RestartFrameStats(FrameClock clock) {
  Stats = FrameStats{};
  Clock = clock ? clock : SystemClock;
}
