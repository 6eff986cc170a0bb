/** @file person_chef.cpp The chef's steps of TPerson::Be: taking fans' hats, carrying them into boxes, wandering. */
// The chef's steps of TPerson::Be: he gives up a box that is gone, watches the
// fans around him and picks a hat to go after, walks up and takes it, and
// carries it into a box, his own first. Chefs wander on their own, turning
// back toward the middle of the world when they reach its edge.
#include <cmath>

#include "game/mouse.h"
#include "game/names.h"
#include "game/person.h"
#include "game/view.h"
#include "game/work.h"
#include "game/world.h"
#include "platform/hitlayers.h"
#include "platform/numeric.h"
#include "platform/random.h"
#include "platform/services.h"

namespace {

// A box slot that still holds a live box nobody has closed.
bool OpenBox(int32_t slot) {
  const WorkRef& b = Works[size_t(slot)];
  return b && b->Active != 0 && b->Locked == LockOpen;
}

// From the centre of a chef's picture at (x, y) to the centre of the box.
double ToBoxCentre(float x, float y, const TWork& b, double& dx, double& dy) {
  const int32_t cw = ImagePixelWidth(ChefBodyImage), ch = ImagePixelHeight(ChefBodyImage);
  dx = double(x) + cw / 2 - b.x - 140;
  dy = double(y) + ch / 2 - b.y - 92;
  return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

void TPerson::GiveUpLostBox() {
  if (Chef > 0 && Ownership > -1 && !OpenBox(Ownership)) Ownership = -1;
}

void TPerson::ChefSight() {
  const double s = Scale;
  const int32_t cw = ImagePixelWidth(ChefBodyImage), ch = ImagePixelHeight(ChefBodyImage);
  // He watches the fans within 150 units of him, as far as the visible world goes.
  int32_t left = TruncInt(double(x) - 150), top = TruncInt(double(y) - 150), w = cw + 300, h = ch + 300;
  const double halfW = HalfViewWidth(s), halfH = HalfViewHeight(s);
  if (left < -halfW) {
    w = TruncInt(w - (-halfW - left));
    left = TruncInt(-halfW);
  }
  if (top < -halfH) {
    h = TruncInt(h - (-halfH - top));
    top = TruncInt(-halfH);
  }
  if (left + w > halfW) w = TruncInt(halfW - left);
  if (top + h > halfH) h = TruncInt(halfH - top);

  const HitList faces = HitRect(left, top, w, h, LayerFace, 0, nullptr);
  const bool inToque = Chef == ChefBorn && MyHat->On == HatWorn;
  if (!faces.empty()) {
    int32_t sum = 0, count = 0, best = BestFind, bestPerson = Following;
    TOpinion probe;  // rates a fan's colour with the chef's own taste
    if (!inToque) probe = TOpinion::New();
    const bool looking = (Following == -1 || BestFind > 0) && AnyWork != 0 && CarriedHat == -1;
    for (HitId id : faces) {
      const TPerson& p = *static_cast<const TPerson*>(id);
      if (!(p.Chef == ChefNone || (p.Chef == ChefInspired && p.MyHat->On == HatWorn))) continue;
      sum += p.Mood;
      count += 1;
      if (looking && p.MyHat->On == HatWorn) {
        // A chef in his toque wants the happiest fans' hats; any other the colours he likes.
        int32_t rating = p.Mood;
        if (!inToque) {
          probe.Form(*Color, *p.Color);
          rating = probe.Is;
        }
        if (rating > best) {
          best = rating;
          bestPerson = p.ID;
        }
      }
    }
    if (looking) {
      // A good hat tempts him now and then; a better one than he follows, at once.
      bool go = best > 25 && RandomInt(0, 70 - best) < 2;
      if (!go) go = best > BestFind && BestFind > 0;
      if (go) {
        Following = bestPerson;
        BestFind = best < 40 ? best : 0;  // 40 or more commits him: he stops looking
      }
    }
    if (count > 0) Mood = inToque ? sum / count : (sum / count + Mood) / 2;
  }
  if (CarriedHat > -1) ChooseDestination();
}

void TPerson::ChooseDestination() {
  if (Ownership > -1 && Destination == -1) Destination = Ownership;
  if (Destination > -1 && !OpenBox(Destination)) Destination = -1;
  if (Destination > -1) return;
  // The nearest unlocked box whose sight zone reaches within 300 units of him.
  const int32_t cw = ImagePixelWidth(ChefBodyImage), ch = ImagePixelHeight(ChefBodyImage);
  const HitList zones =
      HitRect(TruncInt(double(x) - 300), TruncInt(double(y) - 300), cw + 600, ch + 600, LayerSight, 0, nullptr);
  int32_t nearest = 536000000, nearestId = -1;
  for (HitId id : zones) {
    const TWork& b = *static_cast<const TWork*>(id);
    double dx, dy;
    const int32_t d = TruncInt(ToBoxCentre(x, y, b, dx, dy));
    if (d < nearest && b.Locked == LockOpen) {
      nearest = d;
      nearestId = b.ID;
    }
  }
  if (nearestId > -1) Destination = WorkSlotOf(nearestId);
}

void TPerson::CheckFollowed() {
  if (Following == -1) return;
  const TPerson& p = *People[size_t(Following)];
  // A hat the player has just let go is his until the boxes have had their turn.
  const bool lost =
      p.MyHat->On != HatWorn || Mouse->Clicked == &p || Mouse->Clicked == p.MyHat.get() ||
      Mouse->Dropped == p.MyHat.get() ||
      !OnScreen(TruncInt(p.x), TruncInt(p.y), ImagePixelWidth(BodyFrames[8]), ImagePixelHeight(BodyFrames[8]), 1);
  if (lost) Following = -1;
}

void TPerson::ChefWander() {
  Step(Safe == 1 ? 7.5 : 1.0);  // brought back from far away, he hurries
  if (RandomInt(0, 5) == 0) Angle += RandomInt(-4, 4);
  const int32_t cw = ImagePixelWidth(ChefBodyImage), ch = ImagePixelHeight(ChefBodyImage);
  if (OnScreen(TruncInt(x), TruncInt(y), cw, ch, 0)) return;
  // Past the edge of what can be seen, he turns back toward the middle of the
  // world: past the world zoom 1 shows, whatever the zoom is now.
  if (double(x) + cw > ScreenCentreX && (Angle >= 270 || Angle <= 90)) Angle = 180;
  if (x < -ScreenCentreX && Angle >= 90 && Angle <= 270) Angle = 0;
  if (double(y) + ch > ScreenCentreY && Angle >= 0 && Angle <= 180) Angle = 270;
  if (y < -ScreenCentreY && Angle >= 180 && Angle <= 360) Angle = 90;
}

void TPerson::Chase() {
  TPerson& p = *People[size_t(Following)];
  // His hands reach the fan's hat from 220 units above the fan's corner.
  const double dx = double(x) - p.x, dy = double(y) - p.y + 220;
  const double d = std::sqrt(dx * dx + dy * dy);
  if (d != 0) {
    x = StoreF(double(x) - 3 * double(FrameTime) * dx / d);
    y = StoreF(double(y) - 3 * double(FrameTime) * dy / d);
  }
  if (d < 50) {
    CarriedHat = Following;
    p.MyHat->On = HatOff;
    p.HatThief = ID;
    Following = -1;
  }
  if (d > 470) Following = -1;  // the fan got away
}

void TPerson::Deliver() {
  TWork& b = *Works[size_t(Destination)];
  double dx, dy;
  const double d = ToBoxCentre(x, y, b, dx, dy);
  if (d != 0) {
    // A chef with a box of his own hurries.
    const double s = (double(0.8f) + double(1.2f) * (Ownership > -1)) * double(FrameTime);
    x = StoreF(double(x) - s * dx / d);
    y = StoreF(double(y) - s * dy / d);
  }
  if (d > (ImagePixelWidth(ChefBodyImage) + 280) / 2) return;
  if (!OpenBox(Destination)) {
    // Closed or gone while he walked out of sight: he keeps the hat and looks again.
    Destination = -1;
    return;
  }
  b.Add(People[size_t(CarriedHat)]->Color, 2 + (Chef == ChefInspired));  // an inspired chef's hats weigh more
  People[size_t(CarriedHat)]->HatThief = -1;
  CarriedHat = -1;
  Destination = -1;
}
