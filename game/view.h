/** @file view.h The world view: world points shown on the 1024 x 768 screen through the zoom Scale. */
// The world view: the world is a plane centred on the middle of the 1024 x 768
// screen, seen through the zoom `Scale`. A world point (x, y) is shown at
// (ScreenCentreX + x * Scale, ScreenCentreY + y * Scale). These functions map
// between screen and world, zoom, skip what cannot be seen, and leave the
// drawing scale at (1, 1).
#pragma once

#include <cstdint>
#include <string>

#include "game/color.h"
#include "platform/image.h"

// The frame the game draws, in pixels, whatever the window or monitor shows it on.
constexpr int32_t ScreenWidth = 1024, ScreenHeight = 768;
// Its centre, where world (0, 0) is drawn and where the pointer is put back every
// step; also the frame's half sizes, so at zoom 1 the visible world spans
// -ScreenCentreX .. ScreenCentreX.
constexpr int32_t ScreenCentreX = ScreenWidth / 2, ScreenCentreY = ScreenHeight / 2;

// The world point under a screen pixel at the present zoom, truncated toward zero
// as every real becoming an integer is: a pixel left of or above the centre
// rounds toward the centre, not down.
int32_t ScreenToWorldX(int32_t screenX);
int32_t ScreenToWorldY(int32_t screenY);
// Where a world coordinate is drawn at the present zoom, evaluated in double from
// the float zoom and kept as the float the drawing takes.
float WorldToScreenX(double x);
float WorldToScreenY(double y);
// Half the visible world's width and height at zoom `scale`: the view spans
// -HalfViewWidth(scale) .. HalfViewWidth(scale) across.
constexpr double HalfViewWidth(double scale) { return ScreenCentreX / scale; }
constexpr double HalfViewHeight(double scale) { return ScreenCentreY / scale; }

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
