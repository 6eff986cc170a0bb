#include "game/mouse.h"

#include "game/names.h"
#include "platform/services.h"

TMouse TMouse::New() {
  TMouse mouse;
  HidePointer();  // hidden first: some servers warp only a hidden pointer
  WarpPointer(512, 384);
  return mouse;
}

HitId TMouse::Over() const { return HitRect(x - 4, y - 4, 9, 9, LayerGrab, 0, nullptr).First(); }
