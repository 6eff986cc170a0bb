/** @file error_trap.cpp XErrorTrap: X errors counted while a trap is set. */
#include "platform/backends/x11/error_trap.h"

namespace {

int trappedErrors = 0;

int CountXError(Display*, XErrorEvent*) {
  ++trappedErrors;
  return 0;
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
