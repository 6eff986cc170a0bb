/** @file frame_fit.cpp FrameFit: where the game's frame sits in the window, and window pixels back to frame pixels. */
#include "platform/backends/x11/frame_fit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

// Fits a frame into a window, centring it with black bars where the aspects differ.
FrameFit FrameFit::Make(int frameW, int frameH, int windowW, int windowH) {
  FrameFit fit;
  fit.FrameW = std::max(frameW, 1);
  fit.FrameH = std::max(frameH, 1);
  fit.WindowW = std::max(windowW, 1);
  fit.WindowH = std::max(windowH, 1);
  // Integer cross-multiplication picks the limiting side without rounding doubt.
  if (int64_t(fit.WindowW) * fit.FrameH <= int64_t(fit.WindowH) * fit.FrameW) {
    fit.ShownW = fit.WindowW;
    fit.ShownH = int(int64_t(fit.WindowW) * fit.FrameH / fit.FrameW);
  } else {
    fit.ShownH = fit.WindowH;
    fit.ShownW = int(int64_t(fit.WindowH) * fit.FrameW / fit.FrameH);
  }
  fit.ShownW = std::max(fit.ShownW, 1);
  fit.ShownH = std::max(fit.ShownH, 1);
  fit.OffsetX = (fit.WindowW - fit.ShownW) / 2;
  fit.OffsetY = (fit.WindowH - fit.ShownH) / 2;
  return fit;
}

// True when the frame does not fill the window one to one.
bool FrameFit::Letterboxed() const {
  return ShownW != WindowW || ShownH != WindowH || ShownW != FrameW || ShownH != FrameH;
}

// True when both place the same frame the same way in the same window.
bool FrameFit::SameAs(const FrameFit& other) const {
  return FrameW == other.FrameW && FrameH == other.FrameH && WindowW == other.WindowW && WindowH == other.WindowH &&
         OffsetX == other.OffsetX && OffsetY == other.OffsetY && ShownW == other.ShownW && ShownH == other.ShownH;
}

// Frame pixel under a window pixel, clamped to the frame.
void FrameFit::ToFrame(int wx, int wy, int& fx, int& fy) const {
  const double x = std::floor(double(wx - OffsetX) * FrameW / ShownW);
  const double y = std::floor(double(wy - OffsetY) * FrameH / ShownH);
  fx = int(std::clamp(x, 0.0, double(FrameW - 1)));
  fy = int(std::clamp(y, 0.0, double(FrameH - 1)));
}

// A window pixel whose frame pixel is (fx, fy) whenever the frame is not shrunk.
void FrameFit::ToWindow(int fx, int fy, int& wx, int& wy) const {
  // Rounding up lands inside the enlarged frame pixel, so ToFrame gives (fx, fy) back.
  const int cx = std::clamp(fx, 0, FrameW - 1);
  const int cy = std::clamp(fy, 0, FrameH - 1);
  wx = OffsetX + int(std::ceil(double(cx) * ShownW / FrameW));
  wy = OffsetY + int(std::ceil(double(cy) * ShownH / FrameH));
  wx = std::min(wx, OffsetX + ShownW - 1);
  wy = std::min(wy, OffsetY + ShownH - 1);
}
