// Frame statistics over the services' pacing on the headless backend, timed by
// the virtual clock: the figures, the screen openings that restart the count,
// and silence without CHROMELLY_STATS.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "headless_fixture.h"
#include "platform/backend.h"
#include "platform/frame_stats.h"

namespace {

HeadlessBackend* Timed = nullptr;
double FakeCpuMs = 0;

FrameClockReading VirtualClock() { return {double(Timed->NowMs()), FakeCpuMs}; }

struct Ended {};
[[noreturn]] void ThrowEnded() { throw Ended{}; }

class FrameStatsTest : public HeadlessScreen {
 protected:
  void SetUp() override {
    HeadlessScreen::SetUp();
    Timed = &backend;
    FakeCpuMs = 0;
    setenv("CHROMELLY_STATS", "1", 1);
    RestartFrameStats(VirtualClock);
  }
  void TearDown() override {
    unsetenv("CHROMELLY_STATS");
    RestartFrameStats(nullptr);
    SetExitHandler(nullptr);
    Timed = nullptr;
    HeadlessScreen::TearDown();
  }
  // One frame whose work takes workMs of wall time and cpuMs of CPU time.
  void Frame(int workMs, double cpuMs) {
    backend.AdvanceMs(workMs);
    FakeCpuMs += cpuMs;
    PresentFrame();
  }
};

TEST_F(FrameStatsTest, FiguresOverPacedFramesWithOneLate) {
  Frame(300, 300);  // the first frame on the screen only starts the count
  const int64_t firstShown = backend.NowMs();
  Frame(5, 4);
  Frame(10, 9);
  Frame(20, 11);  // over the 16.667 ms slot: late, and shown without a wait
  Frame(16, 16);  // 16 ms fits the slot
  const FrameStats& stats = CurrentFrameStats();
  EXPECT_EQ(stats.Frames(), 4);
  EXPECT_DOUBLE_EQ(stats.MeanMs(), (5 + 10 + 20 + 16) / 4.0);
  EXPECT_DOUBLE_EQ(stats.WorstMs(), 20.0);
  EXPECT_EQ(stats.Late(), 1);
  EXPECT_DOUBLE_EQ(stats.LateShare(), 0.25);
  EXPECT_DOUBLE_EQ(stats.CpuMsPerFrame(), (4 + 9 + 11 + 16) / 4.0);
  // The paced frames take 16 or 17 ms; the late one takes its own 20 ms.
  const double shownMs = double(backend.NowMs() - firstShown);
  EXPECT_GE(shownMs, 16 + 16 + 20 + 16);
  EXPECT_LE(shownMs, 17 + 17 + 20 + 17);
  EXPECT_DOUBLE_EQ(stats.FramesPerSecond(), 4000.0 / shownMs);
}

TEST_F(FrameStatsTest, EachScreenRestartsTheCountWithItsOwnSlot) {
  Frame(1, 1);
  Frame(2, 1);
  const FrameStats& stats = CurrentFrameStats();
  EXPECT_LT(stats.ScreenChangeMs(), 0) << "one screen so far";
  OpenScreen(560, 370, 0, 30);
  Frame(900, 900);  // loading on the new screen is not a frame, but it is the wait between screens
  EXPECT_DOUBLE_EQ(stats.ScreenChangeMs(), 900.0);
  Frame(20, 5);  // fits the 33.3 ms slot of 30 frames a second
  Frame(40, 5);
  EXPECT_DOUBLE_EQ(stats.ScreenChangeMs(), 900.0) << "only a screen's first frame ends the wait";
  EXPECT_NE(stats.Summary().find("; first frame 900.0 ms after the screen before's last"), std::string::npos)
      << stats.Summary();
  EXPECT_EQ(stats.Frames(), 3);
  EXPECT_DOUBLE_EQ(stats.WorstMs(), 40.0);
  EXPECT_EQ(stats.Late(), 1);
  EXPECT_NEAR(stats.SlotMs(), 1000.0 / 30.0, 1e-9);
  EXPECT_DOUBLE_EQ(stats.CpuMsPerFrame(), 11.0 / 3.0);
}

TEST_F(FrameStatsTest, PrintedOnExitOnlyWithTheVariable) {
  Frame(1, 1);
  Frame(20, 3);
  SetExitHandler(ThrowEnded);
  testing::internal::CaptureStderr();
  EXPECT_THROW(ExitProgram(), Ended);
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(printed, CurrentFrameStats().Summary() + "\n");
  EXPECT_NE(printed.find("chromelly: 1 frames; frame time mean 20.000 ms, worst 20.000 ms; 100.00% late"),
            std::string::npos)
      << printed;

  // Without the variable frames are not timed and the exit prints nothing.
  for (const char* value : {static_cast<const char*>(nullptr), "0", ""}) {
    if (value)
      setenv("CHROMELLY_STATS", value, 1);
    else
      unsetenv("CHROMELLY_STATS");
    RestartFrameStats(VirtualClock);
    OpenScreen(1024, 768, 16, 60);
    for (int i = 0; i < 5; ++i) Frame(30, 30);
    EXPECT_EQ(CurrentFrameStats().Frames(), 0);
    testing::internal::CaptureStderr();
    EXPECT_THROW(ExitProgram(), Ended);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  }
}

}  // namespace
