/** @file work.cpp The mixing box TWork: its blend, bulges, overlays, and its frame. */
// The mixing box: its brightening blend, its bulges and overlays, and the
// frame in which it registers itself, takes a dropped hat and answers the
// delete and finalize clicks.
#include "game/work.h"

#include "game/mouse.h"
#include "game/person.h"
#include "game/view.h"
#include "game/world.h"
#include "platform/hitlayers.h"
#include "platform/numeric.h"
#include "platform/random.h"
#include "platform/services.h"

WorkRef TWork::New() {
  auto w = std::make_shared<TWork>();
  w->Capacity = RandomInt(20, 70);
  w->Locked = LockOpen;
  for (ColorRef& slot : w->Ingredients) slot = std::make_shared<TColor>();
  w->NextIng = 0;
  w->Mix = std::make_shared<TColor>();
  w->Active = 1;
  w->ID = WorkCount;
  WorkCount += 1;
  return w;
}

int TWork::Add(const ColorRef& colour, int32_t n) {
  // The game never fills a box past its last slot; if asked to, the copies that
  // would not fit are refused, and an Add with no free slot changes nothing.
  if (NextIng < 0 || NextIng >= Slots) return 0;
  Ingredients[NextIng] = colour;
  for (n -= 1; n > 0 && NextIng + 1 < Slots; n -= 1) {
    // Extra copies weigh the colour in the blend, not in the fullness.
    NextIng += 1;
    Capacity += 1;
    Ingredients[NextIng] = colour;
  }

  // Ingredients are shared, so every Add re-reads their current channels.
  int64_t SR = 0, SG = 0, SB = 0;
  for (int32_t i = 0; i <= NextIng; ++i) {
    SR += Ingredients[i]->R;
    SG += Ingredients[i]->G;
    SB += Ingredients[i]->B;
  }
  NextIng += 1;
  const int32_t K = NextIng;

  // A few hats give a dark version of their average; it brightens with every
  // hat, reaches the average at about 52 and overshoots it after that.
  const double factor = double(1.2f) - 12.0 / (K + 15.0);
  auto channel = [&](int64_t sum) {
    const int32_t v = TruncInt(double(WrapInt(sum)) * factor / (K + 1.0));
    return v > 255 ? 255 : v;
  };
  Mix->Set(channel(SR), channel(SG), channel(SB));

  if (NextIng > Capacity + 9) Locked = LockFull;
  // The tutor's news that a box holds only so many hats; decided once, at a random point near capacity.
  if (FilledNews == 0) {
    const int32_t r = RandomInt(-4, 1);
    if (NextIng > Capacity + r && Protected == 0) FilledNews = 1;
  }
  return 0;
}

int TWork::Place(int32_t px, int32_t py) {
  x = px;
  y = py;
  return 0;
}

int TWork::Be() {
  const int32_t e = NextIng - 1 - Capacity;  // bulge depth once past capacity

  // Finalized frame, bulging with the body.
  if (Locked == LockFinalized) {
    UseColor(Black);
    RectScaled(x - 2, y - 2, 284, 189, nullptr);
    if (e > 0) {
      OvalScaled(x - 2, y - 2 - e, 284, 2 * e);
      OvalScaled(x - 2 - e, y - 2, 2 * e, 189);
      OvalScaled(x - 2, y + 187 - e, 284, 2 * e);
      OvalScaled(x + 282 - e, y - 2, 2 * e, 189);
    }
  }
  // Body: each bulge is an oval centred on an edge, sticking out e units.
  UseColor(Mix);
  RectScaled(x, y, width, height, nullptr);
  if (e > 0) {
    OvalScaled(x, y - e, width, 2 * e);
    OvalScaled(x - e, y, 2 * e, height);
    OvalScaled(x, y + height - e, width, 2 * e);
    OvalScaled(x + width - e, y, 2 * e, height);
  }
  if (Protected == 1) DrawScaled(ProtectedImage, x, y, 0);

  // The words fade out as the view draws back, so far-off boxes show only colour.
  if (Scale > 0.1f && Scale < 0.2f)
    SetDrawAlpha(StoreF((double(Scale) - double(0.1f)) * 10.0));
  else if (Scale <= 0.1f)
    SetDrawAlpha(0.0f);
  if (Protected == 0 && Locked == LockFinalized) DrawScaled(FinalizedImage, x, y, 0);
  if (Protected == 0 && NextIng > Capacity + 9) DrawScaled(FullImage, x, y, 0);
  SetDrawAlpha(1.0f);

  // Clickable (layer 1) and a box body (layer 4).
  HitRect(x, y, width, height, 0, LayerGrab | LayerBoxBody, this);

  // A hat let go within 10 units of the box falls in, unless the box is closed to the player.
  if (Mouse && Mouse->x >= x - 10 && Mouse->x <= x + 290 && Mouse->y >= y - 10 && Mouse->y <= y + 195 &&
      DroppedHatOwner > -1 && DroppedHatOwner < int32_t(People.size()) && People[DroppedHatOwner] &&
      Locked == LockOpen && Protected == 0) {
    const std::shared_ptr<TPerson> p = People[DroppedHatOwner];
    if (p->Chef < ChefBorn) {
      Add(p->Color, 1);
    } else {
      // A toque adds white, and its chef takes the box as his own.
      Add(White, 1);
      p->Claim(ID);
    }
    if (p->MyHat) p->MyHat->On = HatOff;
    DroppedHatOwner = -1;  // no later box takes the same hat
  }

  const bool clicked = Mouse && Mouse->Clicked == static_cast<const void*>(this);
  if (Mode == ModeDeleting && clicked && Protected == 0) {
    // Deleted, but seen once more this frame so that onlookers feel the loss.
    Active = 0;
    HitRect(x - 175, y - 175, 630, 535, 0, LayerSight, this);
  }
  if (Mode == ModeFinalizing && clicked && Protected == 0) Locked = LockFinalized;

  // Sight zone: people within 175 units of a box on screen can see it.
  if (OnScreen(x, y, width, height, 1)) HitRect(x - 175, y - 175, 630, 535, 0, LayerSight, this);
  return 0;
}

int32_t FreeWorkSlot() {
  for (int32_t i = 0; i < int32_t(Works.size()); ++i)
    if (!Works[size_t(i)] || Works[size_t(i)]->Active == 0) return i;
  return -1;
}

void PutWork(int32_t slot, const WorkRef& box) {
  WorkRef& place = Works[size_t(slot)];
  // The old box dies here; a click or a drop still naming it must not pass to a later box.
  if (place && Mouse) Mouse->Forget(place.get());
  place = box;
}
