/** @file person_frame.cpp TPerson::Be: one person's frame in its fixed order, with the fans' behaviour. */
// TPerson::Be: one person's frame, in its fixed order, with the fans'
// behaviour: pushed out of boxes, looking and judging, grieving, flying when
// thrown, turning away from boxes ahead, and walking at a pace set by mood.
#include <cmath>
#include <cstdlib>

#include "game/mouse.h"
#include "game/person.h"
#include "game/view.h"
#include "game/work.h"
#include "game/world.h"
#include "platform/hitlayers.h"
#include "platform/numeric.h"
#include "platform/random.h"
#include "platform/services.h"

namespace {

const TWork& BoxOf(HitId id) { return *static_cast<const TWork*>(id); }

int64_t Ticks4Elapsed() { return int64_t(TimerTickCount(Timer4)) - LastTick4; }

}  // namespace

int TPerson::Be() {
  if (InspiredBy > -1 && GettingHat > -1) GettingHat = -1;  // inspiration wins
  if (InspiredBy > -1) return BeInspired();
  if (GettingHat > -1 && Chef == 0) return Bedazzled();
  if (Frame < 0) Frame = 0;
  if (Angle < 0) Angle += 360;
  if (Angle > 360) Angle -= 360;
  GiveUpLostBox();
  if (Destination > -1 || CarriedHat > -1) BestFind = 0;
  if (Mouse->Clicked == this) {
    DrawHeld();
    EndOfFrameHat();
    return 0;
  }
  WalkingClock();
  if (Chef == ChefNone) BoxContact();
  Mood = 35;
  int32_t allPatient = 1, flee = 0;
  if (!(Chef == ChefBorn && MyHat->On == HatWorn)) Sight(allPatient, flee);  // a chef in his toque has no opinions
  const bool chefInView = Chef > 0 && OnScreen(TruncInt(x), TruncInt(y), ImagePixelWidth(ChefBodyImage),
                                               ImagePixelHeight(ChefBodyImage), 1);
  if (chefInView) ChefSight();
  if (Chef == ChefNone) Loss();
  if (!Thrown()) {
    if (Chef == ChefNone) Vision();
    SetDrawRotation(0);
    CheckFollowed();
    if (Chef == ChefNone || (Following == -1 && Destination == -1))
      Wander(allPatient, flee);
    else if (Following > -1)
      Chase();
    else
      Deliver();
  }
  if (Chef == ChefNone)
    DrawFan();
  else
    DrawChef();
  EndOfFrameHat();
  return 0;
}

void TPerson::BoxContact() {
  const HitList boxes = HitRect(TruncInt(double(x) + 85), TruncInt(y), 110, 173, LayerBoxBody, 0, nullptr);
  for (HitId id : boxes) {
    const TWork& b = BoxOf(id);
    // Each test sees the position left by the boxes before it.
    if (double(x) + 97 < b.x)
      x = float(b.x - 194);
    else if (double(x) + 183 > double(b.x) + 280)
      x = float(b.x + 194);
    else if (double(y) < double(b.y) - 30)
      y = float(b.y - 174);
    else if (double(y) < double(b.y) + 114)
      y = float(b.y + 114);
  }
}

size_t TPerson::NewOpinionSlot() {
  if (Opinion.size() < size_t(MaxOpinions)) {
    Opinion.push_back(TOpinion::New());
    return Opinion.size() - 1;
  }
  // Every slot is taken. At most 1000 boxes exist at once, so some opinion is
  // about a box that is gone for good: that slot is reused. Nobody grieves for
  // a box long gone, and opinions of living boxes are all kept.
  for (size_t i = 0; i < Opinion.size(); ++i) {
    const int32_t slot = WorkSlotOf(Opinion[i].Of);
    if (slot == -1 || Works[size_t(slot)]->Active == 0) {
      Opinion[i] = TOpinion::New();
      return i;
    }
  }
  Opinion[0] = TOpinion::New();  // unreachable while Works holds 1000 slots
  return 0;
}

void TPerson::Sight(int32_t& allPatient, int32_t& flee) {
  const HitList zones = HitRect(TruncInt(x), TruncInt(y), ImagePixelWidth(BodyFrames[8]),
                                ImagePixelHeight(BodyFrames[8]), LayerSight, 0, nullptr);
  if (zones.empty()) return;
  int32_t sum = 0, seen = 0, extreme = 35;
  for (HitId id : zones) {
    const TWork& b = BoxOf(id);
    size_t found = Opinion.size();
    for (size_t i = 0; i < Opinion.size(); ++i) {
      if (Opinion[i].Of == b.ID) {
        found = i;
        break;
      }
    }
    if (b.Active == 0) {
      // A box being deleted: a loved one leaves grief, a hated one relief.
      if (found == Opinion.size()) continue;
      const int32_t felt = 69 - Opinion[found].Is;
      LossValue = LossValue == -1 ? felt : (felt * 2 + LossValue) / 3;
      LossRetention = StoreF(RandomReal(double(0.6f), 1.0));
      LossChangeIn = RandomInt(5, 10);
      continue;
    }
    seen += 1;
    if (found == Opinion.size()) {
      found = NewOpinionSlot();
      Opinion[found].Of = b.ID;
      Opinion[found].Form(*Color, *b.Mix);
    } else {
      TOpinion& o = Opinion[found];
      o.Be();
      if (o.ChangeIn <= 0) {
        const int32_t old = o.Is;
        o.Form(*Color, *b.Mix);
        if (Chef == ChefNone && Stage >= 3 && b.Locked == LockOpen && std::abs(34 - old) > 27 &&
            OnScreen(TruncInt(x), TruncInt(y), ImagePixelWidth(ChefBodyImage), ImagePixelHeight(ChefBodyImage), 0) &&
            std::abs(34 - o.Is) > 27) {
          InspiredBy = b.ID;
          InspiredC = b.Mix;
        }
      }
      if (o.Patience <= 0) allPatient = 0;
      if (o.Is < 30 && b.NextIng > b.Capacity + 2) flee = 1;  // a box he dislikes is overfull
      if (Chef == ChefInspired && Ownership == -1 && o.Is > 60) Claim(b.ID);
    }
    const int32_t is = Opinion[found].Is;
    sum += is;
    if (std::abs(is - 35) > std::abs(extreme - 35)) {
      extreme = is;
      if (Chef == ChefNone && extreme > 58 && b.Locked == LockFinalized && GettingHat > -2)
        GettingHat = WorkSlotOf(b.ID);
    }
  }
  if (seen > 0) Mood = (sum / seen + extreme) / 2;
  if (InspiredBy > -1) {
    // Only a strong feeling survives, and then only half the time.
    if (std::abs(34 - Mood) < 20)
      InspiredBy = -1;
    else if (RandomInt(0, 1) == 0)
      InspiredBy = -1;
  }
}

void TPerson::Loss() {
  if (!(LossValue > -1 && LossRetention > 0)) return;
  const double retention = LossRetention;
  Mood = TruncInt((1 - retention) * Mood + retention * LossValue);
  LossChangeIn = WrapInt(int64_t(LossChangeIn) - Ticks4Elapsed());
  if (LossChangeIn <= 0) {
    // The grief fades in random steps.
    LossRetention = StoreF(retention - RandomReal(0, double(0.2f)));
    LossChangeIn = RandomInt(0, 4);
  }
}

bool TPerson::Thrown() {
  const TMouse& mouse = *Mouse;
  if (mouse.Dropped == this) {
    x = float(mouse.x + mouse.DroppedX);
    y = float(mouse.y + mouse.DroppedY);
    throwX = float(mouse.vectorX);
    throwY = float(mouse.vectorY);
  }
  if (!(std::fabs(throwX) > 2 || std::fabs(throwY) > 2)) return false;
  x = StoreF(double(x) + double(throwX));
  y = StoreF(double(y) + double(throwY));
  throwX = StoreF(double(throwX) * 0.85);
  throwY = StoreF(double(throwY) * 0.85);
  return true;
}

void TPerson::Vision() {
  // The wedge ahead of the head: a box in it turns the fan away by 45 to 90 degrees.
  SetDrawRotation(float(Angle));
  const HitList ahead = HitImage(VisionImage, TruncInt(double(x) + ImagePixelWidth(BodyFrames[8]) / 2),
                                 TruncInt(double(y) + ImagePixelHeight(HatImage) + 15), 0, LayerBoxBody, 0, nullptr);
  if (!ahead.empty()) {
    const int32_t side = 2 * RandomInt(0, 1) - 1;
    Angle += side * RandomInt(45, 90);
  }
}

void TPerson::Step(double k) {
  x = StoreF(double(x) + CosDeg(Angle) * double(FrameTime) * k);
  y = StoreF(double(y) + SinDeg(Angle) * double(FrameTime) * k);
}

void TPerson::Wander(int32_t allPatient, int32_t flee) {
  // Nobody wanders up the screen more steeply than 35 degrees off the horizontal.
  if (Angle > 215 && Angle < 325) Angle = Angle <= 270 ? 215 : 325;
  if (Chef != ChefNone) {
    ChefWander();
    return;
  }
  if (flee) {
    Angle += RandomInt(-1, 1);
    Step(3.5);
    WalkingClock();  // legs move twice as fast
    return;
  }
  const int32_t calm = std::abs(35 - Mood);
  const bool faceInView = OnScreen(TruncInt(double(x) + 90), TruncInt(y), ImagePixelWidth(Faces[3]),
                                   ImagePixelHeight(Faces[3]) + 72, 0) != 0;
  if (calm < 12 || !faceInView) {
    Step(1);
  } else if (calm < 20) {
    Step(double(0.8f));
    if (int64_t(TimerTickCount(Timer100)) > LastTick100 && RandomInt(1, 10) < 8) FrameIn += 1;
  } else if (Mood < 16) {
    Step(0.5);
    if (int64_t(TimerTickCount(Timer100)) > LastTick100) FrameIn += RandomInt(0, 1);
  } else if (allPatient == 1) {
    Frame = 8;  // delighted, he stands and watches
  } else {
    Step(1);
  }
}
