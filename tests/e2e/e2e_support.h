/** @file e2e_support.h Helpers for the end-to-end checks: GameScreen, Checks, GameProcess, screen reading. */
// Helpers for the end-to-end checks of the X11 backend under Xvfb: a second
// connection that looks at the screen the way a user would, where the game's
// 1024 x 768 frame should appear on it, a tally of named checks, and the real
// game run as a child process up to its intro or its game screen.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "game/view.h"
#include "platform/backends/x11/xlib.h"

// A named check's outcome is printed at once; the tally decides the exit status.
class Checks {
 public:
  // Records one check and prints "ok" or "FAIL" with what was checked.
  bool Expect(bool passed, const std::string& what);
  // Exit status for the program: 0 when every check passed.
  int Finish() const;

 private:
  int run_ = 0;
  int failed_ = 0;
};

struct Rgb {
  int R = 0, G = 0, B = 0;
};
// "r,g,b" for messages.
std::string Describe(const Rgb& c);
// True when every channel is within tolerance of the wanted colour.
bool Near(const Rgb& got, const Rgb& want, int tolerance = 4);

// A rectangle of pixels.
struct Box {
  int X = 0, Y = 0, W = 0, H = 0;
};
// "(x,y wxh)" for messages.
std::string DescribeBox(const Box& b);

// Where a frame of frameW x frameH lands on a screen of screenW x screenH:
// as large as fits with its aspect kept, centred.
struct ShownFrame {
  int OffsetX = 0, OffsetY = 0, ShownW = 0, ShownH = 0, FrameW = 0, FrameH = 0;
  static ShownFrame Fit(int frameW, int frameH, int screenW, int screenH);
  // Screen pixel showing the middle of frame pixel (fx, fy).
  int ScreenX(double fx) const;
  int ScreenY(double fy) const;
  // Frame pixel the game should report for the pointer on screen pixel (sx, sy).
  int FrameX(int sx) const;
  int FrameY(int sy) const;
};

// The tester's own connection to the display the game draws on.
class ScreenReader {
 public:
  // Connects, trying again for up to connectWaitMs while a server resetting after its last client refuses.
  explicit ScreenReader(int connectWaitMs = 0);
  ~ScreenReader();
  bool Connected() const { return display_ != nullptr; }
  Display* Connection() const { return display_; }
  int Width() const;
  int Height() const;
  // Copies the whole root window, as it is shown now.
  void Snapshot();
  // Colour of a pixel in the last snapshot (root coordinates).
  Rgb At(int x, int y) const;
  // The top-level window titled Chromelly, or 0.
  Window GameWindow() const;

 private:
  Display* display_ = nullptr;
  XImage* image_ = nullptr;
};

// How long a check waits for what it expects to see (a window, a box, a line from the hook): a machine
// busy with other work may run the game at a few frames a second and start it in many seconds.
constexpr int kSeenWithinMs = 30000;

// Polls until the condition holds or the time runs out; true when it held.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = kSeenWithinMs);
// Runs a shell command (xdotool, import); true when it exited with status 0.
bool Shell(const std::string& command);
// Sleeps for a while without touching the game's event queue.
void PauseMs(int ms);

// ---- The real game as a child process ----------------------------------------------------

constexpr int kIntroW = 560, kIntroH = 370;
constexpr int kFrameW = 1024, kFrameH = 768;

// Runs the game with its standard output and error captured; a game still running at the end is killed.
class GameProcess {
 public:
  explicit GameProcess(const std::string& path, const std::vector<std::string>& arguments = {});
  ~GameProcess();
  GameProcess(const GameProcess&) = delete;
  GameProcess& operator=(const GameProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  // True while the game runs; notes its ending once it has ended.
  bool Running();
  bool WaitForEnd(int timeoutMs);
  // Sends a signal to the game.
  void Signal(int signalNumber) const;
  bool EndedWithStatusZero() const;
  // True when the game was ended by the signal (a shell shows 128 + the signal as its status).
  bool EndedBySignal(int signalNumber) const;
  std::string Ending() const;
  // Everything the game wrote to its standard output so far.
  const std::string& Output();
  // Everything written to its standard error so far, by the game or anything it started.
  const std::string& Errors();
  // True once nothing can write to the game's output any more: the game and whatever it started have ended.
  bool OutputsClosed();

 private:
  void Drain();

  pid_t pid_ = -1;
  int out_ = -1, err_ = -1;
  bool outClosed_ = false, errClosed_ = false;
  bool ended_ = false;
  int status_ = 0;
  std::string output_, errors_;
};

// The game's window where it is now shown on the root, or Id 0 when none is shown.
struct ShownWindow {
  Window Id = 0;
  int X = 0, Y = 0, W = 0, H = 0;
  bool IsIntro() const { return Id != 0 && W == kIntroW && H == kIntroH; }
};
ShownWindow FindGameWindow(const ScreenReader& screen);

bool IsWhite(const Rgb& c);

// Runs xdotool; a failed command is a failed check.
void Xdotool(Checks& checks, const std::string& arguments);

// Starts the game and waits for its intro window with its OK button drawn; false (with a failed check) when it never
// shows.
bool StartToIntro(Checks& checks, GameProcess& game, ScreenReader& screen, ShownWindow& intro);

// The game screen: the full-screen window, and where the game's frame shows in it (in root pixels).
struct GameScreen {
  ShownWindow Window;
  ShownFrame Frame;  // offsets in root pixels
};
// Waits for the game screen: a window over the whole screen (or the whole switched mode) with its frame mostly white.
bool WaitForGameScreen(Checks& checks, ScreenReader& screen, const std::string& how, GameScreen* shown = nullptr);
// Starts the game, waits for the intro, presses Return and waits for the game screen.
bool StartToGameScreen(Checks& checks, GameProcess& game, ScreenReader& screen, GameScreen* shown = nullptr);

// Pixels that are not black in the bars beside a letterboxed frame, inside the game's window, sampled
// every 2 pixels in the last snapshot; CheckBars expects none.
int NonBlackInBars(const ScreenReader& screen, const GameScreen& shown);
void CheckBars(Checks& checks, ScreenReader& screen, const GameScreen& shown);

// Esc ends the game at once with status 0 and nothing on its standard output.
void ExpectEscEnds(Checks& checks, GameProcess& game, const std::string& where);

// The size of the display mode the screen is in (XF86VidMode); false when the server has no such extension.
bool CurrentModeSize(Display* display, int& width, int& height);

// ---- Playing with the game's own cursor ---------------------------------------------------
// The game hides the pointer, warps it to the middle of the screen every frame and moves its own
// cursor by the pointer's displacement, one world unit a pixel: a player's hand is a relative move.

// Share of white pixels in the shown frame, sampled every 8 pixels, from the last snapshot.
double WhiteShare(const ScreenReader& screen, const ShownFrame& frame);

// Moves the pointer by (dx, dy) in steps of at most `step` pixels, a pause after each for the game to read it.
void MoveBy(Checks& checks, int dx, int dy, int step = 40);
// A press and release of the left button with a pause between them, or only the press or the release.
void Click(Checks& checks);
void PressLeft(Checks& checks);
void ReleaseLeft(Checks& checks);
// Saves the screen as a PNG with import; a failure is a failed check.
void Screenshot(Checks& checks, const std::string& path);
// Waits until the screen has changed `count` times, each change at least one frame the game drew (people
// walk every frame); false when it had not within the time limit.
bool WaitForFrames(ScreenReader& screen, int count, int timeoutMs = kSeenWithinMs);
// Waits until the game has drawn a frame begun after the input sent so far (the third change of the screen
// from now: the first two may come from frames begun before), so that what is sent next is read in a later
// frame: a frame applies all the pointer's moves it reads before it looks at a press.
bool WaitForInputRead(Checks& checks, ScreenReader& screen);
// True when most of the box (root pixels) is exactly black.
bool MostlyBlack(const ScreenReader& screen, const Box& b);
// Share of the samples inside the box (clipped to the screen), every `step` pixels, within `tolerance` of the colour.
double ShareNear(const ScreenReader& screen, const Box& b, const Rgb& colour, int tolerance, int step = 3);

// Places a new box where the game's cursor is, once New color has been clicked: `inside` is the inner part of
// the box on the screen. The game places a box in a frame that sees the left button down, so the press is
// made only once the would-be box (half-transparent black) shows there, and held until the box shows black,
// however slowly the game runs. On failure the screen is saved as `failureShot`.
bool PlaceBox(Checks& checks, ScreenReader& screen, const Box& inside, const std::string& failureShot);

// The game's cursor on a 1024 x 768 screen at the first stage's zoom, where a frame pixel is a world
// unit: it starts in the middle, and every move is made relative to where it was left.
// The system pointer goes back to the middle once a frame and stops at the screen's edge, so a long move
// is sent in parts of at most 300 pixels, each read by the game (frames drawn) before the next: a busy
// machine draws few frames, and the parts of a long move sent between two would pile up against the edge.
struct GameCursor {
  int X = ScreenCentreX, Y = ScreenCentreY;
  void To(Checks& checks, ScreenReader& screen, int x, int y);
};

// A clearly coloured patch on the screen (a hat's crown): its middle, its size in samples and its colour.
struct Patch {
  int X = 0, Y = 0, Samples = 0;
  Rgb Colour;
};
// The clearly coloured patches of the last snapshot inside the box, sampled every 2 pixels, largest first;
// those smaller than minSamples are left out.
std::vector<Patch> ColouredPatches(const ScreenReader& screen, const Box& within, int minSamples);
bool IsColoured(const Rgb& c);
