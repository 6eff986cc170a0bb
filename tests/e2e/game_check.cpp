// End-to-end checks of the real game: chromelly is started as a child process,
// driven with xdotool the way a player would (XTEST, as real devices) and read
// back from the root window by a second connection.
//
// Usage: game_check SCENARIO CHROMELLY [screenshot.png]   (needs DISPLAY and xdotool)
//   intro       the intro window's lines, OK button and key caps; OK shimmers while the pointer rests on it
//   esc-intro   Esc on the intro ends the program with status 0 and no game screen ever shows
//   play        Return opens the white game screen, people walk in, Esc ends with status 0 and a silent stdout
//   ok-slide    pressing OK and sliding off before releasing keeps the intro; a press and release on OK starts
//   ok-drag-on  a press that starts beside OK counts once the pointer is dragged onto OK
// The screenshot, when asked for, is taken of the intro (intro) or of the crowd (play) for a person to look at.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "tests/e2e/e2e_support.h"

namespace {

constexpr int kIntroW = 560, kIntroH = 370;
constexpr int kFrameW = 1024, kFrameH = 768;
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kSand{222, 213, 165};
constexpr Rgb kKeyNameBlue{0, 14, 90};

// Spots in intro-window pixels where the player puts the pointer: on OK but off its
// label, and on the black background away from OK.
constexpr int kOnOkX = 310, kOnOkY = 326;
constexpr int kOffOkX = 100, kOffOkY = 340;
// Where the button's own colour shows: inside OK, clear of its label and of the pointer.
constexpr int kOkSampleX = 244, kOkSampleY = 294;

// ---- The game as a child process ------------------------------------------------------------

// Runs the game with its standard output captured; a game still running at the end is killed.
class GameProcess {
 public:
  explicit GameProcess(const std::string& path) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(pipeEnds[1], STDOUT_FILENO);
      for (int fd = 3; fd < 1024; ++fd) close(fd);  // the tester's own X connection stays with the tester
      execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
      std::perror(("game_check: cannot run " + path).c_str());
      _exit(127);
    }
    close(pipeEnds[1]);
    out_ = pipeEnds[0];
    if (pid_ < 0) return;
    fcntl(out_, F_SETFL, fcntl(out_, F_GETFL) | O_NONBLOCK);
  }

  ~GameProcess() {
    if (pid_ > 0 && !ended_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status_, 0);
    }
    if (out_ >= 0) close(out_);
  }

  bool Started() const { return pid_ > 0; }

  // True while the game runs; notes its ending once it has ended.
  bool Running() {
    Drain();
    if (ended_ || pid_ <= 0) return false;
    if (waitpid(pid_, &status_, WNOHANG) == pid_) {
      ended_ = true;
      Drain();
    }
    return !ended_;
  }

  bool WaitForEnd(int timeoutMs) {
    return WaitUntil([&] { return !Running(); }, timeoutMs);
  }

  bool EndedWithStatusZero() const { return ended_ && WIFEXITED(status_) && WEXITSTATUS(status_) == 0; }

  std::string Ending() const {
    if (!ended_) return "still running";
    if (WIFEXITED(status_)) return "exit status " + std::to_string(WEXITSTATUS(status_));
    if (WIFSIGNALED(status_)) return "killed by signal " + std::to_string(WTERMSIG(status_));
    return "ended oddly";
  }

  // Everything the game wrote to its standard output so far.
  const std::string& Output() {
    Drain();
    return output_;
  }

 private:
  void Drain() {
    if (out_ < 0) return;
    char buffer[4096];
    for (;;) {
      const ssize_t got = read(out_, buffer, sizeof buffer);
      if (got <= 0) break;
      output_.append(buffer, size_t(got));
    }
  }

  pid_t pid_ = -1;
  int out_ = -1;
  bool ended_ = false;
  int status_ = 0;
  std::string output_;
};

// ---- Looking at the screen ------------------------------------------------------------------

// A window drawn over or replaced in the middle of a query is no reason to stop.
int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

// The game's window where it is now shown on the root, or Id 0 when none is shown.
struct ShownWindow {
  Window Id = 0;
  int X = 0, Y = 0, W = 0, H = 0;
  bool IsIntro() const { return Id != 0 && W == kIntroW && H == kIntroH; }
};

ShownWindow FindGameWindow(const ScreenReader& screen) {
  ShownWindow shown;
  const Window id = screen.GameWindow();
  if (!id) return shown;
  Display* d = screen.Connection();
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(d, id, &attributes) || attributes.map_state != IsViewable) return shown;
  Window child = 0;
  if (!XTranslateCoordinates(d, id, DefaultRootWindow(d), 0, 0, &shown.X, &shown.Y, &child)) return shown;
  shown.Id = id;
  shown.W = attributes.width;
  shown.H = attributes.height;
  return shown;
}

struct Box {
  int X = 0, Y = 0, W = 0, H = 0;
};

std::string DescribeBox(const Box& b) {
  return "(" + std::to_string(b.X) + "," + std::to_string(b.Y) + " " + std::to_string(b.W) + "x" +
         std::to_string(b.H) + ")";
}

bool IsWhite(const Rgb& c) { return c.R >= 250 && c.G >= 250 && c.B >= 250; }
// White text and its smoothed grey edges, but not the sand of the key caps.
bool IsBright(const Rgb& c) { return std::min({c.R, c.G, c.B}) >= 180; }
// The hats and hair of the crowd: clearly coloured, neither white, grey nor black.
bool IsColoured(const Rgb& c) { return std::max({c.R, c.G, c.B}) - std::min({c.R, c.G, c.B}) >= 60; }
bool InShimmerRange(const Rgb& c) {
  return c.R >= 100 && c.R <= 200 && c.G >= 100 && c.G <= 200 && c.B >= 100 && c.B <= 200;
}

// The last snapshot seen through the intro window: (x, y) are window pixels.
class IntroView {
 public:
  IntroView(const ScreenReader& screen, const ShownWindow& window) : screen_(screen), window_(window) {}
  Rgb At(int x, int y) const { return screen_.At(window_.X + x, window_.Y + y); }

  // How many pixels of the box (window pixels) pass the test; the first one that fails is kept.
  int Count(const Box& b, const std::function<bool(const Rgb&)>& test, std::string* firstFailure = nullptr) const {
    int passed = 0;
    for (int y = b.Y; y < b.Y + b.H; ++y)
      for (int x = b.X; x < b.X + b.W; ++x) {
        const Rgb c = At(x, y);
        if (test(c)) {
          ++passed;
        } else if (firstFailure && firstFailure->empty()) {
          *firstFailure = Describe(c) + " at (" + std::to_string(x) + "," + std::to_string(y) + ")";
        }
      }
    return passed;
  }

 private:
  const ScreenReader& screen_;
  ShownWindow window_;
};

// Share of white pixels in a box of the root, sampled every step pixels.
double WhiteShare(const ScreenReader& screen, const Box& b, int step = 8) {
  int white = 0, all = 0;
  for (int y = b.Y; y < b.Y + b.H; y += step)
    for (int x = b.X; x < b.X + b.W; x += step, ++all)
      if (IsWhite(screen.At(x, y))) ++white;
  return all ? double(white) / all : 0.0;
}

// Share of white pixels on the root outside the intro window: the game screen would cover them.
double WhiteShareOutside(const ScreenReader& screen, const ShownWindow& intro) {
  int white = 0, all = 0;
  for (int y = 0; y < screen.Height(); y += 8)
    for (int x = 0; x < screen.Width(); x += 8) {
      if (x >= intro.X && x < intro.X + intro.W && y >= intro.Y && y < intro.Y + intro.H) continue;
      ++all;
      if (IsWhite(screen.At(x, y))) ++white;
    }
  return all ? double(white) / all : 0.0;
}

// ---- Driving the game -----------------------------------------------------------------------

void Xdotool(Checks& checks, const std::string& arguments) {
  if (!Shell("xdotool " + arguments)) checks.Expect(false, "xdotool " + arguments);
}

void MovePointer(Checks& checks, const ShownWindow& window, int x, int y) {
  Xdotool(checks, "mousemove " + std::to_string(window.X + x) + " " + std::to_string(window.Y + y));
}

// Waits for the intro window with its OK button drawn (white while the pointer is elsewhere).
ShownWindow WaitForIntro(ScreenReader& screen, GameProcess& game) {
  ShownWindow intro;
  WaitUntil([&] {
    if (!game.Running()) return true;
    intro = FindGameWindow(screen);
    if (!intro.IsIntro()) return false;
    screen.Snapshot();
    return IsWhite(IntroView(screen, intro).At(kOkSampleX, kOkSampleY));
  }, 10000);
  return intro;
}

// Starts the game and waits for its intro; false (with a failed check) when it never shows.
bool StartToIntro(Checks& checks, GameProcess& game, ScreenReader& screen, ShownWindow& intro) {
  if (!checks.Expect(game.Started(), "the game starts as a child process")) return false;
  intro = WaitForIntro(screen, game);
  game.Running();  // notes an ending for the message
  return checks.Expect(intro.IsIntro(), "intro: a 560 x 370 window titled Chromelly with a white OK button shows "
                                        "within 10 s (" + game.Ending() + ")");
}

// Waits for the game screen: the window covers the screen and the frame in it is mostly white.
bool WaitForGameScreen(Checks& checks, ScreenReader& screen, const std::string& how) {
  const ShownFrame at = ShownFrame::Fit(kFrameW, kFrameH, screen.Width(), screen.Height());
  const Box frame{at.OffsetX, at.OffsetY, at.ShownW, at.ShownH};
  ShownWindow window;
  double white = 0;
  const auto start = std::chrono::steady_clock::now();
  const bool opened = WaitUntil([&] {
    window = FindGameWindow(screen);
    if (window.W != screen.Width() || window.H != screen.Height()) return false;
    screen.Snapshot();
    white = WhiteShare(screen, frame);
    return white >= 0.9;
  }, 10000);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  return checks.Expect(opened, how + " opens the game screen: a window over the whole " +
                                   std::to_string(screen.Width()) + " x " + std::to_string(screen.Height()) +
                                   " screen with its frame " + DescribeBox(frame) + " white (" +
                                   std::to_string(int(white * 100)) + "% white, after " +
                                   std::to_string(ms.count()) + " ms)");
}

// Esc ends the game at once with status 0 and nothing on its standard output.
void ExpectEscEnds(Checks& checks, GameProcess& game, const std::string& where) {
  Xdotool(checks, "key Escape");
  game.WaitForEnd(5000);
  checks.Expect(game.EndedWithStatusZero(), where + ": Esc ends the game with status 0 (" + game.Ending() + ")");
  checks.Expect(game.Output().empty(), where + ": nothing on standard output (got \"" + game.Output() + "\")");
}

// ---- The intro screen -----------------------------------------------------------------------

struct TextLine {
  const char* Text;
  int X, Y;
};
constexpr TextLine kIntroLines[] = {
    {"This game can be beaten in as few as 8 minutes.", 38, 45},
    {"But don't feel bad if it takes you much longer;", 38, 75},
    {"there's no penalty for taking your time.", 38, 105},
    {"Press Esc at any time to exit.", 136, 185},
    {"If you ever miss some text, hold down F1 to reread it!", 14, 215},
};
// A line of the size-20 font is under 25 pixels tall, descenders included.
constexpr int kLineHeight = 25;

// Each line is white text starting at its left edge and running on at the width such a line takes.
void CheckIntroLines(Checks& checks, const IntroView& view) {
  for (const TextLine& line : kIntroLines) {
    int left = kIntroW, right = -1, white = 0;
    for (int y = line.Y; y < line.Y + kLineHeight; ++y)
      for (int x = 0; x < kIntroW; ++x) {
        const Rgb c = view.At(x, y);
        if (!IsBright(c)) continue;
        left = std::min(left, x);
        right = std::max(right, x);
        if (IsWhite(c)) ++white;
      }
    // No glyph of this font is narrower than 8 pixels on average over a sentence.
    const int shortest = 8 * int(std::string(line.Text).size());
    checks.Expect(left >= line.X && left <= line.X + 5 && right >= line.X + shortest && right < kIntroW &&
                      white >= 100,
                  std::string("intro: \"") + line.Text + "\" in white at (" + std::to_string(line.X) + "," +
                      std::to_string(line.Y) + "): bright from x " + std::to_string(left) + " to " +
                      std::to_string(right) + ", " + std::to_string(white) + " white pixels");
  }
}

// Everything between and around the lines and the button is the black of the cleared window.
void CheckIntroBlack(Checks& checks, const IntroView& view) {
  const Box gaps[] = {
      {0, 0, kIntroW, 45},            // above the first line
      {0, 70, kIntroW, 5},            // between the first three lines
      {0, 100, kIntroW, 5},
      {0, 130, kIntroW, 55},          // between the opening lines and the key lines
      {0, 210, kIntroW, 5},           // between the key lines
      {0, 240, kIntroW, 51},          // between the key lines and OK
      {0, 291, 240, 40},              // beside OK
      {320, 291, kIntroW - 320, 40},
      {0, 331, kIntroW, kIntroH - 331},  // below OK
      {0, 45, 13, 195},               // the left margin beside the lines
  };
  for (const Box& gap : gaps) {
    std::string offender;
    const int black = view.Count(gap, [](const Rgb& c) { return Near(c, kBlack, 8); }, &offender);
    checks.Expect(black == gap.W * gap.H, "intro: black in " + DescribeBox(gap) +
                                              (offender.empty() ? "" : " (found " + offender + ")"));
  }
}

// A filled rectangle: its top and bottom rows have the colour, the ring just outside does not.
// (The sides are left out: the key names on the caps run up to their left edges.)
bool RectangleAt(const IntroView& view, const Box& b, const std::function<bool(const Rgb&)>& isFill,
                 std::string& what) {
  const Box inside[] = {{b.X, b.Y, b.W, 1}, {b.X, b.Y + b.H - 1, b.W, 1}};
  const Box ring[] = {{b.X - 1, b.Y - 1, b.W + 2, 1}, {b.X - 1, b.Y + b.H, b.W + 2, 1}, {b.X - 1, b.Y, 1, b.H},
                      {b.X + b.W, b.Y, 1, b.H}};
  int edge = 0, edgeAll = 0, outside = 0;
  for (const Box& side : inside) {
    edge += view.Count(side, isFill, &what);
    edgeAll += side.W * side.H;
  }
  for (const Box& side : ring) outside += view.Count(side, isFill);
  what = std::to_string(edge) + " of " + std::to_string(edgeAll) + " edge pixels filled, " +
         std::to_string(outside) + " filled pixels around it" + (what.empty() ? "" : ", first odd edge " + what);
  return edge == edgeAll && outside == 0;
}

void CheckOkButton(Checks& checks, const IntroView& view) {
  const Box ok{240, 291, 80, 40};
  std::string what;
  const bool filled = RectangleAt(view, ok, IsWhite, what);
  checks.Expect(filled, "intro: white OK button at " + DescribeBox(ok) + ": " + what);
  const Box label{262, 298, 40, 28};
  const int dark = view.Count(label, [](const Rgb& c) { return std::max({c.R, c.G, c.B}) <= 60; });
  checks.Expect(dark >= 40, "intro: \"OK\" in black on the button (" + std::to_string(dark) + " dark pixels)");
}

void CheckKeyCaps(Checks& checks, const IntroView& view) {
  const Box caps[] = {{193, 187, 35, 20}, {399, 217, 24, 20}};
  for (const Box& cap : caps) {
    std::string what;
    const auto isSand = [](const Rgb& c) { return Near(c, kSand, 3); };
    const bool filled = RectangleAt(view, cap, isSand, what);
    checks.Expect(filled, "intro: sand key cap at " + DescribeBox(cap) + ": " + what);
    const int sand = view.Count(cap, isSand);
    const int blue = view.Count(cap, [](const Rgb& c) { return Near(c, kKeyNameBlue, 10); });
    checks.Expect(sand * 2 >= cap.W * cap.H && blue >= 10,
                  "intro: key name in dark blue on the cap at " + DescribeBox(cap) + " (" + std::to_string(sand) +
                      " sand, " + std::to_string(blue) + " dark blue pixels)");
  }
}

// While the pointer rests on OK the button changes colour every frame, within 100..200 a channel.
void CheckShimmer(Checks& checks, ScreenReader& screen, const ShownWindow& intro) {
  MovePointer(checks, intro, kOnOkX, kOnOkY);
  // A channel starting outside 100..200 steps at least 9 toward it each frame: 12 frames bring it in.
  PauseMs(300);
  std::vector<Rgb> samples;
  int uneven = 0;
  for (int i = 0; i < 12; ++i) {
    screen.Snapshot();
    const IntroView view(screen, intro);
    const Rgb c = view.At(kOkSampleX, kOkSampleY);
    // The whole button has the one colour, far corner included.
    if (!Near(view.At(kOnOkX + 8, kOnOkY + 3), c, 0)) ++uneven;
    samples.push_back(c);
    PauseMs(50);
  }
  std::set<std::tuple<int, int, int>> distinct;
  std::string seen, outOfRange;
  for (const Rgb& c : samples) {
    distinct.insert({c.R, c.G, c.B});
    seen += " " + Describe(c);
    if (!InShimmerRange(c)) outOfRange += " " + Describe(c);
  }
  checks.Expect(distinct.size() >= 4, "intro: with the pointer on OK the button shimmers (" +
                                          std::to_string(distinct.size()) + " colours in 12 looks:" + seen + ")");
  checks.Expect(outOfRange.empty(), "intro: the shimmering colour stays within 100..200 a channel" +
                                        (outOfRange.empty() ? std::string() : " (outside:" + outOfRange + ")"));
  checks.Expect(uneven == 0, "intro: the shimmering button is filled in one colour (" + std::to_string(uneven) +
                                 " looks with two colours)");

  // Off the button it goes back to the text colour.
  MovePointer(checks, intro, kOffOkX, kOffOkY);
  Rgb after;
  const bool white = WaitUntil([&] {
    screen.Snapshot();
    after = IntroView(screen, intro).At(kOkSampleX, kOkSampleY);
    return IsWhite(after);
  }, 2000);
  checks.Expect(white, "intro: with the pointer off OK the button is white again (" + Describe(after) + ")");
}

int RunIntro(const std::string& gamePath, const std::string& screenshot) {
  Checks checks;
  ScreenReader screen;
  GameProcess game(gamePath);
  ShownWindow intro;
  if (!StartToIntro(checks, game, screen, intro)) return checks.Finish();
  MovePointer(checks, intro, kOffOkX, kOffOkY);
  PauseMs(100);
  screen.Snapshot();
  const IntroView view(screen, intro);
  CheckIntroLines(checks, view);
  CheckIntroBlack(checks, view);
  CheckOkButton(checks, view);
  CheckKeyCaps(checks, view);
  if (!screenshot.empty())
    checks.Expect(Shell("import -window root '" + screenshot + "'"), "intro screenshot saved to " + screenshot);
  CheckShimmer(checks, screen, intro);
  ExpectEscEnds(checks, game, "intro");
  return checks.Finish();
}

// ---- Leaving the intro ----------------------------------------------------------------------

int RunEscOnIntro(const std::string& gamePath) {
  Checks checks;
  ScreenReader screen;
  GameProcess game(gamePath);
  ShownWindow intro;
  if (!StartToIntro(checks, game, screen, intro)) return checks.Finish();
  Xdotool(checks, "key Escape");
  // Watch the screen until the game has gone: the game screen must never cover it.
  double mostWhite = 0;
  bool otherWindow = false;
  WaitUntil([&] {
    const bool running = game.Running();
    const ShownWindow now = FindGameWindow(screen);
    if (now.Id != 0 && !now.IsIntro()) otherWindow = true;
    screen.Snapshot();
    mostWhite = std::max(mostWhite, WhiteShareOutside(screen, intro));
    return !running;
  }, 5000);
  checks.Expect(game.EndedWithStatusZero(), "Esc on the intro ends the game with status 0 (" + game.Ending() + ")");
  checks.Expect(!otherWindow && mostWhite < 0.1,
                "Esc on the intro: no game screen ever shows (the screen beside the intro was at most " +
                    std::to_string(int(mostWhite * 100)) + "% white)");
  checks.Expect(game.Output().empty(), "Esc on the intro: nothing on standard output (got \"" + game.Output() + "\")");
  return checks.Finish();
}

// The intro's background, which turns white while OK is held down.
bool BackgroundIs(ScreenReader& screen, const ShownWindow& intro, const Rgb& colour) {
  screen.Snapshot();
  const IntroView view(screen, intro);
  return Near(view.At(5, 5), colour, 0) && Near(view.At(kIntroW - 5, kIntroH - 5), colour, 0) &&
         Near(view.At(kOffOkX + 20, kOffOkY), colour, 0);
}

int RunOkSlide(const std::string& gamePath) {
  Checks checks;
  ScreenReader screen;
  GameProcess game(gamePath);
  ShownWindow intro;
  if (!StartToIntro(checks, game, screen, intro)) return checks.Finish();
  MovePointer(checks, intro, kOnOkX, kOnOkY);
  PauseMs(100);
  Xdotool(checks, "mousedown 1");
  const bool held = WaitUntil([&] { return BackgroundIs(screen, intro, kWhite); }, 2000);
  checks.Expect(held, "left button held on OK: the intro turns white");
  const int dark = IntroView(screen, intro).Count({38, 45, 300, kLineHeight}, [](const Rgb& c) {
    return std::max({c.R, c.G, c.B}) <= 60;
  });
  checks.Expect(dark >= 100, "left button held on OK: the lines are black on white (" + std::to_string(dark) +
                                 " dark pixels in the first line)");

  MovePointer(checks, intro, kOffOkX, kOffOkY);
  const bool letGo = WaitUntil([&] { return BackgroundIs(screen, intro, kBlack); }, 2000);
  checks.Expect(letGo, "sliding off OK with the button held: the intro turns black again");
  Xdotool(checks, "mouseup 1");
  PauseMs(800);
  const bool running = game.Running();
  const ShownWindow now = FindGameWindow(screen);
  screen.Snapshot();
  const double white = WhiteShareOutside(screen, intro);
  checks.Expect(running && now.IsIntro() && white < 0.1 && BackgroundIs(screen, intro, kBlack),
                "released off OK: the intro stays (" + game.Ending() + ", window " + std::to_string(now.W) + " x " +
                    std::to_string(now.H) + ", screen beside it " + std::to_string(int(white * 100)) + "% white)");

  MovePointer(checks, intro, kOnOkX, kOnOkY);
  PauseMs(100);
  Xdotool(checks, "mousedown 1");
  PauseMs(150);
  Xdotool(checks, "mouseup 1");
  if (WaitForGameScreen(checks, screen, "a click on OK")) ExpectEscEnds(checks, game, "game screen");
  return checks.Finish();
}

int RunOkDragOn(const std::string& gamePath) {
  Checks checks;
  ScreenReader screen;
  GameProcess game(gamePath);
  ShownWindow intro;
  if (!StartToIntro(checks, game, screen, intro)) return checks.Finish();
  MovePointer(checks, intro, kOffOkX, kOffOkY);
  PauseMs(100);
  Xdotool(checks, "mousedown 1");
  PauseMs(300);
  checks.Expect(BackgroundIs(screen, intro, kBlack), "left button held beside OK: the intro stays black");
  MovePointer(checks, intro, kOnOkX, kOnOkY);
  const bool held = WaitUntil([&] { return BackgroundIs(screen, intro, kWhite); }, 2000);
  checks.Expect(held, "dragged onto OK with the button held: the intro turns white");
  Xdotool(checks, "mouseup 1");
  if (WaitForGameScreen(checks, screen, "releasing on OK")) ExpectEscEnds(checks, game, "game screen");
  return checks.Finish();
}

// ---- The game screen ------------------------------------------------------------------------

int RunPlay(const std::string& gamePath, const std::string& screenshot) {
  Checks checks;
  ScreenReader screen;
  GameProcess game(gamePath);
  ShownWindow intro;
  if (!StartToIntro(checks, game, screen, intro)) return checks.Finish();
  Xdotool(checks, "key Return");
  if (!WaitForGameScreen(checks, screen, "Return")) return checks.Finish();

  const ShownFrame at = ShownFrame::Fit(kFrameW, kFrameH, screen.Width(), screen.Height());
  if (at.OffsetX > 0 || at.OffsetY > 0) {
    // The bars beside a letterboxed frame stay black.
    const Box bars[] = {{0, 0, screen.Width(), at.OffsetY},
                        {0, at.OffsetY + at.ShownH, screen.Width(), screen.Height() - at.OffsetY - at.ShownH},
                        {0, 0, at.OffsetX, screen.Height()},
                        {at.OffsetX + at.ShownW, 0, screen.Width() - at.OffsetX - at.ShownW, screen.Height()}};
    int nonBlack = 0;
    for (const Box& bar : bars)
      for (int y = bar.Y; y < bar.Y + bar.H; y += 2)
        for (int x = bar.X; x < bar.X + bar.W; x += 2)
          if (!Near(screen.At(x, y), kBlack, 0)) ++nonBlack;
    checks.Expect(nonBlack == 0, "game screen: the bars beside the letterboxed frame are black (" +
                                     std::to_string(nonBlack) + " other pixels)");
  }

  // The crowd walks in from the edges once the frame clock has its first measurement.
  const Box frame{at.OffsetX, at.OffsetY, at.ShownW, at.ShownH};
  int coloured = 0, dark = 0;
  const auto start = std::chrono::steady_clock::now();
  const bool people = WaitUntil([&] {
    screen.Snapshot();
    coloured = dark = 0;
    for (int y = frame.Y; y < frame.Y + frame.H; y += 2)
      for (int x = frame.X; x < frame.X + frame.W; x += 2) {
        const Rgb c = screen.At(x, y);
        if (IsColoured(c)) ++coloured;
        if (std::max({c.R, c.G, c.B}) <= 40) ++dark;
      }
    return coloured >= 300 && dark >= 300;
  }, 15000);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  checks.Expect(people, "game screen: people walk in, coloured hats and hair with black outlines (" +
                            std::to_string(coloured) + " coloured and " + std::to_string(dark) +
                            " black samples, after " + std::to_string(ms.count()) + " ms)");
  if (!screenshot.empty()) {
    PauseMs(1500);  // let them come further in for the picture
    checks.Expect(Shell("import -window root '" + screenshot + "'"), "game screenshot saved to " + screenshot);
  }
  const bool running = game.Running();
  checks.Expect(running, "game screen: the game is still running (" + game.Ending() + ")");
  ExpectEscEnds(checks, game, "game screen");
  return checks.Finish();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s intro|esc-intro|play|ok-slide|ok-drag-on CHROMELLY [screenshot.png]\n",
                 argv[0]);
    return 2;
  }
  signal(SIGPIPE, SIG_IGN);
  XSetErrorHandler(IgnoreXErrors);
  const std::string scenario = argv[1], game = argv[2], screenshot = argc > 3 ? argv[3] : "";
  if (scenario == "intro") return RunIntro(game, screenshot);
  if (scenario == "esc-intro") return RunEscOnIntro(game);
  if (scenario == "play") return RunPlay(game, screenshot);
  if (scenario == "ok-slide") return RunOkSlide(game);
  if (scenario == "ok-drag-on") return RunOkDragOn(game);
  std::fprintf(stderr, "game_check: unknown scenario %s\n", scenario.c_str());
  return 2;
}
