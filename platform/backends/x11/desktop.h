/** @file desktop.h What a window manager tells of the desktop, and what the game asks of it. */
// What a window manager tells about the desktop through the freedesktop.org
// window-manager hints: whether one runs, the area windows may cover, the frame
// it puts around a window; and the requests the game makes of it (full screen,
// the focus).
#pragma once

#include "platform/backends/x11/xlib.h"

// A rectangle on the root window.
struct DesktopBox {
  int X = 0, Y = 0, W = 0, H = 0;
};

// The window manager's frame around a window, in pixels on each side.
struct FrameExtents {
  int Left = 0, Right = 0, Top = 0, Bottom = 0;
};

// True when a window manager runs: the root names a check window that names itself
// (a window manager that has gone leaves a stale name behind, naming a window that is gone).
bool WindowManagerRuns(Display* display, Window root);

// The part of the screen windows may cover, panels and task bars left out: the current
// desktop's _NET_WORKAREA, or the whole screen where no window manager says.
DesktopBox WorkArea(Display* display, int screen);

// The frame the window manager puts around a window, from _NET_FRAME_EXTENTS; false when unknown.
bool ReadFrameExtents(Display* display, Window window, FrameExtents& frame);

// Asks the window manager, before the window is mapped, what frame it will put around it, and
// waits up to waitMs for the answer; false (frame left as it was) when none comes.
bool RequestFrameExtents(Display* display, Window root, Window window, FrameExtents& frame, int waitMs);

// Where the game's window goes on the desktop: the largest size of the frame's aspect, up to
// the frame's own size, that fits the work area with the window manager's frame around it,
// centred in the work area. X and Y are where the outer frame's top-left corner goes.
DesktopBox PlaceWindowInWorkArea(int frameW, int frameH, const DesktopBox& work, const FrameExtents& frame);

// Marks a window, before it is mapped, as full screen and undecorated for the window manager.
void AskForFullScreen(Display* display, Window window);

// Asks the window manager to raise the window and give it the focus, as an application does.
void AskToActivate(Display* display, Window root, Window window);
