/** @file frame_timer.h TimeFrames and FrameFigures: CPU time per frame, against a 60-hertz frame's budget. */
// Times a frame's work over many frames and prints the CPU time per frame as a
// share of the 16.7 ms budget of a 60-hertz frame.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct FrameFigures {
  double MedianMs = 0;
  double WorstMs = 0;
  double MeanMs = 0;
};

// This thread's CPU time in milliseconds.
double ThreadCpuMs();
// Runs frame() `warmup` times untimed, then `frames` times timed by this thread's CPU clock.
FrameFigures TimeFrames(int warmup, int frames, const std::function<void()>& frame);
// Median, worst and mean of frame times (ms) measured elsewhere; `times` must not be empty.
FrameFigures FiguresOf(std::vector<double> times);
// Prints "<what>: median X ms, worst Y ms per frame (Z% / W% of the 16.7 ms budget)".
void PrintFigures(const std::string& what, const FrameFigures& figures, int frames);
