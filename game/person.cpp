#include "game/person.h"

#include "game/work.h"
#include "game/world.h"

int TPerson::Claim(int32_t boxId) {
  for (size_t slot = 0; slot < Works.size(); ++slot) {
    if (Works[slot] && Works[slot]->ID == boxId) {
      Ownership = int32_t(slot);
      break;
    }
  }
  return 0;
}
