/** @file frame_timer.cpp TimeFrames and PrintFigures: a frame's CPU time over many frames, against its budget. */
#include "frame_timer.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <utility>
#include <vector>

namespace {

constexpr double FrameBudgetMs = 1000.0 / 60.0;

}  // namespace

double ThreadCpuMs() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return double(ts.tv_sec) * 1000.0 + double(ts.tv_nsec) / 1e6;
}

FrameFigures TimeFrames(int warmup, int frames, const std::function<void()>& frame) {
  for (int i = 0; i < warmup; ++i) frame();
  std::vector<double> times;
  times.reserve(size_t(frames));
  for (int i = 0; i < frames; ++i) {
    double start = ThreadCpuMs();
    frame();
    times.push_back(ThreadCpuMs() - start);
  }
  return FiguresOf(std::move(times));
}

FrameFigures FiguresOf(std::vector<double> times) {
  FrameFigures figures;
  double sum = 0;
  for (double t : times) sum += t;
  figures.MeanMs = sum / double(times.size());
  std::sort(times.begin(), times.end());
  figures.MedianMs = times[times.size() / 2];
  figures.WorstMs = times.back();
  return figures;
}

void PrintFigures(const std::string& what, const FrameFigures& figures, int frames) {
  std::printf(
      "%s over %d frames: median %.4f ms, mean %.4f ms, worst %.4f ms per frame "
      "(median %.2f%%, worst %.2f%% of the %.1f ms frame budget)\n",
      what.c_str(), frames, figures.MedianMs, figures.MeanMs, figures.WorstMs, 100.0 * figures.MedianMs / FrameBudgetMs,
      100.0 * figures.WorstMs / FrameBudgetMs, FrameBudgetMs);
  std::fflush(stdout);
}
