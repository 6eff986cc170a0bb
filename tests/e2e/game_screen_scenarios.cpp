// The game screen seen by a player: the white frame, black bars beside a
// letterboxed one, the crowd walking in, and Esc.
#include <algorithm>
#include <chrono>
#include <string>

#include "tests/e2e/game_scenarios.h"

namespace {

constexpr Rgb kBlack{0, 0, 0};

// The hats and hair of the crowd: clearly coloured, neither white, grey nor black.
bool IsColoured(const Rgb& c) { return std::max({c.R, c.G, c.B}) - std::min({c.R, c.G, c.B}) >= 60; }

// The bars beside a letterboxed frame, inside the game's window, stay black.
void CheckBars(Checks& checks, ScreenReader& screen, const GameScreen& shown) {
  const ShownWindow& w = shown.Window;
  const ShownFrame& at = shown.Frame;
  if (at.ShownW == w.W && at.ShownH == w.H) return;
  const Box bars[] = {{w.X, w.Y, w.W, at.OffsetY - w.Y},
                      {w.X, at.OffsetY + at.ShownH, w.W, w.Y + w.H - at.OffsetY - at.ShownH},
                      {w.X, w.Y, at.OffsetX - w.X, w.H},
                      {at.OffsetX + at.ShownW, w.Y, w.X + w.W - at.OffsetX - at.ShownW, w.H}};
  int nonBlack = 0;
  for (const Box& bar : bars)
    for (int y = bar.Y; y < bar.Y + bar.H; y += 2)
      for (int x = bar.X; x < bar.X + bar.W; x += 2)
        if (!Near(screen.At(x, y), kBlack, 0)) ++nonBlack;
  checks.Expect(nonBlack == 0, "game screen: the bars beside the letterboxed frame are black (" +
                                   std::to_string(nonBlack) + " other pixels)");
}

}  // namespace

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
