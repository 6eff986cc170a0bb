/** @file pointer_track_test.cpp Tests of the pointer on a scaled frame: motion with the fraction carried. */
// The pointer on a scaled frame: window motion to frame pixels with the fraction carried,
// as the game uses it (read the displacement from the middle, warp back) at the scales
// players' screens give.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/backends/x11/frame_fit.h"
#include "platform/backends/x11/pointer_track.h"

namespace {

struct Screen {
  int W, H;
  double Scale;  // window pixels per frame pixel
};
const Screen kScreens[] = {{1920, 1080, 1.40625}, {1280, 1024, 1.25}, {800, 600, 0.78125}, {1024, 768, 1.0}};

std::string Name(const Screen& s) { return std::to_string(s.W) + "x" + std::to_string(s.H); }

// The system pointer and the game's cursor as the game moves them: every frame the cursor moves by the
// pointer's displacement from the middle of the frame, and the pointer is warped back to the middle.
struct Hand {
  explicit Hand(const FrameFit& fit) : Fit(fit), Track(fit) { WarpToMiddle(); }
  FrameFit Fit;
  PointerTrack Track;
  int WinX = 0, WinY = 0;  // the system pointer
  int CursorX = 0, CursorY = 0;

  void WarpToMiddle() {
    Fit.ToWindow(512, 384, WinX, WinY);
    Track.Warped(512, 384, WinX, WinY);
  }
  // One frame in which the player moved the pointer by (dx, dy) window pixels.
  void Frame(int dx, int dy) {
    WinX += dx;
    WinY += dy;
    Track.MoveTo(WinX, WinY);
    CursorX += Track.FrameX() - 512;
    CursorY += Track.FrameY() - 384;
    WarpToMiddle();
  }
};

// N moves one way and N back: the way out is the screen's motion divided by the scale, to the pixel,
// the way back as long, and the cursor ends where it began.
TEST(PointerTrack, SmallAndLargeMovesAddUpExactlyAtEveryScale) {
  for (const Screen& s : kScreens) {
    const FrameFit fit = FrameFit::Make(1024, 768, s.W, s.H);
    ASSERT_DOUBLE_EQ(double(fit.ShownW) / 1024, s.Scale) << Name(s);
    struct Run {
      int Count, Dx, Dy;
    };
    for (const Run& run : {Run{200, 1, 0}, Run{200, 0, 1}, Run{200, 1, 1}, Run{50, 37, -23}, Run{3, 300, 200}}) {
      const std::string what = Name(s) + ": " + std::to_string(run.Count) + " moves of (" + std::to_string(run.Dx) +
                               "," + std::to_string(run.Dy) + ")";
      Hand hand(fit);
      for (int i = 0; i < run.Count; ++i) hand.Frame(run.Dx, run.Dy);
      const int outX = hand.CursorX, outY = hand.CursorY;
      EXPECT_EQ(outX, int(std::floor(run.Count * run.Dx / s.Scale))) << what;
      EXPECT_EQ(outY, int(std::floor(run.Count * run.Dy / s.Scale))) << what;
      for (int i = 0; i < run.Count; ++i) hand.Frame(-run.Dx, -run.Dy);
      EXPECT_EQ(hand.CursorX, 0) << what << ", back";
      EXPECT_EQ(hand.CursorY, 0) << what << ", back";
      // The same motion the other way first goes as far, give or take the one pixel of rounding.
      Hand mirror(fit);
      for (int i = 0; i < run.Count; ++i) mirror.Frame(-run.Dx, -run.Dy);
      EXPECT_LE(std::abs(mirror.CursorX + outX), 1) << what << ", mirrored";
      EXPECT_LE(std::abs(mirror.CursorY + outY), 1) << what << ", mirrored";
    }
  }
}

// Shown one to one, every move is the window's motion itself and never leaves a fraction.
TEST(PointerTrack, OneToOneReadsTheWindowPixel) {
  const FrameFit fit = FrameFit::Make(1024, 768, 1024, 768);
  Hand hand(fit);
  const int moves[][2] = {{1, 0}, {-1, 0}, {0, -1}, {5, 7}, {-300, 200}, {299, -206}};
  int x = 512, y = 384;
  for (const auto& m : moves) {
    hand.Frame(m[0], m[1]);
    x += m[0];
    y += m[1];
    EXPECT_EQ(hand.CursorX + 512, x);
    EXPECT_EQ(hand.CursorY + 384, y);
  }
}

// A pointer not yet known reads as the frame pixel under it, as FrameFit::ToFrame says, in the
// letterbox bars too (clamped to the frame's edge); a warp puts the game's pointer on its pixel.
TEST(PointerTrack, FirstPositionAndWarpsAgreeWithTheFit) {
  for (const Screen& s : kScreens) {
    const FrameFit fit = FrameFit::Make(1024, 768, s.W, s.H);
    for (int wx = 0; wx < s.W; wx += 7) {
      const int wy = (wx * 3) % s.H;
      PointerTrack track(fit);
      track.MoveTo(wx, wy);
      int fx = 0, fy = 0;
      fit.ToFrame(wx, wy, fx, fy);
      ASSERT_EQ(track.FrameX(), fx) << Name(s) << " at " << wx << "," << wy;
      ASSERT_EQ(track.FrameY(), fy) << Name(s) << " at " << wx << "," << wy;
    }
    for (int f = 0; f < 1024; f += 13) {
      PointerTrack track(fit);
      track.MoveTo(3, 3);
      int wx = 0, wy = 0;
      fit.ToWindow(f, f * 3 / 4, wx, wy);
      track.Warped(f, f * 3 / 4, wx, wy);
      ASSERT_EQ(track.FrameX(), f) << Name(s);
      ASSERT_EQ(track.FrameY(), f * 3 / 4) << Name(s);
      EXPECT_EQ(track.WindowX(), wx);
      EXPECT_EQ(track.WindowY(), wy);
    }
  }
}

// Left of the frame (in the bar) the pointer reads the frame's edge; coming back it counts from where
// it really is, so one pixel out and one back lands on the pixel it left.
TEST(PointerTrack, InTheBarReadsTheEdgeAndComesBackExactly) {
  const FrameFit fit = FrameFit::Make(1024, 768, 1920, 1080);  // bars 240 wide left and right
  PointerTrack track(fit);
  track.MoveTo(fit.OffsetX, 500);
  EXPECT_EQ(track.FrameX(), 0);
  track.MoveTo(fit.OffsetX - 1, 500);
  EXPECT_EQ(track.FrameX(), 0);
  track.MoveTo(fit.OffsetX - 100, 500);
  EXPECT_EQ(track.FrameX(), 0);
  track.MoveTo(fit.OffsetX + 2, 500);  // 2 / 1.40625 of a frame pixel
  EXPECT_EQ(track.FrameX(), 1);
  track.MoveTo(fit.OffsetX + fit.ShownW + 40, 500);
  EXPECT_EQ(track.FrameX(), 1023);
}

// A warp keeps what the last move left of a frame pixel: two half-pixel frames make one pixel.
TEST(PointerTrack, AWarpKeepsTheFractionOfAPixel) {
  const FrameFit fit = FrameFit::Make(1024, 768, 2048, 1536);  // two window pixels a frame pixel
  PointerTrack track(fit);
  track.Warped(512, 384, 1024, 768);
  track.MoveTo(1025, 768);
  EXPECT_EQ(track.FrameX(), 512);
  track.Warped(512, 384, 1024, 768);
  track.MoveTo(1025, 768);
  EXPECT_EQ(track.FrameX(), 513);
  // An absolute start knows no fraction: the first warp leaves none.
  PointerTrack fresh(fit);
  fresh.Warped(512, 384, 1024, 768);
  fresh.MoveTo(1025, 768);
  EXPECT_EQ(fresh.FrameX(), 512);
}

}  // namespace
