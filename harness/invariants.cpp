/** @file invariants.cpp The world's invariants checked: globals, boxes, people and the links between them. */
#include "harness/invariants.h"

#include <cmath>
#include <sstream>

#include "game/names.h"
#include "game/opinion.h"
#include "game/person.h"
#include "game/stages.h"
#include "game/work.h"
#include "game/world.h"

namespace {

bool PersonAt(int32_t i) { return i >= 0 && i < PeopleCount && People[size_t(i)]; }
bool BoxAt(int32_t slot) { return slot >= 0 && slot < int32_t(Works.size()) && Works[size_t(slot)]; }

bool ValidColour(const ColorRef& c) {
  return c && c->R >= 0 && c->R <= 255 && c->G >= 0 && c->G <= 255 && c->B >= 0 && c->B <= 255;
}

std::string BrokenGlobal() {
  if (Stage < 0 || Stage > LastStage) return "Stage " + std::to_string(Stage);
  if (Mode < ModeNormal || Mode > ModeReviewing) return "Mode " + std::to_string(Mode);
  if (!(Scale > 0.0f) || !std::isfinite(Scale)) return "Scale " + std::to_string(Scale);
  if (PeopleCount < 0 || PeopleCount > int32_t(People.size())) return "PeopleCount " + std::to_string(PeopleCount);
  if (!Mouse) return "no mouse";
  return "";
}

std::string BrokenBox(size_t slot) {
  const TWork& w = *Works[slot];
  std::ostringstream why;
  why << "box in slot " << slot << " (ID " << w.ID << "): ";
  if (w.Active != 0 && w.Active != 1) return why.str() + "Active " + std::to_string(w.Active);
  if (w.Locked < LockOpen || w.Locked > LockFull) return why.str() + "Locked " + std::to_string(w.Locked);
  if (w.NextIng < 0 || w.NextIng > TWork::Slots) return why.str() + "NextIng " + std::to_string(w.NextIng);
  if (w.ID < 0 || w.ID > WorkCount) return why.str() + "an ID past the boxes ever made";
  if (!ValidColour(w.Mix)) return why.str() + "no mix, or a channel out of range";
  for (int32_t k = 0; k < w.NextIng; ++k)
    if (!ValidColour(w.Ingredients[size_t(k)])) return why.str() + "ingredient " + std::to_string(k) + " is no colour";
  return "";
}

std::string BrokenPerson(int32_t i) {
  const TPerson& p = *People[size_t(i)];
  std::ostringstream why;
  why << "person " << i << " (chef " << p.Chef << "): ";
  if (!p.MyHat) return why.str() + "no hat";
  if (p.ID != i || p.MyHat->Owner != i) return why.str() + "ID or hat owner is not his slot";
  if (p.Chef < ChefNone || p.Chef > ChefBorn) return why.str() + "Chef " + std::to_string(p.Chef);
  if (!ValidColour(p.Color)) return why.str() + "no favourite colour, or a channel out of range";
  if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.throwX) || !std::isfinite(p.throwY))
    return why.str() + "a place or a throw that is not a number";
  for (int32_t index : {p.CarriedHat, p.HatThief, p.Following})
    if (index != -1 && !PersonAt(index)) return why.str() + "a People index out of range: " + std::to_string(index);
  for (int32_t slot : {p.Ownership, p.Destination})
    if (slot != -1 && !BoxAt(slot)) return why.str() + "a Works slot that holds no box: " + std::to_string(slot);
  if (!(p.GettingHat == -1 || p.GettingHat == -2 || BoxAt(p.GettingHat))) return why.str() + "GettingHat is no box";
  if (p.Mood < 0 || p.Mood > 69) return why.str() + "mood " + std::to_string(p.Mood);
  if (p.LossValue < -1 || p.LossValue > 69) return why.str() + "loss value " + std::to_string(p.LossValue);
  if (p.MyHat->On < HatFalling || p.MyHat->On > HatWorn) return why.str() + "hat state " + std::to_string(p.MyHat->On);
  if (p.MyHat->On == HatFalling && p.Chef != ChefBorn) return why.str() + "a falling toque on a head without one";
  for (const TOpinion& o : p.Opinion) {
    if (o.Is < -1 || o.Is > 69) return why.str() + "an opinion of " + std::to_string(o.Is);
    if (!(o.Point >= 0.0f && o.Point <= 1.0f)) return why.str() + "an opinion's point outside 0 to 1";
    if (o.Patience > 20) return why.str() + "patience " + std::to_string(o.Patience);
  }
  if (p.Chef == ChefNone && (p.CarriedHat != -1 || p.Following != -1 || p.Destination != -1 || p.Ownership != -1))
    return why.str() + "a fan with a chef's errand";
  if (p.Following == i || p.CarriedHat == i) return why.str() + "after his own hat";
  if (p.Destination != -1 && p.CarriedHat == -1) return why.str() + "a destination with nothing to carry";
  if (p.CarriedHat != -1) {
    const TPerson& victim = *People[size_t(p.CarriedHat)];
    if (victim.HatThief != i) return why.str() + "carries a hat whose owner names another thief";
    if (victim.MyHat->On != HatOff) return why.str() + "carries a hat that is also worn";
  }
  if (p.HatThief != -1) {
    if (People[size_t(p.HatThief)]->CarriedHat != i) return why.str() + "his thief carries another hat";
    if (p.MyHat->On != HatOff) return why.str() + "wears the hat a thief carries";
  }
  return "";
}

}  // namespace

std::string BrokenLink() {
  if (std::string why = BrokenGlobal(); !why.empty()) return why;
  for (size_t slot = 0; slot < Works.size(); ++slot)
    if (Works[slot])
      if (std::string why = BrokenBox(slot); !why.empty()) return why;
  for (int32_t i = 0; i < PeopleCount; ++i) {
    if (!People[size_t(i)]) return "slot " + std::to_string(i) + " is empty";
    if (std::string why = BrokenPerson(i); !why.empty()) return why;
  }
  return "";
}
