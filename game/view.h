/** @file view.h The world view: world points shown on the 1024 x 768 screen through the zoom Scale. */
// The world view: the world is a plane centred on the middle of the 1024 x 768
// screen, seen through the zoom `Scale`. A world point (x, y) is shown at
// (512 + x * Scale, 384 + y * Scale). These functions zoom, skip what cannot
// be seen, and leave the drawing scale at (1, 1).
#pragma once

#include <cstdint>
#include <string>

#include "game/color.h"
#include "platform/image.h"

// SetDrawColor with the colour's channels.
int UseColor(const ColorRef& c);
// Draws the image zoomed with its handle at world (x, y), if it can be seen.
int DrawScaled(const ImageRef& image, int x, int y, int frame);
// Draws the image zoomed and mirrored, covering world x to x + width, if it can be seen.
int DrawScaledMirrored(const ImageRef& image, int x, int y, int frame);
// Fills the zoomed world rectangle, in colour c unless c is null, if it can be seen.
int RectScaled(int x, int y, int w, int h, const ColorRef& c);
// Fills the zoomed ellipse inscribed in the world rectangle, if it can be seen.
int OvalScaled(int x, int y, int w, int h);
// 1 if the world rectangle overlaps the visible world (partly = 1) or lies wholly inside it (partly = 0).
int OnScreen(int x, int y, int w, int h, int partly);
// The message bars' ids in hit layer 1, one per line: the bars are registered
// under these, never under the shown strings, so an id stays valid whatever
// the caller passed, and the mouse and the tutor can tell a bar when they see one.
struct MessageBar {
  int32_t Line;  // 1 upper, 2 lower
};
extern const MessageBar UpperBar;
extern const MessageBar LowerBar;

// Two centred message lines on white bars at the top of the screen, registered in hit layer 1.
int ShowLines(const std::string& line1, const std::string& line2);
