/** @file events.cpp PumpX11Events: the X11 backend's window-system events translated into the game's input. */
#include "platform/backends/x11/events.h"

namespace {

// A release followed by a press of the same key at the same instant is
// auto-repeat (where detectable auto-repeat is missing): the key stays down.
bool IsRepeatRelease(Display* display, const XKeyEvent& release) {
  if (XEventsQueued(display, QueuedAfterReading) == 0) return false;
  XEvent next;
  XPeekEvent(display, &next);
  return next.type == KeyPress && next.xkey.keycode == release.keycode && next.xkey.time == release.time;
}

// Virtual-key code of a key event, read from the unshifted key symbol.
int KeyOf(XKeyEvent& key) { return VirtualKeyFor(XLookupKeysym(&key, 0)); }

// A focus change another client or the window manager made, not one that our own grabs cause.
bool IsRealFocusChange(const XFocusChangeEvent& focus) {
  return (focus.mode == NotifyNormal || focus.mode == NotifyWhileGrabbed) && focus.detail != NotifyInferior &&
         focus.detail != NotifyPointer;
}

// The pointer left the game's window for another, not for a grab (the window manager's, a
// drag's own implicit grab while a button is held) or one of the window's children.
bool IsRealLeave(const XCrossingEvent& leave) {
  const unsigned int buttons = Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask;
  if (leave.detail == NotifyInferior) return false;
  return (leave.mode == NotifyNormal && (leave.state & buttons) == 0) || leave.mode == NotifyUngrab;
}

// Applies one event to the input.
void Translate(EventTarget& target, XEvent& event, InputState& input) {
  if (target.Suspended) {
    // The pointer is the player's, in another window: a click on the game brings it back, and is not a click.
    if (event.type == ButtonPress) target.Suspended = false;
    if (event.type == ButtonPress || event.type == ButtonRelease || event.type == MotionNotify) return;
  }
  switch (event.type) {
    case KeyPress:
      if (int key = KeyOf(event.xkey)) input.PressKey(key);
      break;
    case KeyRelease:
      if (IsRepeatRelease(target.Connection, event.xkey)) break;
      if (int key = KeyOf(event.xkey)) input.ReleaseKey(key);
      break;
    case ButtonPress:
      if (int button = GameButtonFor(event.xbutton.button)) input.PressButton(button);
      break;
    case ButtonRelease:
      if (int button = GameButtonFor(event.xbutton.button)) input.ReleaseButton(button);
      break;
    case MotionNotify: {
      // Scaled with the fraction carried: exact however many small moves make up a large one.
      PointerTrack& pointer = TrackedPointer(target);
      pointer.MoveTo(event.xmotion.x, event.xmotion.y);
      input.MovePointer(pointer.FrameX(), pointer.FrameY());
      break;
    }
    case FocusIn:
    case FocusOut:
      // Losing or regaining focus is the game's suspend and resume.
      input.ClearKeysAndButtons();
      // The full screen takes the input back with the focus. A window waits for a click in it: the focus
      // may come with a click on its title bar, to move it, and the pointer must not be taken from that.
      if (target.HoldsInput && IsRealFocusChange(event.xfocus) && (event.type == FocusOut || !target.InWindow))
        target.Suspended = event.type == FocusOut;
      break;
    case LeaveNotify:
      // A window does not hold the pointer: leaving it is leaving the game, as losing the focus is.
      if (target.HoldsInput && target.InWindow && !target.Suspended && IsRealLeave(event.xcrossing)) {
        input.ClearKeysAndButtons();
        target.Suspended = true;
      }
      break;
    case ConfigureNotify:
      // Resized by the player or the window manager: the frame is fitted to the new size.
      if (event.xconfigure.window == target.Win &&
          (event.xconfigure.width != target.Fit.WindowW || event.xconfigure.height != target.Fit.WindowH)) {
        target.Fit =
            FrameFit::Make(target.Fit.FrameW, target.Fit.FrameH, event.xconfigure.width, event.xconfigure.height);
        target.Refitted = true;
      }
      break;
    case PropertyNotify:
      if (event.xproperty.window == target.Win && event.xproperty.atom == target.FrameExtentsAtom)
        target.FrameExtentsChanged = true;
      break;
    case ClientMessage:
      // The close button ends the game the way Esc does.
      if (event.xclient.format == 32 && Atom(event.xclient.data.l[0]) == target.DeleteWindow) {
        input.PressKey(KeyEscape);
        input.ReleaseKey(KeyEscape);
      }
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == target.Win) target.Destroyed = true;
      break;
    case MappingNotify: XRefreshKeyboardMapping(&event.xmapping); break;
    default: break;
  }
}

}  // namespace

PointerTrack& TrackedPointer(EventTarget& target) {
  if (!target.Pointer.Fit().SameAs(target.Fit)) target.Pointer = PointerTrack(target.Fit);
  return target.Pointer;
}

// Turns every pending event into input.
void PumpX11Events(EventTarget& target, InputState& input) {
  if (!target.Connection) return;
  while (XPending(target.Connection) > 0) {
    XEvent event;
    XNextEvent(target.Connection, &event);
    Translate(target, event, input);
  }
}

// After a warp: waits until the server has handled it, then forgets the motion queued up to then.
void DropMotionBeforeNow(const EventTarget& target) {
  // XSync returns after every event the server sent before handling the warp is queued here.
  XSync(target.Connection, False);
  XEvent stale;
  while (XCheckTypedWindowEvent(target.Connection, target.Win, MotionNotify, &stale)) {
  }
}
