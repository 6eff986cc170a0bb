/** @file frame_fit.h FrameFit: the game's frame scaled to fit a full screen, and window pixels mapped back to it. */
// The game draws a frame of its own size; a full screen of another size shows
// it scaled to fit, and window pixels map back to frame pixels for the pointer.
#pragma once

// Where the game's frame sits in the window: scaled to fit, aspect kept, centred.
struct FrameFit {
  int FrameW = 0, FrameH = 0;    // the frame the game draws, in its own pixels
  int WindowW = 0, WindowH = 0;  // the window that shows it
  int OffsetX = 0, OffsetY = 0;  // top-left of the shown frame in the window
  int ShownW = 0, ShownH = 0;    // size of the shown frame in window pixels

  // Fits a frame into a window, centring it with black bars where the aspects differ.
  static FrameFit Make(int frameW, int frameH, int windowW, int windowH);
  // True when the frame does not fill the window one to one.
  bool Letterboxed() const;
  // True when both place the same frame the same way in the same window.
  bool SameAs(const FrameFit& other) const;
  // Frame pixel under a window pixel, clamped to the frame.
  void ToFrame(int wx, int wy, int& fx, int& fy) const;
  // A window pixel whose frame pixel is (fx, fy) whenever the frame is not shrunk.
  void ToWindow(int fx, int fy, int& wx, int& wy) const;
};
