/** @file frame_stats_test.cpp Tests of FrameStats on the headless virtual clock: figures, parts, silence. */
// Frame statistics over the services' pacing on the headless backend, timed by
// the virtual clock: the figures, the screen openings that restart the count,
// the figures per named part of the game, and silence without CHROMELLY_STATS.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/backend.h"
#include "platform/frame_stats.h"
#include "tests/headless_fixture.h"

namespace {

HeadlessBackend* Timed = nullptr;
double FakeCpuMs = 0;

FrameClockReading VirtualClock() { return {double(Timed->NowMs()), FakeCpuMs}; }

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
  const FrameFigures& stats = CurrentFrameStats().All();
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
  const FrameStats& screens = CurrentFrameStats();
  EXPECT_LT(screens.ScreenChangeMs(), 0) << "one screen so far";
  OpenScreen(560, 370, 0, 30);
  Frame(900, 900);  // loading on the new screen is not a frame, but it is the wait between screens
  EXPECT_DOUBLE_EQ(screens.ScreenChangeMs(), 900.0);
  Frame(20, 5);  // fits the 33.3 ms slot of 30 frames a second
  Frame(40, 5);
  EXPECT_DOUBLE_EQ(screens.ScreenChangeMs(), 900.0) << "only a screen's first frame ends the wait";
  EXPECT_NE(screens.Summary().find("; first frame 900.0 ms after the screen before's last"), std::string::npos)
      << screens.Summary();
  const FrameFigures& stats = screens.All();
  EXPECT_EQ(stats.Frames(), 3);
  EXPECT_DOUBLE_EQ(stats.WorstMs(), 40.0);
  EXPECT_EQ(stats.Late(), 1);
  EXPECT_NEAR(CurrentFrameStats().SlotMs(), 1000.0 / 30.0, 1e-9);
  EXPECT_DOUBLE_EQ(stats.CpuMsPerFrame(), 11.0 / 3.0);
}

TEST_F(FrameStatsTest, EachNamedPartHasItsOwnFiguresInTheOrderFirstNamed) {
  Frame(7, 7);  // starts the count
  Frame(4, 4);  // before any name: in the whole run's figures only
  NameFramePart("stage 0");
  Frame(2, 1);
  Frame(6, 2);
  NameFramePart("stage 1");
  Frame(30, 25);             // late
  NameFramePart("stage 0");  // a part named again goes on counting where it was
  Frame(10, 3);
  NameFramePart("closing scene");
  NameFramePart("closing scene");
  Frame(1, 1);
  const FrameStats& stats = CurrentFrameStats();
  EXPECT_EQ(stats.All().Frames(), 6);
  EXPECT_DOUBLE_EQ(stats.All().WorstMs(), 30.0);
  ASSERT_EQ(stats.Parts().size(), 3u);
  const FrameFigures& stage0 = stats.Parts()[0].Figures;
  EXPECT_EQ(stats.Parts()[0].Name, "stage 0");
  EXPECT_EQ(stage0.Frames(), 3);
  EXPECT_DOUBLE_EQ(stage0.MeanMs(), 6.0);
  EXPECT_DOUBLE_EQ(stage0.WorstMs(), 10.0);
  EXPECT_EQ(stage0.Late(), 0);
  EXPECT_DOUBLE_EQ(stage0.CpuMsPerFrame(), 2.0);
  const FrameFigures& stage1 = stats.Parts()[1].Figures;
  EXPECT_EQ(stats.Parts()[1].Name, "stage 1");
  EXPECT_EQ(stage1.Frames(), 1);
  EXPECT_EQ(stage1.Late(), 1);
  // Its one frame was late, so shown without a wait: 30 ms, 33.3 frames a second.
  EXPECT_DOUBLE_EQ(stage1.FramesPerSecond(), 1000.0 / 30.0);
  EXPECT_EQ(stats.Parts()[2].Name, "closing scene");
  EXPECT_EQ(stats.Parts()[2].Figures.Frames(), 1);
  // The summary: the whole run, then a line a part in the same form.
  const std::string summary = stats.Summary();
  EXPECT_EQ(std::count(summary.begin(), summary.end(), '\n'), 3) << summary;
  EXPECT_NE(summary.find("\nchromelly: stage 0: 3 frames; frame time mean 6.000 ms, worst 10.000 ms; 0.00% late"),
            std::string::npos)
      << summary;
  EXPECT_NE(summary.find("\nchromelly: stage 1: 1 frames; frame time mean 30.000 ms, worst 30.000 ms; 100.00% late"),
            std::string::npos)
      << summary;
  EXPECT_NE(summary.find("\nchromelly: closing scene: 1 frames;"), std::string::npos) << summary;
}

TEST_F(FrameStatsTest, PrintedOnExitOnlyWithTheVariable) {
  Frame(1, 1);
  Frame(20, 3);
  SetExitHandler(ThrowWhenTheProgramEnds);
  testing::internal::CaptureStderr();
  EXPECT_THROW(ExitProgram(), ProgramEnded);
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
    NameFramePart("stage 1");
    Frame(30, 30);
    EXPECT_EQ(CurrentFrameStats().All().Frames(), 0);
    EXPECT_TRUE(CurrentFrameStats().Parts().empty());
    testing::internal::CaptureStderr();
    EXPECT_THROW(ExitProgram(), ProgramEnded);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  }
}

}  // namespace
