/** @file person_inspired.cpp A fan's whole-frame animations: inspiration into a chef, the walk to a new hat. */
// The two animations that take over a fan's whole frame: the inspiration that
// makes him a chef who owns the inspiring box, and the walk to a finalized box
// he loves to take a new hat in its colour.
#include <cmath>

#include "game/mouse.h"
#include "game/names.h"
#include "game/person.h"
#include "game/view.h"
#include "game/work.h"
#include "game/world.h"
#include "platform/hitlayers.h"
#include "platform/numeric.h"
#include "platform/services.h"

namespace {

// Counts the animation down one step once its countdown of 100 Hz ticks has run out;
// however many ticks have passed, at most one step a frame.
void StepClock(int32_t& frame, int32_t& frameIn, int32_t ticksPerStep) {
  const int64_t now = TimerTickCount(Timer100);
  if (now <= LastTick100) return;
  frameIn = WrapInt(int64_t(frameIn) - (now - LastTick100));
  if (frameIn <= 0) {
    frame -= 1;
    frameIn += ticksPerStep;
  }
}

}  // namespace

int TPerson::BeInspired() {
  if (InspiredNews == 0) InspiredNews = 1;  // the tutor tells of the first one
  if (Frame > 0) Frame = 0;
  // He stands still while inspired, even if it came over him in flight.
  throwX = throwY = 0;
  StepClock(Frame, FrameIn, 9);
  const int32_t n = -Frame;
  const int32_t ix = TruncInt(x), iy = TruncInt(y);
  UseColor(White);
  DrawScaled(InspireBFrames[size_t(InspireBIndex[size_t(n)])], ix, iy, 0);
  // Chefs still see him (his face), but he cannot be picked up (his body is not registered).
  const int32_t faceX = TruncInt(double(x) + 90), faceY = TruncInt(double(y) + 72);
  DrawScaled(FaceFor(Mood), faceX, faceY, 0);
  HitImage(FaceFor(Mood), faceX, faceY, 0, 0, LayerFace, this);
  UseColor(Color);
  DrawScaled(Hairs[size_t(Hairstyle)], TruncInt(double(x) + 70), TruncInt(double(y) + 29), 0);
  DrawHat(HatImage, ix, iy, false);
  UseColor(InspiredC);
  DrawScaled(InspireCFrames[size_t(InspireCIndex[size_t(n)])], ix, iy, 0);
  SetBlendMode(BlendAlpha);
  if (n > 59) {
    // The chef's shirt comes down over him, 40 units a step, fading in over its first four steps.
    const int32_t ys = TruncInt(double(y) - 356 + 40 * (n - 60));
    const double crowd = Scale < 0.2f ? (double(Scale) - double(0.1f)) * 10.0 : 1.0;  // the crowd's own fade
    if (n < 64) SetDrawAlpha(StoreF(crowd * (n - 59) / 5.0));
    SetDrawColor(255, 255, 255);
    DrawScaled(ChefShirtImage, ix, ys, 0);
    SetDrawAlpha(StoreF(crowd));
  }
  if (n == 68) {
    Claim(InspiredBy);
    Frame = 8;
    InspiredBy = -1;
    InspiredC = nullptr;
    Chef = ChefInspired;
  }
  // A hat let go this frame still goes back on his head or into a box.
  EndOfFrameHat();
  return 0;
}

int TPerson::Bedazzled() {
  const TWork& b = *Works[size_t(GettingHat)];
  const int32_t bw = ImagePixelWidth(BodyFrames[8]), bh = ImagePixelHeight(BodyFrames[8]);
  if (Frame > 0) Frame = 0;
  throwX = throwY = 0;  // he walks, even if the box caught his eye in flight
  if (Frame == -7) {
    // The box's very colour: his hair and hat change with it from now on.
    Color = b.Mix;
    MyHat->On = HatWorn;
  }
  // To the point 330 units below the middle of the box's bottom edge.
  const double dx = double(x) + bw / 2 - b.x - 140, dy = double(y) + bh / 2 - b.y - 185 - 330;
  const double d = std::sqrt(dx * dx + dy * dy);
  if (d > 140) {
    x = StoreF(double(x) + 2 * double(FrameTime) * (double(b.x + 140) - double(x) - bw / 2) / d);
    y = StoreF(double(y) + 2 * double(FrameTime) * (double(b.y + 185 + 330) - double(y) - bh / 2) / d);
  } else {
    StepClock(Frame, FrameIn, 10);
  }
  const int32_t ix = TruncInt(x), iy = TruncInt(y);
  UseColor(White);
  const int32_t faceX = TruncInt(double(x) + 90), faceY = TruncInt(double(y) + 72);
  DrawScaled(FaceFor(Mood), faceX, faceY, 0);
  HitImage(FaceFor(Mood), faceX, faceY, 0, 0, LayerFace, this);
  UseColor(Color);
  DrawScaled(Hairs[size_t(Hairstyle)], TruncInt(double(x) + 70), TruncInt(double(y) + 29), 0);
  if (MyHat->On == HatWorn) DrawScaled(HatImage, ix, iy, 0);
  if (Mouse->Clicked == MyHat.get()) Mouse->Clicked = nullptr;
  if (HatThief > -1) {
    // His old hat is no use to the chef who carries it now.
    TPerson& thief = *People[size_t(HatThief)];
    thief.CarriedHat = -1;
    thief.Destination = -1;
    HatThief = -1;
    // A new hat taken after it went on at step 7 would be nowhere, neither worn, nor
    // carried, nor in a box, and he never gets another: it goes back on his head.
    if (Frame < -7) MyHat->On = HatWorn;
  }
  UseColor(White);
  if (Frame <= 0 && Frame >= -3) {
    DrawScaled(HatFrames[size_t(-Frame)], ix, iy, 0);
  } else if (Frame <= -4 && Frame >= -6) {
    // The new hat held up, tilted.
    UseColor(b.Mix);
    SetDrawRotation(7.5f);
    DrawScaled(HatImage, TruncInt(double(x) + 70), TruncInt(double(y) - 18), 0);
    UseColor(White);
    SetDrawRotation(0);
    DrawScaled(HatFrames[4], ix, iy, 0);
  } else if (Frame == -7 || Frame == -8) {
    DrawScaled(HatFrames[5], ix, iy, 0);
  } else if (Frame <= -9 && Frame >= -12) {
    DrawScaled(HatFrames[size_t(Frame + 12)], ix, iy, 0);
  }
  if (b.Active == 0) GettingHat = -1;  // the box was deleted: back to ordinary life
  if (Frame < -11) {
    Frame = 8;
    GettingHat = -2;  // never again
  }
  // A hat let go in the frame the walk began still goes back on his head or into a box.
  EndOfFrameHat();
  return 0;
}
