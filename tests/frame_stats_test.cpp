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
  Frame(300, 300);  // the first frame on the screen only starts the count (and the pacing after its stall)
  const int64_t firstShown = backend.NowMs();
  Frame(5, 4);    // paced: shown 16 or 17 ms after the one before
  Frame(10, 9);   // the same
  Frame(40, 11);  // shown at once, 40 ms after the one before: over 25 ms, a refresh missed
  Frame(16, 16);  // its slot was due already: shown at once, 16 ms after
  const FrameFigures& stats = CurrentFrameStats().All();
  EXPECT_EQ(stats.Frames(), 4);
  EXPECT_DOUBLE_EQ(stats.MeanMs(), (5 + 10 + 40 + 16) / 4.0);
  EXPECT_DOUBLE_EQ(stats.WorstMs(), 40.0);
  EXPECT_EQ(stats.Late(), 1);
  EXPECT_DOUBLE_EQ(stats.LateShare(), 0.25);
  EXPECT_DOUBLE_EQ(stats.CpuMsPerFrame(), (4 + 9 + 11 + 16) / 4.0);
  const int64_t shownMs = backend.NowMs() - firstShown;
  EXPECT_GE(shownMs, 16 + 16 + 40 + 16);
  EXPECT_LE(shownMs, 17 + 17 + 40 + 16);
  EXPECT_DOUBLE_EQ(stats.FramesPerSecond(), 4000.0 / double(shownMs));
  EXPECT_DOUBLE_EQ(stats.WorstShownMs(), 40.0);
  EXPECT_DOUBLE_EQ(stats.ShownPercentileMs(0.99), 40.0);
  EXPECT_LE(stats.ShownPercentileMs(0.5), 17.0);
  EXPECT_DOUBLE_EQ(CurrentFrameStats().LateMs(), 25.0);
}

TEST_F(FrameStatsTest, WaitingForTheSlotIsNotLateness) {
  // Paced frames whose work is anything up to the slot are shown on time: none late, 60 a second.
  Frame(1, 1);
  for (int i = 0; i < 120; ++i) Frame(i % 17, 1);
  const FrameFigures& stats = CurrentFrameStats().All();
  EXPECT_EQ(stats.Frames(), 120);
  EXPECT_EQ(stats.Late(), 0);
  EXPECT_DOUBLE_EQ(stats.FramesPerSecond(), 60.0);
  EXPECT_DOUBLE_EQ(stats.WorstShownMs(), 17.0);
}

TEST(FrameFigures, ShownPercentileToTheQuarterMillisecond) {
  FrameFigures none;
  EXPECT_DOUBLE_EQ(none.ShownPercentileMs(0.99), 0.0);
  // One slow frame in a hundred is the one the 99th percentile leaves out.
  FrameFigures one;
  for (int i = 0; i < 99; ++i) one.Add(1, 1, 16.0, false);
  one.Add(1, 1, 100.0, true);
  EXPECT_DOUBLE_EQ(one.ShownPercentileMs(0.99), 16.0);
  EXPECT_DOUBLE_EQ(one.ShownPercentileMs(1.0), 100.0);
  EXPECT_DOUBLE_EQ(one.WorstShownMs(), 100.0);
  // Two are not: the percentile is the slow frames' quarter millisecond, never above the worst.
  FrameFigures two;
  for (int i = 0; i < 98; ++i) two.Add(1, 1, 16.667, false);
  two.Add(1, 1, 40.1, true);
  two.Add(1, 1, 40.05, true);
  EXPECT_DOUBLE_EQ(two.ShownPercentileMs(0.99), 40.1);
  EXPECT_DOUBLE_EQ(two.ShownPercentileMs(0.5), 16.75);
  // Beyond the histogram's half second the worst is the answer.
  FrameFigures stall;
  stall.Add(1, 1, 16.0, false);
  stall.Add(1, 1, 900.0, true);
  stall.Add(1, 1, 700.0, true);
  EXPECT_DOUBLE_EQ(stall.ShownPercentileMs(0.99), 900.0);
  EXPECT_DOUBLE_EQ(stall.ShownPercentileMs(0.33), 16.0);
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
  Frame(60, 5);  // 60 ms after the one before: over 50 ms, late at 30 a second
  EXPECT_DOUBLE_EQ(screens.ScreenChangeMs(), 900.0) << "only a screen's first frame ends the wait";
  EXPECT_NE(screens.Summary().find("; first frame 900.0 ms after the screen before's last"), std::string::npos)
      << screens.Summary();
  const FrameFigures& stats = screens.All();
  EXPECT_EQ(stats.Frames(), 3);
  EXPECT_DOUBLE_EQ(stats.WorstMs(), 60.0);
  EXPECT_EQ(stats.Late(), 1);
  EXPECT_NEAR(CurrentFrameStats().SlotMs(), 1000.0 / 30.0, 1e-9);
  EXPECT_NEAR(CurrentFrameStats().LateMs(), 50.0, 1e-9);
  EXPECT_DOUBLE_EQ(stats.CpuMsPerFrame(), 11.0 / 3.0);
}

TEST_F(FrameStatsTest, EachNamedPartHasItsOwnFiguresInTheOrderFirstNamed) {
  Frame(7, 7);  // starts the count
  Frame(4, 4);  // before any name: in the whole run's figures only
  NameFramePart("stage 0");
  Frame(2, 1);
  Frame(6, 2);
  NameFramePart("stage 1");
  Frame(30, 25);             // shown 30 ms after the one before: late
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
  // The one late frame is named by its part and its number there.
  ASSERT_EQ(stats.Longest().size(), 1u);
  EXPECT_EQ(stats.Longest()[0].Part, 1);
  EXPECT_EQ(stats.Longest()[0].Number, 1);
  // The summary: the whole run, then a line a part in the same form, then the late frames.
  const std::string summary = stats.Summary();
  EXPECT_EQ(std::count(summary.begin(), summary.end(), '\n'), 4) << summary;
  EXPECT_NE(summary.find("\nchromelly: stage 0: 3 frames; frame time mean 6.000 ms, worst 10.000 ms; shown 17.00 ms "
                         "apart or less at the 99th percentile, 17.000 ms at worst; 0.00% late (0 shown over "
                         "25.000 ms after the one before)"),
            std::string::npos)
      << summary;
  EXPECT_NE(summary.find("\nchromelly: stage 1: 1 frames; frame time mean 30.000 ms, worst 30.000 ms; shown 30.00 ms "
                         "apart or less at the 99th percentile, 30.000 ms at worst; 100.00% late"),
            std::string::npos)
      << summary;
  EXPECT_NE(summary.find("\nchromelly: closing scene: 1 frames;"), std::string::npos) << summary;
  EXPECT_NE(summary.find("\nchromelly: longest late frames: stage 1 frame 1 30.0 ms (work 30.0 ms, CPU 25.0 ms)"),
            std::string::npos)
      << summary;
}

TEST_F(FrameStatsTest, TheLongestLateFramesAreKeptLongestFirst) {
  Frame(1, 1);  // starts the count
  NameFramePart("stage 4");
  // Twelve late frames of 26 to 37 ms in a shuffled order, with paced ones between.
  const int lengths[] = {30, 26, 37, 28, 33, 27, 35, 29, 31, 36, 32, 34};
  for (int ms : lengths) {
    Frame(ms, 1);
    Frame(2, 1);
  }
  const std::vector<FrameStats::LongFrame>& longest = CurrentFrameStats().Longest();
  ASSERT_EQ(longest.size(), FrameStats::kLongestKept);
  for (size_t i = 0; i < longest.size(); ++i) {
    EXPECT_DOUBLE_EQ(longest[i].ShownMs, 37.0 - double(i)) << i;
    EXPECT_EQ(longest[i].Part, 0);
  }
  // 37 ms was the third late frame, the 5th of the part; 30 ms, the first, the 1st.
  EXPECT_EQ(longest[0].Number, 5);
  EXPECT_EQ(longest[7].Number, 1);
}

TEST_F(FrameStatsTest, PrintedOnExitOnlyWithTheVariable) {
  Frame(1, 1);
  Frame(30, 3);
  SetExitHandler(ThrowWhenTheProgramEnds);
  testing::internal::CaptureStderr();
  EXPECT_THROW(ExitProgram(), ProgramEnded);
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(printed, CurrentFrameStats().Summary() + "\n");
  EXPECT_NE(printed.find("chromelly: 1 frames; frame time mean 30.000 ms, worst 30.000 ms; shown 30.00 ms apart or "
                         "less at the 99th percentile, 30.000 ms at worst; 100.00% late (1 shown over 25.000 ms"),
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
