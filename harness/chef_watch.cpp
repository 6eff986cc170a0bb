/** @file chef_watch.cpp ChefWatch::AfterFrame: the chefs' thefts, deliveries, toques and places printed. */
#include "harness/chef_watch.h"

#include <cstdio>

#include "game/mouse.h"
#include "game/names.h"
#include "game/person.h"
#include "game/work.h"
#include "game/world.h"
#include "platform/numeric.h"

const ChefWatch::BoxSeen* ChefWatch::Before(int32_t slot) const {
  if (slot < 0 || size_t(slot) >= boxes_.size() || size_t(slot) >= Works.size()) return nullptr;
  const BoxSeen& b = boxes_[size_t(slot)];
  return b.Box && b.Box == Works[size_t(slot)] ? &b : nullptr;
}

void ChefWatch::AfterFrame() {
  frames_ += 1;
  for (int32_t i = 0; i < PeopleCount && size_t(i) < people_.size(); ++i) {
    const TPerson& p = *People[size_t(i)];
    const PersonSeen& was = people_[size_t(i)];
    if (was.Who != People[size_t(i)] || p.Chef == ChefNone) continue;  // replaced, or a fan
    if (was.Carried == -1 && p.CarriedHat > -1) {
      const TColor& hat = *People[size_t(p.CarriedHat)]->Color;
      std::printf("theft %d fan %d hat %d %d %d\n", p.ID, p.CarriedHat, hat.R, hat.G, hat.B);
    }
    // Delivered: the hat is gone from his hands and its colour is the newest in the box he carried it to.
    const BoxSeen* to = Before(was.Destination);
    if (was.Carried > -1 && p.CarriedHat == -1 && to && to->Box->NextIng > to->NextIng &&
        to->Box->Ingredients[size_t(to->Box->NextIng - 1)] == People[size_t(was.Carried)]->Color) {
      const TWork& box = *to->Box;
      const TColor& hat = *People[size_t(was.Carried)]->Color;
      std::printf("delivery %d box %d at %d %d mix %d %d %d to %d %d %d hat %d %d %d\n", p.ID, was.Destination, box.x,
                  box.y, to->R, to->G, to->B, box.Mix->R, box.Mix->G, box.Mix->B, hat.R, hat.G, hat.B);
    }
    // A toque let go over a box: the box got white and its chef owns it now.
    const BoxSeen* owned = Before(p.Ownership);
    if (p.Chef == ChefBorn && was.HatOn != HatOff && p.MyHat->On == HatOff && p.Ownership != was.Ownership && owned &&
        owned->Box->NextIng == owned->NextIng + 1 && owned->Box->Ingredients[size_t(owned->NextIng)] == White) {
      const TWork& box = *owned->Box;
      std::printf("toque %d box %d at %d %d mix %d %d %d to %d %d %d\n", p.ID, p.Ownership, box.x, box.y, owned->R,
                  owned->G, owned->B, box.Mix->R, box.Mix->G, box.Mix->B);
    }
  }
  if (frames_ % every_ == 0) {
    for (int32_t i = 0; i < PeopleCount; ++i) {
      const TPerson& p = *People[size_t(i)];
      if (p.Chef == ChefNone) continue;
      const TPerson* fan = p.CarriedHat > -1 ? People[size_t(p.CarriedHat)].get() : nullptr;
      std::printf("chef %d at %d %d toque %d following %d carrying %d fan %d %d\n", p.ID, TruncInt(p.x), TruncInt(p.y),
                  p.Chef == ChefBorn && p.MyHat->On == HatWorn ? 1 : 0, p.Following, p.CarriedHat,
                  fan ? TruncInt(fan->x) : 0, fan ? TruncInt(fan->y) : 0);
    }
    if (Mouse) {
      int32_t toque = -1;  // whose toque the player holds
      for (int32_t i = 0; i < PeopleCount; ++i)
        if (People[size_t(i)]->Chef == ChefBorn && Mouse->Clicked == People[size_t(i)]->MyHat.get()) toque = i;
      std::printf("mouse %d %d scale %.4f toque %d off %d %d\n", Mouse->x, Mouse->y, double(Scale), toque, Mouse->offX,
                  Mouse->offY);
    }
  }
  std::fflush(stdout);

  people_.resize(size_t(PeopleCount));
  for (int32_t i = 0; i < PeopleCount; ++i) {
    const TPerson& p = *People[size_t(i)];
    people_[size_t(i)] = {People[size_t(i)], p.CarriedHat, p.Destination, p.Ownership, p.MyHat->On};
  }
  boxes_.resize(Works.size());
  for (size_t slot = 0; slot < Works.size(); ++slot) {
    const WorkRef& box = Works[slot];
    boxes_[slot] = box ? BoxSeen{box, box->NextIng, box->Mix->R, box->Mix->G, box->Mix->B} : BoxSeen{};
  }
}
