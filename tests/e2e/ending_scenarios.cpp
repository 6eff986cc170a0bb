/** @file ending_scenarios.cpp The ways the game ends: Esc, signals, the watchdog's mode restore, End, restarts. */
// The ways the game ends: Esc, SIGINT and SIGTERM through the game's own way
// out; SIGKILL and crashes, after which the watchdog puts the desktop's
// display mode back; its window destroyed by another program; and the switch from the intro to the game screen on a
// server that resets whenever its last client leaves.
#include <signal.h>

#include <memory>
#include <string>

#include "tests/e2e/game_scenarios.h"

namespace {

// What the watchdog writes when it had to put the mode back itself.
constexpr const char* kWatchdogNote = "the display mode is restored";

// What the game says when another program destroyed its window.
constexpr const char* kWindowLost = "chromelly: the game's window was destroyed by another program\n";

constexpr int kDestroyWindow = -1;
struct Ending {
  const char* Name;
  int Signal;  // 0: Esc; kDestroyWindow: xdotool windowclose
};
constexpr Ending kEndings[] = {{"esc", 0},        {"int", SIGINT},   {"term", SIGTERM},          {"kill", SIGKILL},
                               {"segv", SIGSEGV}, {"abrt", SIGABRT}, {"destroy", kDestroyWindow}};

std::string ModeText(int w, int h) { return std::to_string(w) + " x " + std::to_string(h); }

// True when the mode is (w, h) within the time.
bool WaitForMode(ScreenReader& screen, int w, int h, int timeoutMs, int& nowW, int& nowH) {
  return WaitUntil([&] { return CurrentModeSize(screen.Connection(), nowW, nowH) && nowW == w && nowH == h; },
                   timeoutMs);
}

// Starts the game and brings it to the intro or, for any other place, to the game screen.
bool StartTo(Checks& checks, GameProcess& game, ScreenReader& screen, const std::string& where) {
  if (where != "intro") return StartToGameScreen(checks, game, screen);
  ShownWindow intro;
  return StartToIntro(checks, game, screen, intro);
}

}  // namespace

int RunSignal(const std::string& gamePath, const std::string& where, int signalNumber) {
  Checks checks;
  ScreenReader screen;
  const int screenW = screen.Width(), screenH = screen.Height();
  GameProcess game(gamePath);
  if (!StartTo(checks, game, screen, where)) return checks.Finish();
  game.Signal(signalNumber);
  game.WaitForEnd(kSeenWithinMs);
  const std::string what = "signal " + std::to_string(signalNumber) + " on the " + where;
  checks.Expect(game.EndedBySignal(signalNumber), what +
                                                      ": the game ends by that signal, so its "
                                                      "status is " +
                                                      std::to_string(128 + signalNumber) + " (" + game.Ending() + ")");
  checks.Expect(WaitUntil([&] { return FindGameWindow(screen).Id == 0; }), what + ": no window is left");
  checks.Expect(screen.Width() == screenW && screen.Height() == screenH,
                what + ": the screen is still " + ModeText(screenW, screenH));
  checks.Expect(game.Output().empty(), what + ": nothing on standard output (got \"" + game.Output() + "\")");
  return checks.Finish();
}

int RunWindowDestroyed(const std::string& gamePath, const std::string& where) {
  Checks checks;
  ScreenReader screen;
  const int screenW = screen.Width(), screenH = screen.Height();
  GameProcess game(gamePath);
  if (!StartTo(checks, game, screen, where)) return checks.Finish();
  const Window window = FindGameWindow(screen).Id;
  Xdotool(checks, "windowclose " + std::to_string(window));
  game.WaitForEnd(5000);
  const std::string what = "the " + where + "'s window destroyed by another program";
  checks.Expect(game.Ending() == "exit status 1",
                what + ": the game ends within 5 s with status 1 (" + game.Ending() + ")");
  checks.Expect(WaitUntil([&] { return game.OutputsClosed(); }, 5000) && game.Errors() == kWindowLost,
                what + ": one line on standard error saying so, no X error (got \"" + game.Errors() + "\")");
  checks.Expect(game.Output().empty(), what + ": nothing on standard output (got \"" + game.Output() + "\")");
  checks.Expect(WaitUntil([&] { return FindGameWindow(screen).Id == 0; }, 2000), what + ": no window is left");
  checks.Expect(screen.Width() == screenW && screen.Height() == screenH,
                what + ": the screen is still " + ModeText(screenW, screenH));
  return checks.Finish();
}

int RunModeRestore(const std::string& gamePath, const std::string& endingName) {
  Checks checks;
  const Ending* ending = nullptr;
  for (const Ending& e : kEndings)
    if (endingName == e.Name) ending = &e;
  if (!checks.Expect(ending != nullptr, "known ending " + endingName)) return checks.Finish();
  ScreenReader screen;
  int desktopW = 0, desktopH = 0;
  if (!checks.Expect(CurrentModeSize(screen.Connection(), desktopW, desktopH),
                     "the server switches display modes (XF86VidMode)") ||
      !checks.Expect(desktopW != kFrameW || desktopH != kFrameH,
                     "the desktop's mode " + ModeText(desktopW, desktopH) + " is not the game's"))
    return checks.Finish();

  GameProcess game(gamePath);
  if (!StartToGameScreen(checks, game, screen)) return checks.Finish();
  int nowW = 0, nowH = 0;
  checks.Expect(
      WaitForMode(screen, kFrameW, kFrameH, kSeenWithinMs, nowW, nowH),
      "the game switches the screen to " + ModeText(kFrameW, kFrameH) + " (now " + ModeText(nowW, nowH) + ")");

  const bool destroy = ending->Signal == kDestroyWindow;
  const std::string what = destroy
                               ? std::string("its window destroyed by another program")
                               : std::string("ended by ") +
                                     (ending->Signal ? "signal " + std::to_string(ending->Signal) : std::string("Esc"));
  if (destroy)
    Xdotool(checks, "windowclose " + std::to_string(FindGameWindow(screen).Id));
  else if (ending->Signal)
    game.Signal(ending->Signal);
  else
    Xdotool(checks, "key Escape");
  game.WaitForEnd(kSeenWithinMs);
  if (destroy)
    checks.Expect(game.Ending() == "exit status 1", what + ": the game ends with status 1 (" + game.Ending() + ")");
  else
    checks.Expect(ending->Signal ? game.EndedBySignal(ending->Signal) : game.EndedWithStatusZero(),
                  what + ": the game ends, " + (ending->Signal ? "by that signal" : std::string("with status 0")) +
                      " (" + game.Ending() + ")");
  checks.Expect(
      WaitForMode(screen, desktopW, desktopH, kSeenWithinMs, nowW, nowH),
      what + ": the desktop's mode " + ModeText(desktopW, desktopH) + " is back (now " + ModeText(nowW, nowH) + ")");
  // The watchdog holds the game's standard error until it ends: once it is closed, nothing more can change.
  checks.Expect(WaitUntil([&] { return game.OutputsClosed(); }), what + ": the watchdog ends with the game");
  const bool noted = game.Errors().find(kWatchdogNote) != std::string::npos;
  // Esc, SIGINT and SIGTERM leave through the game's own way out, which puts the mode back; the others
  // give the game no chance, and the watchdog does it.
  const bool gameCanAnswer = ending->Signal == 0 || ending->Signal == SIGINT || ending->Signal == SIGTERM || destroy;
  checks.Expect(noted != gameCanAnswer, what + ": the mode was put back by " +
                                            (noted ? "the watchdog" : std::string("the game itself")) +
                                            " (standard error: \"" + game.Errors() + "\")");
  if (destroy)
    checks.Expect(game.Errors() == kWindowLost,
                  what + ": one line on standard error saying so (got \"" + game.Errors() + "\")");
  return checks.Finish();
}

int RunRestarts(const std::string& gamePath, int count) {
  Checks checks;
  int reached = 0;
  for (int start = 1; start <= count; ++start) {
    const std::string which = "start " + std::to_string(start) + ": ";
    std::unique_ptr<GameProcess> game;
    {
      // The server may be resetting after the last start's clients left: it accepts again shortly.
      ScreenReader screen(5000);
      if (!checks.Expect(screen.Connected(), which + "the checker reaches the display")) break;
      game = std::make_unique<GameProcess>(gamePath);
      ShownWindow intro;
      if (!StartToIntro(checks, *game, screen, intro)) break;
    }
    // The game is now the server's only client; a player presses Return.
    if (!Shell("xdotool key Return")) {
      checks.Expect(false, which + "xdotool key Return");
      break;
    }
    // Stay away while the game leaves the intro for the game screen.
    PauseMs(1000);
    const bool running = game->Running();
    if (!checks.Expect(running, which + "the game is still running after leaving the intro (" + game->Ending() +
                                    ", standard error: \"" + game->Errors() + "\")"))
      break;
    ScreenReader screen(5000);
    if (!WaitForGameScreen(checks, screen, which + "Return")) break;
    ExpectEscEnds(checks, *game, which + "game screen");
    if (game->EndedWithStatusZero()) ++reached;
  }
  checks.Expect(reached == count, std::to_string(reached) + " of " + std::to_string(count) +
                                      " starts reached the game screen and ended with Esc");
  return checks.Finish();
}

int RunEndButton(const std::string& hookPath, const std::string& screenshot) {
  Checks checks;
  ScreenReader screen;
  // A stage every 5 frames: the closing scene comes in about half a minute, in two on a busy machine.
  GameProcess game(hookPath, {"--every", "5"});
  GameScreen shown;
  if (!StartToGameScreen(checks, game, screen, &shown)) return checks.Finish();
  const ShownFrame& at = shown.Frame;
  // The End button: a black block in the bottom-left corner with the word in white.
  const Box block{at.ScreenX(1), at.ScreenY(745), at.ScreenX(4) - at.ScreenX(1), at.ScreenY(766) - at.ScreenY(745)};
  const bool shownEnd = WaitUntil(
      [&] {
        screen.Snapshot();
        return !game.Running() || MostlyBlack(screen, block);
      },
      120000);
  if (!checks.Expect(shownEnd && game.Running(), "the closing scene shows the End button (" + game.Ending() + ")"))
    return checks.Finish();
  if (!screenshot.empty()) Screenshot(checks, screenshot);
  checks.Expect(game.Output() == "1\n2\n3\n4\n5\n6\n7\n8\n",
                "the stage lines 1 to 8 on standard output (got \"" + game.Output() + "\")");
  // The view is at a tenth: the cursor, held at the edges of the world, reaches the corner.
  MoveBy(checks, -6000, 4500, 200);
  checks.Expect(game.Running(), "moving over the End button does not end the game");
  Click(checks);
  game.WaitForEnd(kSeenWithinMs);
  checks.Expect(game.EndedWithStatusZero(), "a click on End ends the game with status 0 (" + game.Ending() + ")");
  checks.Expect(game.Output() == "1\n2\n3\n4\n5\n6\n7\n8\n", "nothing more on standard output");
  return checks.Finish();
}
