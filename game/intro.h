/** @file intro.h The intro screen (RunIntro): a few words and a shimmering OK button in a 560 x 370 window. */
// The intro screen in the 560 x 370 window: a few words for the player and a
// shimmering OK button. Return leaves it at once; so does releasing the left
// button over OK after pressing it there; Esc ends the program.
#pragma once

#include <cstdint>

// The OK button's colour, drawn from the unseeded generator at start-up.
struct OkColour {
  int32_t R, G, B;
};

// Runs the intro until the player leaves it; Esc ends the program.
void RunIntro(OkColour colour);
// Whether the intro goes on before a frame: until Return is pressed, or the left
// button is released after a press on OK.
bool IntroGoesOn(int pressed);
// One frame of the intro; pressed is the held-on-OK state it keeps.
void IntroFrame(OkColour& colour, int& pressed);
