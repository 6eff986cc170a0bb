/** @file noise.cpp NoisePlayer's plans: stray clicks, drags, throws, hats to boxes, box commands, help, lost focus. */
#include "tools/soak/noise.h"

#include <algorithm>

#include "game/button.h"
#include "game/mouse.h"
#include "game/names.h"
#include "game/person.h"
#include "game/view.h"
#include "game/work.h"
#include "game/world.h"
#include "platform/services.h"

namespace {

enum Kind { Idle, StrayClick, Drag, Throw, HatToBox, Place, Finalize, Delete, Help, FocusLoss };

}  // namespace

const char* NoisePlayer::KindName(int kind) {
  static const char* const names[Kinds] = {"idle",  "stray click", "drag",   "throw", "hat to box",
                                           "place", "finalize",    "delete", "F1",    "focus loss"};
  return kind >= 0 && kind < Kinds ? names[kind] : "?";
}

void NoisePlayer::BeforeFrame() {
  if (steps_.empty()) Plan();
  while (!steps_.empty()) {
    Step& s = steps_.front();
    switch (s.Kind) {
      case Step::What::Press: backend_.PressButton(s.A); break;
      case Step::What::Release: backend_.ReleaseButton(s.A); break;
      case Step::What::KeyDown: backend_.PressKey(s.A); break;
      case Step::What::KeyUp: backend_.ReleaseKey(s.A); break;
      case Step::What::Suspend: backend_.Suspend(); break;
      case Step::What::Wait:
        if (--s.Frames <= 0) steps_.pop_front();
        return;
      case Step::What::MoveBy:
        backend_.MovePointer(ScreenCentreX + s.A, ScreenCentreY + s.B);
        if (--s.Frames <= 0) steps_.pop_front();
        return;
      case Step::What::MoveTo:
      case Step::What::MoveToPerson: {
        int32_t tx = s.A, ty = s.B;
        if (s.Kind == Step::What::MoveToPerson) {
          if (s.A >= PeopleCount || !People[size_t(s.A)]) {  // gone: the move ends where it is
            steps_.pop_front();
            continue;
          }
          tx = int32_t(People[size_t(s.A)]->x) + s.OffX;
          ty = int32_t(People[size_t(s.A)]->y) + s.OffY;
        }
        const int32_t dx = std::clamp(tx - Mouse->x, -s.Speed, s.Speed);
        const int32_t dy = std::clamp(ty - Mouse->y, -s.Speed, s.Speed);
        if ((dx == 0 && dy == 0) || --s.Frames <= 0) {
          steps_.pop_front();
          continue;
        }
        backend_.MovePointer(ScreenCentreX + dx, ScreenCentreY + dy);
        return;
      }
    }
    steps_.pop_front();
  }
}

void NoisePlayer::Plan() {
  const int32_t roll = Pick(1, 100);
  int kind = roll <= 10   ? Idle
             : roll <= 25 ? StrayClick
             : roll <= 35 ? Drag
             : roll <= 55 ? Throw
             : roll <= 75 ? HatToBox
             : roll <= 83 ? Place
             : roll <= 88 ? Finalize
             : roll <= 92 ? Delete
             : roll <= 99 ? Help
                          : FocusLoss;
  begun_[kind] += 1;
  switch (kind) {
    case Idle: steps_.push_back({.Kind = Step::What::Wait, .Frames = Pick(1, 240)}); break;
    case StrayClick: PlanStrayClick(); break;
    case Drag: PlanDrag(); break;
    case Throw: PlanThrow(); break;
    case HatToBox: PlanHatToBox(); break;
    case Place:
    case Finalize:
    case Delete: PlanBoxCommand(kind); break;
    case Help: PlanHelp(); break;
    case FocusLoss:
      if (Chance(50)) steps_.push_back({.Kind = Step::What::Press, .A = ButtonLeft});
      steps_.push_back({.Kind = Step::What::Wait, .Frames = Pick(1, 30)});
      steps_.push_back({.Kind = Step::What::Suspend});
      steps_.push_back({.Kind = Step::What::Wait, .Frames = Pick(1, 120)});
      break;
  }
}

void NoisePlayer::MoveToScreen(int32_t sx, int32_t sy, int32_t speed) {
  steps_.push_back(
      {.Kind = Step::What::MoveTo, .A = ScreenToWorldX(sx), .B = ScreenToWorldY(sy), .Speed = speed, .Frames = 240});
}

void NoisePlayer::MoveToBox(int32_t speed) {
  std::vector<int32_t> boxes;
  for (size_t slot = 0; slot < Works.size(); ++slot)
    if (Works[slot] && Works[slot]->Active) boxes.push_back(int32_t(slot));
  if (boxes.empty()) {
    MoveToScreen(Pick(0, 1023), Pick(0, 767), speed);
    return;
  }
  const TWork& box = *Works[size_t(boxes[size_t(Pick(0, int32_t(boxes.size()) - 1))])];
  steps_.push_back({.Kind = Step::What::MoveTo,
                    .A = box.x + Pick(0, TWork::width),
                    .B = box.y + Pick(0, TWork::height),
                    .Speed = speed,
                    .Frames = 240});
}

void NoisePlayer::PlanStrayClick() {
  MoveToScreen(Pick(0, 1023), Pick(0, 767), Pick(5, 120));
  const int button = Chance(80) ? ButtonLeft : ButtonRight;
  steps_.push_back({.Kind = Step::What::Press, .A = button});
  if (Chance(70)) steps_.push_back({.Kind = Step::What::Wait, .Frames = Pick(1, 10)});
  steps_.push_back({.Kind = Step::What::Release, .A = button});
}

void NoisePlayer::PlanDrag() {
  MoveToScreen(Pick(0, 1023), Pick(0, 767), Pick(5, 120));
  steps_.push_back({.Kind = Step::What::Press, .A = ButtonLeft});
  for (int n = Pick(1, 6); n > 0; --n)
    steps_.push_back({.Kind = Step::What::MoveBy, .A = Pick(-30, 30), .B = Pick(-30, 30), .Frames = Pick(1, 30)});
  steps_.push_back({.Kind = Step::What::Release, .A = ButtonLeft});
}

void NoisePlayer::PlanThrow() {
  if (PeopleCount == 0) return;
  // Chefs more often than their share, so that thrown chefs are common.
  int32_t who = Pick(0, PeopleCount - 1);
  for (int tries = 0; tries < 20 && Chance(50) && People[size_t(who)]->Chef == ChefNone; ++tries)
    who = Pick(0, PeopleCount - 1);
  steps_.push_back({.Kind = Step::What::MoveToPerson,
                    .A = who,
                    .Speed = Pick(20, 200),
                    .Frames = 240,
                    .OffX = Pick(60, 160),
                    .OffY = Pick(60, 200)});
  steps_.push_back({.Kind = Step::What::Press, .A = ButtonLeft});
  steps_.push_back({.Kind = Step::What::Wait, .Frames = Pick(1, 20)});
  const int32_t dx = Pick(-400, 400), dy = Pick(-300, 300);
  steps_.push_back({.Kind = Step::What::MoveBy, .A = dx, .B = dy, .Frames = Pick(1, 5)});
  if (Chance(80)) {  // let go while moving: a throw; otherwise a put-down
    steps_.push_back({.Kind = Step::What::Release, .A = ButtonLeft});
    steps_.push_back({.Kind = Step::What::MoveBy, .A = dx, .B = dy, .Frames = 1});
  } else {
    steps_.push_back({.Kind = Step::What::Wait, .Frames = Pick(1, 20)});
    steps_.push_back({.Kind = Step::What::Release, .A = ButtonLeft});
  }
}

void NoisePlayer::PlanHatToBox() {
  if (PeopleCount == 0) return;
  const int32_t who = Pick(0, PeopleCount - 1);
  steps_.push_back({.Kind = Step::What::MoveToPerson,
                    .A = who,
                    .Speed = Pick(20, 200),
                    .Frames = 240,
                    .OffX = Pick(70, 130),
                    .OffY = Pick(2, 30)});
  steps_.push_back({.Kind = Step::What::Press, .A = ButtonLeft});
  MoveToBox(Pick(10, 150));
  if (Chance(10)) steps_.push_back({.Kind = Step::What::Press, .A = ButtonRight});
  steps_.push_back({.Kind = Step::What::Release, .A = ButtonLeft});
  steps_.push_back({.Kind = Step::What::Release, .A = ButtonRight});
}

void NoisePlayer::PlanBoxCommand(int kind) {
  const TButton& button = kind == Place ? NewButton : kind == Finalize ? FinalizeButton : DeleteButton;
  MoveToScreen(button.x + Pick(2, button.width - 2), button.y + Pick(2, button.height - 2), Pick(20, 150));
  steps_.push_back({.Kind = Step::What::Press, .A = ButtonLeft});
  steps_.push_back({.Kind = Step::What::Wait, .Frames = Pick(1, 8)});
  steps_.push_back({.Kind = Step::What::Release, .A = ButtonLeft});
  steps_.push_back({.Kind = Step::What::Wait, .Frames = Pick(1, 30)});
  if (kind == Place)
    MoveToScreen(Pick(0, 1023), Pick(0, 767), Pick(10, 150));
  else
    MoveToBox(Pick(10, 150));
  // Halfway there the choice is sometimes cancelled with the right button, or made twice.
  const int button2 = Chance(20) ? ButtonRight : ButtonLeft;
  steps_.push_back({.Kind = Step::What::Press, .A = button2});
  steps_.push_back({.Kind = Step::What::Wait, .Frames = Pick(1, 8)});
  steps_.push_back({.Kind = Step::What::Release, .A = button2});
}

void NoisePlayer::PlanHelp() {
  steps_.push_back({.Kind = Step::What::KeyDown, .A = KeyF1});
  if (Chance(30)) {  // clicking and moving while reading
    steps_.push_back({.Kind = Step::What::Wait, .Frames = Pick(1, 60)});
    PlanStrayClick();
  }
  steps_.push_back({.Kind = Step::What::Wait, .Frames = Pick(1, 600)});
  steps_.push_back({.Kind = Step::What::KeyUp, .A = KeyF1});
}
