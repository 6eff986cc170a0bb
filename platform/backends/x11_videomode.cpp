// Mode switching for the full screen and the safety net that undoes it.
#include "platform/backends/x11_videomode.h"

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace {

// The game paces itself to 60 frames a second, so a 60 Hz mode lets it wait on vertical blank.
constexpr double kPreferredRefreshHz = 60.0;

// What is needed to undo a switch; plain data so the signal handler can read it.
struct SavedMode {
  Display* Connection = nullptr;  // the game's connection, used by Close and at exit
  int Screen = 0;
  XF86VidModeModeInfo Original{};
  char DisplayName[256] = {};  // for a fresh connection from the signal handler
};

SavedMode saved;
volatile std::sig_atomic_t switched = 0;
bool hooksInstalled = false;
int trappedErrors = 0;

// Counts X errors instead of letting Xlib end the process while a switch is tried.
int TrapXError(Display*, XErrorEvent*) {
  ++trappedErrors;
  return 0;
}

// Refresh rate of a mode line in hertz.
double RefreshOf(const XF86VidModeModeInfo& mode) {
  if (mode.htotal == 0 || mode.vtotal == 0) return 0.0;
  return double(mode.dotclock) * 1000.0 / (double(mode.htotal) * double(mode.vtotal));
}

// Switches a connection back to the saved mode.
void SwitchBack(Display* display) {
  XF86VidModeModeInfo original = saved.Original;
  XF86VidModeSwitchToMode(display, saved.Screen, &original);
  XF86VidModeSetViewPort(display, saved.Screen, 0, 0);
  XSync(display, False);
}

// SIGINT/SIGTERM: restore the desktop's mode, then end as the signal would have.
void RestoreOnSignal(int signalNumber) {
  if (switched) {
    switched = 0;
    // The game's own connection may be in the middle of a request; use a new one.
    if (Display* fresh = XOpenDisplay(saved.DisplayName[0] ? saved.DisplayName : nullptr)) {
      SwitchBack(fresh);
      XCloseDisplay(fresh);
    }
  }
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);
}

// exit() without Close still leaves the desktop as it was.
void RestoreAtExit() { RestoreVideoMode(); }

// Installs the signal handlers and the exit hook once per process.
void InstallRestoreHooks() {
  if (hooksInstalled) return;
  hooksInstalled = true;
  std::atexit(RestoreAtExit);
  struct sigaction action {};
  action.sa_handler = RestoreOnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

// Switches the screen to a width x height mode and remembers the mode it had.
bool SwitchVideoMode(Display* display, int screen, int width, int height, std::string& whyNot) {
  int eventBase = 0, errorBase = 0;
  if (!XF86VidModeQueryExtension(display, &eventBase, &errorBase)) {
    whyNot = "the X server has no XF86VidMode extension";
    return false;
  }
  int count = 0;
  XF86VidModeModeInfo** modes = nullptr;
  if (!XF86VidModeGetAllModeLines(display, screen, &count, &modes) || count <= 0 || !modes) {
    whyNot = "the X server lists no display modes";
    return false;
  }
  // The first mode line is the one in use.
  const XF86VidModeModeInfo current = *modes[0];
  int best = -1;
  for (int i = 0; i < count; ++i) {
    if (modes[i]->hdisplay != width || modes[i]->vdisplay != height) continue;
    if (best < 0 || std::abs(RefreshOf(*modes[i]) - kPreferredRefreshHz) <
                        std::abs(RefreshOf(*modes[best]) - kPreferredRefreshHz))
      best = i;
  }
  XF86VidModeModeInfo wanted{};
  if (best >= 0) wanted = *modes[best];
  XFree(modes);
  if (best < 0) {
    whyNot = "the display offers no " + std::to_string(width) + "x" + std::to_string(height) + " mode";
    return false;
  }
  if (current.hdisplay == width && current.vdisplay == height) {
    whyNot = "the display is already in a " + std::to_string(width) + "x" + std::to_string(height) + " mode";
    return false;
  }

  saved.Connection = display;
  saved.Screen = screen;
  saved.Original = current;
  const char* name = DisplayString(display);
  std::strncpy(saved.DisplayName, name ? name : "", sizeof saved.DisplayName - 1);
  InstallRestoreHooks();

  XSync(display, False);
  trappedErrors = 0;
  XErrorHandler previous = XSetErrorHandler(TrapXError);
  const Bool accepted = XF86VidModeSwitchToMode(display, screen, &wanted);
  XSync(display, False);
  XSetErrorHandler(previous);
  if (!accepted || trappedErrors != 0) {
    whyNot = "the X server refused to switch to " + std::to_string(width) + "x" + std::to_string(height);
    return false;
  }
  switched = 1;
  XF86VidModeSetViewPort(display, screen, 0, 0);
  XSync(display, False);
  return true;
}

// Puts back the mode SwitchVideoMode replaced; does nothing when none was replaced.
void RestoreVideoMode() {
  if (!switched || !saved.Connection) return;
  switched = 0;
  SwitchBack(saved.Connection);
}
