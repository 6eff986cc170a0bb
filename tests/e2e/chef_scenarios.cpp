/** @file chef_scenarios.cpp RunChefs: a chef's theft, delivery and taken toque, told and seen on screen. */
// The chefs on the real screen: the stage hook stops at the chefs' stage and
// its chef watch says on standard output when a chef takes a hat, delivers one
// or is given a box by his toque, and where the chefs and the cursor are. The
// screen must show each of those: the stolen hat in the chef's hands, the box
// in its new colour, and the toque taken from a chef's head by the player.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "game/view.h"
#include "tests/e2e/game_scenarios.h"

namespace {

int Apart(const Rgb& a, const Rgb& b) {
  return std::max({std::abs(a.R - b.R), std::abs(a.G - b.G), std::abs(a.B - b.B)});
}

struct Theft {
  int Chef = 0, Fan = 0;
  Rgb Hat;
};
// A hat added to a box: by a chef's delivery, or a toque let go over it.
struct Added {
  int Chef = 0, Slot = 0, X = 0, Y = 0;
  Rgb From, To, Hat;
};
struct ChefAt {
  int X = 0, Y = 0, Toque = 0, Following = -1, Carrying = -1, FanX = 0, FanY = 0;
};

// The chef watch's lines, read as they come.
class Watch {
 public:
  explicit Watch(GameProcess& game) : game_(game) {}
  // Reads what came since the last call; true when something did.
  bool Read() {
    const std::string& out = game_.Output();
    bool any = false;
    for (size_t end; (end = out.find('\n', read_)) != std::string::npos; read_ = end + 1) {
      Parse(out.substr(read_, end - read_));
      any = true;
    }
    return any;
  }
  // Waits for a report of the cursor from a frame begun after this call: what is already in the pipe
  // is read first, and the next report may come from a frame begun before the call.
  bool FreshMouse(int timeoutMs = kSeenWithinMs) {
    Read();
    const int seen = mouseLines_;
    return WaitUntil([&] { return Read(), mouseLines_ > seen + 1; }, timeoutMs);
  }

  std::vector<Theft> Thefts;
  std::vector<Added> Deliveries, Toques;
  std::map<int, ChefAt> Chefs;
  // Frames reported so far.
  int Frames() const { return mouseLines_; }
  int MouseX = 0, MouseY = 0, HoldingToqueOf = -1, OffX = 0, OffY = 0;
  double Scale = 0;

 private:
  void Parse(const std::string& line) {
    std::istringstream in(line);
    std::string kind, word;
    in >> kind;
    if (kind == "theft") {
      Theft t;
      in >> t.Chef >> word >> t.Fan >> word >> t.Hat.R >> t.Hat.G >> t.Hat.B;
      if (in) Thefts.push_back(t);
    } else if (kind == "delivery" || kind == "toque") {
      Added a;
      in >> a.Chef >> word >> a.Slot >> word >> a.X >> a.Y >> word >> a.From.R >> a.From.G >> a.From.B >> word >>
          a.To.R >> a.To.G >> a.To.B;
      if (kind == "delivery") in >> word >> a.Hat.R >> a.Hat.G >> a.Hat.B;
      if (in) (kind == "delivery" ? Deliveries : Toques).push_back(a);
    } else if (kind == "chef") {
      int id = 0;
      ChefAt c;
      in >> id >> word >> c.X >> c.Y >> word >> c.Toque >> word >> c.Following >> word >> c.Carrying >> word >>
          c.FanX >> c.FanY;
      if (in) chefs_[id] = c;
    } else if (kind == "mouse") {
      // The last line of a frame's report: the chefs reported before it are all there are.
      in >> MouseX >> MouseY >> word >> Scale >> word >> HoldingToqueOf >> word >> OffX >> OffY;
      if (in) ++mouseLines_;
      Chefs.swap(chefs_);
      chefs_.clear();
    }
  }

  GameProcess& game_;
  std::map<int, ChefAt> chefs_;  // this frame's so far
  size_t read_ = 0;
  int mouseLines_ = 0;
};

// World to screen on a screen that shows the frame one to one.
int ScreenX(const Watch& w, double x) { return int(std::lround(ScreenCentreX + x * w.Scale)); }
int ScreenY(const Watch& w, double y) { return int(std::lround(ScreenCentreY + y * w.Scale)); }
Box OnScreen(const Watch& w, double x, double y, double width, double height) {
  return {ScreenX(w, x), ScreenY(w, y), int(width * w.Scale), int(height * w.Scale)};
}

// Share of the samples inside the box, every 3 pixels, within 1 of the colour (a box is one flat colour).
double ShareOf(const ScreenReader& screen, const Box& b, const Rgb& c) { return ShareNear(screen, b, c, 1); }

// The box of a report in the colour the report gives it, over at least a third of it (people walk in
// front of boxes), and less than half as much of it in the colour it had before (people's outlines are
// black, like a new box).
bool ShowsNewColour(const ScreenReader& screen, const Watch& w, const Added& a, std::string& seen) {
  const Box inside = OnScreen(w, a.X + 10, a.Y + 10, 260, 165);
  const double now = ShareOf(screen, inside, a.To), before = ShareOf(screen, inside, a.From);
  seen = "box " + std::to_string(a.Slot) + " at " + DescribeBox(inside) + ": " + std::to_string(int(now * 100)) +
         "% in " + Describe(a.To) + ", " + std::to_string(int(before * 100)) + "% in the old " + Describe(a.From);
  return now >= 0.33 && before < now / 2;
}

// The stolen hat in the chef's hands: its colour where he holds it, over at least half the light part
// of a hat (some 550 samples at a scale of 0.58). Looked at only once he is 200 units from the robbed
// fan, whose hair has the same colour.
// Where a chef holds a hat (drawn 55 right of his corner and 260 below it), with a margin.
Box Hands(const Watch& w, const ChefAt& c) { return OnScreen(w, c.X + 55 - 30, c.Y + 260 - 30, 280 + 60, 91 + 60); }
bool ShowsHatInHands(const ScreenReader& screen, const Watch& w, const ChefAt& c, const Rgb& hat, std::string& seen) {
  const Box hands = Hands(w, c);
  int samples = 0;
  for (const Patch& p : ColouredPatches(screen, hands, 10))
    if (Near(p.Colour, hat, 30)) samples += p.Samples;
  const int half = int(6556 * w.Scale * w.Scale / 4 / 2);
  seen = "hat " + Describe(hat) + " in the hands at " + DescribeBox(hands) + ": " + std::to_string(samples) +
         " samples of its colour (half a hat is " + std::to_string(half) + ")";
  return samples >= half;
}
bool FarFromTheFan(const ChefAt& c) { return std::hypot(c.X + 55 - c.FanX, c.Y + 260 - c.FanY) >= 200; }
bool WhollyInView(const Box& b) { return b.X >= 0 && b.Y >= 0 && b.X + b.W <= kFrameW && b.Y + b.H <= kFrameH; }

// Looks at the chefs' thefts and deliveries as they are reported, for up to timeoutMs or until `enough`
// holds. A theft counts when the hat shows in the chef's hands, a delivery when the box shows its new
// colour; the first of each seen is saved as a screenshot.
struct Sightings {
  int Thefts = 0, Deliveries = 0;
  std::string LastTheft, LastDelivery;
  size_t TheftsRead = 0, DeliveriesRead = 0;
  struct Looking {
    Theft What;
    int Looks = 0, LastFrame = -1;
  };
  std::map<int, Looking> Carrying;  // by chef: the theft not yet seen
};
void LookAtChefs(Checks& checks, ScreenReader& screen, Watch& watch, Sightings& s, const std::string& shots,
                 int timeoutMs, const std::function<bool()>& enough) {
  WaitUntil(
      [&] {
        watch.Read();
        for (; s.TheftsRead < watch.Thefts.size(); ++s.TheftsRead)
          s.Carrying[watch.Thefts[s.TheftsRead].Chef] = {watch.Thefts[s.TheftsRead]};
        // Up to five looks at each theft, in five frames: people walking in front of him may hide the hat.
        for (auto t = s.Carrying.begin(); t != s.Carrying.end();) {
          Sightings::Looking& l = t->second;
          const ChefAt& c = watch.Chefs[t->first];
          const bool still = c.Carrying == l.What.Fan;
          if (still && (!FarFromTheFan(c) || !WhollyInView(Hands(watch, c)) || l.LastFrame == watch.Frames())) {
            ++t;
            continue;
          }
          bool done = !still;
          if (still) {
            screen.Snapshot();
            std::string seen;
            const bool shown = ShowsHatInHands(screen, watch, c, l.What.Hat, seen);
            std::printf("  (chef %d: %s)\n", t->first, seen.c_str());
            if (shown && s.Thefts++ == 0) Screenshot(checks, shots + "_theft.png");
            s.LastTheft = "chef " + std::to_string(t->first) + ", " + seen;
            l.LastFrame = watch.Frames();
            done = shown || ++l.Looks == 5;
          }
          t = done ? s.Carrying.erase(t) : std::next(t);
        }
        for (; s.DeliveriesRead < watch.Deliveries.size(); ++s.DeliveriesRead) {
          const Added& d = watch.Deliveries[s.DeliveriesRead];
          std::string seen;
          // The box shows its new colour from the next frame, which a busy machine may draw seconds later;
          // another delivery may change it again meanwhile, and any one delivery seen will do. Two colours
          // 3 apart in a channel are told apart within 1: one that changed less cannot show the change.
          if (Apart(d.From, d.To) >= 3 &&
              WaitUntil([&] { return screen.Snapshot(), ShowsNewColour(screen, watch, d, seen); }, 10000) &&
              s.Deliveries++ == 0)
            Screenshot(checks, shots + "_delivery.png");
          s.LastDelivery = "chef " + std::to_string(d.Chef) + ", " + seen;
        }
        return enough();
      },
      timeoutMs);
}

// Moves the game's cursor to the world point `where` gives, asked again before every move since a chef
// walks meanwhile, until the watch sees it within `within` units: each pass moves by what is left.
bool CursorTo(Checks& checks, Watch& watch, const std::function<std::pair<int, int>()>& where, int within) {
  for (int pass = 0; pass < 8; ++pass) {
    watch.FreshMouse();
    const auto [x, y] = where();
    if (std::abs(x - watch.MouseX) <= within && std::abs(y - watch.MouseY) <= within) return true;
    if (pass > 0) std::printf("  (the cursor is at %d, %d on its way to %d, %d)\n", watch.MouseX, watch.MouseY, x, y);
    MoveBy(checks, x - watch.MouseX, y - watch.MouseY, 60);
  }
  return false;
}
bool CursorTo(Checks& checks, Watch& watch, int x, int y) {
  return CursorTo(
      checks, watch,
      [=] {
        return std::pair{x, y};
      },
      0);
}

// World units of a screen pixel.
int WorldX(const Watch& w, int sx) { return int((sx - ScreenCentreX) / w.Scale); }
int WorldY(const Watch& w, int sy) { return int((sy - ScreenCentreY) / w.Scale); }

constexpr Box kNewColor{7, 690, 180, 30};
// The middle of the toque (242 x 233, drawn 42 right of the chef's corner and 140 above it), where it is
// taken rather than the chef, whose head is under its lower part.
constexpr int kToqueX = 42 + 121, kToqueY = -140 + 110;

}  // namespace

int RunChefs(const std::string& hookPath, const std::string& shots) {
  Checks checks;
  ScreenReader screen;
  // Stages every 5 frames up to the chefs' stage, the view set at once; the chefs' places every frame.
  GameProcess game(hookPath, {"--every", "5", "--until", "3", "--chefs", "1"});
  GameScreen shown;
  if (!StartToGameScreen(checks, game, screen, &shown)) return checks.Finish();
  if (!checks.Expect(shown.Frame.ShownW == kFrameW && shown.Window.W == kFrameW, "the frame is shown one to one"))
    return checks.Finish();
  Watch watch(game);
  const bool reported = WaitUntil([&] { return watch.Read(), std::abs(watch.Scale - 0.58) < 0.001; });
  if (!checks.Expect(reported,
                     "the watch reports the cursor at the chefs' zoom, 0.58 (" + std::to_string(watch.Scale) + ")"))
    return checks.Finish();

  // While the titles run, the first chef takes hats and brings them to his box, the game's own.
  Sightings seen;
  bool button = false;
  LookAtChefs(checks, screen, watch, seen, shots, 60000, [&] {
    const Box& b = kNewColor;
    screen.Snapshot();
    return button = MostlyBlack(screen, {b.X + 2, b.Y, b.W - 4, 1}) && IsWhite(screen.At(b.X + 4, b.Y + 4));
  });
  if (!checks.Expect(button, "the New color button shows after the titles")) return checks.Finish();

  // New color, and a box placed in the middle: the cursor is at its middle.
  const int newX = WorldX(watch, kNewColor.X + kNewColor.W / 2), newY = WorldY(watch, kNewColor.Y + kNewColor.H / 2);
  // Each message is made after the move it tells of.
  const bool onNew = CursorTo(checks, watch, newX, newY);
  checks.Expect(onNew, "the cursor reaches New color at " + std::to_string(newX) + ", " + std::to_string(newY) +
                           " (seen at " + std::to_string(watch.MouseX) + ", " + std::to_string(watch.MouseY) + ")");
  Click(checks);
  WaitForInputRead(checks, screen);  // the click is read on the button, not on the way to the middle
  const bool inMiddle = CursorTo(checks, watch, 0, 0);
  checks.Expect(inMiddle, "the cursor reaches the middle (seen at " + std::to_string(watch.MouseX) + ", " +
                              std::to_string(watch.MouseY) + ")");
  watch.FreshMouse();
  const int boxX = watch.MouseX - 140, boxY = watch.MouseY - 92;
  const Box inside = OnScreen(watch, boxX + 10, boxY + 10, 260, 165);
  if (!PlaceBox(checks, screen, inside, shots + "_no_box.png")) return checks.Finish();

  // The player takes a chef's toque from his head, shown by the watch, and lets it go over the box.
  int held = -1;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (held < 0 && std::chrono::steady_clock::now() < giveUp) {
    watch.FreshMouse();
    int chef = -1;
    const double halfW = HalfViewWidth(watch.Scale) - 80, halfH = HalfViewHeight(watch.Scale) - 80;
    // A chef walking about, not one running after a fan or carrying a hat away, three times as fast.
    for (const auto& [id, c] : watch.Chefs)
      if (c.Toque && c.Following == -1 && c.Carrying == -1 && std::abs(c.X + kToqueX) < halfW &&
          std::abs(c.Y + kToqueY) < halfH)
        chef = id;
    if (chef < 0) continue;  // at the top of the view his toque is out of the cursor's reach
    // Near him first; then the last move and the press together, so that one frame sees both.
    auto toque = [&] { return std::pair{watch.Chefs[chef].X + kToqueX, watch.Chefs[chef].Y + kToqueY}; };
    if (!CursorTo(checks, watch, toque, 100)) continue;
    watch.FreshMouse();
    const auto [x, y] = toque();
    Xdotool(checks, "mousemove_relative -- " + std::to_string(x - watch.MouseX) + " " +
                        std::to_string(y - watch.MouseY) + " mousedown 1");
    PauseMs(150);
    watch.FreshMouse();
    const ChefAt c = watch.Chefs[chef];
    std::printf("  (chef %d at %d, %d; the cursor at %d, %d; holding the toque of %d)\n", chef, c.X, c.Y, watch.MouseX,
                watch.MouseY, watch.HoldingToqueOf);
    if (watch.HoldingToqueOf == chef) {
      held = chef;
    } else {
      ReleaseLeft(checks);  // a person or nothing was taken: put him down where he is
      PauseMs(300);
    }
  }
  if (!checks.Expect(held >= 0, "the player takes a chef's toque from his head (chef " + std::to_string(held) + ")"))
    return checks.Finish();
  // The toque is drawn where it was taken from the cursor. The cursor goes where the middle of its white
  // puff (120, 90 in its picture) comes over the middle of the black box, staying over the box; where the
  // puff covers the box, people walking over it leave most of the box black.
  const int offX = watch.OffX, offY = watch.OffY;
  const int dropX = boxX + 140 + std::clamp(-offX - 120, -110, 110),
            dropY = boxY + 92 + std::clamp(-offY - 90, -70, 70);
  const int left = std::max(dropX + offX + 40, boxX + 10), top = std::max(dropY + offY + 30, boxY + 10);
  const int right = std::min(dropX + offX + 200, boxX + 270), bottom = std::min(dropY + offY + 150, boxY + 175);
  const Box puff = OnScreen(watch, left, top, std::max(right - left, 0), std::max(bottom - top, 0));
  const Rgb white{255, 255, 255};
  const bool overBox = CursorTo(checks, watch, dropX, dropY);
  checks.Expect(overBox, "the cursor takes the toque to " + std::to_string(dropX) + ", " + std::to_string(dropY) +
                             ", over the box (seen at " + std::to_string(watch.MouseX) + ", " +
                             std::to_string(watch.MouseY) + ")");
  // The watch reports the cursor there after the frame that drew it; the screen may show that frame later.
  double whiteHeld = 0;
  WaitUntil([&] { return screen.Snapshot(), (whiteHeld = ShareOf(screen, puff, white)) >= 0.6; }, 10000);
  Screenshot(checks, shots + "_toque_held.png");
  ReleaseLeft(checks);
  const bool taken = WaitUntil([&] { return watch.Read(), !watch.Toques.empty(); });
  if (checks.Expect(taken, "the toque let go over the box goes into it")) {
    const Added& t = watch.Toques.front();
    checks.Expect(t.Chef == held && t.X == boxX && t.Y == boxY, "it is chef " + std::to_string(t.Chef) +
                                                                    "'s toque, in the box at " + std::to_string(t.X) +
                                                                    ", " + std::to_string(t.Y) + ", which he now owns");
    // From the next frame on.
    std::string what;
    const bool greyed = WaitUntil([&] { return screen.Snapshot(), ShowsNewColour(screen, watch, t, what); });
    checks.Expect(greyed, "the box takes the toque's white: " + what);
    // Where the puff was, the grey box now shows.
    const double whiteAfter = ShareOf(screen, puff, white);
    checks.Expect(puff.W * puff.H >= 40 * 30 && whiteHeld >= 0.6 && whiteAfter <= whiteHeld - 0.4,
                  "the toque was seen in the hand over the box: white over " + std::to_string(int(whiteHeld * 100)) +
                      "% of " + DescribeBox(puff) + " while held, " + std::to_string(int(whiteAfter * 100)) +
                      "% once in the box");
    Screenshot(checks, shots + "_toque.png");
  }

  // The chef without his toque takes the hats he likes to his new box; any chef's delivery will do.
  // A slow machine runs fewer frames a second: the chefs are given a minute of wall time.
  LookAtChefs(checks, screen, watch, seen, shots, 60000, [&] { return seen.Thefts > 0 && seen.Deliveries > 0; });
  checks.Expect(seen.Thefts > 0, "a chef is seen with a stolen hat in his hands: " + std::to_string(seen.Thefts) +
                                     " of " + std::to_string(watch.Thefts.size()) + " thefts (last: " + seen.LastTheft +
                                     ")");
  checks.Expect(seen.Deliveries > 0,
                "a chef's delivery is seen in the box's colour: " + std::to_string(seen.Deliveries) + " of " +
                    std::to_string(watch.Deliveries.size()) + " deliveries (last: " + seen.LastDelivery + ")");
  for (const Added& d : watch.Deliveries)
    if (d.Chef == held && d.X == boxX && d.Y == boxY) {
      std::printf("  (chef %d has since brought a hat to the box his toque gave him)\n", held);
      break;
    }
  const bool running = game.Running();
  checks.Expect(running, "the game still runs (" + game.Ending() + ")");
  Xdotool(checks, "key Escape");
  game.WaitForEnd(kSeenWithinMs);
  checks.Expect(game.EndedWithStatusZero(), "Esc ends the game with status 0 (" + game.Ending() + ")");
  return checks.Finish();
}
