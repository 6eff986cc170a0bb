/** @file intro.cpp RunIntro and IntroFrame: the intro window's words, its shimmering OK button and the ways out. */
#include "game/intro.h"

#include <algorithm>

#include "platform/random.h"
#include "platform/services.h"

namespace {

bool OverOk() {
  const int px = PointerX(), py = PointerY();
  return px > 240 && px < 320 && py > 291 && py < 331;
}

// A channel drifts by at most 9 within 100..200; outside that band it is drawn back toward it.
int32_t Shimmer(int32_t c) { return RandomInt(std::max(c - 9, 100), std::min(c + 9, 200)); }

}  // namespace

void IntroFrame(OkColour& colour, int& pressed) {
  if (KeyHits(KeyEscape)) ExitProgram();
  if (pressed) {
    // Black text on white while OK is held down.
    SetDrawColor(255, 255, 255);
    FillRect(0, 0, 560, 370);
    SetDrawColor(0, 0, 0);
  } else {
    ClearScreen();
    SetDrawColor(255, 255, 255);
  }
  DrawTextAt("This game can be beaten in as few as 8 minutes.", 38, 45);
  DrawTextAt("But don't feel bad if it takes you much longer;", 38, 75);
  DrawTextAt("there's no penalty for taking your time.", 38, 105);
  DrawTextAt("Press Esc at any time to exit.", 136, 185);
  DrawTextAt("If you ever miss some text, hold down F1 to reread it!", 14, 215);
  if (OverOk()) {
    colour.R = Shimmer(colour.R);
    colour.G = Shimmer(colour.G);
    colour.B = Shimmer(colour.B);
    SetDrawColor(colour.R, colour.G, colour.B);
    if (ButtonDownThisFrame(ButtonLeft)) pressed = 1;  // a tap on OK too
  } else {
    pressed = 0;  // sliding off OK before releasing does not count
  }
  FillRect(240, 291, 80, 40);
  SetDrawColor(0, 0, 0);
  DrawTextAt("OK", 265, 300);
  // Sand-coloured key caps over the words Esc and F1, and the key names on them in dark blue.
  SetDrawColor(222, 213, 165);
  FillRect(193, 187, 35, 20);
  FillRect(399, 217, 24, 20);
  SetDrawColor(0, 14, 90);
  DrawTextAt("Esc", float(TextPixelWidth("Press ") + 136), 185);
  DrawTextAt("F1", float(TextPixelWidth("If you ever miss some text, hold down ") + 14), 215);
  NameFramePart("opening screen");
  PresentFrame();
}

bool IntroGoesOn(int pressed) { return (pressed == 0 || ButtonHeld(ButtonLeft)) && KeyHits(KeyReturn) == 0; }

void RunIntro(OkColour colour) {
  int pressed = 0;
  while (IntroGoesOn(pressed)) IntroFrame(colour, pressed);
}
