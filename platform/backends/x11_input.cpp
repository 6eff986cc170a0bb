// Key, button and pointer translation for the X11 backend.
#include "platform/backends/x11_input.h"

#include "platform/backends/x11_xlib.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

// Virtual-key code for an X key symbol; 0 for keys the game has no code for.
int VirtualKeyFor(unsigned long sym) {
  if (sym >= XK_a && sym <= XK_z) return int(sym - XK_a) + 'A';
  if (sym >= XK_A && sym <= XK_Z) return int(sym - XK_A) + 'A';
  if (sym >= XK_0 && sym <= XK_9) return int(sym - XK_0) + '0';
  if (sym >= XK_F1 && sym <= XK_F24) return int(sym - XK_F1) + 112;
  if (sym >= XK_KP_0 && sym <= XK_KP_9) return int(sym - XK_KP_0) + 96;
  switch (sym) {
    case XK_BackSpace: return 8;
    case XK_Tab: case XK_ISO_Left_Tab: return 9;
    case XK_Return: case XK_KP_Enter: return 13;
    case XK_Shift_L: case XK_Shift_R: return 16;
    case XK_Control_L: case XK_Control_R: return 17;
    case XK_Alt_L: case XK_Alt_R: return 18;
    case XK_Pause: return 19;
    case XK_Caps_Lock: return 20;
    case XK_Escape: return 27;
    case XK_space: return 32;
    case XK_Prior: return 33;
    case XK_Next: return 34;
    case XK_End: return 35;
    case XK_Home: return 36;
    case XK_Left: return 37;
    case XK_Up: return 38;
    case XK_Right: return 39;
    case XK_Down: return 40;
    case XK_Insert: return 45;
    case XK_Delete: return 46;
    case XK_KP_Multiply: return 106;
    case XK_KP_Add: return 107;
    case XK_KP_Subtract: return 109;
    case XK_KP_Decimal: return 110;
    case XK_KP_Divide: return 111;
    default: return 0;
  }
}

// Game button for an X button number (1 left, 3 right, 2 middle); 0 for wheel and extra buttons.
int GameButtonFor(unsigned int xButton) {
  switch (xButton) {
    case Button1: return 1;
    case Button3: return 2;
    case Button2: return 3;
    default: return 0;
  }
}

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
