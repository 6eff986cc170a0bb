/** @file game_scenarios.h The scenarios game_check runs (RunIntro, RunPlay, RunChefs...), a file per screen. */
// The scenarios game_check runs, one file per screen: the intro
// (intro_scenarios.cpp), the game screen (game_screen_scenarios.cpp), the
// chefs (chef_scenarios.cpp), the ways the game ends (ending_scenarios.cpp) and the
// game among other windows on a desktop (desktop_scenarios.cpp).
// Each returns the exit status.
#pragma once

#include <string>

#include "tests/e2e/e2e_support.h"

// The intro's lines, OK button and key caps, OK's shimmer; Esc ends with status 0.
int RunIntro(const std::string& gamePath, const std::string& screenshot);
// Esc on the intro ends with status 0 and no game screen ever shows.
int RunEscOnIntro(const std::string& gamePath);
// Pressing OK and sliding off before releasing keeps the intro; a press and release on OK starts.
int RunOkSlide(const std::string& gamePath);
// A press that starts beside OK counts once the pointer is dragged onto OK.
int RunOkDragOn(const std::string& gamePath);

// Return opens the white game screen, people walk in, Esc ends with status 0 and a silent stdout.
int RunPlay(const std::string& gamePath, const std::string& screenshot);
// After the title sequence: New color, a box placed, a hat dragged onto it colours it, a person thrown
// flies, F1 held shows the messages. Screenshots SHOTS_box/_hat/_throw/_f1.png.
int RunHands(const std::string& gamePath, const std::string& shots);

// The test hook's game held at the chefs' stage, its chef watch on: a chef's theft seen as the hat in his
// hands, a delivery as the box's new colour; the player takes a chef's toque and lets it go over a new box,
// which takes its white and becomes his. Screenshots SHOTS_theft/_delivery/_toque_held/_toque.png.
int RunChefs(const std::string& hookPath, const std::string& shots);

// SIGINT or SIGTERM on the intro or the game screen ends the game promptly by that signal, the screen unchanged.
int RunSignal(const std::string& gamePath, const std::string& where, int signalNumber);
// (An Xvfb screen of 2560 x 1024, split here into two monitors by xrandr.) With the pointer on the right
// monitor, then on the left, the game screen covers that monitor, the frame letterboxed in its middle.
// Screenshots SHOTS_right.png and SHOTS_left.png. 77 where xrandr is missing.
int RunMonitors(const std::string& gamePath, const std::string& shots);
// The intro's or the game screen's window destroyed by another program (xdotool windowclose): the game
// ends with status 1 and one line on standard error, no X error, and no window left.
int RunWindowDestroyed(const std::string& gamePath, const std::string& where);
// On a server that switches modes: the game switches to 1024 x 768, and the desktop's mode is back after
// the ending ("esc", "int", "term", "kill", "segv", "abrt", or "destroy": its window destroyed from outside).
int RunModeRestore(const std::string& gamePath, const std::string& ending);
// The game started again and again on a server that resets when its last client leaves: every start
// reaches the game screen. The checker is connected only while it looks, never while the game switches.
int RunRestarts(const std::string& gamePath, int count);

// The test hook's game (CHROMELLY_TESTHOOK) reaches the closing scene; a click on End ends it with status 0,
// the stage lines 1 to 8 on standard output.
int RunEndButton(const std::string& hookPath, const std::string& screenshot);

// On a desktop with a window manager (or none): another window shown during play and closed again leaves
// the game reachable, a click giving it back the focus where it has lost it; Esc ends with status 0.
// Screenshots SHOTS_other/_after.png.
int RunOtherWindow(const std::string& gamePath, const std::string& shots);
// The focus taken away just as the game screen opens: the game says so, a click takes it back, Esc ends.
// Screenshot SHOTS_lost.png.
int RunFocusLostAtStart(const std::string& gamePath, const std::string& shots);
// --window under a window manager: the window fits the work area, refits its frame when resized, lets Alt+Tab
// take the focus away, and closing it through the window manager ends with status 0.
// Screenshots SHOTS_start/_resized/_alt_tab.png.
int RunWindowOnDesktop(const std::string& gamePath, const std::string& shots);
