// Helpers for the end-to-end checks of the X11 backend under Xvfb.
#include "tests/e2e/e2e_support.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

// Records one check and prints "ok" or "FAIL" with what was checked.
bool Checks::Expect(bool passed, const std::string& what) {
  ++run_;
  if (!passed) ++failed_;
  std::printf("%s - %s\n", passed ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
  return passed;
}

// Exit status for the program: 0 when every check passed.
int Checks::Finish() const {
  std::printf("%d checks, %d failed\n", run_, failed_);
  return failed_ == 0 && run_ > 0 ? 0 : 1;
}

std::string Describe(const Rgb& c) {
  return std::to_string(c.R) + "," + std::to_string(c.G) + "," + std::to_string(c.B);
}

bool Near(const Rgb& got, const Rgb& want, int tolerance) {
  return std::abs(got.R - want.R) <= tolerance && std::abs(got.G - want.G) <= tolerance &&
         std::abs(got.B - want.B) <= tolerance;
}

ShownFrame ShownFrame::Fit(int frameW, int frameH, int screenW, int screenH) {
  ShownFrame p;
  p.FrameW = frameW;
  p.FrameH = frameH;
  const double scale = std::min(double(screenW) / frameW, double(screenH) / frameH);
  p.ShownW = int(std::lround(frameW * scale));
  p.ShownH = int(std::lround(frameH * scale));
  p.OffsetX = (screenW - p.ShownW) / 2;
  p.OffsetY = (screenH - p.ShownH) / 2;
  return p;
}

int ShownFrame::ScreenX(double fx) const { return OffsetX + int(std::floor((fx + 0.5) * ShownW / FrameW)); }
int ShownFrame::ScreenY(double fy) const { return OffsetY + int(std::floor((fy + 0.5) * ShownH / FrameH)); }

int ShownFrame::FrameX(int sx) const {
  return std::clamp(int(std::floor(double(sx - OffsetX) * FrameW / ShownW)), 0, FrameW - 1);
}
int ShownFrame::FrameY(int sy) const {
  return std::clamp(int(std::floor(double(sy - OffsetY) * FrameH / ShownH)), 0, FrameH - 1);
}

ScreenReader::ScreenReader() { display_ = XOpenDisplay(nullptr); }

ScreenReader::~ScreenReader() {
  if (image_) XDestroyImage(image_);
  if (display_) XCloseDisplay(display_);
}

int ScreenReader::Width() const { return DisplayWidth(display_, DefaultScreen(display_)); }
int ScreenReader::Height() const { return DisplayHeight(display_, DefaultScreen(display_)); }

// Copies the whole root window, as it is shown now.
void ScreenReader::Snapshot() {
  if (image_) XDestroyImage(image_);
  XSync(display_, False);
  image_ = XGetImage(display_, DefaultRootWindow(display_), 0, 0, unsigned(Width()), unsigned(Height()), AllPlanes,
                     ZPixmap);
}

namespace {
// Reads one channel out of a pixel value through its mask, scaled to 0..255.
int Channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  const unsigned long top = mask >> shift;
  return int(((pixel & mask) >> shift) * 255 / top);
}
}  // namespace

// Colour of a pixel in the last snapshot (root coordinates).
Rgb ScreenReader::At(int x, int y) const {
  if (!image_ || x < 0 || y < 0 || x >= image_->width || y >= image_->height) return {-1, -1, -1};
  const unsigned long pixel = XGetPixel(image_, x, y);
  return {Channel(pixel, image_->red_mask), Channel(pixel, image_->green_mask), Channel(pixel, image_->blue_mask)};
}

// The top-level window titled Chromelly, or 0.
Window ScreenReader::GameWindow() const {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  Window found = 0;
  if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count)) return 0;
  for (unsigned int i = 0; i < count && !found; ++i) {
    char* name = nullptr;
    if (XFetchName(display_, children[i], &name) && name) {
      if (std::strcmp(name, "Chromelly") == 0) found = children[i];
      XFree(name);
    }
  }
  if (children) XFree(children);
  return found;
}

// Polls until the condition holds or the time runs out; true when it held.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  // Timed by the clock, however long each look takes (a look at the whole screen costs tens of ms).
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= giveUp) return false;
    PauseMs(20);
  }
}

// Runs a shell command (xdotool, import); true when it exited with status 0.
bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

// Sleeps for a while without touching the game's event queue.
void PauseMs(int ms) {
  timespec pause{ms / 1000, long(ms % 1000) * 1000000L};
  nanosleep(&pause, nullptr);
}
