/** @file frameloop.cpp GameFrame and RunGame: each game object's turn in the frame's fixed order, and the score. */
#include "game/frameloop.h"

#include <array>
#include <cmath>
#include <string>
#include <tuple>

#include "game/ending.h"
#include "game/mouse.h"
#include "game/names.h"
#include "game/person.h"
#include "game/stages.h"
#include "game/tutor.h"
#include "game/view.h"
#include "game/work.h"
#include "game/world.h"
#include "platform/hitlayers.h"
#include "platform/numeric.h"
#include "platform/random.h"
#include "platform/services.h"

namespace {

// The mode hints, shown while a special mode waits for its click.
const std::string HintPlace = "Click in an empty space to start a new color.";
const std::string HintFinalize = "Click on a color to finalize it. No more changes will be allowed.";
const std::string HintDelete = "Click on a color to delete it forever. No undoing this!";
const std::string HintCancel = "(Press the right mouse button to cancel.)";

bool Ticked(const TimerRef& timer, int64_t lastTick) { return int64_t(TimerTickCount(timer)) > lastTick; }

// Boxes act and draw first, behind everything else, in slot order.
void BoxesTurn() {
  AnyWork = 0;
  for (auto& work : Works) {
    if (work && work->Active != 0) {
      work->Be();
      AnyWork = 1;
    }
  }
}

// The buttons appear as the tutor gets to them; a completed click switches the mode (a later one wins).
void ButtonsTurn() {
  if (Tutor->q > 5) NewButton.Be();
  if (Tutor->q > 5 && AnyWork == 1) DeleteButton.Be();
  if (Tutor->q > 14) FinalizeButton.Be();
  if (NewButton.Activate) Mode = ModePlacing;
  if (DeleteButton.Activate) Mode = ModeDeleting;
  if (FinalizeButton.Activate) Mode = ModeFinalizing;
}

void ModeHints() {
  switch (Mode) {
    case ModePlacing: ShowLines(HintPlace, HintCancel); break;
    case ModeDeleting: ShowLines(HintDelete, HintCancel); break;
    case ModeFinalizing: ShowLines(HintFinalize, HintCancel); break;
    case ModeReviewing: ReviewOverlay(); break;
    default: break;
  }
}

// FrameTime is 0.09 x the average milliseconds per frame, re-measured every 100 frames.
void MeasureFrameTime() {
  FrameCount += 1;
  if (FrameCount >= 100 && Ticked(Timer1000, LastTick1000)) {
    const int64_t now = TimerTickCount(Timer1000);
    const int64_t elapsed = now - LastTick1000;
    FrameTime = StoreF(double(StoreF(double(elapsed) * 0.09)) / double(FrameCount));
    LastTick1000 = now;
    FrameCount = 0;
  }
}

// The frame statistics' name for the part of the game a frame belongs to.
const char* FramePartName() {
  static const char* const stages[LastStage + 1] = {"stage 0", "stage 1", "stage 2", "stage 3", "stage 4",
                                                    "stage 5", "stage 6", "stage 7", "stage 8"};
  if (InClosingScene()) return "closing scene";
  return Stage >= 0 && Stage <= LastStage ? stages[Stage] : "stage ?";
}

}  // namespace

int32_t MoodGain(int32_t mood) { return (mood - 35) / (mood < 35 ? 10 : 5); }

// A loss is skipped while the stage score is negative: it does not sink further.
void ScoreSecond(int32_t mood) {
  const int32_t gain = MoodGain(mood);
  SecondScore += gain;
  if (!(StageScore < 0 && gain < 0)) StageScore += gain;
}

const std::vector<int32_t>& PeoplePass() {
  // Scratch kept from frame to frame so the pass allocates nothing; rewritten on every call.
  static std::vector<int32_t> order;
  order.clear();
  int32_t held = -1;
  for (int32_t i = 0; i < PeopleCount; ++i) {
    const TPerson& p = *People[size_t(i)];
    if (Mouse && (Mouse->Clicked == &p || Mouse->Clicked == p.MyHat.get())) {
      held = i;
      break;
    }
  }
  std::array<uint8_t, std::tuple_size_v<decltype(People)>> done{};
  // best starts at 0 once per pass: a pick that finds nobody above the start
  // value repeats the previous pick.
  int32_t best = 0;
  for (int32_t pick = 0; pick < PeopleCount; ++pick) {
    // Back to front: the highest on the screen first; ties go to the lower slot.
    float bestY = 536000000.0f;
    for (int32_t i = 0; i < PeopleCount; ++i) {
      if (done[size_t(i)] || i == held) continue;
      if (People[size_t(i)]->y < bestY) {
        bestY = People[size_t(i)]->y;
        best = i;
      }
    }
    if (pick == PeopleCount - 1 && held > -1) best = held;  // the held person is drawn on top of everyone
    People[size_t(best)]->Be();
    done[size_t(best)] = 1;
    order.push_back(best);
    if (Ticked(Timer1, LastTick1)) ScoreSecond(People[size_t(best)]->Mood);
  }
  return order;
}

void OffScreenPass() {
  const ImageRef& body = BodyFrames[8];
  const int32_t bodyW = ImagePixelWidth(body), bodyH = ImagePixelHeight(body);
  const int32_t chefW = ImagePixelWidth(ChefBodyImage), chefH = ImagePixelHeight(ChefBodyImage);
  for (int32_t i = 0; i < PeopleCount; ++i) {
    PersonRef p = People[size_t(i)];
    const bool gone = p->Safe == 0 && !OnScreen(TruncInt(double(p->x) - 300), TruncInt(double(p->y) - 300), bodyW + 600,
                                                bodyH + 600, 1);
    if (gone && p->Ownership > -1 && RandomInt(1, 3) > 1) {
      // A chef who owns a box turns back to it, two times in three, and walks back fast.
      p->Safe = 1;
      const TWork& b = *Works[size_t(p->Ownership)];
      const double dx = double(b.x + 140) - double(p->x) - double(chefW / 2);
      const double dy = double(b.y + 92) - double(p->y) - double(chefH / 2);
      p->Angle = TruncInt(ACosDeg(dx / std::sqrt(dx * dx + dy * dy)));
      if (double(b.y + 92) < double(p->y) + double(chefH / 2)) p->Angle = 360 - p->Angle;
    } else if (gone) {
      if (p->Chef != ChefNone && (std::fabs(p->throwX) > 2 || std::fabs(p->throwY) > 2))
        ChefsThrown = -std::abs(ChefsThrown) - 1;  // held negative until the end of the frame
      // The mouse lets go of him and his hat, and a hat he let go this frame falls into no box.
      if (Mouse) {
        Mouse->Forget(p->MyHat.get());
        Mouse->Forget(p.get());
      }
      if (DroppedHatOwner == p->ID) DroppedHatOwner = -1;
      if (p->CarriedHat > -1) People[size_t(p->CarriedHat)]->HatThief = -1;
      if (p->HatThief > -1) {
        People[size_t(p->HatThief)]->CarriedHat = -1;
        People[size_t(p->HatThief)]->Destination = -1;
      }
      PersonRef newcomer = TPerson::New();
      newcomer->ID = p->ID;
      newcomer->MyHat->Owner = p->ID;  // the hat's owner is his slot, as for everyone else
      People[size_t(i)] = newcomer;
    } else if (p->Safe == 1 && OnScreen(TruncInt(p->x), TruncInt(p->y), chefW, chefH, 0)) {
      p->Safe = 0;
    }
  }
}

void ReviewOverlay() {
  SetDrawScale(1, 1);
  UseColor(White);
  SetDrawAlpha(0.7f);
  FillRect(0, 0, 1024, 768);
  SetDrawAlpha(1);
  UseColor(Black);
  // The messages shown so far, past the title and credits; pauses take no room.
  float y = 0;
  for (int32_t i = 5; i < Tutor->r; ++i) {
    const TQueue& message = *Tutor->Queue[size_t(i)];
    if (message.s1.empty()) continue;
    DrawTextAt(message.s1, 0, y);
    y += 20;
    if (!message.s2.empty()) {
      DrawTextAt(message.s2, 0, y);
      y += 20;
    }
    y += 15;
  }
}

bool GameFrame() {
  if (KeyHits(KeyEscape)) return false;
  ClearScreen();
  ClearHitLayers(0);
  StageCheck();
  // F1 is refused in the closing scene.
  if (KeyHits(KeyF1) != 0 && !InClosingScene()) Mode = ModeReviewing;
  if (Mode == ModeReviewing && KeyHeld(KeyF1) == 0) Mode = ModeNormal;
  ZoomAndGrowth();
  BoxesTurn();
  DroppedHatOwner = -1;
  const bool tick100 = Ticked(Timer100, LastTick100);
  SecondScore = 0;
  FadeCrowd();
  if (InClosingScene()) {
    ClosingScene();
  } else {
    PeoplePass();
    SetDrawAlpha(1);
    if (Ticked(Timer1, LastTick1)) LastTick1 = TimerTickCount(Timer1);
    if (Ticked(Timer4, LastTick4)) {
      TrendStep();
      LastTick4 = TimerTickCount(Timer4);
    }
    ButtonsTurn();
    ModeHints();
  }
  // The cursor comes alive after the artist's credit; presses made before then are dropped.
  if (Tutor->q > 3)
    Mouse->Be();
  else
    ButtonHits(ButtonLeft);
  MeasureFrameTime();
  if (tick100) LastTick100 = TimerTickCount(Timer100);
  OffScreenPass();
  if (Mode == ModeNormal) Tutor->Be();  // the tutor's clock stands still in the special modes
  Tutor->See();
  if (ChefsThrown < 0) ChefsThrown = -ChefsThrown;
  NameFramePart(FramePartName());
  PresentFrame();
  return true;
}

void RunGame() {
  while (GameFrame()) {
  }
}
