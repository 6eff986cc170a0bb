/** @file game_screen_scenarios.cpp RunPlay and RunHands: the game screen, the crowd, hands, Esc. */
// The game screen seen by a player: the white frame, black bars beside a
// letterboxed one, the crowd walking in, and Esc.
#include <algorithm>
#include <chrono>
#include <string>

#include "game/view.h"
#include "tests/e2e/game_scenarios.h"

int RunPlay(const std::string& gamePath, const std::string& screenshot) {
  Checks checks;
  ScreenReader screen;
  GameProcess game(gamePath);
  GameScreen shown;
  if (!StartToGameScreen(checks, game, screen, &shown)) return checks.Finish();
  CheckBars(checks, screen, shown);

  // The crowd walks in from the edges once the frame clock has its first measurement.
  const ShownFrame& at = shown.Frame;
  int coloured = 0, dark = 0;
  const auto start = std::chrono::steady_clock::now();
  const bool people = WaitUntil([&] {
    screen.Snapshot();
    coloured = dark = 0;
    for (int y = at.OffsetY; y < at.OffsetY + at.ShownH; y += 2)
      for (int x = at.OffsetX; x < at.OffsetX + at.ShownW; x += 2) {
        const Rgb c = screen.At(x, y);
        if (IsColoured(c)) ++coloured;
        if (std::max({c.R, c.G, c.B}) <= 40) ++dark;
      }
    return coloured >= 300 && dark >= 300;
  });
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

namespace {

constexpr Box kNewColor{7, 690, 180, 30};
// The box is placed with the cursor at its middle; 280 x 185 at the first stage's zoom.
constexpr int kBoxX = ScreenCentreX, kBoxY = 150;
constexpr Box kBoxInside{kBoxX - 120, kBoxY - 70, 240, 140};
// Where hats are looked for: below the box, to the bottom of the screen.
constexpr Box kCrowd{0, 250, 1024, 518};

// The largest hat crown in view, or with `near`, the patch of that colour closest to the point; false when none.
bool FindHat(ScreenReader& screen, Patch& hat, const Patch* near = nullptr) {
  screen.Snapshot();
  const std::vector<Patch> patches = ColouredPatches(screen, kCrowd, 250);
  if (patches.empty()) return false;
  if (!near) {
    hat = patches.front();
    return true;
  }
  long best = -1;
  for (const Patch& p : patches) {
    const long d = long(p.X - near->X) * (p.X - near->X) + long(p.Y - near->Y) * (p.Y - near->Y);
    if (Near(p.Colour, near->Colour, 30) && (best < 0 || d < best)) {
      best = d;
      hat = p;
    }
  }
  return best >= 0;
}

// Puts the cursor on a hat crown, aiming again once close since people walk meanwhile; false when none shows.
bool HomeOnHat(Checks& checks, ScreenReader& screen, GameCursor& cursor, Patch& hat) {
  // A hat lost from sight on the way (its wearer walked off or behind another) is given up for the
  // largest in view, a few times, rather than the whole attempt.
  for (int look = 0; look < 3; ++look) {
    // The crowd crosses the screen and comes back: wait for a hat in view.
    if (!WaitUntil([&] { return FindHat(screen, hat) && hat.Y < 700; })) return false;
    bool lost = false;
    for (int pass = 0; pass < 2 && !lost; ++pass) {
      cursor.To(checks, screen, hat.X, hat.Y - 8);
      const Patch seen = hat;
      lost = !FindHat(screen, hat, &seen);
    }
    if (lost) continue;
    cursor.To(checks, screen, hat.X, hat.Y - 8);
    return true;
  }
  return false;
}

// Share of the samples inside the box, every 4 pixels, that pass the test; the last passing colour is kept.
double Share(const ScreenReader& screen, const Box& b, bool (*test)(const Rgb&), Rgb* seen = nullptr) {
  int passed = 0, all = 0;
  for (int y = b.Y; y < b.Y + b.H; y += 4)
    for (int x = b.X; x < b.X + b.W; x += 4, ++all)
      if (test(screen.At(x, y))) {
        ++passed;
        if (seen) *seen = screen.At(x, y);
      }
  return all ? double(passed) / all : 0.0;
}

// A box's mix starts dark: tinted, however little, unlike the black, white and grey of the people.
bool IsTinted(const Rgb& c) { return std::max({c.R, c.G, c.B}) - std::min({c.R, c.G, c.B}) >= 10; }

// A dark mix of one hat keeps the hat's hue: every pair of channels far apart in the hat is
// ordered the same way in the mix. Channels close in the hat (yellow's red and green) may tie.
bool SameHue(const Rgb& mix, const Rgb& hat) {
  const int m[3] = {mix.R, mix.G, mix.B}, h[3] = {hat.R, hat.G, hat.B};
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b)
      if (h[a] - h[b] >= 40 && m[a] <= m[b]) return false;
  return true;
}

}  // namespace

int RunHands(const std::string& gamePath, const std::string& shots) {
  Checks checks;
  ScreenReader screen;
  GameProcess game(gamePath);
  GameScreen shown;
  if (!StartToGameScreen(checks, game, screen, &shown)) return checks.Finish();
  if (!checks.Expect(shown.Frame.ShownW == kFrameW && shown.Window.W == kFrameW, "the frame is shown one to one"))
    return checks.Finish();
  // The buttons come after the title sequence and the first message.
  const auto start = std::chrono::steady_clock::now();
  const bool button = WaitUntil(
      [&] {
        screen.Snapshot();
        const Box& b = kNewColor;
        return MostlyBlack(screen, {b.X + 2, b.Y, b.W - 4, 1}) &&
               MostlyBlack(screen, {b.X + 2, b.Y + b.H - 1, b.W - 4, 1}) &&
               MostlyBlack(screen, {b.X, b.Y + 2, 1, b.H - 4}) && IsWhite(screen.At(b.X + 4, b.Y + 4));
      },
      2 * kSeenWithinMs);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  if (!checks.Expect(button, "the New color button shows after " + std::to_string(ms.count()) + " ms"))
    return checks.Finish();

  // New color, then a click in the empty space at the top places a box there: a tap (press and
  // release sent at once, as a touchpad's tap-to-click comes) does.
  GameCursor cursor;
  cursor.To(checks, screen, kNewColor.X + kNewColor.W / 2, kNewColor.Y + kNewColor.H / 2);
  Click(checks);
  WaitForInputRead(checks, screen);  // the click is read on the button, not on the way to the box
  cursor.To(checks, screen, kBoxX, kBoxY);
  Xdotool(checks, "click 1");
  double black = 0;
  WaitUntil([&] {
    screen.Snapshot();
    return (black = ShareNear(screen, kBoxInside, Rgb{0, 0, 0}, 1)) > 0.6;  // people walking over it hide some
  });
  if (!checks.Expect(black > 0.6,
                     "a box is placed in the empty space: " + std::to_string(int(black * 100)) + "% of it black")) {
    Screenshot(checks, shots + "_no_box.png");
    return checks.Finish();
  }
  Screenshot(checks, shots + "_box.png");

  // A hat dragged onto the box gives the box its colour: the hat seen in the hand over the box.
  Patch hat, held;
  Rgb mixed;
  double coloured = 0;
  for (int attempt = 0; attempt < 5 && coloured < 0.4; ++attempt) {
    if (!HomeOnHat(checks, screen, cursor, hat)) continue;
    PressLeft(checks);
    WaitForInputRead(checks, screen);  // the press is read on the hat, not on the way to the box
    cursor.To(checks, screen, kBoxX, kBoxY);
    WaitForInputRead(checks, screen);  // the hand is over the box before anything there counts as held
    // The hat comes over the box in the frame that reads the last move, which a busy machine draws later.
    // Only a patch of the hat's own colour counts: a passer-by's hat over the box would let go too soon.
    std::vector<Patch> inHand;
    WaitUntil(
        [&] {
          screen.Snapshot();
          inHand.clear();
          for (const Patch& p : ColouredPatches(screen, {kBoxX - 80, kBoxY - 50, 160, 100}, 40))
            if (Near(p.Colour, hat.Colour, 20)) inHand.push_back(p);
          return !inHand.empty();
        },
        15000);
    ReleaseLeft(checks);
    if (inHand.empty()) continue;  // a person was taken instead, or nothing
    held = inHand.front();
    WaitUntil(
        [&] {
          screen.Snapshot();
          return (coloured = Share(screen, kBoxInside, IsTinted, &mixed)) >= 0.4;
        },
        10000);
  }
  checks.Expect(coloured >= 0.4 && SameHue(mixed, held.Colour),
                "a hat (" + Describe(held.Colour) + ") dragged onto the box gives it its colour (" + Describe(mixed) +
                    " over " + std::to_string(int(coloured * 100)) + "% of it)");
  Screenshot(checks, shots + "_hat.png");

  // A person taken by the face and let go while the hand moves up flies on, far from where he was let go.
  bool flew = false;
  for (int attempt = 0; attempt < 5 && !flew; ++attempt) {
    if (!HomeOnHat(checks, screen, cursor, hat)) continue;
    cursor.To(checks, screen, hat.X, hat.Y + 70);  // his face
    PressLeft(checks);
    WaitForInputRead(checks, screen);  // the press is read on his face, before the throw
    // The release comes in the middle of a quick upward move, so the frame that sees it sees the move too.
    std::string fling;
    for (int step = 0; step < 6; ++step)
      fling += std::string(step == 3 ? " mouseup 1" : "") + " mousemove_relative -- 0 -40 sleep 0.005";
    Xdotool(checks, fling);
    cursor.Y -= 240;
    // Long enough for a flight, in time and in frames drawn: a busy machine draws a few a second.
    PauseMs(800);
    checks.Expect(WaitForFrames(screen, 10), "the game draws 10 frames after the throw");
    // Left where he was let go, his hat would be where it was taken: about 78 units above the hand.
    screen.Snapshot();
    flew = true;
    for (const Patch& p : ColouredPatches(screen, {0, 0, 1024, 768}, 150))
      if (Near(p.Colour, hat.Colour, 20) && std::abs(p.X - cursor.X) < 100 && std::abs(p.Y - (cursor.Y - 78)) < 100)
        flew = false;
  }
  checks.Expect(flew, "a person (hat " + Describe(hat.Colour) + ") flung upward flies on from the hand");
  Screenshot(checks, shots + "_throw.png");

  // F1 held shows the messages seen so far, in black over a whitened screen, from the top-left corner.
  Xdotool(checks, "keydown F1");
  int ink = 0;
  WaitUntil([&] {
    screen.Snapshot();
    ink = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 300; ++x)
        if (std::max({screen.At(x, y).R, screen.At(x, y).G, screen.At(x, y).B}) < 80) ++ink;
    return ink > 100;
  });
  Screenshot(checks, shots + "_f1.png");
  checks.Expect(ink > 100,
                "F1 held: the first message in black at the top-left (" + std::to_string(ink) + " dark pixels)");
  Xdotool(checks, "keyup F1");
  checks.Expect(game.Running(), "the game still runs (" + game.Ending() + ")");
  ExpectEscEnds(checks, game, "hands");
  return checks.Finish();
}
