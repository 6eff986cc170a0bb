/** @file desktop.cpp The desktop's window-manager hints, read and asked for. */
#include "platform/backends/x11/desktop.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <vector>

#include "platform/backends/x11/clock.h"
#include "platform/backends/x11/error_trap.h"
#include "platform/backends/x11/frame_fit.h"

namespace {

// Up to count 32-bit items of a property (XA_CARDINAL or XA_WINDOW), as longs; empty when missing.
std::vector<long> ReadLongs(Display* display, Window window, const char* name, Atom type, long count) {
  const Atom property = XInternAtom(display, name, False);
  Atom actualType = 0;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<long> values;
  XErrorTrap trap(display);  // the window may be gone
  const int status =
      XGetWindowProperty(display, window, property, 0, count, False, type, &actualType, &format, &items, &after, &data);
  if (trap.Clean() && status == Success && data && actualType == type && format == 32) {
    const long* longs = reinterpret_cast<const long*>(data);
    values.assign(longs, longs + items);
  }
  if (data) XFree(data);
  return values;
}

}  // namespace

bool WindowManagerRuns(Display* display, Window root) {
  const std::vector<long> check = ReadLongs(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 1);
  if (check.empty() || check[0] == 0) return false;
  const std::vector<long> self = ReadLongs(display, Window(check[0]), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 1);
  return !self.empty() && self[0] == check[0];
}

DesktopBox WorkArea(Display* display, int screen) {
  const Window root = RootWindow(display, screen);
  DesktopBox all{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
  if (!WindowManagerRuns(display, root)) return all;
  const std::vector<long> current = ReadLongs(display, root, "_NET_CURRENT_DESKTOP", XA_CARDINAL, 1);
  const long desktop = current.empty() ? 0 : std::max(0L, current[0]);
  const std::vector<long> areas = ReadLongs(display, root, "_NET_WORKAREA", XA_CARDINAL, 4 * (desktop + 1));
  if (areas.size() < size_t(4 * (desktop + 1))) return all;
  DesktopBox work{int(areas[size_t(4 * desktop)]), int(areas[size_t(4 * desktop + 1)]),
                  int(areas[size_t(4 * desktop + 2)]), int(areas[size_t(4 * desktop + 3)])};
  // A work area outside the screen or empty is a window manager's mistake: the screen is the answer then.
  if (work.W <= 0 || work.H <= 0 || work.X < 0 || work.Y < 0 || work.X + work.W > all.W || work.Y + work.H > all.H)
    return all;
  return work;
}

bool ReadFrameExtents(Display* display, Window window, FrameExtents& frame) {
  const std::vector<long> sides = ReadLongs(display, window, "_NET_FRAME_EXTENTS", XA_CARDINAL, 4);
  if (sides.size() < 4) return false;
  frame = FrameExtents{int(sides[0]), int(sides[1]), int(sides[2]), int(sides[3])};
  return true;
}

bool RequestFrameExtents(Display* display, Window root, Window window, FrameExtents& frame, int waitMs) {
  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = window;
  request.xclient.message_type = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
  request.xclient.format = 32;
  XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
  XFlush(display);
  // The answer is the property appearing on the window; polled so no event of the game's is taken.
  const int64_t giveUp = MonotonicMs() + waitMs;
  for (;;) {
    if (ReadFrameExtents(display, window, frame)) return true;
    if (MonotonicMs() > giveUp) return false;
    SleepForMs(5);
  }
}

DesktopBox PlaceWindowInWorkArea(int frameW, int frameH, const DesktopBox& work, const FrameExtents& frame) {
  const int roomW = std::max(work.W - frame.Left - frame.Right, 1);
  const int roomH = std::max(work.H - frame.Top - frame.Bottom, 1);
  // Never larger than the frame itself: a big desktop gets the frame one to one.
  const FrameFit fit = FrameFit::Make(frameW, frameH, std::min(roomW, frameW), std::min(roomH, frameH));
  DesktopBox place;
  place.W = fit.ShownW;
  place.H = fit.ShownH;
  place.X = work.X + (work.W - (place.W + frame.Left + frame.Right)) / 2;
  place.Y = work.Y + (work.H - (place.H + frame.Top + frame.Bottom)) / 2;
  place.X = std::max(place.X, work.X);
  place.Y = std::max(place.Y, work.Y);
  return place;
}

void AskForFullScreen(Display* display, Window window) {
  const Atom fullScreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_STATE", False), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&fullScreen), 1);
  // Window managers that know no full-screen state still leave the frame off: Motif's
  // hints, flags = decorations, decorations = none.
  const long motif[5] = {2, 0, 0, 0, 0};
  const Atom motifHints = XInternAtom(display, "_MOTIF_WM_HINTS", False);
  XChangeProperty(display, window, motifHints, motifHints, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(motif), 5);
}

void AskToActivate(Display* display, Window root, Window window) {
  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = window;
  request.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
  request.xclient.format = 32;
  request.xclient.data.l[0] = 1;  // the request comes from an application
  request.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
  XFlush(display);
}
