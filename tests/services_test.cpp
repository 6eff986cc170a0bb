/** @file services_test.cpp Tests of the headless services: pacing, input, timers, drawing state, transform. */
// The services over the headless backend: pacing, input counting, timers,
// the drawing state and the transform handed to the backend.
#include <gtest/gtest.h>

#include <vector>

#include "platform/transform.h"
#include "tests/headless_fixture.h"

namespace {

using Services = HeadlessScreen;

TEST_F(Services, SixtyOnTimeFramesTakeExactlyOneSecond) {
  std::vector<int64_t> gaps;
  int64_t last = backend.NowMs();
  for (int i = 0; i < 60; ++i) {
    PresentFrame();
    gaps.push_back(backend.NowMs() - last);
    last = backend.NowMs();
  }
  int seventeen = 0, sixteen = 0;
  for (int64_t gap : gaps) {
    seventeen += gap == 17;
    sixteen += gap == 16;
  }
  EXPECT_EQ(seventeen, 40);
  EXPECT_EQ(sixteen, 20);
  EXPECT_EQ(backend.NowMs(), 1000);
}

TEST_F(Services, ALateFrameIsFollowedByAFullPeriod) {
  PresentFrame();         // deadline 16
  backend.AdvanceMs(50);  // the next frame's work overruns its deadline
  int64_t before = backend.NowMs();
  PresentFrame();  // late: no sleep, deadline restarts from now
  EXPECT_EQ(backend.NowMs(), before);
  PresentFrame();
  int64_t gap = backend.NowMs() - before;
  EXPECT_GE(gap, 16);
  EXPECT_LE(gap, 17);
}

TEST_F(Services, FramesALittleLateAreMadeUpSoSixtyStillTakeOneSecond) {
  // Frame k is shown at k periods, even after frames whose work overran their slot by less than two.
  std::vector<int64_t> shown;
  for (int i = 0; i < 60; ++i) {
    if (i == 10) backend.AdvanceMs(30);  // 13 or 14 ms past its deadline: shown at once
    if (i == 30) backend.AdvanceMs(20);
    if (i == 31) backend.AdvanceMs(10);  // two in a row, the second after a shortened wait
    PresentFrame();
    shown.push_back(backend.NowMs());
  }
  EXPECT_EQ(shown[9], 1000 * 10 / 60);
  EXPECT_EQ(shown[10], shown[9] + 30);  // no wait
  EXPECT_EQ(shown[11], 1000 * 12 / 60);
  EXPECT_EQ(shown[30], shown[29] + 20);
  EXPECT_EQ(shown[32], 1000 * 33 / 60);
  EXPECT_EQ(backend.NowMs(), 1000);
  // More than two periods behind (34 ms past the next deadline) is a stall: the count starts again from there.
  backend.AdvanceMs(50);
  const int64_t stalled = backend.NowMs();
  PresentFrame();
  EXPECT_EQ(backend.NowMs(), stalled);
  PresentFrame();
  EXPECT_GE(backend.NowMs() - stalled, 16);
  EXPECT_LE(backend.NowMs() - stalled, 17);
}

TEST_F(Services, KeyHeldDownCountsOnce) {
  backend.PressKey(KeyEscape);
  EXPECT_EQ(KeyHits(KeyEscape), 1);
  for (int i = 0; i < 5; ++i) {
    backend.PressKey(KeyEscape);  // auto-repeat while held
    PresentFrame();
    EXPECT_EQ(KeyHits(KeyEscape), 0);
    EXPECT_EQ(KeyHeld(KeyEscape), 1);
  }
  backend.ReleaseKey(KeyEscape);
  backend.PressKey(KeyEscape);
  EXPECT_EQ(KeyHits(KeyEscape), 1);
}

TEST_F(Services, TwoButtonPressesBetweenQueriesCountTwo) {
  backend.PressButton(ButtonLeft);
  backend.ReleaseButton(ButtonLeft);
  backend.PressButton(ButtonLeft);
  EXPECT_EQ(ButtonHits(ButtonLeft), 2);
  EXPECT_EQ(ButtonHits(ButtonLeft), 0);
  EXPECT_EQ(ButtonHeld(ButtonLeft), 1);
}

// A press released before the game looks reads as down for the rest of that frame, also once its hit
// has been taken, and not in the next; a held press reads as down as long as it is held.
TEST_F(Services, ATapReadsAsDownUntilTheFrameIsShown) {
  PresentFrame();
  backend.PressButton(ButtonRight);
  backend.ReleaseButton(ButtonRight);
  EXPECT_EQ(ButtonHeld(ButtonRight), 0);
  EXPECT_EQ(ButtonHits(ButtonRight), 1);
  EXPECT_EQ(ButtonDownThisFrame(ButtonRight), 1);
  EXPECT_EQ(ButtonDownThisFrame(ButtonLeft), 0);
  PresentFrame();
  EXPECT_EQ(ButtonDownThisFrame(ButtonRight), 0);
  // A tap that arrives while the frame is shown belongs to the next frame.
  backend.PressButton(ButtonLeft);
  backend.ReleaseButton(ButtonLeft);
  PresentFrame();
  EXPECT_EQ(ButtonDownThisFrame(ButtonLeft), 1);
  PresentFrame();
  backend.PressButton(ButtonLeft);
  PresentFrame();
  PresentFrame();
  EXPECT_EQ(ButtonDownThisFrame(ButtonLeft), 1);
  backend.ReleaseButton(ButtonLeft);
  EXPECT_EQ(ButtonDownThisFrame(ButtonLeft), 0);
  // Suspended and resumed with presses not yet taken: a press after that is still seen.
  backend.PressButton(ButtonLeft);
  backend.ReleaseButton(ButtonLeft);
  PresentFrame();
  PresentFrame();
  backend.PressButton(ButtonLeft);
  backend.ReleaseButton(ButtonLeft);
  backend.PressButton(ButtonLeft);
  backend.ReleaseButton(ButtonLeft);
  EXPECT_EQ(ButtonHeld(ButtonLeft), 0);  // two presses not yet taken
  PresentFrame();
  backend.Suspend();
  backend.PressButton(ButtonLeft);
  backend.ReleaseButton(ButtonLeft);
  PresentFrame();
  EXPECT_EQ(ButtonDownThisFrame(ButtonLeft), 1);
}

TEST_F(Services, FocusLossAndReopeningForgetHeldInput) {
  backend.PressKey(KeyF1);
  backend.PressButton(ButtonRight);
  EXPECT_EQ(KeyHeld(KeyF1), 1);
  backend.Suspend();
  EXPECT_EQ(KeyHeld(KeyF1), 0);
  EXPECT_EQ(ButtonHeld(ButtonRight), 0);
  EXPECT_EQ(ButtonHits(ButtonRight), 0);
  backend.PressKey(KeyReturn);
  KeyHeld(KeyReturn);
  OpenScreen(560, 370, 0, 60);
  EXPECT_EQ(KeyHits(KeyReturn), 0);
}

TEST_F(Services, WarpIsReportedUntilThePointerMoves) {
  EXPECT_EQ(PointerX(), 512);  // the full-screen open centres the pointer
  EXPECT_EQ(PointerY(), 384);
  backend.MovePointer(600, 400);
  EXPECT_EQ(PointerX(), 600);
  WarpPointer(512, 384);
  EXPECT_EQ(PointerX(), 512);
  EXPECT_EQ(PointerY(), 384);
}

TEST_F(Services, TimersCountElapsedPeriodsWhenEventsAreProcessed) {
  TimerRef tenHertz = StartTimer(10);
  TimerRef thousand = StartTimer(1000);
  EXPECT_EQ(tenHertz->PeriodMs, 100);
  EXPECT_EQ(thousand->PeriodMs, 1);
  backend.AdvanceMs(250);
  EXPECT_EQ(TimerTickCount(tenHertz), 0);  // not yet seen: no events processed
  KeyHeld(KeyReturn);
  EXPECT_EQ(TimerTickCount(tenHertz), 2);
  EXPECT_EQ(TimerTickCount(thousand), 250);
  for (int i = 0; i < 60; ++i) PresentFrame();
  EXPECT_EQ(TimerTickCount(tenHertz), 12);  // an absolute schedule: no drift
  TimerRef three = StartTimer(3);           // 333 ms, truncated
  EXPECT_EQ(three->PeriodMs, 333);
}

TEST_F(Services, AlphaIsClampedAndTruncatedToAByte) {
  SetDrawAlpha(0.7f);
  FillRect(0, 0, 1, 1);
  SetDrawAlpha(2.0f);
  FillRect(0, 0, 1, 1);
  SetDrawAlpha(-1.0f);
  FillRect(0, 0, 1, 1);
  ASSERT_EQ(backend.Drawn().size(), 3u);
  EXPECT_EQ(backend.Drawn()[0].Alpha, 178);  // 0.7 x 255 = 178.5
  EXPECT_EQ(backend.Drawn()[1].Alpha, 255);
  EXPECT_EQ(backend.Drawn()[2].Alpha, 0);
}

TEST_F(Services, NegativeScaleMirrorsAnImageAboutItsHandle) {
  auto image = std::make_shared<Image>();
  image->Width = 60;
  image->Height = 20;
  image->Pixels.assign(60 * 20 * 4, 255);
  SetDrawScale(-2, 2);
  DrawImageFrame(image, 100, 50, 0);
  const Quad& q = backend.Drawn().back().Corners;
  EXPECT_DOUBLE_EQ(q.P[0].X, 100);  // the handle stays on the drawing position
  EXPECT_DOUBLE_EQ(q.P[1].X, -20);  // and the picture extends to the left
  EXPECT_DOUBLE_EQ(q.P[2].Y, 90);
}

TEST_F(Services, RotationTurnsClockwiseOnScreen) {
  SetDrawRotation(90);
  FillRect(10, 10, 4, 2);
  const Quad& q = backend.Drawn().back().Corners;
  EXPECT_NEAR(q.P[1].X, 10, 1e-9);  // the local x axis now points down
  EXPECT_NEAR(q.P[1].Y, 14, 1e-9);
  EXPECT_NEAR(q.P[3].X, 8, 1e-9);  // and the local y axis left
}

TEST_F(Services, OpeningResetsTheDrawingStateAndClearsToBlack) {
  SetDrawColor(1, 2, 3);
  SetBlendMode(BlendAlpha);
  SetClearColor(255, 255, 255);
  OpenScreen(560, 370, 0, 60);
  EXPECT_EQ(backend.ClearedR(), 0);
  FillRect(0, 0, 1, 1);
  EXPECT_EQ(backend.Drawn().back().R, 255);
  EXPECT_EQ(backend.Drawn().back().Blend, BlendAlphaTest);
  ClearScreen();
  EXPECT_EQ(backend.ClearedG(), 0);
  EXPECT_FALSE(backend.IsFullScreen());
}

TEST_F(Services, OneResetForgetsTheDrawingStateTheInputAndTheEventTime) {
  TimerRef timer = StartTimer(10);
  SetDrawColor(1, 2, 3);
  SetDrawAlpha(0.5f);
  SetBlendMode(BlendAlpha);
  SetDrawRotation(30);
  SetDrawScale(-2, 3);
  SetClearColor(9, 9, 9);
  backend.PressKey(KeyF1);
  backend.PressButton(ButtonLeft);
  backend.MovePointer(300, 200);
  backend.AdvanceMs(1000);
  ASSERT_EQ(KeyHeld(KeyF1), 1);
  ASSERT_EQ(TimerTickCount(timer), 10);
  ResetServices();
  EXPECT_FALSE(backend.IsOpen());
  EXPECT_EQ(TimerTickCount(timer), 0);  // no events processed since the reset
  EXPECT_EQ(KeyHeld(KeyF1), 0);
  EXPECT_EQ(ButtonHits(ButtonLeft), 0);
  EXPECT_EQ(PointerX(), 0);
  FillRect(10, 20, 4, 2);
  const DrawCall& call = backend.Drawn().back();
  EXPECT_EQ(call.R, 255);
  EXPECT_EQ(call.B, 255);
  EXPECT_EQ(call.Alpha, 255);
  EXPECT_EQ(call.Blend, BlendAlphaTest);
  EXPECT_EQ(call.Rotation, 0.0f);
  EXPECT_EQ(call.ScaleX, 1.0f);
  EXPECT_EQ(call.ScaleY, 1.0f);
  EXPECT_DOUBLE_EQ(call.Corners.P[2].X, 14);
  EXPECT_DOUBLE_EQ(call.Corners.P[2].Y, 22);
  EXPECT_TRUE(CurrentTransform(5, 6).IsAxisAligned());  // the hit layers see the reset too
  ClearScreen();
  EXPECT_EQ(backend.ClearedR(), 0);
}

TEST_F(Services, TextIsMeasuredInTheCurrentFont) {
  // After opening, the built-in fallback font: 16-pixel lines, 9-pixel advances.
  EXPECT_EQ(TextPixelHeight(), 16);
  EXPECT_EQ(TextPixelWidth("ab"), 18);
  FontRef font = EmbeddedVera(20);
  ASSERT_TRUE(font);
  SetTextFont(font);
  EXPECT_EQ(TextPixelHeight(""), 23);  // the font's line height, whatever the text
  EXPECT_EQ(TextPixelHeight("Hg"), 23);
  EXPECT_EQ(TextPixelWidth("Hg"), font->Glyphs['H'].Advance + font->Glyphs['g'].Advance);
  EXPECT_NE(TextPixelWidth("Hg"), 18);
  SetTextFont(nullptr);
  EXPECT_EQ(TextPixelHeight("Hg"), 16);
}

}  // namespace
