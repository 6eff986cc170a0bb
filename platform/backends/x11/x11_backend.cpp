/** @file x11_backend.cpp The X11 backend's opening and closing of the screen, its swaps and its reading of events. */
// The real game's backend: Xlib window, GLX context, XF86VidMode full screen.
// Opening and closing the screen, swapping and reading events live here; the
// connection, the window and the pointer have their own files beside this
// one, as have events, drawing, mode switching, the watchdog, quit signals and clocks.
//
// One X connection and one GL context serve the whole run: the intro window
// and the full screen are windows on it. A server whose last client leaves
// resets and refuses the next connection for a moment (plain Xvfb, minimal
// xinit sessions), so the connection is never closed between the two.
#include "platform/backends/x11/x11_backend.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/backends/x11/desktop.h"
#include "platform/backends/x11/error_trap.h"
#include "platform/backends/x11/monitor.h"
#include "platform/backends/x11/quit_signals.h"
#include "platform/backends/x11/refresh_probe.h"
#include "platform/backends/x11/video_mode.h"
#include "platform/backends/x11/x11.h"

namespace {

// True when a space-separated extension list names the extension exactly.
bool HasExtension(const char* list, const std::string& name) {
  const std::string all = list ? std::string(" ") + list + " " : std::string();
  return all.find(" " + name + " ") != std::string::npos;
}

}  // namespace

// Opens a window or the full-screen mode of width x height; on failure returns false and says why.
bool X11Backend::Open(int width, int height, bool fullScreen, std::string& whyNot) {
  Close();
  if (!display_ && !Connect(whyNot)) return false;
  const int screen = DefaultScreen(display_);
  fullScreen_ = fullScreen && !gameInWindow_;
  resizable_ = fullScreen && gameInWindow_;
  std::string noSwitch;  // whatever the reason, the scaled window below shows the game
  // A window manager sizes a full-screen window to the monitor, not to a switched mode's part of
  // the screen: under one the game keeps the desktop's mode and shows the frame scaled.
  managed_ = WindowManagerRuns(display_, RootWindow(display_, screen));
  // Where one screen spans several monitors the full screen covers one of them, never the span or a
  // seam; a mode switch there would change the whole span, so it is not tried.
  const MonitorArea monitor = fullScreen_ ? GameMonitor(display_, screen) : MonitorArea{};
  const bool oneMonitor = monitor.W == DisplayWidth(display_, screen) && monitor.H == DisplayHeight(display_, screen);
  if (!fullScreen_) {
    CreateWindow(0, 0, width, height, false);
  } else if (!managed_ && oneMonitor && SwitchVideoMode(display_, screen, width, height, noSwitch)) {
    CreateWindow(0, 0, width, height, true);
  } else {
    // No mode to switch to: a borderless window over the monitor shows the frame scaled.
    CreateWindow(monitor.X, monitor.Y, monitor.W, monitor.H, true);
  }
  WatchWindowForLoss(window_);
  if (!WaitUntilMapped()) {
    whyNot = "the window did not appear on the display";
    Close();
    return false;
  }
  if (!glXMakeCurrent(display_, window_, context_)) {
    whyNot = "cannot make the OpenGL context current";
    Close();
    return false;
  }
  XWindowAttributes shown{};
  XGetWindowAttributes(display_, window_, &shown);
  target_.Fit = FrameFit::Make(width, height, shown.width, shown.height);
  target_.HoldsInput = fullScreen;  // the game in a window too, while it has the focus
  target_.InWindow = gameInWindow_;
  painter_.Begin(target_.Fit, generation_);
  swapInterval_ = -1;
  KeepWindowInWorkArea();
  if (fullScreen)
    GrabInput();  // may find the input held elsewhere: then the game says so and a click takes it
  else
    TakeFocus();  // keys reach the intro at once, wherever the pointer is
  XSync(display_, False);
  return true;
}

// Closes the screen and restores the display mode; harmless when nothing is open.
// The connection stays for the next screen.
void X11Backend::Close() {
  if (!display_ || !window_) {
    RestoreVideoMode();
    return;
  }
  ReleaseInput();
  RestoreVideoMode();
  glXMakeCurrent(display_, None, nullptr);
  {
    // Another program may have destroyed the window just as the game closes it.
    XErrorTrap trap(display_);
    XDestroyWindow(display_, window_);
    trap.Clean();
  }
  WatchWindowForLoss(0);
  if (colormap_) XFreeColormap(display_, colormap_);
  window_ = 0;
  colormap_ = 0;
  // Whatever the closed window still had queued is not for the next one.
  XSync(display_, True);
  target_ = EventTarget{};
  fullScreen_ = false;
  swapInterval_ = -1;
}

// Sets the number of vertical blanks a swap waits for, when it differs from the last.
void X11Backend::SetSwapInterval(int interval) {
  if (interval == swapInterval_) return;
  swapInterval_ = interval;
  const char* extensions = glXQueryExtensionsString(display_, visual_->screen);
  if (HasExtension(extensions, "GLX_EXT_swap_control")) {
    auto setInterval = reinterpret_cast<PFNGLXSWAPINTERVALEXTPROC>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
    if (setInterval) setInterval(display_, window_, interval);
  } else if (HasExtension(extensions, "GLX_MESA_swap_control")) {
    auto setInterval = reinterpret_cast<PFNGLXSWAPINTERVALMESAPROC>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
    if (setInterval) setInterval(unsigned(interval));
  }
}

// Shows the back buffer, waiting for vertical blank or not.
// While the game has lost the input, the frame says so. A new window size takes effect between frames.
void X11Backend::Swap(bool waitForVerticalBlank) {
  if (!display_) return;
  if (target_.HoldsInput && target_.Suspended) DrawLostInputNotice();
  painter_.Finish();
  SetSwapInterval(waitForVerticalBlank ? 1 : 0);
  glXSwapBuffers(display_, window_);
  if (target_.Refitted) {
    target_.Refitted = false;
    painter_.Begin(target_.Fit, generation_);
  }
}

// Over a frame the game shows while it does not hold the input: a line saying a click goes on,
// in the game's own font where it is at hand.
void X11Backend::DrawLostInputNotice() {
  if (!noticeFont_) noticeFont_ = LoadTextFont("incbin::VERA.TTF", 20, FontStyleSmooth);
  if (!noticeFont_) noticeFont_ = FallbackFont();  // a program built without the game's files
  painter_.DrawNotice("Click to go on", *noticeFont_);
}

// True when the open full screen refreshes at hertz, measured for up to a second:
// three swaps in a row of one period each say yes; as soon as the swaps show
// they are not waiting on a refresh at that rate, the answer is no.
bool X11Backend::RefreshMatches(int hertz) {
  if (!display_ || !fullScreen_ || hertz <= 0) return false;
  RefreshProbe probe(hertz);
  const int64_t start = MonotonicUs();
  int64_t last = start;
  while (last - start < 1000000) {
    painter_.Clear(0, 0, 0);
    Swap(true);
    glFinish();  // the swap has really happened once the pipeline is drained
    const int64_t now = MonotonicUs();
    const RefreshProbe::Verdict verdict = probe.Add(double(now - last));
    last = now;
    if (verdict != RefreshProbe::Verdict::Unclear) return verdict == RefreshProbe::Verdict::Matches;
  }
  return false;
}

// Turns pending events into input; a quit signal reads as a press of Esc until the game has taken it.
// The full screen lets the pointer and the keyboard go when it loses the focus; when the focus comes
// back it takes them again and puts the pointer where the game last had it, so the cursor does not jump.
void X11Backend::PumpEvents(InputState& input) {
  PumpX11Events(target_, input);
  if (window_ && (target_.Destroyed || (WatchedWindowLost() && WindowGone()))) EndForLostWindow();
  if (target_.FrameExtentsChanged) {
    target_.FrameExtentsChanged = false;
    KeepWindowInWorkArea();
  }
  if (target_.HoldsInput && target_.Suspended && grabbed_) {
    ReleaseInput();
  } else if (target_.HoldsInput && !target_.Suspended && !grabbed_ && GrabInput()) {
    PlacePointer(input.PointerX, input.PointerY, input, false);  // the pointer comes back from elsewhere
  }
  if (QuitSignal() != 0 && input.KeyPresses[KeyEscape] == 0) {
    input.ReleaseKey(KeyEscape);
    input.PressKey(KeyEscape);
    input.ReleaseKey(KeyEscape);
  }
}

// True when the server no longer knows the window; a request that failed for another reason
// (the window is there) is forgotten.
bool X11Backend::WindowGone() {
  XErrorTrap trap(display_);
  XWindowAttributes attributes{};
  XGetWindowAttributes(display_, window_, &attributes);
  if (!trap.Clean()) return true;
  WatchWindowForLoss(window_);
  return false;
}

// Another program destroyed the window (xdotool windowclose, a crashed window manager taking its
// frames along): the game cannot be shown or played any more, and nobody asked it to end, so it ends
// as when it cannot open its screen. The grabs went with the window; the mode is the game's to restore.
void X11Backend::EndForLostWindow() {
  {
    XErrorTrap trap(display_);  // whatever still names the window fails, harmlessly
    ReleaseInput();
    glXMakeCurrent(display_, None, nullptr);
    trap.Clean();
  }
  WatchWindowForLoss(0);
  window_ = 0;
  RestoreVideoMode();
  std::fprintf(stderr, "chromelly: the game's window was destroyed by another program\n");
  std::exit(1);
}

// Makes a backend that opens its display on Open; nothing touches X before that.
std::unique_ptr<Backend> MakeX11Backend(bool gameInWindow) { return std::make_unique<X11Backend>(gameInWindow); }
