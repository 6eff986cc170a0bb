/** @file events.h PumpX11Events: window-system events to the game's input (keys, buttons, pointer, focus, close). */
// Window-system events to the game's input: keys, buttons, pointer, focus and
// the window manager's close button.
#pragma once

#include "platform/backend.h"
#include "platform/backends/x11/frame_fit.h"
#include "platform/backends/x11/keys_and_buttons.h"
#include "platform/backends/x11/pointer_track.h"
#include "platform/backends/x11/xlib.h"

// What event translation needs to know about the open screen.
struct EventTarget {
  Display* Connection = nullptr;
  Window Win = 0;
  Atom DeleteWindow = 0;  // WM_DELETE_WINDOW, sent by the close button
  FrameFit Fit;
  // The full screen holds the pointer and the keyboard while it has the focus.
  bool HoldsInput = false;
  // The full screen has lost the focus: the pointer and the buttons belong to
  // another window until the focus comes back or the player clicks on the game.
  bool Suspended = false;
  // Where the game last learned the pointer was (a motion or a warp), in window pixels and, to a
  // fraction, in frame pixels; the next warp moves the pointer by what the game has read, so a move
  // not yet read is kept. Made again, the pointer unknown, whenever Fit changes.
  PointerTrack Pointer;
  // Another program destroyed the window: nothing can be shown in it any more.
  bool Destroyed = false;
  // The game screen is a window of the desktop: the pointer leaving it lets the input go.
  bool InWindow = false;
  // The window changed size and Fit was made anew for it; the painter takes the new fit at the next swap.
  bool Refitted = false;
  // _NET_FRAME_EXTENTS, and whether the window manager has (again) said what frame it put around the window.
  Atom FrameExtentsAtom = 0;
  bool FrameExtentsChanged = false;
};

// The target's pointer, made afresh for the current fit when that has changed.
PointerTrack& TrackedPointer(EventTarget& target);

// Turns every pending event into input; notes in the target when the full screen loses or regains the focus,
// and refits the frame when the window changes size.
void PumpX11Events(EventTarget& target, InputState& input);

// After a warp: waits until the server has handled it, then forgets the motion
// queued up to then so the pointer does not move a second time.
void DropMotionBeforeNow(const EventTarget& target);
