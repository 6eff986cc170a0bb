/** @file error_trap.h XErrorTrap: X errors counted, not fatal, while a request the server may refuse is tried. */
// X errors while a request the server may refuse is tried (a GL context, a
// focus change, a mode switch): counted instead of ending the process. And for
// the whole run, errors about the game's window once another program has
// destroyed it: noted, so that the game ends in order instead of in Xlib.
#pragma once

#include "platform/backends/x11/xlib.h"

// While one lives, X errors on any connection are counted, not fatal.
class XErrorTrap {
 public:
  // Waits for the server to answer what was sent before, so earlier errors are not counted.
  explicit XErrorTrap(Display* display);
  ~XErrorTrap();
  XErrorTrap(const XErrorTrap&) = delete;
  XErrorTrap& operator=(const XErrorTrap&) = delete;

  // Waits for the server to answer everything sent so far; true when none of it failed.
  bool Clean();

 private:
  Display* display_;
  XErrorHandler previous_;
};

// From the first call on, an X error about the watched window (what another program destroyed
// under the game) is noted instead of ending the process; any other error ends it as Xlib always
// does. Watching window 0 watches none.
void WatchWindowForLoss(Window window);
// True once a request about the watched window failed as if it did not exist, since it was watched.
bool WatchedWindowLost();
