/** @file mouse.cpp TMouse: the cursor moved by the pinned pointer, what lies under it, what it clicked. */
#include "game/mouse.h"

#include "game/names.h"
#include "game/view.h"
#include "game/work.h"
#include "game/world.h"
#include "platform/numeric.h"
#include "platform/services.h"

TMouse TMouse::New() {
  TMouse mouse;
  HidePointer();  // hidden first: some servers warp only a hidden pointer
  WarpPointer(ScreenCentreX, ScreenCentreY);
  return mouse;
}

HitId TMouse::Over() const { return HitRect(x - 4, y - 4, 9, 9, LayerGrab, 0, nullptr).First(); }

int TMouse::Forget(HitId gone) {
  if (!gone) return 0;
  if (Clicked == gone) Clicked = nullptr;
  if (Dropped == gone) Dropped = nullptr;
  return 0;
}

int TMouse::Be() {
  // A press that ends a special mode must not also grab: it stays cancelled until the button is up.
  if (Mode > ModeNormal)
    CancelClick = 1;
  else if (ButtonHeld(ButtonLeft) == 0)
    CancelClick = 0;
  if (Mode > ModeNormal && JustClicked == 1) Mode = ModeNormal;  // the pick of the last frame has been acted on
  JustClicked = 0;
  Dropped = nullptr;

  // One screen pixel of pointer movement is one world unit, whatever the zoom.
  vectorX = PointerX() - ScreenCentreX;
  vectorY = PointerY() - ScreenCentreY;
  x += vectorX;
  y += vectorY;
  const double halfW = HalfViewWidth(Scale), halfH = HalfViewHeight(Scale);
  if (!(x >= -halfW)) x = TruncInt(-halfW);
  if (x > halfW) x = TruncInt(halfW);
  if (!(y >= -halfH)) y = TruncInt(-halfH);
  if (y > halfH) y = TruncInt(halfH);
  WarpPointer(ScreenCentreX, ScreenCentreY);

  // Presses are used up every step, whatever the mode, so that a click made while
  // nothing could take it (placing, reviewing) does not grab something later.
  const int hits = ButtonHits(ButtonLeft);
  switch (Mode) {
    case ModeNormal: {
      UseColor(White);
      DrawScaled(CursorImage, x, y, 0);
      const HitId o = Over();
      if (hits != 0 && o && CancelClick == 0) {
        Clicked = o;
        JustClicked = 1;
      }
      // A press and release within one frame is let go in the next step, once the
      // owner has taken the grab's offset, so the object stays where it was.
      if (Clicked && JustClicked == 0 && ButtonHeld(ButtonLeft) == 0) {
        Dropped = Clicked;
        DroppedX = offX;
        DroppedY = offY;
        Clicked = nullptr;
      }
      break;
    }
    case ModePlacing: {
      // The would-be box, centred on the cursor.
      const int32_t bx = x - TWork::width / 2, by = y - TWork::height / 2;
      if (!HitRect(bx, by, TWork::width, TWork::height, LayerBoxBody, 0, nullptr).empty()) {
        SetDrawColor(255, 0, 0);
        SetDrawAlpha(0.5f);
        DrawScaled(CursorImage, x, y, 0);
        SetDrawAlpha(1.0f);
        if (ButtonHeld(ButtonLeft) || ButtonHeld(ButtonRight)) Mode = ModeNormal;  // abandoned over a box
      } else {
        SetDrawAlpha(0.5f);
        RectScaled(bx, by, TWork::width, TWork::height, Black);
        SetDrawAlpha(1.0f);
        if (ButtonHeld(ButtonLeft)) {
          const int32_t slot = FreeWorkSlot();
          if (slot > -1) {
            WorkRef box = TWork::New();
            PutWork(slot, box);
            box->Place(bx, by);
          }
          Mode = ModeNormal;  // also when every slot is taken
        } else if (ButtonHeld(ButtonRight)) {
          Mode = ModeNormal;
        }
      }
      break;
    }
    case ModeFinalizing:
    case ModeDeleting: {
      UseColor(White);
      DrawScaled(CursorImage, x, y, 0);
      const HitId box = HitRect(x - 4, y - 4, 9, 9, LayerBoxBody, 0, nullptr).First();
      // The box acts on the pick in its next frame; picking empty ground just ends the mode.
      if (hits != 0) {
        Clicked = box;
        JustClicked = 1;
      }
      if (ButtonHeld(ButtonRight)) Mode = ModeNormal;
      break;
    }
    default: break;  // reviewing messages: no cursor, no grab
  }
  return 0;
}
