/** @file error_trap.cpp XErrorTrap: X errors counted while a trap is set. */
#include "platform/backends/x11/error_trap.h"

namespace {

int trappedErrors = 0;

int CountXError(Display*, XErrorEvent*) {
  ++trappedErrors;
  return 0;
}

Window watchedWindow = 0;
bool watchedWindowLost = false;
XErrorHandler xlibHandler = nullptr;  // Xlib's own: prints the error and ends the process

// Outside a trap: the window's loss is the game's to handle; anything else is as fatal as ever.
int WatchXError(Display* display, XErrorEvent* error) {
  const bool noSuchWindow = error->error_code == BadWindow || error->error_code == BadDrawable ||
                            error->error_code >= 128;  // an extension's (GLX's) bad drawable
  if (watchedWindow != 0 && error->resourceid == watchedWindow && noSuchWindow) {
    watchedWindowLost = true;
    return 0;
  }
  return xlibHandler ? xlibHandler(display, error) : 0;
}

}  // namespace

XErrorTrap::XErrorTrap(Display* display) : display_(display) {
  XSync(display_, False);
  trappedErrors = 0;
  previous_ = XSetErrorHandler(CountXError);
}

XErrorTrap::~XErrorTrap() { XSetErrorHandler(previous_); }

bool XErrorTrap::Clean() {
  XSync(display_, False);
  return trappedErrors == 0;
}

void WatchWindowForLoss(Window window) {
  if (!xlibHandler) xlibHandler = XSetErrorHandler(WatchXError);
  watchedWindow = window;
  watchedWindowLost = false;
}

bool WatchedWindowLost() { return watchedWindowLost; }
