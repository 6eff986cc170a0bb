/** @file person.cpp TPerson's creation, box claims and walking clock, and the drawing of people and their hats. */
// TPerson: creation, claiming a box, the walking clock and the drawing of
// people and their hats. The per-frame behaviour is in person_frame.cpp.
#include "game/person.h"

#include "game/mouse.h"
#include "game/view.h"
#include "game/work.h"
#include "game/world.h"
#include "platform/hitlayers.h"
#include "platform/numeric.h"
#include "platform/random.h"
#include "platform/services.h"

// Faces go from furious (0) to laughing (6); a mood outside 0..69 never happens,
// but the index stays inside the table whatever it is.
const ImageRef& FaceFor(int32_t mood) {
  int32_t index = mood / 10;
  return Faces[size_t(index < 0 ? 0 : index > 6 ? 6 : index)];
}

PersonRef TPerson::New() {
  auto p = std::make_shared<TPerson>();
  p->Color = std::make_shared<TColor>();
  p->MyHat = std::make_shared<THat>();
  const double w = ImagePixelWidth(BodyFrames[8]);
  const double h = ImagePixelHeight(BodyFrames[8]);
  const double s = Scale;
  // Just outside one edge of the visible world, heading inward.
  switch (RandomInt(0, 3)) {
    case 0: {  // left
      p->x = StoreF((-HalfViewWidth(s) - w) - RandomInt(0, 250));
      p->y = float(RandomInt(TruncInt(-HalfViewHeight(s) - h - 250), TruncInt(HalfViewHeight(s) + 250)));
      p->Angle = RandomInt(325, 449) % 360;
      break;
    }
    case 1: {  // top
      p->x = float(RandomInt(TruncInt(-HalfViewWidth(s) - w - 250), TruncInt(HalfViewWidth(s) + 250)));
      p->y = StoreF((-HalfViewHeight(s) - h) - RandomInt(0, 250));
      p->Angle = RandomInt(1, 179);
      break;
    }
    case 2: {  // right
      p->x = StoreF(HalfViewWidth(s) + RandomInt(0, 250));
      p->y = float(RandomInt(TruncInt(-HalfViewHeight(s) - h - 250), TruncInt(HalfViewHeight(s) + 250)));
      p->Angle = RandomInt(91, 215);
      break;
    }
    default: {  // bottom: 181..215 or 325..359
      p->x = float(RandomInt(TruncInt(-HalfViewWidth(s) - w - 250), TruncInt(HalfViewWidth(s) + 250)));
      p->y = StoreF(HalfViewHeight(s) + RandomInt(0, 250));
      const int32_t spread = RandomInt(0, 34);
      p->Angle = 181 + spread + 144 * RandomInt(0, 1);
      break;
    }
  }
  // While a trend is on, most newcomers like a colour near it.
  if (!Trend || RandomInt(0, 10 - TrendStrength) == 0)
    p->Color->Randomize();
  else
    p->Color->FollowTrend();
  p->Hairstyle = RandomInt(0, 9);
  if (Stage >= 3 && p->Hairstyle < 4 && RandomInt(0, 150) == 1) p->Chef = ChefBorn;
  return p;
}

int TPerson::Claim(int32_t boxId) {
  const int32_t slot = WorkSlotOf(boxId);
  if (slot > -1) Ownership = slot;
  return 0;
}

int32_t TPerson::WorkSlotOf(int32_t boxId) {
  for (size_t slot = 0; slot < Works.size(); ++slot)
    if (Works[slot] && Works[slot]->ID == boxId) return int32_t(slot);
  return -1;
}

void TPerson::WalkingClock() {
  if (int64_t(TimerTickCount(Timer100)) <= LastTick100) return;
  FrameIn = WrapInt(int64_t(FrameIn) - (int64_t(TimerTickCount(Timer100)) - LastTick100));
  if (FrameIn <= 0) {
    Frame = (Frame + 1) % 8;
    FrameIn = RandomInt(6, 10);
  }
}

void TPerson::DrawHat(const ImageRef& picture, int32_t qx, int32_t qy, bool toque) {
  TMouse& mouse = *Mouse;
  const HitId hat = MyHat.get();
  if (toque ? MyHat->On == HatWorn : MyHat->On != HatOff) {
    if (mouse.Clicked == hat) {
      // Dragged: drawn at the cursor, and not registered, so it cannot be clicked again.
      if (mouse.JustClicked) mouse.offset(qx, qy);
      DrawScaled(picture, mouse.x + mouse.offX, mouse.y + mouse.offY, 0);
    } else if (mouse.Dropped == hat) {
      if (toque) {  // a toque let go falls
        MyHat->On = HatFalling;
        MyHat->x = mouse.x + mouse.offX;
        MyHat->y = mouse.y + mouse.offY;
      }
    } else {
      DrawScaled(picture, qx, qy, 0);
      HitImage(picture, qx, qy, 0, 0, LayerGrab, hat);
    }
  } else if (MyHat->On == HatOff && !toque) {
    // An off hat can only be taken from a chef's hands (an inspired chef's too: he was robbed as a fan).
    if (mouse.Clicked == hat && mouse.JustClicked && HatThief == -1) mouse.Clicked = nullptr;
    if (mouse.Clicked == hat) {
      if (mouse.JustClicked) {
        TPerson& thief = *People[size_t(HatThief)];
        thief.CarriedHat = -1;
        thief.Destination = -1;
        thief.Following = -1;
        mouse.offset(TruncInt(double(thief.x) + 55), TruncInt(double(thief.y) + 260));
        HatThief = -1;
      }
      DrawScaled(picture, mouse.x + mouse.offX, mouse.y + mouse.offY, 0);
    }
  }
}

void TPerson::DrawFan() {
  UseColor(White);
  double b = 1.0;
  const int32_t ix = TruncInt(x), iy = TruncInt(y);
  if (Angle < 55 || Angle > 305) {
    const ImageRef& body = BodyFrames[size_t(Frame)];
    DrawScaled(body, ix, iy, 0);
    HitImage(body, ix, iy, 0, 0, LayerGrab, this);
  } else if (Angle > 125 && Angle < 235) {
    const ImageRef& body = BodyFrames[size_t(Frame)];
    DrawScaledMirrored(body, ix, iy, 0);
    SetDrawScale(-1, 1);
    HitImage(body, TruncInt(double(x) + ImagePixelWidth(body)), iy, 0, 0, LayerGrab, this);
    SetDrawScale(1, 1);
  } else {
    const ImageRef& body = BodyFrames[size_t(16 - Frame)];
    DrawScaled(body, ix, iy, 0);
    HitImage(body, ix, iy, 0, 0, LayerGrab, this);
    b = 0.35;
  }
  const float h = StoreF(b * HeadBob[size_t(Frame)]);
  const int32_t faceY = TruncInt(double(y) + 72 + double(h));
  DrawScaled(FaceFor(Mood), TruncInt(double(x) + 90), faceY, 0);
  HitImage(FaceFor(Mood), TruncInt(double(x) + 90), faceY, 0, 0, LayerGrab | LayerFace, this);
  UseColor(Color);
  DrawScaled(Hairs[size_t(Hairstyle)], TruncInt(double(x) + 70), TruncInt(double(y) + 29 + double(h)), 0);
  DrawHat(HatImage, ix, TruncInt(double(y) + double(h)), false);
}

void TPerson::DrawChef() {
  // Every part sits at int(x + k), as for fans: int(x) + k is a unit off where x + k crosses zero.
  const int32_t ix = TruncInt(x), iy = TruncInt(y);
  UseColor(White);
  DrawScaled(ChefBodyImage, ix, iy, 0);
  HitImage(ChefBodyImage, ix, iy, 0, 0, LayerGrab, this);
  // Chefs do not look at chefs: the face is not registered.
  DrawScaled(FaceFor(Mood), TruncInt(double(x) + 90), TruncInt(double(y) + 72), 0);
  UseColor(Color);
  DrawScaled(Hairs[size_t(Hairstyle)], TruncInt(double(x) + 70), TruncInt(double(y) + 29), 0);
  if (Chef == ChefInspired) {
    DrawHat(HatImage, ix, iy, false);
  } else if (Chef == ChefBorn) {
    UseColor(White);
    if (MyHat->On == HatWorn) DrawHat(ChefHatImage, TruncInt(double(x) + 42), TruncInt(double(y) - 140), true);
  }
  if (CarriedHat > -1) {
    // The player can take the hat back by clicking it in the chef's hands.
    const int32_t hx = TruncInt(double(x) + 55), hy = TruncInt(double(y) + 260);
    UseColor(People[size_t(CarriedHat)]->Color);
    DrawScaled(HatImage, hx, hy, 0);
    HitImage(HatImage, hx, hy, 0, 0, LayerGrab, People[size_t(CarriedHat)]->MyHat.get());
  }
}

void TPerson::DrawHeld() {
  TMouse& mouse = *Mouse;
  UseColor(White);
  if (mouse.JustClicked) mouse.offset(TruncInt(x), TruncInt(y));
  const int32_t px = mouse.x + mouse.offX, py = mouse.y + mouse.offY;
  if (Chef == ChefNone) {
    DrawScaled(BodyFrames[8], px, py, 0);
    DrawScaled(Faces[1], px + 90, py + 72, 0);  // a held fan always looks unhappy
    UseColor(Color);
    DrawScaled(Hairs[size_t(Hairstyle)], px + 70, py + 29, 0);
    if (MyHat->On != HatOff) DrawScaled(HatImage, px, py, 0);
  } else {
    DrawScaled(ChefBodyImage, px, py, 0);
    DrawScaled(Faces[3], px + 90, py + 72, 0);
    UseColor(Color);
    DrawScaled(Hairs[size_t(Hairstyle)], px + 70, py + 29, 0);
    if (Chef == ChefInspired && MyHat->On != HatOff) {
      DrawScaled(HatImage, px, py, 0);
    } else if (Chef == ChefBorn && MyHat->On == HatWorn) {
      UseColor(White);
      DrawScaled(ChefHatImage, px + 42, py - 140, 0);
    }
    if (CarriedHat > -1) {
      UseColor(People[size_t(CarriedHat)]->Color);
      DrawScaled(HatImage, px + 55, py + 260, 0);
    }
    Safe = 0;
  }
}

void TPerson::EndOfFrameHat() {
  if (MyHat->On == HatFalling) {
    MyHat->y = TruncInt(double(MyHat->y) + double(FrameTime) * 10);
    if (double(MyHat->y) > HalfViewHeight(Scale)) {
      MyHat->On = HatOff;  // fallen past the bottom of the view
    } else if (Chef != ChefNone) {
      UseColor(White);
      DrawScaled(ChefHatImage, MyHat->x, MyHat->y, 0);
    } else {
      UseColor(Color);
      DrawScaled(HatImage, MyHat->x, MyHat->y, 0);
    }
  }
  if (Mouse->Dropped == MyHat.get()) {
    // The next frame's boxes take the hat if it was let go over an open one.
    DroppedHatOwner = ID;
    if (MyHat->On == HatOff) MyHat->On = HatWorn;  // taken back from a chef: back on its owner's head
  }
}
