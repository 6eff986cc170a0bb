/** @file mouse.h TMouse: the game's own cursor in world units, moved by the pinned system pointer's displacement. */
// TMouse: the game's own cursor in world units. The system pointer is hidden
// and pinned to the screen centre; each frame its displacement moves the
// cursor and is kept as the throw vector.
#pragma once

#include <cstdint>

#include "platform/hitlayers.h"

class TMouse {
 public:
  int32_t x = 0;
  int32_t y = 0;
  HitId Clicked = nullptr;  // the object held, compared by identity only
  int32_t JustClicked = 0;  // 1 in the frame Clicked was set by a click
  int32_t offX = 0;         // from the cursor to the held object's position
  int32_t offY = 0;
  HitId Dropped = nullptr;  // the object released in this frame
  int32_t DroppedX = 0;
  int32_t DroppedY = 0;
  int32_t vectorX = 0;  // pointer displacement this frame, screen pixels
  int32_t vectorY = 0;
  int32_t CancelClick = 0;  // 1 while a press begun in a special mode must not grab

  // Creation: hides the system pointer and pins it to the screen centre.
  static TMouse New();
  // The newest shape in layer 1 under the cursor, or null.
  HitId Over() const;
  // The mouse's step of the frame: move, clamp, draw the cursor, grab, drop, place or pick.
  int Be();
  // Lets go of an object that is about to be destroyed, held or just released,
  // so that no later object at the same address is taken for it.
  int Forget(HitId gone);
  // Keeps a just-grabbed object at its distance from the cursor.
  int offset(int32_t a, int32_t b) {
    offX = a - x;
    offY = b - y;
    return 0;
  }
};
