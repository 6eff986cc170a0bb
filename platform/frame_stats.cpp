/** @file frame_stats.cpp FrameStats: each shown frame timed, and the summary printed with CHROMELLY_STATS=1. */
#include "platform/frame_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

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

void FrameFigures::Add(double workMs, double cpuMs, double shownMs, bool late) {
  frames_ += 1;
  workMs_ += workMs;
  if (workMs > worstMs_) worstMs_ = workMs;
  if (late) late_ += 1;
  cpuMs_ += cpuMs;
  shownMs_ += shownMs;
  if (shownMs > worstShownMs_) worstShownMs_ = shownMs;
  if (shownBins_.empty()) shownBins_.assign(kBins, 0);
  // A bin holds the times above its lower edge up to its upper one.
  const double bin = std::ceil(shownMs * kBinsPerMs) - 1;
  shownBins_[size_t(std::clamp(bin, 0.0, double(kBins - 1)))] += 1;
}

double FrameFigures::ShownPercentileMs(double share) const {
  if (frames_ == 0) return 0.0;
  const double wanted = std::ceil(share * double(frames_));
  double seen = 0;
  for (int bin = 0; bin < kBins - 1; ++bin) {
    seen += shownBins_[size_t(bin)];
    if (seen >= wanted) return std::min(worstShownMs_, double(bin + 1) / kBinsPerMs);
  }
  return worstShownMs_;
}

void FrameStats::NamePart(const char* name) {
  if (part_ >= 0 && parts_[size_t(part_)].Name == name) return;
  for (size_t i = 0; i < parts_.size(); ++i) {
    if (parts_[i].Name == name) {
      part_ = int(i);
      return;
    }
  }
  part_ = int(parts_.size());
  parts_.push_back({name, {}});
}

void FrameStats::WorkDone(const FrameClockReading& now) { workEndMs_ = now.WallMs; }

void FrameStats::Shown(const FrameClockReading& now) {
  if (counting_) {
    const double work = workEndMs_ - frameStart_.WallMs;
    const double cpu = now.CpuMs - frameStart_.CpuMs;
    const double shown = now.WallMs - frameStart_.WallMs;
    const bool late = shown > LateMs();
    all_.Add(work, cpu, shown, late);
    if (part_ >= 0) parts_[size_t(part_)].Figures.Add(work, cpu, shown, late);
    if (late && (longest_.size() < kLongestKept || shown > longest_.back().ShownMs)) {
      const int64_t number = part_ >= 0 ? parts_[size_t(part_)].Figures.Frames() : all_.Frames();
      const LongFrame frame{shown, work, cpu, part_, number};
      longest_.insert(std::upper_bound(longest_.begin(), longest_.end(), frame,
                                       [](const LongFrame& a, const LongFrame& b) { return a.ShownMs > b.ShownMs; }),
                      frame);
      if (longest_.size() > kLongestKept) longest_.pop_back();
    }
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

namespace {

std::string Line(const std::string& lead, const FrameFigures& f, double lateMs) {
  char line[400];
  std::snprintf(line, sizeof line,
                "%lld frames; frame time mean %.3f ms, worst %.3f ms; shown %.2f ms apart or less at the 99th "
                "percentile, %.3f ms at worst; %.2f%% late (%lld shown over %.3f ms after the one before); "
                "CPU %.3f ms per frame; %.2f frames a second",
                static_cast<long long>(f.Frames()), f.MeanMs(), f.WorstMs(), f.ShownPercentileMs(0.99),
                f.WorstShownMs(), 100.0 * f.LateShare(), static_cast<long long>(f.Late()), lateMs, f.CpuMsPerFrame(),
                f.FramesPerSecond());
  return lead + line;
}

}  // namespace

std::string FrameStats::Summary() const {
  std::string text = Line("chromelly: ", all_, LateMs());
  if (screenChangeMs_ >= 0) {
    char change[80];
    std::snprintf(change, sizeof change, "; first frame %.1f ms after the screen before's last", screenChangeMs_);
    text += change;
  }
  for (const Part& part : parts_) {
    text += '\n';
    text += Line("chromelly: " + part.Name + ": ", part.Figures, LateMs());
  }
  if (!longest_.empty()) text += "\nchromelly: longest late frames:";
  for (size_t i = 0; i < longest_.size(); ++i) {
    const LongFrame& f = longest_[i];
    char item[200];
    std::snprintf(item, sizeof item, "%s %s frame %lld %.1f ms (work %.1f ms, CPU %.1f ms)", i ? ";" : "",
                  f.Part >= 0 ? parts_[size_t(f.Part)].Name.c_str() : "run", static_cast<long long>(f.Number),
                  f.ShownMs, f.WorkMs, f.CpuMs);
    text += item;
  }
  return text;
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

void FrameStatsPart(const char* name) {
  if (FrameStatsWanted()) Stats.NamePart(name);
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
