/** @file chef_watch.h ChefWatch: the chefs' thefts, deliveries and places printed for the end-to-end tests. */
// The chef watch, for end-to-end tests only: after every frame it compares the
// chefs and the boxes with the frame before and prints, on standard output, what
// a tester cannot tell from the screen's pixels alone: a theft, a delivery, a
// toque that made its chef a box's owner; and every few frames where each chef
// and the cursor are, in world units. The game the player runs never has it.
//   theft C fan F hat R G B
//   delivery C box S at X Y mix R G B to R G B hat R G B
//   toque C box S at X Y mix R G B to R G B
//   chef C at X Y toque T following F carrying H fan X Y   (H: the robbed fan, at X Y; -1 and 0 0 for none)
//   mouse X Y scale S toque C off X Y   (C: the chef whose toque the player holds, or -1; drawn that far from the
//   cursor)
#pragma once

#include <cstdint>
#include <vector>

#include "game/person.h"
#include "game/work.h"

class ChefWatch {
 public:
  explicit ChefWatch(int32_t every) : every_(every > 0 ? every : 1) {}
  void AfterFrame();

 private:
  struct PersonSeen {
    PersonRef Who;  // held, so that a newcomer cannot take his address
    int32_t Carried = -1, Destination = -1, Ownership = -1, HatOn = 0;
  };
  struct BoxSeen {
    WorkRef Box;
    int32_t NextIng = 0, R = 0, G = 0, B = 0;
  };
  // The box in `slot` as it was last frame, or null when it is another box now.
  const BoxSeen* Before(int32_t slot) const;

  int32_t every_;
  int64_t frames_ = 0;
  std::vector<PersonSeen> people_;
  std::vector<BoxSeen> boxes_;
};
