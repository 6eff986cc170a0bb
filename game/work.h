/** @file work.h TWork: a mixing box (a "color" on the buttons) holding the hats thrown in and showing their blend. */
// TWork: a mixing box, a "color" on the game's buttons. It holds the colours
// of the hats thrown into it and shows their blend, which starts dark and
// brightens as hats are added; past its capacity it bulges, and ten hats past
// it, it is full.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "game/color.h"
#include "game/names.h"

class TWork;
using WorkRef = std::shared_ptr<TWork>;

class TWork {
 public:
  static constexpr int32_t width = 280;
  static constexpr int32_t height = 185;
  static constexpr int32_t Slots = 256;

  int32_t Active = 1;                       // 0 once deleted: the slot in Works is free again
  std::array<ColorRef, Slots> Ingredients;  // the very colours added, not copies
  ColorRef Mix;                             // one object for the box's life, overwritten in place
  int32_t Capacity = 0;                     // 20 to 70 at creation
  int32_t NextIng = 0;                      // ingredients held
  int32_t x = 0;                            // top-left corner, world units
  int32_t y = 0;
  int32_t Locked = LockOpen;  // LockOpen, LockFinalized or LockFull
  int32_t ID = 0;             // serial number over the whole game
  int32_t Protected = 0;      // 1 for the boxes the game makes itself

  // A new box: draws its capacity and takes the next ID.
  static WorkRef New();
  // Adds the colour n times (at least once), recomputes Mix, may lock the box as full.
  int Add(const ColorRef& colour, int32_t n);
  // Sets the position; nothing else.
  int Place(int32_t px, int32_t py);
  // The box's frame: draw, register, take a dropped hat, react to delete and finalize.
  int Be();
};

// The first slot of Works that is empty or holds a deleted box, or -1 when all are in use.
int32_t FreeWorkSlot();
// Puts the box into the slot, replacing what was there; the mouse lets go of the box replaced.
void PutWork(int32_t slot, const WorkRef& box);
