/** @file monitor_scenarios.cpp Two monitors on one screen: the full screen covers the one with the pointer. */
// Two monitors side by side on one screen (an Xvfb screen of 2560 x 1024 split
// by xrandr --setmonitor into two of 1280 x 1024): the game's full screen
// covers the monitor holding the pointer, its frame letterboxed and centred
// there, never the whole span or the seam between the two.
#include <cstdio>
#include <string>

#include "tests/e2e/game_scenarios.h"

namespace {

constexpr int kMonitorW = 1280, kMonitorH = 1024;

// The game started with the pointer on one monitor: its game screen is that monitor, exactly.
void CheckOnMonitor(Checks& checks, ScreenReader& screen, const std::string& gamePath, int monitorX,
                    const std::string& name, const std::string& shot) {
  const std::string where = "pointer on the " + name + " monitor";
  GameProcess game(gamePath);
  ShownWindow intro;
  if (!StartToIntro(checks, game, screen, intro)) return;
  Xdotool(checks, "mousemove " + std::to_string(monitorX + kMonitorW / 2 + 100) + " 700");
  Xdotool(checks, "key Return");
  ShownWindow shown;
  ShownFrame frame;
  double white = 0;
  const bool opened = WaitUntil(
      [&] {
        shown = FindGameWindow(screen);
        if (shown.Id == 0 || shown.IsIntro()) return false;
        frame = ShownFrame::Fit(kFrameW, kFrameH, shown.W, shown.H);
        frame.OffsetX += shown.X;
        frame.OffsetY += shown.Y;
        screen.Snapshot();
        white = WhiteShare(screen, frame);
        return white >= 0.9;
      },
      10000);
  checks.Expect(opened && shown.X == monitorX && shown.Y == 0 && shown.W == kMonitorW && shown.H == kMonitorH,
                where + ": the game screen covers that monitor, (" + std::to_string(monitorX) + ",0 1280x1024) (got (" +
                    std::to_string(shown.X) + "," + std::to_string(shown.Y) + " " + std::to_string(shown.W) + "x" +
                    std::to_string(shown.H) + "), frame " + std::to_string(int(white * 100)) + "% white)");
  // Letterboxed in the middle of the monitor: 1280 x 960 with black bars of 32 above and below.
  checks.Expect(frame.OffsetX == monitorX && frame.OffsetY == 32 && frame.ShownW == 1280 && frame.ShownH == 960,
                where + ": the frame is 1280 x 960 at (" + std::to_string(monitorX) + ",32)");
  screen.Snapshot();
  checks.Expect(
      MostlyBlack(screen, Box{monitorX, 0, kMonitorW, 32}) && MostlyBlack(screen, Box{monitorX, 992, kMonitorW, 32}),
      where + ": black bars above and below the frame, inside the monitor");
  if (!shot.empty()) Screenshot(checks, shot);
  ExpectEscEnds(checks, game, where);
}

}  // namespace

int RunMonitors(const std::string& gamePath, const std::string& shots) {
  Checks checks;
  ScreenReader screen;
  if (!Shell("command -v xrandr >/dev/null")) {
    std::printf("skipped: xrandr (Debian's x11-xserver-utils) is missing, so the screen cannot be split\n");
    return 77;
  }
  if (!checks.Expect(screen.Width() == 2 * kMonitorW && screen.Height() == kMonitorH,
                     "the screen is 2560 x 1024 (run under Xvfb --screen 2560x1024)"))
    return checks.Finish();
  // The first monitor takes Xvfb's one output, the second none: two monitors, as Xinerama and RandR report.
  checks.Expect(Shell("xrandr --setmonitor left 1280/338x1024/270+0+0 screen >/dev/null") &&
                    Shell("xrandr --setmonitor right 1280/338x1024/270+1280+0 none >/dev/null"),
                "xrandr splits the screen into two monitors of 1280 x 1024");
  CheckOnMonitor(checks, screen, gamePath, kMonitorW, "right", shots.empty() ? "" : shots + "_right.png");
  CheckOnMonitor(checks, screen, gamePath, 0, "left", shots.empty() ? "" : shots + "_left.png");
  return checks.Finish();
}
