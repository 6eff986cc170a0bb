// The links between people, hats and boxes that must hold between any two
// frames, for long runs and soak tests to check every frame.
#pragma once

#include <sstream>
#include <string>

#include "game/names.h"
#include "game/person.h"
#include "game/work.h"
#include "game/world.h"

// The first broken link in the world, described; empty when all hold.
inline std::string BrokenLink() {
  std::ostringstream why;
  auto person = [](int32_t i) { return i >= 0 && i < PeopleCount && People[size_t(i)]; };
  auto box = [](int32_t slot) { return slot >= 0 && slot < int32_t(Works.size()) && Works[size_t(slot)]; };
  for (int32_t i = 0; i < PeopleCount; ++i) {
    if (!People[size_t(i)]) return "slot " + std::to_string(i) + " is empty";
    const TPerson& p = *People[size_t(i)];
    why << "person " << i << " (chef " << p.Chef << "): ";
    if (p.ID != i || p.MyHat->Owner != i) return why.str() + "ID or hat owner is not his slot";
    for (int32_t index : {p.CarriedHat, p.HatThief, p.Following})
      if (index != -1 && !person(index)) return why.str() + "a People index out of range: " + std::to_string(index);
    for (int32_t slot : {p.Ownership, p.Destination})
      if (slot != -1 && !box(slot)) return why.str() + "a Works slot that holds no box: " + std::to_string(slot);
    if (!(p.GettingHat == -1 || p.GettingHat == -2 || box(p.GettingHat))) return why.str() + "GettingHat is no box";
    if (p.Mood < 0 || p.Mood > 69) return why.str() + "mood " + std::to_string(p.Mood);
    if (p.MyHat->On < -1 || p.MyHat->On > 1) return why.str() + "hat state " + std::to_string(p.MyHat->On);
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
    why.str("");
  }
  return "";
}
