// The real game's backend: Xlib window, GLX context, XF86VidMode full screen.
// Opening and closing the screen live here; events, drawing, mode switching,
// the watchdog, quit signals and clocks each have their own file beside this one.
//
// One X connection and one GL context serve the whole run: the intro window
// and the full screen are windows on it. A server whose last client leaves
// resets and refuses the next connection for a moment (plain Xvfb, minimal
// xinit sessions), so the connection is never closed between the two.
#include "platform/backends/x11.h"

#include <cstdlib>
#include <string>

#include "platform/backends/x11_clock.h"
#include "platform/backends/x11_errors.h"
#include "platform/backends/x11_events.h"
#include "platform/backends/x11_gl.h"
#include "platform/backends/x11_refresh.h"
#include "platform/backends/x11_signals.h"
#include "platform/backends/x11_videomode.h"
#include "platform/backends/x11_watchdog.h"
#include "platform/backends/x11_xlib.h"

namespace {

// How long Open waits for the window to appear and for the pointer grab.
constexpr int kMapWaitMs = 5000;
constexpr int kGrabWaitMs = 1000;

// True when a space-separated extension list names the extension exactly.
bool HasExtension(const char* list, const std::string& name) {
  const std::string all = list ? std::string(" ") + list + " " : std::string();
  return all.find(" " + name + " ") != std::string::npos;
}

// Matches the MapNotify of one window.
Bool IsMapOf(Display*, XEvent* event, XPointer window) {
  return event->type == MapNotify && event->xmap.window == *reinterpret_cast<Window*>(window);
}

class X11Backend final : public Backend {
 public:
  explicit X11Backend(bool gameInWindow) : gameInWindow_(gameInWindow) {}
  ~X11Backend() override {
    Close();
    Disconnect();
  }

  bool Open(int width, int height, bool fullScreen, std::string& whyNot) override;
  void Close() override;
  bool RefreshMatches(int hertz) override;
  void PumpEvents(InputState& input) override;
  int64_t NowMs() override { return MonotonicMs(); }
  void SleepMs(int ms) override { SleepForMs(ms); }
  int BootClockMs() override { return bootClock_.Read(); }
  void Swap(bool waitForVerticalBlank) override;
  void Clear(uint8_t r, uint8_t g, uint8_t b) override {
    if (display_) painter_.Clear(r, g, b);
  }
  void Draw(const DrawCall& call) override {
    if (display_) painter_.Draw(call);
  }
  void WarpPointer(int x, int y, InputState& input) override;
  void PlacePointer(int x, int y, InputState& input, bool keepUnread);
  void HidePointer() override;
  uint32_t Generation() const override { return generation_; }

 private:
  // The connection and the GL context for the whole run, made by the first Open;
  // false with the reason when they cannot be made.
  bool Connect(std::string& whyNot);
  bool ConnectAndChooseVisual(std::string& whyNot);
  bool CreateContext(std::string& whyNot);
  void Disconnect();
  // The other steps of Open.
  void CreateWindow(int x, int y, int w, int h, bool fullScreen);
  bool WaitUntilMapped();
  // Full screen: hidden pointer confined to the window, keyboard to the game.
  void GrabInput();
  // Lets the pointer and the keyboard go (the window has lost the focus, or closes).
  void ReleaseInput();
  // Gives the window the keyboard focus; a refusal (a window manager's frame not yet shown) is harmless.
  void TakeFocus();
  // Sets the number of vertical blanks a swap waits for, when it differs from the last.
  void SetSwapInterval(int interval);
  // A cursor with no visible pixels, made once per connection.
  Cursor NullCursor();

  BootClock bootClock_;  // based when the backend is made, as the game starts
  Display* display_ = nullptr;
  XVisualInfo* visual_ = nullptr;
  GLXContext context_ = nullptr;
  Colormap colormap_ = 0;
  Window window_ = 0;
  Cursor nullCursor_ = 0;
  bool fullScreen_ = false;
  bool grabbed_ = false;
  // The full screen is a framed window of its size instead.
  bool gameInWindow_ = false;
  int swapInterval_ = -1;  // -1: not yet set in this context
  EventTarget target_;
  GlPainter painter_;
  uint32_t generation_ = 0;
};

// Opens a window or the full-screen mode of width x height; on failure returns false and says why.
bool X11Backend::Open(int width, int height, bool fullScreen, std::string& whyNot) {
  Close();
  if (!display_ && !Connect(whyNot)) return false;
  const int screen = DefaultScreen(display_);
  fullScreen_ = fullScreen && !gameInWindow_;
  std::string noSwitch;  // whatever the reason, the scaled window below shows the game
  if (!fullScreen_) {
    CreateWindow(0, 0, width, height, false);
  } else if (SwitchVideoMode(display_, screen, width, height, noSwitch)) {
    CreateWindow(0, 0, width, height, true);
  } else {
    // No mode to switch to: a borderless window over the whole screen shows the frame scaled.
    CreateWindow(0, 0, DisplayWidth(display_, screen), DisplayHeight(display_, screen), true);
  }
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
  painter_.Begin(target_.Fit, generation_);
  swapInterval_ = -1;
  if (fullScreen)
    GrabInput();
  else
    TakeFocus();  // keys reach the intro at once, wherever the pointer is
  XSync(display_, False);
  return true;
}

// The first Open connects; later ones reuse the connection and the context, so textures stay valid.
bool X11Backend::Connect(std::string& whyNot) {
  // Both are set up while the game has no threads yet (the GL driver may start some).
  StartModeWatchdog();
  CatchQuitSignals();
  if (!ConnectAndChooseVisual(whyNot) || !CreateContext(whyNot)) {
    Disconnect();
    return false;
  }
  ++generation_;
  Bool detectable = False;
  XkbSetDetectableAutoRepeat(display_, True, &detectable);
  return true;
}

// Connects to the display named by DISPLAY and picks a double-buffered RGBA visual.
bool X11Backend::ConnectAndChooseVisual(std::string& whyNot) {
  display_ = XOpenDisplay(nullptr);
  if (!display_) {
    const char* name = std::getenv("DISPLAY");
    whyNot = name && *name ? "cannot connect to the X display \"" + std::string(name) + "\""
                           : "cannot connect to an X display (DISPLAY is not set)";
    return false;
  }
  int errorBase = 0, eventBase = 0;
  if (!glXQueryExtension(display_, &errorBase, &eventBase)) {
    whyNot = "the X display " + std::string(DisplayString(display_)) + " has no GLX extension";
    return false;
  }
  int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1, None};
  visual_ = glXChooseVisual(display_, DefaultScreen(display_), attributes);
  if (!visual_) {
    whyNot = "the X display offers no double-buffered RGBA OpenGL visual";
    return false;
  }
  return true;
}

// Creates the OpenGL context, direct rendering where the server allows it.
bool X11Backend::CreateContext(std::string& whyNot) {
  XErrorTrap trap(display_);
  context_ = glXCreateContext(display_, visual_, nullptr, True);
  if (!trap.Clean() || !context_) {
    whyNot = "cannot create an OpenGL context on the X display";
    return false;
  }
  return true;
}

// Ends the connection and what lives on it; harmless when there is none.
void X11Backend::Disconnect() {
  if (!display_) return;
  if (context_) {
    glXMakeCurrent(display_, None, nullptr);
    glXDestroyContext(display_, context_);
    context_ = nullptr;
  }
  if (nullCursor_) XFreeCursor(display_, nullCursor_);
  nullCursor_ = 0;
  if (visual_) XFree(visual_);
  visual_ = nullptr;
  XCloseDisplay(display_);
  display_ = nullptr;
}

// Creates and shows the window: a fixed-size framed window, or a borderless one over the screen.
void X11Backend::CreateWindow(int x, int y, int w, int h, bool fullScreen) {
  const Window root = RootWindow(display_, visual_->screen);
  colormap_ = XCreateColormap(display_, root, visual_->visual, AllocNone);
  XSetWindowAttributes attributes{};
  attributes.colormap = colormap_;
  attributes.background_pixel = 0;
  attributes.border_pixel = 0;
  attributes.override_redirect = fullScreen ? True : False;  // no frame, no window manager placement
  attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                          FocusChangeMask | StructureNotifyMask | ExposureMask;
  window_ =
      XCreateWindow(display_, root, x, y, unsigned(w), unsigned(h), 0, visual_->depth, InputOutput, visual_->visual,
                    CWColormap | CWBackPixel | CWBorderPixel | CWOverrideRedirect | CWEventMask, &attributes);
  XStoreName(display_, window_, "Chromelly");
  XClassHint classHint{};
  char className[] = "Chromelly";
  char instanceName[] = "chromelly";
  classHint.res_name = instanceName;
  classHint.res_class = className;
  XSetClassHint(display_, window_, &classHint);
  // The window cannot be resized: its smallest and largest sizes are its size.
  XSizeHints size{};
  // The intro window is placed by the window manager; the full screen sits at the origin.
  size.flags = (fullScreen ? PPosition : 0) | PSize | PMinSize | PMaxSize;
  size.x = x;
  size.y = y;
  size.width = size.min_width = size.max_width = w;
  size.height = size.min_height = size.max_height = h;
  XSetWMNormalHints(display_, window_, &size);
  XWMHints hints{};
  hints.flags = InputHint | StateHint;
  hints.input = True;
  hints.initial_state = NormalState;
  XSetWMHints(display_, window_, &hints);
  target_.DeleteWindow = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display_, window_, &target_.DeleteWindow, 1);
  target_.Connection = display_;
  target_.Win = window_;
  target_.PointerKnown = false;  // the first warp into a new window is absolute
  XMapRaised(display_, window_);
}

// Waits for the window's MapNotify, leaving every other event queued for the game.
bool X11Backend::WaitUntilMapped() {
  const int64_t giveUp = MonotonicMs() + kMapWaitMs;
  XEvent event;
  while (!XCheckIfEvent(display_, &event, IsMapOf, reinterpret_cast<XPointer>(&window_))) {
    if (MonotonicMs() > giveUp) return false;
    SleepForMs(1);
  }
  return true;
}

// Full screen: hidden pointer confined to the window, keyboard to the game.
void X11Backend::GrabInput() {
  XDefineCursor(display_, window_, NullCursor());
  TakeFocus();
  const unsigned int pointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
  const int64_t giveUp = MonotonicMs() + kGrabWaitMs;
  // Another client (a menu, the window manager) may hold the pointer for a moment.
  while (XGrabPointer(display_, window_, True, pointerEvents, GrabModeAsync, GrabModeAsync, window_, NullCursor(),
                      CurrentTime) != GrabSuccess) {
    if (MonotonicMs() > giveUp) break;
    SleepForMs(10);
  }
  // In a window the keys come with the focus, and the window manager keeps its own to switch away.
  while (fullScreen_ &&
         XGrabKeyboard(display_, window_, True, GrabModeAsync, GrabModeAsync, CurrentTime) != GrabSuccess) {
    if (MonotonicMs() > giveUp) break;
    SleepForMs(10);
  }
  grabbed_ = true;
}

// Lets the pointer and the keyboard go (the window has lost the focus, or closes).
void X11Backend::ReleaseInput() {
  if (!grabbed_) return;
  XUngrabPointer(display_, CurrentTime);
  XUngrabKeyboard(display_, CurrentTime);
  XFlush(display_);
  grabbed_ = false;
}

// Gives the window the keyboard focus; a refusal (a window manager's frame not yet shown) is harmless.
void X11Backend::TakeFocus() {
  XErrorTrap trap(display_);
  XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
  trap.Clean();
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
  XDestroyWindow(display_, window_);
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
void X11Backend::Swap(bool waitForVerticalBlank) {
  if (!display_) return;
  SetSwapInterval(waitForVerticalBlank ? 1 : 0);
  glXSwapBuffers(display_, window_);
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

// Moves the system pointer to frame pixel (x, y); input reports (x, y) until the user moves it again.
// While the full screen has lost the focus the system pointer is the player's, elsewhere, and stays.
// The warp is relative to where the game last read the pointer: a move that reached the server
// after the events were read (the game warps every frame) is kept for the next frame, not lost.
void X11Backend::WarpPointer(int x, int y, InputState& input) { PlacePointer(x, y, input, target_.PointerKnown); }

// As WarpPointer; an absolute warp unless keepUnread (the pointer was elsewhere, or never seen).
void X11Backend::PlacePointer(int x, int y, InputState& input, bool keepUnread) {
  if (display_ && window_ && !target_.Suspended) {
    int wx = 0, wy = 0;
    target_.Fit.ToWindow(x, y, wx, wy);
    if (keepUnread)
      XWarpPointer(display_, None, None, 0, 0, 0, 0, wx - target_.PointerWinX, wy - target_.PointerWinY);
    else
      XWarpPointer(display_, None, window_, 0, 0, 0, 0, wx, wy);
    DropMotionBeforeNow(target_);
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0;
    unsigned int mask = 0;
    // Where the pointer is after the warp: the destination plus any move the game has not read yet
    // (converted only then, so a scaled frame's rounding never moves a still pointer).
    int nowX = wx, nowY = wy;
    if (keepUnread && XQueryPointer(display_, window_, &root, &child, &rootX, &rootY, &nowX, &nowY, &mask) &&
        (nowX != wx || nowY != wy)) {
      wx = nowX;
      wy = nowY;
      target_.Fit.ToFrame(wx, wy, x, y);
    }
    target_.PointerWinX = wx;
    target_.PointerWinY = wy;
    target_.PointerKnown = true;
  }
  input.MovePointer(x, y);
}

// Turns pending events into input; a quit signal reads as a press of Esc until the game has taken it.
// The full screen lets the pointer and the keyboard go when it loses the focus; when the focus comes
// back it takes them again and puts the pointer where the game last had it, so the cursor does not jump.
void X11Backend::PumpEvents(InputState& input) {
  PumpX11Events(target_, input);
  if (target_.HoldsInput && target_.Suspended && grabbed_) {
    ReleaseInput();
  } else if (target_.HoldsInput && !target_.Suspended && !grabbed_) {
    GrabInput();
    PlacePointer(input.PointerX, input.PointerY, input, false);  // the pointer comes back from elsewhere
  }
  if (QuitSignal() != 0 && input.KeyPresses[KeyEscape] == 0) {
    input.ReleaseKey(KeyEscape);
    input.PressKey(KeyEscape);
    input.ReleaseKey(KeyEscape);
  }
}

// Hides the system pointer over the window (XWayland then lets warps through).
void X11Backend::HidePointer() {
  if (!display_) return;
  XDefineCursor(display_, window_, NullCursor());
  XFlush(display_);
}

}  // namespace

// Makes a backend that opens its display on Open; nothing touches X before that.
std::unique_ptr<Backend> MakeX11Backend(bool gameInWindow) { return std::make_unique<X11Backend>(gameInWindow); }
