/** @file input_check.cpp input_check: what the X11 backend makes of keys, buttons, pointer, focus and grabs. */
// What the X11 backend makes of the user's input, driven with xdotool (XTEST,
// as real devices) and with a second connection acting as window manager:
// keys to virtual-key codes, auto-repeat, mouse buttons, pointer positions in
// frame pixels on a letterboxed screen, warps that are not undone by stale
// motion, focus loss and its return (grabs let go and taken again, no jump
// of the pointer), the close button, and the grabs of the full screen.
//
// With --window, the game in a framed window instead of the full screen: the
// hand's relative moves only.
//
// Usage: input_check [--window]   (needs DISPLAY and xdotool)
#include <cmath>
#include <memory>
#include <string>

#include "platform/backends/x11/x11.h"
#include "platform/services.h"
#include "tests/e2e/e2e_support.h"

namespace {

// Hits of a key once they have arrived (KeyHits resets them, so they are summed).
int KeyHitsArriving(int key, int wanted) {
  int hits = 0;
  WaitUntil(
      [&] {
        hits += KeyHits(key);
        return hits >= wanted;
      },
      2000);
  PauseMs(150);
  return hits + KeyHits(key);  // any extra press would have arrived by now
}

int ButtonHitsArriving(int button, int wanted) {
  int hits = 0;
  WaitUntil(
      [&] {
        hits += ButtonHits(button);
        return hits >= wanted;
      },
      2000);
  PauseMs(150);
  return hits + ButtonHits(button);
}

// Whether another client can take the pointer and the keyboard (it cannot while the game holds them).
void ExpectGrabs(Checks& checks, ScreenReader& screen, bool gameHoldsThem, const std::string& when) {
  Display* d = screen.Connection();
  const Window root = DefaultRootWindow(d);
  const int pointer =
      XGrabPointer(d, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
  const int keyboard = XGrabKeyboard(d, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
  if (pointer == GrabSuccess) XUngrabPointer(d, CurrentTime);
  if (keyboard == GrabSuccess) XUngrabKeyboard(d, CurrentTime);
  XSync(d, False);
  if (gameHoldsThem) {
    checks.Expect(pointer == AlreadyGrabbed, when + ": the game holds the pointer");
    checks.Expect(keyboard == AlreadyGrabbed, when + ": the game holds the keyboard");
  } else {
    checks.Expect(pointer == GrabSuccess && keyboard == GrabSuccess, when + ": pointer and keyboard are free");
  }
}

// The intro window: fixed size, framed by the window manager, nothing grabbed.
void CheckWindow(Checks& checks, ScreenReader& screen) {
  OpenScreen(560, 370, 0, 60);
  ClearScreen();
  PresentFrame();
  const Window window = screen.GameWindow();
  if (!checks.Expect(window != 0, "window: on the screen, titled Chromelly")) return;
  XWindowAttributes attributes{};
  XGetWindowAttributes(screen.Connection(), window, &attributes);
  checks.Expect(attributes.width == 560 && attributes.height == 370 && !attributes.override_redirect,
                "window: 560 x 370, left to the window manager (not override-redirect)");
  XSizeHints hints{};
  long supplied = 0;
  XGetWMNormalHints(screen.Connection(), window, &hints, &supplied);
  checks.Expect((hints.flags & PMinSize) && (hints.flags & PMaxSize) && hints.min_width == 560 &&
                    hints.max_width == 560 && hints.min_height == 370 && hints.max_height == 370,
                "window: cannot be resized (smallest = largest = 560 x 370)");
  ExpectGrabs(checks, screen, false, "window");
  // The window takes the keyboard when it opens, wherever the pointer is.
  Xdotool(checks, "mousemove " + std::to_string(screen.Width() - 1) + " " + std::to_string(screen.Height() - 1));
  Xdotool(checks, "key Return");
  checks.Expect(KeyHitsArriving(KeyReturn, 1) == 1, "window: Return reaches it with the pointer outside it");
  CloseScreen();
}

// The full screen covers the screen; the pointer is reported in frame pixels wherever it is.
void CheckPointer(Checks& checks, ScreenReader& screen, const ShownFrame& at) {
  const Window window = screen.GameWindow();
  XWindowAttributes attributes{};
  if (window) XGetWindowAttributes(screen.Connection(), window, &attributes);
  checks.Expect(window && attributes.width == screen.Width() && attributes.height == screen.Height() &&
                    attributes.override_redirect,
                "full screen: a borderless window covering the " + std::to_string(screen.Width()) + " x " +
                    std::to_string(screen.Height()) + " screen");
  ExpectGrabs(checks, screen, true, "full screen");
  const int w = screen.Width(), h = screen.Height();
  const int points[][2] = {{w / 2, h / 2}, {100, 100}, {5, 10}, {w - 1, h - 1}, {w / 2 + 3, at.OffsetY + 1}};
  for (const auto& p : points) {
    Xdotool(checks, "mousemove " + std::to_string(p[0]) + " " + std::to_string(p[1]));
    const int wantX = at.FrameX(p[0]), wantY = at.FrameY(p[1]);
    WaitUntil([&] { return PointerX() == wantX && PointerY() == wantY; }, 2000);
    checks.Expect(PointerX() == wantX && PointerY() == wantY,
                  "pointer at screen (" + std::to_string(p[0]) + "," + std::to_string(p[1]) + ") reads frame (" +
                      std::to_string(PointerX()) + "," + std::to_string(PointerY()) + "), want (" +
                      std::to_string(wantX) + "," + std::to_string(wantY) + ")");
  }
}

// A warp moves the real pointer to the frame pixel; a move the game has not read yet is kept, once.
// (301, 201) has no window pixel of its own on a shrunk frame: the motion the warp itself
// causes would read back as a neighbour, so it must be dropped too.
void CheckWarp(Checks& checks, ScreenReader& screen, const ShownFrame& at) {
  HidePointer();
  WarpPointer(301, 201);
  checks.Expect(PointerX() == 301 && PointerY() == 201, "warp: the game reads (301,201) at once (reads " +
                                                            std::to_string(PointerX()) + "," +
                                                            std::to_string(PointerY()) + ")");
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned int mask = 0;
  XQueryPointer(screen.Connection(), DefaultRootWindow(screen.Connection()), &root, &child, &rootX, &rootY, &winX,
                &winY, &mask);
  const double wantX = at.OffsetX + 301.0 * at.ShownW / at.FrameW;
  const double wantY = at.OffsetY + 201.0 * at.ShownH / at.FrameH;
  checks.Expect(std::abs(rootX - wantX) <= 1 && std::abs(rootY - wantY) <= 1,
                "warp: the system pointer is at screen (" + std::to_string(rootX) + "," + std::to_string(rootY) +
                    "), over frame pixel (301,201)");
  // The user moves the pointer by (50, 30) and, before the game has read the move, it warps to the centre:
  // the move is kept for the game to read, not lost (a shrunk frame rounds twice); a second warp with
  // nothing new reads the centre.
  Xdotool(checks, "mousemove " + std::to_string(at.ScreenX(351)) + " " + std::to_string(at.ScreenY(231)));
  PauseMs(300);
  WarpPointer(512, 384);
  checks.Expect(std::abs(PointerX() - 562) <= 2 && std::abs(PointerY() - 414) <= 2,
                "warp: a move not yet read is kept, (562,414) (reads " + std::to_string(PointerX()) + "," +
                    std::to_string(PointerY()) + ")");
  WarpPointer(512, 384);
  checks.Expect(PointerX() == 512 && PointerY() == 384, "warp: a move read once is not counted again (reads " +
                                                            std::to_string(PointerX()) + "," +
                                                            std::to_string(PointerY()) + ")");
  Xdotool(checks, "mousemove_relative 10 0");
  WaitUntil([] { return PointerX() != 512; }, 2000);
  checks.Expect(PointerX() > 512 && PointerY() == 384, "warp: later motion moves the pointer again");
}

// Where the system pointer is, in root pixels.
void SystemPointer(Display* d, int& x, int& y) {
  Window root = 0, child = 0;
  int winX = 0, winY = 0;
  unsigned int mask = 0;
  XQueryPointer(d, DefaultRootWindow(d), &root, &child, &x, &y, &winX, &winY, &mask);
}

// Losing the focus lets the pointer and the keyboard go and leaves the player's pointer alone; the
// focus coming back, or a click on the game, takes them again with the pointer where the game had it.
void CheckFocusGrab(Checks& checks, ScreenReader& screen, const ShownFrame& at) {
  Display* d = screen.Connection();
  const Window window = screen.GameWindow();
  WarpPointer(512, 384);
  XSetInputFocus(d, DefaultRootWindow(d), RevertToPointerRoot, CurrentTime);
  XSync(d, False);
  WaitUntil(
      [] {
        PointerX();  // lets the game see the focus change
        return false;
      },
      300);
  ExpectGrabs(checks, screen, false, "focus lost");
  Xdotool(checks, "mousemove 40 50");
  PauseMs(200);
  WarpPointer(512, 384);
  int x = 0, y = 0;
  SystemPointer(d, x, y);
  checks.Expect(x == 40 && y == 50, "focus lost: the game's warp leaves the player's pointer at (40,50) (it is at (" +
                                        std::to_string(x) + "," + std::to_string(y) + "))");
  checks.Expect(PointerX() == 512 && PointerY() == 384, "focus lost: the game's pointer does not follow (" +
                                                            std::to_string(PointerX()) + "," +
                                                            std::to_string(PointerY()) + ")");

  XSetInputFocus(d, window, RevertToParent, CurrentTime);
  XSync(d, False);
  WaitUntil(
      [] {
        PointerX();
        return false;
      },
      300);
  ExpectGrabs(checks, screen, true, "focus back");
  SystemPointer(d, x, y);
  checks.Expect(std::abs(x - at.ScreenX(512)) <= 1 && std::abs(y - at.ScreenY(384)) <= 1 && PointerX() == 512 &&
                    PointerY() == 384,
                "focus back: the pointer is where the game had it, no jump (reads " + std::to_string(PointerX()) + "," +
                    std::to_string(PointerY()) + ", system pointer at " + std::to_string(x) + "," + std::to_string(y) +
                    ")");

  // Without a window manager to give it back, a click on the game does.
  XSetInputFocus(d, DefaultRootWindow(d), RevertToPointerRoot, CurrentTime);
  XSync(d, False);
  WaitUntil(
      [] {
        PointerX();
        return false;
      },
      300);
  ButtonHits(ButtonLeft);
  Xdotool(checks, "mousemove 40 50 click 1");
  WaitUntil(
      [] {
        PointerX();
        return false;
      },
      300);
  ExpectGrabs(checks, screen, true, "a click on the game while it had lost the focus");
  checks.Expect(ButtonHits(ButtonLeft) == 0 && PointerX() == 512 && PointerY() == 384,
                "the click that brings the game back is not a click, and the pointer stays where it was (" +
                    std::to_string(PointerX()) + "," + std::to_string(PointerY()) + ")");
}

// The game's cursor moved the way the game moves it: every frame by the pointer's displacement from
// the middle, the pointer then warped back there. A player's hand is a run of relative moves.
struct HandCursor {
  int X = 0, Y = 0;
  void Frame() {
    X += PointerX() - 512;
    Y += PointerY() - 384;
    WarpPointer(512, 384);
  }
  // `count` moves of (dx, dy) screen pixels, one a frame; the last frame also takes in a move that was late.
  void Moves(Checks& checks, int count, int dx, int dy) {
    for (int i = 0; i < count; ++i) {
      Xdotool(checks, "mousemove_relative -- " + std::to_string(dx) + " " + std::to_string(dy));
      Frame();
    }
    PauseMs(50);
    Frame();
  }
};

// One screen pixel is FrameW / ShownW frame pixels: N moves there and N back return to the start, the way
// there is as long as the way back, and as long as the screen's motion divided by the scale. The moves
// are diagonal, so both axes are measured at once.
void CheckHandMoves(Checks& checks, const ShownFrame& at, int count, int step, const std::string& where) {
  WarpPointer(512, 384);
  HandCursor hand;
  hand.Frame();
  hand.Moves(checks, count, step, step);
  const int outX = hand.X, outY = hand.Y;
  hand.Moves(checks, count, -step, -step);
  const int backX = outX - hand.X, backY = outY - hand.Y;
  const double wantX = double(count) * step * at.FrameW / at.ShownW;
  const double wantY = double(count) * step * at.FrameH / at.ShownH;
  const std::string figures = std::to_string(count) + " moves of " + std::to_string(step) +
                              " screen pixel(s) each way: out (" + std::to_string(outX) + "," + std::to_string(outY) +
                              "), back (" + std::to_string(backX) + "," + std::to_string(backY) + "), ends at (" +
                              std::to_string(hand.X) + "," + std::to_string(hand.Y) + "), the scale asks for " +
                              std::to_string(wantX) + "," + std::to_string(wantY);
  checks.Expect(std::abs(hand.X) <= 1 && std::abs(hand.Y) <= 1, where + ": back where it started; " + figures);
  checks.Expect(std::abs(outX - backX) <= 1 && std::abs(outY - backY) <= 1, where + ": as far out as back; " + figures);
  checks.Expect(std::abs(outX - wantX) <= 1 && std::abs(outY - wantY) <= 1,
                where + ": the screen's motion divided by the scale; " + figures);
}

// One-pixel moves, where rounding each alone would lose the most, and large ones.
void CheckHand(Checks& checks, const ShownFrame& at, const std::string& where) {
  CheckHandMoves(checks, at, 200, 1, where);
  CheckHandMoves(checks, at, 10, 37, where);
}

// Keys arrive as virtual-key codes, once per press however long they are held.
void CheckKeys(Checks& checks) {
  struct Named {
    const char* Key;
    int Code;
  };
  for (const Named& k : {Named{"Return", 13}, Named{"Escape", 27}, Named{"F1", 112}, Named{"a", 65}, Named{"z", 90},
                         Named{"5", 53}, Named{"space", 32}}) {
    Xdotool(checks, std::string("key ") + k.Key);
    const int hits = KeyHitsArriving(k.Code, 1);
    checks.Expect(hits == 1, std::string("key ") + k.Key + " gives one hit of code " + std::to_string(k.Code) +
                                 " (got " + std::to_string(hits) + ")");
  }
  Xdotool(checks, "keydown F1");
  WaitUntil([] { return KeyHeld(KeyF1) == 1; }, 2000);
  checks.Expect(KeyHeld(KeyF1) == 1, "F1 held down reads as held");
  Xdotool(checks, "keyup F1");
  WaitUntil([] { return KeyHeld(KeyF1) == 0; }, 2000);
  checks.Expect(KeyHeld(KeyF1) == 0, "F1 released reads as up");
  KeyHits(KeyF1);

  // Held for 1.5 s the server repeats the key many times; the game sees one press.
  Xdotool(checks, "keydown Escape");
  PauseMs(1500);
  Xdotool(checks, "keyup Escape");
  const int hits = KeyHitsArriving(KeyEscape, 1);
  checks.Expect(hits == 1, "Esc held through auto-repeat: " + std::to_string(hits) + " hit(s)");
}

// Buttons: X's 1 is left (1), 3 is right (2), 2 is middle (3); two clicks between looks count twice.
void CheckButtons(Checks& checks) {
  Xdotool(checks, "click 1");
  checks.Expect(ButtonHitsArriving(ButtonLeft, 1) == 1, "left click: one hit of button 1");
  Xdotool(checks, "click 3");
  checks.Expect(ButtonHitsArriving(ButtonRight, 1) == 1, "right click: one hit of button 2");
  Xdotool(checks, "click 2");
  checks.Expect(ButtonHitsArriving(3, 1) == 1, "middle click: one hit of button 3");
  checks.Expect(ButtonHits(ButtonLeft) == 0 && ButtonHits(ButtonRight) == 0, "no hits left over");
  Xdotool(checks, "click --repeat 2 --delay 30 1");
  checks.Expect(ButtonHitsArriving(ButtonLeft, 2) == 2, "two left clicks between looks: two hits");
  Xdotool(checks, "mousedown 1");
  WaitUntil([] { return ButtonHeld(ButtonLeft) == 1; }, 2000);
  checks.Expect(ButtonHeld(ButtonLeft) == 1, "left button held down reads as held");
  Xdotool(checks, "mouseup 1");
  WaitUntil([] { return ButtonHeld(ButtonLeft) == 0; }, 2000);
  checks.Expect(ButtonHeld(ButtonLeft) == 0, "left button released reads as up");
  ButtonHits(ButtonLeft);
}

// Losing focus forgets held keys; the close button reads as Esc.
void CheckFocusAndClose(Checks& checks, ScreenReader& screen) {
  Display* d = screen.Connection();
  const Window window = screen.GameWindow();
  Xdotool(checks, "keydown F1");
  WaitUntil([] { return KeyHeld(KeyF1) == 1; }, 2000);
  XSetInputFocus(d, DefaultRootWindow(d), RevertToPointerRoot, CurrentTime);
  XSync(d, False);
  WaitUntil([] { return KeyHeld(KeyF1) == 0; }, 2000);
  checks.Expect(KeyHeld(KeyF1) == 0, "focus lost while F1 is down: F1 no longer held");
  XSetInputFocus(d, window, RevertToParent, CurrentTime);
  XSync(d, False);
  Xdotool(checks, "keyup F1");
  PauseMs(100);
  KeyHits(KeyF1);
  KeyHits(KeyEscape);

  // What a window manager sends when its close button is pressed.
  XEvent close{};
  close.xclient.type = ClientMessage;
  close.xclient.window = window;
  close.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
  close.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, window, False, NoEventMask, &close);
  XSync(d, False);
  checks.Expect(KeyHitsArriving(KeyEscape, 1) == 1 && KeyHeld(KeyEscape) == 0,
                "close button: one press of Esc, not left held");
}

}  // namespace

int main(int argc, char** argv) {
  const bool inWindow = argc > 1 && std::string(argv[1]) == "--window";
  std::unique_ptr<Backend> backend = MakeX11Backend(inWindow);
  UseBackend(backend.get());
  Checks checks;
  ScreenReader screen;
  if (!checks.Expect(screen.Connected(), "the checker reaches the display")) return checks.Finish();

  if (inWindow) {
    // The frame fills the framed window as it is shown, scaled where the window is not 1024 x 768.
    OpenScreen(1024, 768, 16, 60);
    ClearScreen();
    PresentFrame();
    XWindowAttributes attributes{};
    const Window window = screen.GameWindow();
    if (checks.Expect(window && XGetWindowAttributes(screen.Connection(), window, &attributes),
                      "--window: the game's window is shown")) {
      const ShownFrame at = ShownFrame::Fit(1024, 768, attributes.width, attributes.height);
      CheckHand(checks, at, "--window " + std::to_string(attributes.width) + "x" + std::to_string(attributes.height));
    }
    CloseScreen();
    return checks.Finish();
  }

  CheckWindow(checks, screen);
  ExpectGrabs(checks, screen, false, "after closing the window");

  OpenScreen(1024, 768, 16, 60);
  SetClearColor(255, 255, 255);
  ClearScreen();
  PresentFrame();
  const ShownFrame at = ShownFrame::Fit(1024, 768, screen.Width(), screen.Height());
  CheckPointer(checks, screen, at);
  CheckWarp(checks, screen, at);
  CheckHand(checks, at, "full screen " + std::to_string(screen.Width()) + "x" + std::to_string(screen.Height()));
  CheckFocusGrab(checks, screen, at);
  CheckKeys(checks);
  CheckButtons(checks);
  CheckFocusAndClose(checks, screen);
  CloseScreen();
  ExpectGrabs(checks, screen, false, "after closing the full screen");
  checks.Expect(screen.GameWindow() == 0, "after closing: the window is gone");
  return checks.Finish();
}
