/** @file video_mode.cpp SwitchVideoMode and RestoreVideoMode: full-screen mode switching. */
#include "platform/backends/x11/video_mode.h"

#include <cmath>
#include <cstdlib>

#include "platform/backends/x11/error_trap.h"
#include "platform/backends/x11/watchdog.h"

namespace {

// The game paces itself to 60 frames a second, so a 60 Hz mode lets it wait on vertical blank.
constexpr double kPreferredRefreshHz = 60.0;

// What is needed to undo a switch.
struct SavedMode {
  Display* Connection = nullptr;
  int Screen = 0;
  XF86VidModeModeInfo Original{};
};

SavedMode saved;
bool switched = false;

// Refresh rate of a mode line in hertz.
double RefreshOf(const XF86VidModeModeInfo& mode) {
  if (mode.htotal == 0 || mode.vtotal == 0) return 0.0;
  return double(mode.dotclock) * 1000.0 / (double(mode.htotal) * double(mode.vtotal));
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
    if (best < 0 ||
        std::abs(RefreshOf(*modes[i]) - kPreferredRefreshHz) < std::abs(RefreshOf(*modes[best]) - kPreferredRefreshHz))
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
  // Told first: should the game end anywhere from here on, the watchdog puts the mode back.
  WatchdogModeSwitched(screen, current);

  XErrorTrap trap(display);
  const Bool accepted = XF86VidModeSwitchToMode(display, screen, &wanted);
  if (!trap.Clean() || !accepted) {
    WatchdogModeRestored();
    whyNot = "the X server refused to switch to " + std::to_string(width) + "x" + std::to_string(height);
    return false;
  }
  switched = true;
  XF86VidModeSetViewPort(display, screen, 0, 0);
  XSync(display, False);
  return true;
}

// Puts back the mode SwitchVideoMode replaced; does nothing when none was replaced.
void RestoreVideoMode() {
  if (!switched || !saved.Connection) return;
  switched = false;
  XF86VidModeModeInfo original = saved.Original;
  XF86VidModeSwitchToMode(saved.Connection, saved.Screen, &original);
  XF86VidModeSetViewPort(saved.Connection, saved.Screen, 0, 0);
  XSync(saved.Connection, False);
  WatchdogModeRestored();
}
