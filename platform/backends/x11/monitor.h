/** @file monitor.h The monitor the full screen covers where one screen spans several. */
#pragma once

#include <vector>

#include "platform/backends/x11/xlib.h"

// A monitor's rectangle in root-window pixels.
struct MonitorArea {
  int X = 0, Y = 0, W = 0, H = 0;
  bool Primary = false;
  bool Holds(int x, int y) const { return x >= X && x < X + W && y >= Y && y < Y + H; }
};

// The monitor holding the pointer, else the primary one, else the first; the whole screen where
// the server names no monitors (RandR before 1.5) or only one.
MonitorArea ChooseMonitor(const std::vector<MonitorArea>& monitors, int pointerX, int pointerY, int screenW,
                          int screenH);

// The server's monitors (RandR 1.5, which also splits a screen by xrandr --setmonitor); none where it names none.
std::vector<MonitorArea> ListMonitors(Display* display, int screen);

// The monitor the game's full screen should cover, chosen as ChooseMonitor says.
MonitorArea GameMonitor(Display* display, int screen);
