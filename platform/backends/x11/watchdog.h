/** @file watchdog.h The mode watchdog: a forked process that puts the desktop's mode back however the game ends. */
// The watchdog: a small process forked before the game's first X connection
// that puts the desktop's display mode back when the game ends with the mode
// still switched, however it ends (Esc, a signal, SIGKILL, a crash, an abort).
// It waits on a socket from the game; the socket closes when the game's
// process ends, and the watchdog then acts on the last thing it was told.
#pragma once

#include "platform/backends/x11/xlib.h"

// Forks the watchdog once per process; later calls do nothing. Called while
// the game has no threads yet (before its first X connection and GL context).
void StartModeWatchdog();

// Tells the watchdog which mode to put back on the screen should the game end now.
void WatchdogModeSwitched(int screen, const XF86VidModeModeInfo& original);
// Tells the watchdog the desktop's mode is back: nothing to do at the end.
void WatchdogModeRestored();
