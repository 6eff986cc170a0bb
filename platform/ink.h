/** @file ink.h InkPlan and DisjointBoxes: where a picture has ink, as a few boxes, so drawing can skip the rest. */
// Most of a picture's rectangle is transparent (a body frame is thin lines
// across 280 x 510 pixels), and a software renderer pays for every pixel of a
// quad it draws, transparent or not. A picture's ink plan says where drawing
// can change the screen: a few boxes of picture pixels covering every pixel
// of alpha above 0 together with the pixels a bilinear sample reaches from
// them, so that drawing only those boxes leaves the screen exactly as drawing
// the whole rectangle would.
#pragma once

#include <cstdint>
#include <vector>

// A box of whole pixels: columns X0 to X1 - 1, rows Y0 to Y1 - 1.
struct PixelBox {
  int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
  bool Empty() const { return X1 <= X0 || Y1 <= Y0; }
  int64_t Area() const { return Empty() ? 0 : int64_t(X1 - X0) * int64_t(Y1 - Y0); }
};

struct InkPlan {
  static constexpr int MaxBoxes = 4;
  // Boxes[k - 1]: at most k boxes, stacked top to bottom without overlapping,
  // that together hold every inked pixel with one pixel around it, with the
  // smallest total area found for k. Empty when the picture has no ink.
  std::vector<PixelBox> Boxes[MaxBoxes];
  int Width = 0, Height = 0;
};

// Plans a width x height RGBA picture (straight alpha, row by row): a pixel has
// ink when its alpha is above 0. A bilinear sample at a point reads the four
// pixels whose centres lie within one pixel of it, so a point more than half a
// pixel outside the widened boxes reads only transparent pixels.
InkPlan PlanInk(const uint8_t* rgba, int width, int height);

// Boxes that do not overlap and cover exactly the pixels of the given ones
// (drawing them blends every pixel of the union once).
std::vector<PixelBox> DisjointBoxes(const std::vector<PixelBox>& boxes);
