/** @file window.cpp The X11 backend's window: made, shown, placed on the desktop, and given the keyboard focus. */
// Where a window manager runs, every window of the game is one it manages, the full screen
// included (asking for the full-screen state), so its focus rules know the game: a window
// that appears during play and closes again hands the focus back instead of keeping it
// hidden underneath. Only on a bare X server is the full screen an override-redirect window.
#include "platform/backends/x11/x11_backend.h"

#include "platform/backends/x11/desktop.h"
#include "platform/backends/x11/error_trap.h"

namespace {

// How long Open waits for the window to appear: a window manager still starting up on a busy
// machine has been seen to take more than five seconds to show it.
constexpr int kMapWaitMs = 15000;
// How long the window manager gets to say what frame it will put around the game's window.
constexpr int kFrameExtentsWaitMs = 1000;
// The smallest the game's window may be made: the frame stays readable enough to find the way back.
constexpr int kMinWindowW = 320, kMinWindowH = 240;

// Matches the MapNotify of one window.
Bool IsMapOf(Display*, XEvent* event, XPointer window) {
  return event->type == MapNotify && event->xmap.window == *reinterpret_cast<Window*>(window);
}

}  // namespace

// Creates and shows the window: a fixed-size framed window (the intro), the game screen as a
// resizable window fitted to the work area, or the full screen.
void X11Backend::CreateWindow(int x, int y, int w, int h, bool fullScreen) {
  const Window root = RootWindow(display_, visual_->screen);
  colormap_ = XCreateColormap(display_, root, visual_->visual, AllocNone);
  XSetWindowAttributes attributes{};
  attributes.colormap = colormap_;
  attributes.background_pixel = 0;
  attributes.border_pixel = 0;
  // No window manager to place and stack it: the full screen places itself.
  attributes.override_redirect = fullScreen && !managed_ ? True : False;
  attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                          FocusChangeMask | StructureNotifyMask | ExposureMask | LeaveWindowMask |
                          (resizable_ ? PropertyChangeMask : 0);  // the frame the window manager puts around it
  window_ =
      XCreateWindow(display_, root, x, y, unsigned(w), unsigned(h), 0, visual_->depth, InputOutput, visual_->visual,
                    CWColormap | CWBackPixel | CWBorderPixel | CWOverrideRedirect | CWEventMask, &attributes);
  XStoreName(display_, window_, "Chromelly");
  XClassHint classHint{};
  char className[] = "Chromelly";
  char instanceName[] = "chromelly";
  classHint.res_name = instanceName;
  classHint.res_class = className;
  XSetClassHint(display_, window_, &classHint);
  XSizeHints size{};
  if (resizable_) {
    // The game screen in a window starts as large as the work area holds with the frame around it.
    FrameExtents frame;
    if (managed_) RequestFrameExtents(display_, root, window_, frame, kFrameExtentsWaitMs);
    const DesktopBox place = PlaceWindowInWorkArea(w, h, WorkArea(display_, visual_->screen), frame);
    XMoveResizeWindow(display_, window_, place.X, place.Y, unsigned(place.W), unsigned(place.H));
    // Any size from the smallest up: the frame is scaled to fit. The position is the outer frame's corner.
    size.flags = USPosition | PPosition | USSize | PSize | PMinSize | PWinGravity;
    size.x = place.X;
    size.y = place.Y;
    size.width = place.W;
    size.height = place.H;
    size.min_width = kMinWindowW;
    size.min_height = kMinWindowH;
    size.win_gravity = NorthWestGravity;
  } else if (fullScreen && managed_) {
    // The window manager makes it cover the screen; it needs no limits to do so.
    AskForFullScreen(display_, window_);
    size.flags = USPosition | PPosition | USSize | PSize;
    size.x = x;
    size.y = y;
    size.width = w;
    size.height = h;
  } else {
    // The intro, and the full screen on a bare server: their size and no other.
    // The intro window is placed by the window manager; the full screen sits at the origin.
    size.flags = (fullScreen ? PPosition : 0) | PSize | PMinSize | PMaxSize;
    size.x = x;
    size.y = y;
    size.width = size.min_width = size.max_width = w;
    size.height = size.min_height = size.max_height = h;
  }
  XSetWMNormalHints(display_, window_, &size);
  XWMHints hints{};
  hints.flags = InputHint | StateHint;
  hints.input = True;
  hints.initial_state = NormalState;
  XSetWMHints(display_, window_, &hints);
  target_.DeleteWindow = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display_, window_, &target_.DeleteWindow, 1);
  target_.Connection = display_;
  target_.Win = window_;
  target_.FrameExtentsAtom = XInternAtom(display_, "_NET_FRAME_EXTENTS", False);
  XMapRaised(display_, window_);
}

// Waits for the window's MapNotify, leaving every other event queued for the game; a managed
// window is waited for until it is viewable too (its frame shown), so focus and grabs can take.
bool X11Backend::WaitUntilMapped() {
  const int64_t giveUp = MonotonicMs() + kMapWaitMs;
  XEvent event;
  while (!XCheckIfEvent(display_, &event, IsMapOf, reinterpret_cast<XPointer>(&window_))) {
    if (MonotonicMs() > giveUp) return false;
    SleepForMs(1);
  }
  for (;;) {
    XWindowAttributes shown{};
    if (XGetWindowAttributes(display_, window_, &shown) && shown.map_state == IsViewable) return true;
    if (MonotonicMs() > giveUp) return false;
    SleepForMs(1);
  }
}

// The game screen in a window: the frame the window manager put around it may be larger than
// it said beforehand (or it said nothing in time, on a busy machine); then, once it says, the
// window is made to fit the work area after all.
void X11Backend::KeepWindowInWorkArea() {
  if (!resizable_ || !managed_) return;
  FrameExtents frame;
  if (!ReadFrameExtents(display_, window_, frame)) return;
  const DesktopBox work = WorkArea(display_, visual_->screen);
  XWindowAttributes shown{};
  Window child = 0;
  int x = 0, y = 0;
  if (!XGetWindowAttributes(display_, window_, &shown) ||
      !XTranslateCoordinates(display_, window_, RootWindow(display_, visual_->screen), 0, 0, &x, &y, &child))
    return;
  const bool fits = x - frame.Left >= work.X && y - frame.Top >= work.Y &&
                    x + shown.width + frame.Right <= work.X + work.W &&
                    y + shown.height + frame.Bottom <= work.Y + work.H;
  if (fits) return;
  const DesktopBox place = PlaceWindowInWorkArea(target_.Fit.FrameW, target_.Fit.FrameH, work, frame);
  XMoveResizeWindow(display_, window_, place.X, place.Y, unsigned(place.W), unsigned(place.H));
  XFlush(display_);
}

// Gives the window the keyboard focus; a refusal (a window manager's frame not yet shown) is harmless.
// Under a window manager the game also asks it to activate the window, so its idea of which
// window is active (and whom to hand the focus back to) is the game's.
void X11Backend::TakeFocus() {
  if (managed_) AskToActivate(display_, RootWindow(display_, visual_->screen), window_);
  XErrorTrap trap(display_);
  XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
  trap.Clean();
}
