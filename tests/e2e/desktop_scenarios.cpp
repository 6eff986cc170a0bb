/** @file desktop_scenarios.cpp The game under a window manager: other windows, focus, the fitted window. */
// The game on a desktop with a window manager (run_under_xvfb.sh --wm ...): another window
// coming and going during play, the focus taken away as the game screen opens, and the game
// screen in a window fitted to the work area, resized, left with Alt+Tab and closed.
//
// Whenever the game is visible it must be reachable: either it holds the focus and shows its
// frame as usual, or it shows the black "Click to go on" band across the middle of its frame,
// and a click on it gives it the focus back.
#include <X11/Xatom.h>
#include <signal.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/game_scenarios.h"

namespace {

// Up to count 32-bit items of a property as longs; empty when missing.
std::vector<long> ReadLongs(Display* display, Window window, const char* name, Atom type, long count) {
  Atom actualType = 0;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<long> values;
  if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, count, False, type, &actualType,
                         &format, &items, &after, &data) == Success &&
      data && actualType == type && format == 32) {
    const long* longs = reinterpret_cast<const long*>(data);
    values.assign(longs, longs + items);
  }
  if (data) XFree(data);
  return values;
}

// The window that has the keyboard focus.
Window FocusWindow(Display* display) {
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  return focus;
}

// The band the game draws across the middle of its frame while it does not hold the input: black
// on both sides of its line of text, where the game's own frame is mostly white.
bool NoticeShown(ScreenReader& screen, const ShownFrame& frame) {
  screen.Snapshot();
  const int top = frame.ScreenY(374), bottom = frame.ScreenY(394);
  const Box left{frame.ScreenX(16), top, frame.ScreenX(400) - frame.ScreenX(16), bottom - top};
  const Box right{frame.ScreenX(624), top, frame.ScreenX(1008) - frame.ScreenX(624), bottom - top};
  return MostlyBlack(screen, left) && MostlyBlack(screen, right);
}

// Where the frame shows for the game's window as it is now (root pixels).
ShownFrame FrameIn(const ShownWindow& window) {
  ShownFrame frame = ShownFrame::Fit(kFrameW, kFrameH, window.W, window.H);
  frame.OffsetX += window.X;
  frame.OffsetY += window.Y;
  return frame;
}

// Moves the pointer to a frame pixel and clicks there.
void ClickAt(Checks& checks, const ShownFrame& frame, int fx, int fy) {
  Xdotool(checks, "mousemove " + std::to_string(frame.ScreenX(fx)) + " " + std::to_string(frame.ScreenY(fy)));
  PauseMs(200);
  Click(checks);
}

// The game, visible, is reachable: it holds the focus with its frame shown plain, or it shows the band
// and a click below the band gives it the focus back, the band gone. Then Esc ends it with status 0.
void ExpectReachableThenEsc(Checks& checks, GameProcess& game, ScreenReader& screen, const std::string& where,
                            const std::string& shot) {
  ShownWindow window;
  bool focused = false, notice = false;
  const bool settled = WaitUntil(
      [&] {
        window = FindGameWindow(screen);
        if (window.Id == 0) return false;
        focused = FocusWindow(screen.Connection()) == window.Id;
        notice = NoticeShown(screen, FrameIn(window));
        return focused != notice;
      },
      20000);
  Screenshot(checks, shot);
  checks.Expect(settled, where + ": the game is shown with the focus, or shows \"Click to go on\" without it (focus " +
                             std::string(focused ? "the game's" : "elsewhere") + ", band " +
                             (notice ? "shown" : "not shown") + ")");
  if (settled && notice) {
    // Below the band, on the game's own frame.
    ClickAt(checks, FrameIn(window), 512, 600);
    const bool back = WaitUntil(
        [&] {
          window = FindGameWindow(screen);
          return window.Id != 0 && FocusWindow(screen.Connection()) == window.Id &&
                 !NoticeShown(screen, FrameIn(window));
        },
        15000);
    checks.Expect(back, where + ": a click on the game gives it the focus back and the band goes");
  } else if (settled) {
    screen.Snapshot();
    const double white = WhiteShare(screen, FrameIn(window));
    checks.Expect(white >= 0.5, where + ": the game's frame shows, " + std::to_string(int(white * 100)) + "% white");
  }
  ExpectEscEnds(checks, game, where);
}

// The viewable window of the class name among window and its descendants (inside a window manager's
// frame, a few levels down), or 0.
Window FindShownOfClass(Display* display, Window window, const std::string& name, int depth) {
  XClassHint hint{};
  if (XGetClassHint(display, window, &hint)) {
    const bool match = hint.res_name && name == hint.res_name;
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    XWindowAttributes a{};
    if (match && XGetWindowAttributes(display, window, &a) && a.map_state == IsViewable) return window;
  }
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (depth == 0 || !XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < count && !found; ++i) found = FindShownOfClass(display, children[i], name, depth - 1);
  if (children) XFree(children);
  return found;
}

// Waits until the other window (xmessage, started by the caller) is shown; its window, or 0.
Window ShowOtherWindow(Checks& checks, ScreenReader& screen, const std::string& geometry) {
  Display* d = screen.Connection();
  Window shown = 0;
  WaitUntil([&] { return (shown = FindShownOfClass(d, DefaultRootWindow(d), "xmessage", 4)) != 0; }, 15000);
  checks.Expect(shown != 0, "another window (xmessage at " + geometry + ") shows");
  return shown;
}

// An xmessage window as the other window a player has open; ended by the destructor if still there.
std::vector<std::string> OtherWindowArguments(const std::string& geometry) {
  return {"-geometry", geometry, "Another window, mapped during play"};
}

}  // namespace

int RunOtherWindow(const std::string& gamePath, const std::string& shots) {
  Checks checks;
  ScreenReader screen;
  GameProcess game(gamePath);
  if (!StartToGameScreen(checks, game, screen)) return checks.Finish();
  const Window game0 = FindGameWindow(screen).Id;
  checks.Expect(WaitUntil([&] { return FocusWindow(screen.Connection()) == game0; }, 10000),
                "the game screen has the focus once shown");
  {
    GameProcess other("/usr/bin/xmessage", OtherWindowArguments("+100+100"));
    if (ShowOtherWindow(checks, screen, "+100+100")) {
      // The window manager decides who has the focus now (given a moment to); whoever has it, the game must
      // either hold it or say that it has lost it, and be reachable afterwards.
      PauseMs(1500);
      bool focused = false, notice = false;
      WaitUntil(
          [&] {
            focused = FocusWindow(screen.Connection()) == game0;
            const ShownWindow window = FindGameWindow(screen);
            notice = !focused && window.Id != 0 && NoticeShown(screen, FrameIn(window));
            return focused || notice;
          },
          10000);
      Screenshot(checks, shots + "_other.png");
      checks.Expect(focused || notice,
                    "while the other window is shown the game keeps the focus or shows \"Click to go on\" (" +
                        std::string(focused  ? "focus the game's"
                                    : notice ? "band shown"
                                             : "neither") +
                        ")");
      other.Signal(SIGTERM);
      checks.Expect(other.WaitForEnd(10000), "the other window closes");
    }
  }
  ExpectReachableThenEsc(checks, game, screen, "after the other window closed", shots + "_after.png");
  return checks.Finish();
}

int RunFocusLostAtStart(const std::string& gamePath, const std::string& shots) {
  Checks checks;
  ScreenReader screen;
  GameProcess game(gamePath);
  ShownWindow intro;
  if (!StartToIntro(checks, game, screen, intro)) return checks.Finish();
  Xdotool(checks, "key Return");
  // As soon as the full screen is there, the focus goes to the root window for a second, as a window
  // manager's own window took it right after Return.
  Display* d = screen.Connection();
  ShownWindow shown;
  const bool opened = WaitUntil(
      [&] {
        shown = FindGameWindow(screen);
        return shown.Id != 0 && !shown.IsIntro();
      },
      15000);
  checks.Expect(opened, "Return opens the game screen's window");
  if (!opened) return checks.Finish();
  for (int i = 0; i < 10; ++i) {
    XSetInputFocus(d, DefaultRootWindow(d), RevertToPointerRoot, CurrentTime);
    XSync(d, False);
    PauseMs(100);
  }
  ExpectReachableThenEsc(checks, game, screen, "focus lost at start", shots + "_lost.png");
  return checks.Finish();
}

int RunWindowOnDesktop(const std::string& gamePath, const std::string& shots) {
  Checks checks;
  ScreenReader screen;
  Display* d = screen.Connection();
  GameProcess game(gamePath, {"--window"});
  ShownWindow intro;
  if (!StartToIntro(checks, game, screen, intro)) return checks.Finish();
  Xdotool(checks, "key Return");
  ShownWindow window;
  double white = 0;
  const bool opened = WaitUntil(
      [&] {
        window = FindGameWindow(screen);
        if (window.Id == 0 || window.IsIntro()) return false;
        screen.Snapshot();
        white = WhiteShare(screen, FrameIn(window));
        return white >= 0.9;
      },
      15000);
  checks.Expect(opened, "Return opens the game screen in a window of " + std::to_string(window.W) + " x " +
                            std::to_string(window.H) + ", its frame " + std::to_string(int(white * 100)) + "% white");
  if (!opened) return checks.Finish();
  Screenshot(checks, shots + "_start.png");

  // It fits the work area with the window manager's frame around it, as large as the frame's aspect allows
  // (up to the frame's own size). On a busy machine the window manager may tell the frame late, and the
  // game then fits the window again: waited for.
  std::vector<long> area = ReadLongs(d, DefaultRootWindow(d), "_NET_WORKAREA", XA_CARDINAL, 4);
  if (area.size() < 4) area = {0, 0, screen.Width(), screen.Height()};
  std::vector<long> extents;
  bool inside = false, largest = false;
  int left = 0, right = 0, top = 0, bottom = 0, roomW = 0, roomH = 0;
  WaitUntil(
      [&] {
        window = FindGameWindow(screen);
        extents = ReadLongs(d, window.Id, "_NET_FRAME_EXTENTS", XA_CARDINAL, 4);
        if (window.Id == 0 || extents.size() < 4) return false;
        left = window.X - int(extents[0]);
        right = window.X + window.W + int(extents[1]);
        top = window.Y - int(extents[2]);
        bottom = window.Y + window.H + int(extents[3]);
        inside = left >= area[0] && top >= area[1] && right <= area[0] + area[2] && bottom <= area[1] + area[3];
        roomW = std::min(int(area[2]) - int(extents[0] + extents[1]), kFrameW);
        roomH = std::min(int(area[3]) - int(extents[2] + extents[3]), kFrameH);
        largest = window.W <= roomW && window.H <= roomH && (window.W >= roomW - 1 || window.H >= roomH - 1) &&
                  window.W * 3 >= window.H * 4 - 4 && window.W * 3 <= window.H * 4 + 4;
        return inside && largest;
      },
      15000);
  checks.Expect(extents.size() == 4, "the window manager tells the frame around the window (_NET_FRAME_EXTENTS)");
  checks.Expect(inside, "the window with its frame (" + std::to_string(left) + "," + std::to_string(top) + ")-(" +
                            std::to_string(right) + "," + std::to_string(bottom) + ") lies inside the work area (" +
                            std::to_string(area[0]) + "," + std::to_string(area[1]) + " " + std::to_string(area[2]) +
                            "x" + std::to_string(area[3]) + ")");
  checks.Expect(largest, "the window, " + std::to_string(window.W) + " x " + std::to_string(window.H) +
                             ", is 4:3 and as large as the room (" + std::to_string(roomW) + " x " +
                             std::to_string(roomH) + ") allows");

  // Resized by the window manager: the frame fits the new size, letterboxed with black bars.
  Shell("wmctrl -r Chromelly -e 0,40,40,700,400");
  GameScreen resized;
  int barPixels = -1;
  const bool refitted = WaitUntil(
      [&] {
        resized.Window = FindGameWindow(screen);
        if (resized.Window.W != 700 || resized.Window.H != 400) return false;
        resized.Frame = FrameIn(resized.Window);
        screen.Snapshot();
        white = WhiteShare(screen, resized.Frame);
        barPixels = NonBlackInBars(screen, resized);
        return white >= 0.6 && barPixels == 0;
      },
      15000);
  Screenshot(checks, shots + "_resized.png");
  checks.Expect(refitted, "resized to 700 x 400 (now " + std::to_string(resized.Window.W) + " x " +
                              std::to_string(resized.Window.H) + "), the frame shows fitted in it, " +
                              std::to_string(int(white * 100)) + "% white, the bars beside it black (" +
                              std::to_string(barPixels) + " other pixels)");

  // Alt+Tab is the window manager's: with another window open, it takes the focus from the game.
  GameProcess other("/usr/bin/xmessage", OtherWindowArguments("+0-0"));
  if (const Window otherId = ShowOtherWindow(checks, screen, "+0-0")) {
    ClickAt(checks, FrameIn(FindGameWindow(screen)), 512, 600);
    const Window id = FindGameWindow(screen).Id;
    const bool focused = WaitUntil([&] { return id != 0 && FocusWindow(d) == id; }, 15000);
    checks.Expect(focused, "a click on the game's window gives it the focus");
    if (focused) {
      PauseMs(500);
      Xdotool(checks, "key alt+Tab");
      const bool switched = WaitUntil([&] { return FocusWindow(d) == otherId; }, 10000);
      checks.Expect(switched, "Alt+Tab reaches the window manager: the focus goes to the other window");
      const bool notice = WaitUntil([&] { return NoticeShown(screen, FrameIn(FindGameWindow(screen))); }, 10000);
      checks.Expect(notice, "the game's window, left, shows \"Click to go on\"");
      Screenshot(checks, shots + "_alt_tab.png");
    }
  }

  // Closed through the window manager: the game ends as with Esc.
  Shell("wmctrl -c Chromelly");
  game.WaitForEnd(15000);
  checks.Expect(game.EndedWithStatusZero(),
                "closed through the window manager, the game ends with status 0 (" + game.Ending() + ")");
  return checks.Finish();
}
