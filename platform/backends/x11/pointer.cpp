/** @file pointer.cpp The X11 backend's pointer: its grab, its hiding and its warps. */
// The X11 backend's pointer: grabbed and hidden while the game holds it, and
// warped to where the game puts its cursor.
#include "platform/backends/x11/x11_backend.h"

namespace {

// How long a grab is retried while another client holds the pointer or keyboard.
constexpr int kGrabWaitMs = 1000;

}  // namespace

// Takes the pointer and the keyboard for the game. In full screen the pointer is confined to the
// window and the keyboard grabbed; a window grabs neither, so the window manager's keys (Alt+Tab)
// and its own grabs keep working, and the pointer stays in by the game's warps to its cursor.
// When another client holds either past the wait, the game lets go and says so (suspended).
bool X11Backend::GrabInput() {
  XDefineCursor(display_, window_, NullCursor());
  TakeFocus();
  grabbed_ = true;
  if (gameInWindow_) return true;
  const unsigned int pointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
  const int64_t giveUp = MonotonicMs() + kGrabWaitMs;
  // Another client (a menu, the window manager) may hold the pointer for a moment.
  bool held = false;
  while (!(held = XGrabPointer(display_, window_, True, pointerEvents, GrabModeAsync, GrabModeAsync, window_,
                               NullCursor(), CurrentTime) == GrabSuccess)) {
    if (MonotonicMs() > giveUp) break;
    SleepForMs(10);
  }
  while (held &&
         !(held = XGrabKeyboard(display_, window_, True, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess)) {
    if (MonotonicMs() > giveUp) break;
    SleepForMs(10);
  }
  if (held) return true;
  ReleaseInput();
  target_.Suspended = true;
  return false;
}

// Lets the pointer and the keyboard go (the window has lost the focus, or closes), and shows the
// system pointer again: the player must see where it is to find his way back.
void X11Backend::ReleaseInput() {
  if (!grabbed_) return;
  XUngrabPointer(display_, CurrentTime);
  XUngrabKeyboard(display_, CurrentTime);
  XUndefineCursor(display_, window_);
  XFlush(display_);
  grabbed_ = false;
}

// A cursor with no visible pixels, made once per connection.
Cursor X11Backend::NullCursor() {
  if (nullCursor_) return nullCursor_;
  const char empty[1] = {0};
  Pixmap bitmap = XCreateBitmapFromData(display_, RootWindow(display_, visual_->screen), empty, 1, 1);
  XColor black{};
  nullCursor_ = XCreatePixmapCursor(display_, bitmap, bitmap, &black, &black, 0, 0);
  XFreePixmap(display_, bitmap);
  return nullCursor_;
}

// Moves the system pointer to frame pixel (x, y); input reports (x, y) until the user moves it again.
// While the full screen has lost the focus the system pointer is the player's, elsewhere, and stays.
// The warp is relative to where the game last read the pointer: a move that reached the server
// after the events were read (the game warps every frame) is kept for the next frame, not lost.
void X11Backend::WarpPointer(int x, int y, InputState& input) {
  PlacePointer(x, y, input, TrackedPointer(target_).Known());
}

// As WarpPointer; an absolute warp unless keepUnread (the pointer was elsewhere, or never seen).
void X11Backend::PlacePointer(int x, int y, InputState& input, bool keepUnread) {
  if (display_ && window_ && !target_.Suspended) {
    PointerTrack& pointer = TrackedPointer(target_);
    int wx = 0, wy = 0;
    target_.Fit.ToWindow(x, y, wx, wy);
    if (keepUnread)
      XWarpPointer(display_, None, None, 0, 0, 0, 0, wx - pointer.WindowX(), wy - pointer.WindowY());
    else
      XWarpPointer(display_, None, window_, 0, 0, 0, 0, wx, wy);
    DropMotionBeforeNow(target_);
    // The game's pointer is on (x, y) and what it has not moved of a frame pixel yet is kept.
    pointer.Warped(x, y, wx, wy);
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0;
    unsigned int mask = 0;
    // Where the pointer is after the warp: the destination plus any move the game has not read yet.
    int nowX = wx, nowY = wy;
    if (keepUnread && XQueryPointer(display_, window_, &root, &child, &rootX, &rootY, &nowX, &nowY, &mask) &&
        (nowX != wx || nowY != wy)) {
      pointer.MoveTo(nowX, nowY);
      x = pointer.FrameX();
      y = pointer.FrameY();
    }
  }
  input.MovePointer(x, y);
}

// Hides the system pointer over the window (XWayland then lets warps through).
// While the game has lost the input the pointer stays visible, so the player finds the game again.
void X11Backend::HidePointer() {
  if (!display_ || target_.Suspended) return;
  XDefineCursor(display_, window_, NullCursor());
  XFlush(display_);
}
