/** @file intro_scenarios.cpp The intro scenarios: its lines, OK and key caps, shimmer, Esc, OK presses. */
// The intro window seen by a player: its lines, OK button and key caps, OK's
// shimmer, Esc, and the ways a press on OK does or does not leave the intro.
#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "tests/e2e/game_scenarios.h"

namespace {

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

// White text and its smoothed grey edges, but not the sand of the key caps.
bool IsBright(const Rgb& c) { return std::min({c.R, c.G, c.B}) >= 180; }
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

void MovePointer(Checks& checks, const ShownWindow& window, int x, int y) {
  Xdotool(checks, "mousemove " + std::to_string(window.X + x) + " " + std::to_string(window.Y + y));
}

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
    checks.Expect(left >= line.X && left <= line.X + 5 && right >= line.X + shortest && right < kIntroW && white >= 100,
                  std::string("intro: \"") + line.Text + "\" in white at (" + std::to_string(line.X) + "," +
                      std::to_string(line.Y) + "): bright from x " + std::to_string(left) + " to " +
                      std::to_string(right) + ", " + std::to_string(white) + " white pixels");
  }
}

// Everything between and around the lines and the button is the black of the cleared window.
void CheckIntroBlack(Checks& checks, const IntroView& view) {
  const Box gaps[] = {
      {0, 0, kIntroW, 45},  // above the first line
      {0, 70, kIntroW, 5},  // between the first three lines
      {0, 100, kIntroW, 5},
      {0, 130, kIntroW, 55},  // between the opening lines and the key lines
      {0, 210, kIntroW, 5},   // between the key lines
      {0, 240, kIntroW, 51},  // between the key lines and OK
      {0, 291, 240, 40},      // beside OK
      {320, 291, kIntroW - 320, 40},
      {0, 331, kIntroW, kIntroH - 331},  // below OK
      {0, 45, 13, 195},                  // the left margin beside the lines
  };
  for (const Box& gap : gaps) {
    std::string offender;
    const int black = view.Count(
        gap, [](const Rgb& c) { return Near(c, kBlack, 8); }, &offender);
    checks.Expect(black == gap.W * gap.H,
                  "intro: black in " + DescribeBox(gap) + (offender.empty() ? "" : " (found " + offender + ")"));
  }
}

// A filled rectangle: its top and bottom rows have the colour, the ring just outside does not.
// (The sides are left out: the key names on the caps run up to their left edges.)
bool RectangleAt(const IntroView& view, const Box& b, const std::function<bool(const Rgb&)>& isFill,
                 std::string& what) {
  const Box inside[] = {{b.X, b.Y, b.W, 1}, {b.X, b.Y + b.H - 1, b.W, 1}};
  const Box ring[] = {{b.X - 1, b.Y - 1, b.W + 2, 1},
                      {b.X - 1, b.Y + b.H, b.W + 2, 1},
                      {b.X - 1, b.Y, 1, b.H},
                      {b.X + b.W, b.Y, 1, b.H}};
  int edge = 0, edgeAll = 0, outside = 0;
  for (const Box& side : inside) {
    edge += view.Count(side, isFill, &what);
    edgeAll += side.W * side.H;
  }
  for (const Box& side : ring) outside += view.Count(side, isFill);
  what = std::to_string(edge) + " of " + std::to_string(edgeAll) + " edge pixels filled, " + std::to_string(outside) +
         " filled pixels around it" + (what.empty() ? "" : ", first odd edge " + what);
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
    checks.Expect(sand * 2 >= cap.W * cap.H && blue >= 10, "intro: key name in dark blue on the cap at " +
                                                               DescribeBox(cap) + " (" + std::to_string(sand) +
                                                               " sand, " + std::to_string(blue) + " dark blue pixels)");
  }
}

// While the pointer rests on OK the button changes colour every frame, within 100..200 a channel.
void CheckShimmer(Checks& checks, ScreenReader& screen, const ShownWindow& intro) {
  MovePointer(checks, intro, kOnOkX, kOnOkY);
  // A channel starting outside 100..200 steps at least 9 toward it each frame: 12 frames bring it in, and
  // a busy machine may take seconds to draw them.
  WaitUntil([&] {
    screen.Snapshot();
    return InShimmerRange(IntroView(screen, intro).At(kOkSampleX, kOkSampleY));
  });
  // At least 12 looks, and on until four colours have shown (a frame or more between looks).
  std::vector<Rgb> samples;
  std::set<std::tuple<int, int, int>> distinct;
  int uneven = 0;
  WaitUntil([&] {
    screen.Snapshot();
    const IntroView view(screen, intro);
    const Rgb c = view.At(kOkSampleX, kOkSampleY);
    // The whole button has the one colour, far corner included.
    if (!Near(view.At(kOnOkX + 8, kOnOkY + 3), c, 0)) ++uneven;
    samples.push_back(c);
    distinct.insert({c.R, c.G, c.B});
    PauseMs(30);
    return samples.size() >= 12 && distinct.size() >= 4;
  });
  std::string seen, outOfRange;
  for (const Rgb& c : samples) {
    seen += " " + Describe(c);
    if (!InShimmerRange(c)) outOfRange += " " + Describe(c);
  }
  checks.Expect(distinct.size() >= 4, "intro: with the pointer on OK the button shimmers (" +
                                          std::to_string(distinct.size()) + " colours in " +
                                          std::to_string(samples.size()) + " looks:" + seen + ")");
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
  });
  checks.Expect(white, "intro: with the pointer off OK the button is white again (" + Describe(after) + ")");
}

// Starts the game, waits for its intro and plays the scenario on it; the status of the checks made.
template <typename Scenario>
int OnIntro(const std::string& gamePath, Scenario scenario) {
  Checks checks;
  ScreenReader screen;
  GameProcess game(gamePath);
  ShownWindow intro;
  if (StartToIntro(checks, game, screen, intro)) scenario(checks, screen, game, intro);
  return checks.Finish();
}

}  // namespace

int RunIntro(const std::string& gamePath, const std::string& screenshot) {
  return OnIntro(gamePath, [&](Checks& checks, ScreenReader& screen, GameProcess& game, const ShownWindow& intro) {
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
  });
}

int RunEscOnIntro(const std::string& gamePath) {
  return OnIntro(gamePath, [&](Checks& checks, ScreenReader& screen, GameProcess& game, const ShownWindow& intro) {
    Xdotool(checks, "key Escape");
    // Watch the screen until the game has gone: the game screen must never cover it.
    double mostWhite = 0;
    bool otherWindow = false;
    WaitUntil(
        [&] {
          const bool running = game.Running();
          const ShownWindow now = FindGameWindow(screen);
          if (now.Id != 0 && !now.IsIntro()) otherWindow = true;
          screen.Snapshot();
          mostWhite = std::max(mostWhite, WhiteShareOutside(screen, intro));
          return !running;
        },
        5000);
    checks.Expect(game.EndedWithStatusZero(), "Esc on the intro ends the game with status 0 (" + game.Ending() + ")");
    checks.Expect(!otherWindow && mostWhite < 0.1,
                  "Esc on the intro: no game screen ever shows (the screen beside the intro was at most " +
                      std::to_string(int(mostWhite * 100)) + "% white)");
    checks.Expect(game.Output().empty(),
                  "Esc on the intro: nothing on standard output (got \"" + game.Output() + "\")");
  });
}

namespace {

// The intro's background, which turns white while OK is held down.
bool BackgroundIs(ScreenReader& screen, const ShownWindow& intro, const Rgb& colour) {
  screen.Snapshot();
  const IntroView view(screen, intro);
  return Near(view.At(5, 5), colour, 0) && Near(view.At(kIntroW - 5, kIntroH - 5), colour, 0) &&
         Near(view.At(kOffOkX + 20, kOffOkY), colour, 0);
}

}  // namespace

int RunOkSlide(const std::string& gamePath) {
  return OnIntro(gamePath, [&](Checks& checks, ScreenReader& screen, GameProcess& game, const ShownWindow& intro) {
    MovePointer(checks, intro, kOnOkX, kOnOkY);
    PauseMs(100);
    Xdotool(checks, "mousedown 1");
    const bool held = WaitUntil([&] { return BackgroundIs(screen, intro, kWhite); });
    checks.Expect(held, "left button held on OK: the intro turns white");
    const int dark = IntroView(screen, intro).Count({38, 45, 300, kLineHeight}, [](const Rgb& c) {
      return std::max({c.R, c.G, c.B}) <= 60;
    });
    checks.Expect(dark >= 100, "left button held on OK: the lines are black on white (" + std::to_string(dark) +
                                   " dark pixels in the first line)");

    MovePointer(checks, intro, kOffOkX, kOffOkY);
    const bool letGo = WaitUntil([&] { return BackgroundIs(screen, intro, kBlack); });
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

    // The intro reads the button once a frame: held until it shows the press (white), then let go.
    MovePointer(checks, intro, kOnOkX, kOnOkY);
    PauseMs(100);
    Xdotool(checks, "mousedown 1");
    checks.Expect(WaitUntil([&] { return BackgroundIs(screen, intro, kWhite); }),
                  "left button held on OK again: the intro turns white");
    Xdotool(checks, "mouseup 1");
    if (WaitForGameScreen(checks, screen, "a click on OK")) ExpectEscEnds(checks, game, "game screen");
  });
}

int RunOkDragOn(const std::string& gamePath) {
  return OnIntro(gamePath, [&](Checks& checks, ScreenReader& screen, GameProcess& game, const ShownWindow& intro) {
    MovePointer(checks, intro, kOffOkX, kOffOkY);
    PauseMs(100);
    Xdotool(checks, "mousedown 1");
    PauseMs(300);
    checks.Expect(BackgroundIs(screen, intro, kBlack), "left button held beside OK: the intro stays black");
    MovePointer(checks, intro, kOnOkX, kOnOkY);
    const bool held = WaitUntil([&] { return BackgroundIs(screen, intro, kWhite); });
    checks.Expect(held, "dragged onto OK with the button held: the intro turns white");
    Xdotool(checks, "mouseup 1");
    if (WaitForGameScreen(checks, screen, "releasing on OK")) ExpectEscEnds(checks, game, "game screen");
  });
}
