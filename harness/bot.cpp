/** @file bot.cpp The Bot's choices and mouse moves, and BotGame, which plays a headless game with it to the end. */
#include "harness/bot.h"

#include <algorithm>
#include <cstdlib>

#include "game/ending.h"
#include "game/mouse.h"
#include "game/names.h"
#include "game/person.h"
#include "game/tutor.h"
#include "game/view.h"
#include "game/work.h"
#include "game/world.h"
#include "harness/headless_game.h"
#include "platform/hitlayers.h"
#include "platform/numeric.h"
#include "platform/services.h"

namespace {

constexpr int HatFamilies = 7;  // six hue sectors of 60 degrees, and the greys
constexpr int FinalizeAt = 12;  // hats in a box before it is finalized
// A chef this near an open box (centre to centre, each way) is thrown out.
constexpr int ChefNear = 450;
// A box is deleted when this many sad faces of other hues are around it, and
// three times as many as glad faces of its hue; only from the stage when the
// crowd's best second starts to count, so the early boxes are kept.
constexpr int HatersToDelete = 4;
constexpr int32_t DeleteFromStage = 5;
constexpr int LookEvery = 60;  // frames between two looks for a hated box
// A fan who is not glad is carried to stand in front of a box of his colour:
// the box must hold this many hats to show its hue, and its hue must lie this
// near his (degrees), well inside the band where a fan likes a colour.
constexpr int ShowsItsHue = 4;
constexpr int FanHueNear = 25;
// At most one fan carried every two seconds: a player's pace, not a machine's.
constexpr int FanMoveEvery = 120;

// Hue in degrees (0 to 359) of a colour, -1 for a grey.
int Hue(const TColor& c) {
  const int mx = std::max({c.R, c.G, c.B}), mn = std::min({c.R, c.G, c.B});
  if (mx == mn) return -1;
  int h;
  if (mx == c.R)
    h = (c.G - c.B) * 60 / (mx - mn);
  else if (mx == c.G)
    h = (c.B - c.R) * 60 / (mx - mn) + 120;
  else
    h = (c.R - c.G) * 60 / (mx - mn) + 240;
  return (h + 360) % 360;
}

// The hue sector of a colour as a player sorts hats by eye: 0 to 5 round the
// colour wheel, 6 for colours too pale to have a hue worth matching.
int HueFamily(const TColor& c) {
  const int mx = std::max({c.R, c.G, c.B}), mn = std::min({c.R, c.G, c.B});
  if (mx == 0 || mx - mn < 40) return 6;
  return (Hue(c) + 30) % 360 / 60;
}

// The visible world's half sizes at the current zoom, in whole units.
int HalfWidth() { return TruncInt(HalfViewWidth(Scale)); }
int HalfHeight() { return TruncInt(HalfViewHeight(Scale)); }

bool IsWorldObject(HitId id) {
  for (int32_t i = 0; i < PeopleCount; ++i)
    if (id == People[size_t(i)].get() || id == People[size_t(i)]->MyHat.get()) return true;
  for (const WorkRef& w : Works)
    if (w && id == w.get()) return true;
  return id == &NewButton || id == &DeleteButton || id == &FinalizeButton || id == &EndButton;
}

// Where the mouse would find `target` first, from the shapes the last frame
// registered: a point of its picture not covered by anything drawn after it.
bool FindGrabPoint(HitId target, int x0, int y0, int w, int h, int32_t& gx, int32_t& gy) {
  const int cx = x0 + w / 2, cy = y0 + h / 2;
  int64_t best = -1;
  for (int yy = y0 + 8; yy < y0 + h; yy += 12)
    for (int xx = x0 + 8; xx < x0 + w; xx += 16) {
      const HitList hits = HitRect(xx - 4, yy - 4, 9, 9, LayerGrab, 0, nullptr);
      HitId first = nullptr;
      for (HitId id : hits)
        if (IsWorldObject(id)) {
          first = id;
          break;
        }
      if (first != target) continue;
      const int64_t d = int64_t(xx - cx) * (xx - cx) + int64_t(yy - cy) * (yy - cy);
      if (best < 0 || d < best) {
        best = d;
        gx = xx;
        gy = yy;
      }
    }
  return best >= 0;
}

bool OpenPlayerBox(int32_t slot) {
  if (slot < 0) return false;
  const WorkRef& w = Works[size_t(slot)];
  return w && w->Active && w->Locked == LockOpen && w->Protected == 0;
}

int HueDistance(int a, int b) {
  const int d = std::abs(a - b) % 360;
  return std::min(d, 360 - d);
}

// Whether the rectangle lies wholly in the visible world.
bool InView(int x, int y, int w, int h) {
  const int hw = HalfWidth(), hh = HalfHeight();
  return x >= -hw && y >= -hh && x + w <= hw && y + h <= hh;
}

}  // namespace

int32_t Bot::ChefToStop(bool& carrying) const {
  int32_t thrown = -1, taken = -1;
  int64_t bestThrown = -1, bestTaken = -1;
  for (int32_t i = 0; i < PeopleCount; ++i) {
    const TPerson& p = *People[size_t(i)];
    if (p.Chef == ChefNone || Mouse->Clicked == &p) continue;
    if (std::abs(p.throwX) > 2 || std::abs(p.throwY) > 2) continue;
    const int x = TruncInt(p.x), y = TruncInt(p.y);
    const int64_t d =
        int64_t(x + 140 - Mouse->x) * (x + 140 - Mouse->x) + int64_t(y + 250 - Mouse->y) * (y + 250 - Mouse->y);
    if (p.CarriedHat >= 0) {
      if (InView(x + 55, y + 260, 280, 91) && (bestTaken < 0 || d < bestTaken)) {
        bestTaken = d;
        taken = i;
      }
      continue;
    }
    if (!InView(x, y, 280, 501)) continue;
    bool near = false;
    for (int32_t slot : boxOfHue_)
      if (OpenPlayerBox(slot)) {
        const TWork& w = *Works[size_t(slot)];
        if (std::abs(w.x + 140 - (x + 140)) < ChefNear && std::abs(w.y + 92 - (y + 250)) < ChefNear) near = true;
      }
    if (near && (bestThrown < 0 || d < bestThrown)) {
      bestThrown = d;
      thrown = i;
    }
  }
  carrying = taken >= 0;
  return taken >= 0 ? taken : thrown;
}

int32_t Bot::SaddestFan() const {
  int32_t who = -1;
  int lowest = 3;
  for (int32_t i = 0; i < PeopleCount; ++i) {
    const TPerson& p = *People[size_t(i)];
    if (p.Chef != ChefNone || p.InspiredBy > -1 || p.GettingHat > -1 || p.Frame < 0) continue;
    if (std::abs(p.throwX) > 2 || std::abs(p.throwY) > 2) continue;
    if (!InView(TruncInt(p.x) + 90, TruncInt(p.y) + 72, 100, 90)) continue;  // his face must be seen
    if (p.Mood / 10 < lowest) {
      lowest = p.Mood / 10;
      who = i;
    }
  }
  return who;
}

int32_t Bot::HatedBox() const {
  int32_t best = -1;
  int bestMargin = 0;
  for (size_t s = 0; s < Works.size(); ++s) {
    const WorkRef& w = Works[s];
    if (!w || !w->Active || w->Protected != 0 || !InView(w->x, w->y, 280, 185)) continue;
    const TColor& mix = *w->Mix;
    const int mx = std::max({mix.R, mix.G, mix.B}), mn = std::min({mix.R, mix.G, mix.B});
    // Greys and near-blacks leave everybody cold: nothing to gain.
    if (mx < 70 || (mx - mn) * 8 < mx) continue;
    const int hue = Hue(mix);
    int haters = 0, lovers = 0;
    for (int32_t i = 0; i < PeopleCount; ++i) {
      const TPerson& p = *People[size_t(i)];
      if (p.Chef != ChefNone || Mouse->Clicked == &p) continue;
      const int x = TruncInt(p.x), y = TruncInt(p.y);
      if (x + 280 <= w->x - 175 || x >= w->x + 455 || y + 510 <= w->y - 175 || y >= w->y + 360) continue;
      if (!InView(x + 90, y + 72, 100, 90)) continue;  // his face must be seen
      const int own = Hue(*p.Color);
      const int face = p.Mood / 10;
      const int d = own < 0 ? 90 : HueDistance(own, hue);
      if (face <= 2 && d > 40) haters += 1;
      if (face >= 4 && d <= 40) lovers += 1;
    }
    if (haters >= HatersToDelete && haters >= 3 * lovers && haters - lovers > bestMargin) {
      bestMargin = haters - lovers;
      best = int32_t(s);
    }
  }
  return best;
}

void Bot::Cancel(std::vector<Event>& out) {
  out.push_back({Event::Kind::ButtonDown, ButtonRight, 0});
  rightDown_ = true;
}

bool Bot::PressAt(int32_t x, int32_t y, std::vector<Event>& out) {
  if (!Toward(x, y, out)) return false;
  out.push_back({Event::Kind::ButtonDown, ButtonLeft, 0});
  buttonDown_ = true;
  return true;
}

void Bot::ReleaseLeft(std::vector<Event>& out) {
  out.push_back({Event::Kind::ButtonUp, ButtonLeft, 0});
  buttonDown_ = false;
}

bool Bot::Toward(int32_t x, int32_t y, std::vector<Event>& out) {
  const int hw = HalfWidth() - 2, hh = HalfHeight() - 2;
  x = std::clamp(x, -hw, hw);
  y = std::clamp(y, -hh, hh);
  // One step's move keeps the pointer inside the frame.
  const int dx = std::clamp(x - Mouse->x, -(ScreenCentreX - 1), ScreenCentreX - 1);
  const int dy = std::clamp(y - Mouse->y, -(ScreenCentreY - 1), ScreenCentreY - 1);
  if (dx != 0 || dy != 0) out.push_back({Event::Kind::Motion, ScreenCentreX + dx, ScreenCentreY + dy});
  return Mouse->x + dx == x && Mouse->y + dy == y;
}

std::vector<Bot::Event> Bot::Next() {
  std::vector<Event> out;
  // Until the title sequence is over the mouse does not work.
  if (!Mouse || !Tutor || Tutor->q <= 3) return out;
  step_ += 1;
  frames_ += 1;
  // The right button cancels a mode only while held: it is let go a frame later.
  if (rightDown_) {
    out.push_back({Event::Kind::ButtonUp, ButtonRight, 0});
    rightDown_ = false;
    return out;
  }
  switch (task_) {
    case Task::Idle: Choose(out); break;
    case Task::CarryHat: Carry(out); break;
    case Task::NewBox: Place(out); break;
    case Task::PickBox: Pick(out); break;
    case Task::PressEnd: PressEnd(out); break;
    case Task::ThrowChef: Throw(out); break;
    case Task::MoveFan: Move(out); break;
  }
  return out;
}

void Bot::Choose(std::vector<Event>& out) {
  step_ = 0;
  phase_ = 0;
  if (buttonDown_) {
    ReleaseLeft(out);
    return;
  }
  // A mode left over from a task that gave up is cancelled with the right button.
  if (Mode == ModePlacing || Mode == ModeFinalizing || Mode == ModeDeleting) {
    Cancel(out);
    return;
  }
  if (Mode != ModeNormal) return;
  if (InClosingScene()) {
    if (EndButtonShown()) task_ = Task::PressEnd;
    return;
  }
  // Boxes with enough hats are finalized, so that chefs leave them alone and
  // their fans can fetch new hats from them.
  if (Tutor->q > 14) {
    for (int f = 0; f < HatFamilies; ++f) {
      const int32_t slot = boxOfHue_[size_t(f)];
      if (OpenPlayerBox(slot) && Works[size_t(slot)]->NextIng >= FinalizeAt) {
        task_ = Task::PickBox;
        pickMode_ = ModeFinalizing;
        box_ = slot;
        boxOfHue_[size_t(f)] = -1;
        return;
      }
    }
  }
  if (Tutor->q <= 5) return;
  // Chefs: a hat in a chef's hands is taken back, and a chef near an open box is thrown out.
  {
    bool carrying = false;
    const int32_t chef = ChefToStop(carrying);
    if (chef >= 0 && carrying) {
      const int32_t victim = People[size_t(chef)]->CarriedHat;
      task_ = Task::CarryHat;
      rescue_ = true;
      person_ = chef;
      box_ = boxOfHue_[size_t(HueFamily(*People[size_t(victim)]->Color))];
      return;
    }
    if (chef >= 0) {
      task_ = Task::ThrowChef;
      throwFan_ = false;
      person_ = chef;
      return;
    }
  }
  // Now and then: a box the crowd around it hates is deleted. Those who hated
  // it are glad to see it go, for a few seconds, and that lifts the crowd's
  // best second, which the later stages ask for.
  if (Stage >= DeleteFromStage && frames_ - lastLook_ >= LookEvery) {
    lastLook_ = frames_;
    const int32_t hated = HatedBox();
    if (hated >= 0) {
      task_ = Task::PickBox;
      pickMode_ = ModeDeleting;
      box_ = hated;
      roomlessAt_ = 2.0f;  // its place is free again
      for (int32_t& b : boxOfHue_)
        if (b == hated) b = -1;
      return;
    }
  }
  if (frames_ - lastFanMove_ >= FanMoveEvery && FanToMove(person_, box_)) {
    lastFanMove_ = frames_;
    task_ = Task::MoveFan;
    return;
  }
  // The nearest worn hat on screen.
  const int hw = HalfWidth(), hh = HalfHeight();
  int64_t best = -1;
  int32_t who = -1;
  for (int32_t i = 0; i < PeopleCount; ++i) {
    const TPerson& p = *People[size_t(i)];
    if (p.Chef != ChefNone || p.MyHat->On != HatWorn || p.Frame < 0 || p.HatThief != -1) continue;
    if (std::abs(p.throwX) > 2 || std::abs(p.throwY) > 2) continue;
    // With no room for another box, only hats that have a box of their colour are worth fetching.
    if (Scale >= roomlessAt_ && !OpenPlayerBox(boxOfHue_[size_t(HueFamily(*p.Color))])) continue;
    const int hx = TruncInt(p.x) + 140, hy = TruncInt(p.y) + 45;
    if (hx < -hw + 40 || hx > hw - 40 || hy < -hh + 40 || hy > hh - 40) continue;
    const int64_t d = int64_t(hx - Mouse->x) * (hx - Mouse->x) + int64_t(hy - Mouse->y) * (hy - Mouse->y);
    if (best < 0 || d < best) {
      best = d;
      who = i;
    }
  }
  if (who < 0) {
    // No hat to be had: a fan who is unhappy here is thrown out, and a newcomer with a hat takes his place.
    who = SaddestFan();
    if (who >= 0) {
      task_ = Task::ThrowChef;
      throwFan_ = true;
      person_ = who;
    }
    return;
  }
  const int f = HueFamily(*People[size_t(who)]->Color);
  if (!OpenPlayerBox(boxOfHue_[size_t(f)])) {
    boxOfHue_[size_t(f)] = -1;
    task_ = Task::NewBox;
    family_ = f;
    return;
  }
  task_ = Task::CarryHat;
  rescue_ = false;
  person_ = who;
  box_ = boxOfHue_[size_t(f)];
}

void Bot::Carry(std::vector<Event>& out) {
  const TPerson& p = *People[size_t(person_)];
  if (phase_ == 0) {
    // Reach the hat, on its owner's head or in a chef's hands, and press on it.
    if (rescue_) {
      if (p.CarriedHat < 0 || p.Chef == ChefNone || step_ > 40) {
        task_ = Task::Idle;
        return;
      }
      hat_ = People[size_t(p.CarriedHat)]->MyHat.get();
    } else {
      if (p.MyHat->On != HatWorn || step_ > 40 || !OpenPlayerBox(box_)) {
        task_ = Task::Idle;
        return;
      }
      hat_ = p.MyHat.get();
    }
    const int hx = TruncInt(p.x) + (rescue_ ? 55 : 0), hy = TruncInt(p.y) + (rescue_ ? 260 : 0);
    int32_t gx, gy;
    if (!FindGrabPoint(hat_, hx, hy, 280, 91, gx, gy)) {
      if (step_ > 3) task_ = Task::Idle;
      return;
    }
    if (PressAt(gx, gy, out)) phase_ = 1;
    return;
  }
  if (phase_ == 1) {
    // Missed (something else was grabbed, or nothing): let go.
    if (Mouse->Clicked != hat_) {
      task_ = Task::Idle;
      return;
    }
    // A hat taken back with no open box of its colour goes back on its owner's head where it is let go.
    if (!OpenPlayerBox(box_)) {
      if (!rescue_) {
        task_ = Task::Idle;
        return;
      }
      phase_ = 2;
    } else {
      const TWork& w = *Works[size_t(box_)];
      if (Toward(w.x + 140, w.y + 92, out)) phase_ = 2;
      return;
    }
  }
  if (phase_ == 2) {
    // Over the box: let go and hold still while the box takes the hat in.
    ReleaseLeft(out);
    phase_ = 3;
    step_ = 0;
    return;
  }
  if (step_ >= 3) task_ = Task::Idle;
}

void Bot::Throw(std::vector<Event>& out) {
  const TPerson& p = *People[size_t(person_)];
  if (phase_ == 0) {
    // Reach the chef's (or the sad fan's) body and press on it.
    const bool gone = throwFan_ ? p.Chef != ChefNone || p.InspiredBy > -1 || p.GettingHat > -1
                                : p.Chef == ChefNone || p.CarriedHat >= 0;
    if (gone || step_ > 40) {
      task_ = Task::Idle;
      return;
    }
    int32_t gx, gy;
    if (!FindGrabPoint(&p, TruncInt(p.x), TruncInt(p.y), 280, throwFan_ ? 510 : 501, gx, gy)) {
      if (step_ > 3) task_ = Task::Idle;
      return;
    }
    if (PressAt(gx, gy, out)) phase_ = 1;
    return;
  }
  if (phase_ == 1) {
    if (Mouse->Clicked != &p) {
      task_ = Task::Idle;
      return;
    }
    // Fling him toward the nearer corner with the longest move a frame allows, letting go in
    // the same frame: the move is his speed, which he loses slowly enough to fly out of sight.
    const int sx = Mouse->x < 0 ? -(ScreenCentreX - 1) : ScreenCentreX - 1;
    const int sy = Mouse->y < 0 ? -(ScreenCentreY - 1) : ScreenCentreY - 1;
    out.push_back({Event::Kind::Motion, ScreenCentreX + sx, ScreenCentreY + sy});
    ReleaseLeft(out);
    phase_ = 2;
    step_ = 0;
    return;
  }
  if (step_ >= 2) task_ = Task::Idle;
}

bool Bot::FanToMove(int32_t& fan, int32_t& box) const {
  int64_t best = -1;
  for (size_t s = 0; s < Works.size(); ++s) {
    const WorkRef& w = Works[s];
    if (!w || !w->Active || w->Protected != 0 || w->NextIng < ShowsItsHue) continue;
    // He is put down in front of the box, his top 130 below the box's, where the box does not push him away.
    // The box, and the face and the middle of the fan put down there, must be in view.
    if (!InView(w->x, w->y, 280, 185) || !InView(w->x + 90, w->y + 130 + 72, 100, 90) ||
        !InView(w->x + 130, w->y + 130 + 245, 20, 20))
      continue;
    const TColor& mix = *w->Mix;
    const int mx = std::max({mix.R, mix.G, mix.B}), mn = std::min({mix.R, mix.G, mix.B});
    if (mx < 70 || (mx - mn) * 2 < mx) continue;  // only a strong colour delights
    const int hue = Hue(mix);
    for (int32_t i = 0; i < PeopleCount; ++i) {
      const TPerson& p = *People[size_t(i)];
      if (p.Chef != ChefNone || p.InspiredBy > -1 || p.GettingHat > -1 || p.Frame < 0 || Mouse->Clicked == &p) continue;
      if (std::abs(p.throwX) > 2 || std::abs(p.throwY) > 2 || p.Mood / 10 > 3) continue;
      const int x = TruncInt(p.x), y = TruncInt(p.y);
      if (!InView(x + 90, y + 72, 100, 90)) continue;
      const int own = Hue(*p.Color);
      if (own < 0 || HueDistance(own, hue) > FanHueNear) continue;
      // Already where he can see it.
      if (x + 280 > w->x - 175 && x < w->x + 455 && y + 510 > w->y - 175 && y < w->y + 360) continue;
      const int64_t d = int64_t(x - w->x) * (x - w->x) + int64_t(y - w->y) * (y - w->y);
      if (best < 0 || d < best) {
        best = d;
        fan = i;
        box = int32_t(s);
      }
    }
  }
  return best >= 0;
}

void Bot::Move(std::vector<Event>& out) {
  const TPerson& p = *People[size_t(person_)];
  const WorkRef& w = Works[size_t(box_)];
  if (phase_ == 0) {
    if (p.Chef != ChefNone || p.InspiredBy > -1 || p.GettingHat > -1 || !w || !w->Active || step_ > 40) {
      task_ = Task::Idle;
      return;
    }
    int32_t gx, gy;
    if (!FindGrabPoint(&p, TruncInt(p.x), TruncInt(p.y), 280, 510, gx, gy)) {
      if (step_ > 3) task_ = Task::Idle;
      return;
    }
    if (PressAt(gx, gy, out)) {
      phase_ = 1;
      grabX_ = gx - TruncInt(p.x);
      grabY_ = gy - TruncInt(p.y);
    }
    return;
  }
  if (phase_ == 1) {
    if (Mouse->Clicked != &p || !w || !w->Active || step_ > 80) {
      task_ = Task::Idle;
      return;
    }
    // Carried to stand in front of the box: his top 130 below the box's, where the box does not push him aside.
    if (Toward(w->x + grabX_, w->y + 130 + grabY_, out)) phase_ = 2;
    return;
  }
  if (phase_ == 2) {
    // Let go without moving, so that he is put down rather than thrown.
    ReleaseLeft(out);
    fansMoved_ += 1;
    phase_ = 3;
    step_ = 0;
    return;
  }
  if (step_ >= 2) task_ = Task::Idle;
}

bool Bot::ClickButton(int screenX, int screenY, int32_t mode, std::vector<Event>& out) {
  switch (phase_) {
    case 0:  // reach the button and press
      if (step_ > 60 || Mode != ModeNormal) {
        task_ = Task::Idle;
        return false;
      }
      if (PressAt(ScreenToWorldX(screenX), ScreenToWorldY(screenY), out)) phase_ = 1;
      return false;
    case 1:  // release over it
      ReleaseLeft(out);
      phase_ = 2;
      step_ = 0;
      return false;
    case 2:  // the frame loop turns the click into the mode
      if (Mode == mode) {
        phase_ = 3;
        step_ = 0;
        return true;
      }
      if (step_ > 10) task_ = Task::Idle;
      return false;
    default: return Mode == mode;
  }
}

void Bot::Place(std::vector<Event>& out) {
  if (phase_ < 3) {
    if (!ClickButton(97, 705, ModePlacing, out)) return;
  }
  if (phase_ == 3) {
    if (Mode != ModePlacing) {
      task_ = Task::Idle;
      return;
    }
    // The free spot nearest the middle of the view, clear of the buttons and of every box.
    const int hw = HalfWidth(), hh = HalfHeight();
    int64_t best = -1;
    int bx = 0, by = 0;
    for (int y = -hh + 30; y + 215 < hh; y += 40)
      for (int x = -hw + 30; x + 310 < hw; x += 40) {
        if (y + 185 > ScreenToWorldY(680) && x < ScreenToWorldX(300)) continue;
        if (!HitRect(x - 60, y - 60, 400, 305, LayerBoxBody, 0, nullptr).empty()) continue;
        const int64_t d = int64_t(x + 140) * (x + 140) + int64_t(y + 92) * (y + 92);
        if (best < 0 || d < best) {
          best = d;
          bx = x;
          by = y;
        }
      }
    if (best < 0 || step_ > 120) {
      if (best < 0) roomlessAt_ = Scale;
      Cancel(out);  // nowhere to put it
      task_ = Task::Idle;
      return;
    }
    if (PressAt(bx + 140, by + 92, out)) phase_ = 4;
    return;
  }
  // Placed (or refused): the newest box is the family's.
  ReleaseLeft(out);
  int32_t newest = -1, id = -1;
  for (size_t s = 0; s < Works.size(); ++s)
    if (Works[s] && Works[s]->Active && Works[s]->Protected == 0 && Works[s]->ID > id) {
      id = Works[s]->ID;
      newest = int32_t(s);
    }
  if (newest >= 0 && Works[size_t(newest)]->NextIng == 0) boxOfHue_[size_t(family_)] = newest;
  task_ = Task::Idle;
}

void Bot::Pick(std::vector<Event>& out) {
  if (phase_ < 3) {
    if (!ClickButton(pickMode_ == ModeFinalizing ? 219 : 72, 745, pickMode_, out)) return;
  }
  if (phase_ == 3) {
    const WorkRef& w = Works[size_t(box_)];
    if (Mode != pickMode_ || !w || !w->Active || step_ > 120) {
      if (Mode == pickMode_) Cancel(out);
      task_ = Task::Idle;
      return;
    }
    if (PressAt(w->x + 140, w->y + 92, out)) phase_ = 4;
    return;
  }
  ReleaseLeft(out);
  task_ = Task::Idle;
}

void Bot::PressEnd(std::vector<Event>& out) {
  if (!buttonDown_) {
    PressAt(ScreenToWorldX(20), ScreenToWorldY(750), out);
    return;
  }
  ReleaseLeft(out);
  task_ = Task::Idle;
}

namespace {

struct BotGameExited {};
[[noreturn]] void ThrowOnExit() { throw BotGameExited{}; }

}  // namespace

BotGame::BotGame(HeadlessBackend& backend, int32_t seed, ::Backend* wrapper)
    : backend_(backend), game_(backend, seed, wrapper) {
  result_.StageFrame.fill(-1);
  result_.StageFrame[0] = 0;
  SetExitHandler(ThrowOnExit);
}

BotGame::~BotGame() { SetExitHandler(nullptr); }

const BotGameResult& BotGame::Play(int maxFrames, const BotInputAdjuster& adjust) {
  int32_t stage = Stage;
  try {
    while (result_.EndFrame < 0 && game_.FramesRun() < maxFrames) {
      std::vector<Bot::Event> events = bot_.Next();
      if (adjust) adjust(game_.FramesRun(), events);
      for (const Bot::Event& e : events) backend_.Feed(e);
      if (game_.Run(1) == 0) break;  // Esc
      CountDeleted();
      if (Stage != stage) {
        stage = Stage;
        result_.StageFrame[size_t(stage)] = game_.FramesRun();
      }
    }
    result_.Frames = game_.FramesRun();
  } catch (const BotGameExited&) {
    // The frame that ended the program did not return: it is the last one run.
    result_.EndFrame = game_.FramesRun() + 1;
    result_.Frames = result_.EndFrame;
  }
  result_.ChefsThrown = std::abs(ChefsThrown);
  result_.FansMoved = bot_.FansMoved();
  return result_;
}

void BotGame::CountDeleted() {
  boxes_.resize(Works.size(), 0);
  for (size_t s = 0; s < Works.size(); ++s) {
    const WorkRef& w = Works[s];
    const int32_t now = w && w->Active && w->Protected == 0 ? w->ID + 1 : 0;
    // Only a deleted box leaves its slot or goes inactive.
    if (boxes_[s] != 0 && now != boxes_[s]) result_.BoxesDeleted += 1;
    boxes_[s] = now;
  }
}

BotGameResult PlayBotGame(HeadlessBackend& backend, int32_t seed, int maxFrames) {
  BotGame game(backend, seed);
  return game.Play(maxFrames);
}
