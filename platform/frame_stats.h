/** @file frame_stats.h FrameStats: frame timing for tuning, on with CHROMELLY_STATS=1, summed up when the game ends. */
// Frame statistics for tuning the game on a player's machine: with
// CHROMELLY_STATS=1 in the environment every frame shown is timed, and a
// summary goes to standard error when the game ends. Without the variable
// nothing is timed and nothing is printed. The summary has a line for the
// whole run and one for each part of the game the game named (NameFramePart).
//
// A frame's time is the game's own work on it: from the moment the frame
// before was shown until the frame is handed over to be shown. The wait for
// the frame's slot and the swap are not part of it; they show in the rate the
// frames were shown at, and in how far apart frames were shown: a frame is
// late when it is shown more than one refresh period after the one before,
// so that it missed a refresh (over one and a half periods: a display that
// waits for the refresh shows frames whole periods apart, and a paced frame
// on one that does not comes a millisecond either side of its period). The
// first frame on each screen starts the count: the loading before it is
// start-up, not play.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One reading of the clocks frames are timed by, in milliseconds.
struct FrameClockReading {
  double WallMs = 0;  // monotonic
  double CpuMs = 0;   // CPU time of the whole process, every thread
};
using FrameClock = FrameClockReading (*)();

// The figures over a run of frames.
class FrameFigures {
 public:
  // One frame: its work, its CPU time, the time from the frame before was shown until it was, and whether it was late.
  void Add(double workMs, double cpuMs, double shownMs, bool late);

  int64_t Frames() const { return frames_; }
  double MeanMs() const { return frames_ ? workMs_ / double(frames_) : 0.0; }
  double WorstMs() const { return worstMs_; }
  int64_t Late() const { return late_; }
  double LateShare() const { return frames_ ? double(late_) / double(frames_) : 0.0; }
  double CpuMsPerFrame() const { return frames_ ? cpuMs_ / double(frames_) : 0.0; }
  // Frames shown per second of wall time, waits and swaps included.
  double FramesPerSecond() const { return shownMs_ > 0 ? 1000.0 * double(frames_) / shownMs_ : 0.0; }
  // The longest time between a frame shown and the next.
  double WorstShownMs() const { return worstShownMs_; }
  // The time between frames shown that `share` of them (0.99: the 99th percentile) stay within,
  // to the next quarter millisecond (never above the worst).
  double ShownPercentileMs(double share) const;

 private:
  // Times between frames shown, counted in quarter milliseconds; the last bin holds all longer ones.
  static constexpr int kBinsPerMs = 4;
  static constexpr int kBins = 500 * kBinsPerMs + 1;
  std::vector<uint32_t> shownBins_;
  int64_t frames_ = 0;
  int64_t late_ = 0;
  double workMs_ = 0;
  double worstMs_ = 0;
  double cpuMs_ = 0;
  double shownMs_ = 0;
  double worstShownMs_ = 0;
};

// The figures over the frames shown so far, in all and for each named part of
// the game (the opening screen, each stage, the closing scene), so that a
// replay tells where the time goes.
class FrameStats {
 public:
  struct Part {
    std::string Name;
    FrameFigures Figures;
  };

  // A screen opened with frames paced at hertz: the next frame shown starts the count.
  void ScreenOpened(int hertz);
  // The frames handed over from now on belong to the part of the game so named.
  void NamePart(const char* name);
  // The game has finished a frame and hands it over to be shown.
  void WorkDone(const FrameClockReading& now);
  // The frame was shown: the next frame's work starts now.
  void Shown(const FrameClockReading& now);

  // A refresh period, 1000 / hertz milliseconds.
  double SlotMs() const { return slotMs_; }
  // A frame shown longer than this after the one before is late: one and a half periods.
  double LateMs() const { return slotMs_ * 1.5; }
  const FrameFigures& All() const { return all_; }
  // The named parts in the order they were first named; frames before any name count in All only.
  const std::vector<Part>& Parts() const { return parts_; }
  // From the last frame shown on the screen before to the first frame shown on
  // the latest screen: the game's start-up as the player waits through it
  // (Return on the opening screen to the first frame of play); negative until
  // a second screen has shown a frame.
  double ScreenChangeMs() const { return screenChangeMs_; }
  // A frame shown late, kept among the longest so that a tuning run can tell which frames to look at.
  struct LongFrame {
    double ShownMs = 0;  // since the frame before was shown
    double WorkMs = 0;
    double CpuMs = 0;
    int Part = -1;       // index into Parts(), -1 before any part was named
    int64_t Number = 0;  // the frame's number in its part (in the whole run when no part), from 1
  };
  // The longest late frames so far, longest first, at most kLongestKept.
  static constexpr size_t kLongestKept = 8;
  const std::vector<LongFrame>& Longest() const { return longest_; }
  // The lines the game prints: the whole run first, then one for each part,
  // then the longest late frames when there were any.
  std::string Summary() const;

 private:
  double slotMs_ = 1000.0 / 60.0;
  bool counting_ = false;  // a frame was shown on this screen: the next one is timed
  FrameClockReading frameStart_;
  double workEndMs_ = 0;
  FrameFigures all_;
  std::vector<Part> parts_;
  int part_ = -1;            // the part frames are counted in, -1 none
  bool shownAny_ = false;    // a frame was shown on some screen
  bool changing_ = false;    // a screen opened after one that showed frames; its first is awaited
  double lastShownMs_ = 0;   // wall time of the last frame shown
  double changeFromMs_ = 0;  // the last frame shown before the latest screen opened
  double screenChangeMs_ = -1;
  std::vector<LongFrame> longest_;
};

// True when CHROMELLY_STATS is set to 1 (read every time, so tests can change it).
bool FrameStatsWanted();
// The services' hooks; each does nothing unless the statistics are wanted.
void FrameStatsScreenOpened(int hertz);
void FrameStatsWorkDone();
void FrameStatsShown();
void FrameStatsPart(const char* name);
// Prints the summary on standard error when the statistics are wanted.
void ReportFrameStats();
// The statistics kept by the hooks.
const FrameStats& CurrentFrameStats();
// Starts the statistics afresh, timed by the clock given (null: the system's clocks).
void RestartFrameStats(FrameClock clock);
