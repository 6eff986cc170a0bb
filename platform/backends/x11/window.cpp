// The X11 backend's window: made, shown, and given the keyboard focus.
#include "platform/backends/x11/x11_backend.h"

#include "platform/backends/x11/error_trap.h"

namespace {

// How long Open waits for the window to appear.
constexpr int kMapWaitMs = 5000;

// Matches the MapNotify of one window.
Bool IsMapOf(Display*, XEvent* event, XPointer window) {
  return event->type == MapNotify && event->xmap.window == *reinterpret_cast<Window*>(window);
}

}  // namespace

// Creates and shows the window: a fixed-size framed window, or a borderless one over the screen.
void X11Backend::CreateWindow(int x, int y, int w, int h, bool fullScreen) {
  const Window root = RootWindow(display_, visual_->screen);
  colormap_ = XCreateColormap(display_, root, visual_->visual, AllocNone);
  XSetWindowAttributes attributes{};
  attributes.colormap = colormap_;
  attributes.background_pixel = 0;
  attributes.border_pixel = 0;
  attributes.override_redirect = fullScreen ? True : False;  // no frame, no window manager placement
  attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                          FocusChangeMask | StructureNotifyMask | ExposureMask;
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
  // The window cannot be resized: its smallest and largest sizes are its size.
  XSizeHints size{};
  // The intro window is placed by the window manager; the full screen sits at the origin.
  size.flags = (fullScreen ? PPosition : 0) | PSize | PMinSize | PMaxSize;
  size.x = x;
  size.y = y;
  size.width = size.min_width = size.max_width = w;
  size.height = size.min_height = size.max_height = h;
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
  XMapRaised(display_, window_);
}

// Waits for the window's MapNotify, leaving every other event queued for the game.
bool X11Backend::WaitUntilMapped() {
  const int64_t giveUp = MonotonicMs() + kMapWaitMs;
  XEvent event;
  while (!XCheckIfEvent(display_, &event, IsMapOf, reinterpret_cast<XPointer>(&window_))) {
    if (MonotonicMs() > giveUp) return false;
    SleepForMs(1);
  }
  return true;
}

// Gives the window the keyboard focus; a refusal (a window manager's frame not yet shown) is harmless.
void X11Backend::TakeFocus() {
  XErrorTrap trap(display_);
  XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
  trap.Clean();
}
