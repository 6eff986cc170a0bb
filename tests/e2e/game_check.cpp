/** @file game_check.cpp game_check: the real game's scenarios, driven with xdotool, read off the screen. */
// End-to-end checks of the real game: chromelly is started as a child process,
// driven with xdotool the way a player would (XTEST, as real devices) and read
// back from the root window by a second connection.
//
// Usage: game_check SCENARIO CHROMELLY [ARGUMENT]   (needs DISPLAY and xdotool)
//   intro [screenshot.png]   the intro window's lines, OK button and key caps; OK shimmers under the pointer
//   esc-intro                Esc on the intro ends with status 0 and no game screen ever shows
//   ok-slide                 pressing OK and sliding off keeps the intro; a press and release on OK starts
//   ok-drag-on               a press that starts beside OK counts once the pointer is dragged onto OK
//   play [screenshot.png]    Return opens the white game screen, people walk in, Esc ends with status 0
//   signal-intro SIGNAL      SIGINT (2) or SIGTERM (15) on the intro ends the game by that signal
//   signal-play SIGNAL       the same on the game screen
//   monitors SHOTS           (a 2560 x 1024 screen) split into two monitors: the game screen covers the one
//                            holding the pointer; screenshots SHOTS_right.png, SHOTS_left.png
//   destroyed-intro          the intro's window destroyed by another program: status 1, one line, no X error
//   destroyed-play           the same on the game screen
//   mode ENDING              (a server with mode switching) the desktop's mode is back after the game
//                            ends by esc, int, term, kill, segv, abrt or destroy (its window destroyed)
//   hands SHOTS              New color, a box, a hat into it, a person thrown, F1; screenshots SHOTS_*.png
//   chefs SHOTS              (CHROMELLY is chromelly_testhook) a chef's theft and delivery seen on the screen,
//                            a toque taken from a chef and let go over a new box; screenshots SHOTS_*.png
//   end-button [shot.png]   (CHROMELLY is chromelly_testhook) the closing scene, End clicked: status 0, lines 1..8
//   restarts COUNT           (a server that resets when its last client leaves) every start reaches the game
//   other-window SHOTS       another window shown during play and closed: the game reachable, Esc ends
//   focus-lost SHOTS         the focus taken as the game screen opens: "Click to go on", a click, Esc ends
//   window-desktop SHOTS     (a window manager) --window fits the work area, refits when resized, Alt+Tab
//                            leaves it, closing it through the window manager ends with status 0
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/e2e/game_scenarios.h"

namespace {

// A window drawn over or replaced in the middle of a query is no reason to stop.
int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s SCENARIO CHROMELLY [ARGUMENT] (see the top of game_check.cpp)\n", argv[0]);
    return 2;
  }
  signal(SIGPIPE, SIG_IGN);
  XSetErrorHandler(IgnoreXErrors);
  const std::string scenario = argv[1], game = argv[2], argument = argc > 3 ? argv[3] : "";
  if (scenario == "intro") return RunIntro(game, argument);
  if (scenario == "esc-intro") return RunEscOnIntro(game);
  if (scenario == "ok-slide") return RunOkSlide(game);
  if (scenario == "ok-drag-on") return RunOkDragOn(game);
  if (scenario == "play") return RunPlay(game, argument);
  if (scenario == "signal-intro") return RunSignal(game, "intro", std::atoi(argument.c_str()));
  if (scenario == "signal-play") return RunSignal(game, "game screen", std::atoi(argument.c_str()));
  if (scenario == "monitors") return RunMonitors(game, argument);
  if (scenario == "destroyed-intro") return RunWindowDestroyed(game, "intro");
  if (scenario == "destroyed-play") return RunWindowDestroyed(game, "game screen");
  if (scenario == "mode") return RunModeRestore(game, argument);
  if (scenario == "hands") return RunHands(game, argument);
  if (scenario == "chefs") return RunChefs(game, argument);
  if (scenario == "end-button") return RunEndButton(game, argument);
  if (scenario == "other-window") return RunOtherWindow(game, argument);
  if (scenario == "focus-lost") return RunFocusLostAtStart(game, argument);
  if (scenario == "window-desktop") return RunWindowOnDesktop(game, argument);
  if (scenario == "restarts") return RunRestarts(game, std::atoi(argument.c_str()));
  std::fprintf(stderr, "game_check: unknown scenario %s\n", scenario.c_str());
  return 2;
}
