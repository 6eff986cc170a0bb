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

// The hue sector of a colour as a player sorts hats by eye: 0 to 5 round the
// colour wheel, 6 for colours too pale to have a hue worth matching.
int HueFamily(const TColor& c) {
  const int mx = std::max({c.R, c.G, c.B}), mn = std::min({c.R, c.G, c.B});
  if (mx == 0 || mx - mn < 40) return 6;
  int h;
  if (mx == c.R)
    h = (c.G - c.B) * 60 / (mx - mn);
  else if (mx == c.G)
    h = (c.B - c.R) * 60 / (mx - mn) + 120;
  else
    h = (c.R - c.G) * 60 / (mx - mn) + 240;
  return ((h + 30 + 720) % 360) / 60;
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

}  // namespace

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
      if (OpenPlayerBox(slot) && Works[size_t(slot)]->NextIng >= 12) {
        task_ = Task::PickBox;
        pickMode_ = ModeFinalizing;
        box_ = slot;
        boxOfHue_[size_t(f)] = -1;
        return;
      }
    }
  }
  if (Tutor->q <= 5) return;
  // The nearest worn hat on screen.
  const int hw = HalfWidth(), hh = HalfHeight();
  int64_t best = -1;
  int32_t who = -1;
  for (int32_t i = 0; i < PeopleCount; ++i) {
    const TPerson& p = *People[size_t(i)];
    if (p.Chef != ChefNone || p.MyHat->On != HatWorn || p.Frame < 0 || p.HatThief != -1) continue;
    if (std::abs(p.throwX) > 2 || std::abs(p.throwY) > 2) continue;
    const int hx = TruncInt(p.x) + 140, hy = TruncInt(p.y) + 45;
    if (hx < -hw + 40 || hx > hw - 40 || hy < -hh + 40 || hy > hh - 40) continue;
    const int64_t d = int64_t(hx - Mouse->x) * (hx - Mouse->x) + int64_t(hy - Mouse->y) * (hy - Mouse->y);
    if (best < 0 || d < best) {
      best = d;
      who = i;
    }
  }
  if (who < 0) return;
  const int f = HueFamily(*People[size_t(who)]->Color);
  if (!OpenPlayerBox(boxOfHue_[size_t(f)])) {
    boxOfHue_[size_t(f)] = -1;
    task_ = Task::NewBox;
    family_ = f;
    return;
  }
  task_ = Task::CarryHat;
  person_ = who;
  box_ = boxOfHue_[size_t(f)];
}

void Bot::Carry(std::vector<Event>& out) {
  const TPerson& p = *People[size_t(person_)];
  const HitId hat = p.MyHat.get();
  if (phase_ == 0) {
    // Reach the hat and press on it.
    if (p.MyHat->On != HatWorn || step_ > 40 || !OpenPlayerBox(box_)) {
      task_ = Task::Idle;
      return;
    }
    int32_t gx, gy;
    if (!FindGrabPoint(hat, TruncInt(p.x), TruncInt(p.y), 280, 91, gx, gy)) {
      if (step_ > 3) task_ = Task::Idle;
      return;
    }
    if (PressAt(gx, gy, out)) phase_ = 1;
    return;
  }
  if (phase_ == 1) {
    // Missed (something else was grabbed, or nothing), or the box is gone: let go.
    if (Mouse->Clicked != hat || !OpenPlayerBox(box_)) {
      task_ = Task::Idle;
      return;
    }
    const TWork& w = *Works[size_t(box_)];
    if (Toward(w.x + 140, w.y + 92, out)) phase_ = 2;
    return;
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
  return result_;
}

BotGameResult PlayBotGame(HeadlessBackend& backend, int32_t seed, int maxFrames) {
  BotGame game(backend, seed);
  return game.Play(maxFrames);
}
