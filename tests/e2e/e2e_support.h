// Helpers for the end-to-end checks of the X11 backend under Xvfb: a second
// connection that looks at the screen the way a user would, where the game's
// 1024 x 768 frame should appear on it, and a tally of named checks.
#pragma once

#include <functional>
#include <string>

#include "platform/backends/x11_xlib.h"

// A named check's outcome is printed at once; the tally decides the exit status.
class Checks {
 public:
  // Records one check and prints "ok" or "FAIL" with what was checked.
  bool Expect(bool passed, const std::string& what);
  // Exit status for the program: 0 when every check passed.
  int Finish() const;

 private:
  int run_ = 0;
  int failed_ = 0;
};

struct Rgb {
  int R = 0, G = 0, B = 0;
};
// "r,g,b" for messages.
std::string Describe(const Rgb& c);
// True when every channel is within tolerance of the wanted colour.
bool Near(const Rgb& got, const Rgb& want, int tolerance = 4);

// Where a frame of frameW x frameH lands on a screen of screenW x screenH:
// as large as fits with its aspect kept, centred.
struct ShownFrame {
  int OffsetX = 0, OffsetY = 0, ShownW = 0, ShownH = 0, FrameW = 0, FrameH = 0;
  static ShownFrame Fit(int frameW, int frameH, int screenW, int screenH);
  // Screen pixel showing the middle of frame pixel (fx, fy).
  int ScreenX(double fx) const;
  int ScreenY(double fy) const;
  // Frame pixel the game should report for the pointer on screen pixel (sx, sy).
  int FrameX(int sx) const;
  int FrameY(int sy) const;
};

// The tester's own connection to the display the game draws on.
class ScreenReader {
 public:
  ScreenReader();
  ~ScreenReader();
  bool Connected() const { return display_ != nullptr; }
  Display* Connection() const { return display_; }
  int Width() const;
  int Height() const;
  // Copies the whole root window, as it is shown now.
  void Snapshot();
  // Colour of a pixel in the last snapshot (root coordinates).
  Rgb At(int x, int y) const;
  // The top-level window titled Chromelly, or 0.
  Window GameWindow() const;

 private:
  Display* display_ = nullptr;
  XImage* image_ = nullptr;
};

// Polls until the condition holds or the time runs out; true when it held.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 3000);
// Runs a shell command (xdotool, import); true when it exited with status 0.
bool Shell(const std::string& command);
// Sleeps for a while without touching the game's event queue.
void PauseMs(int ms);
