/** @file error_trap.h XErrorTrap: X errors counted, not fatal, while a request the server may refuse is tried. */
// X errors while a request the server may refuse is tried (a GL context, a
// focus change, a mode switch): counted instead of ending the process.
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
