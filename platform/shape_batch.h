/** @file shape_batch.h ShapeBatch: flat-coloured rectangles and ovals gathered into one list of triangles. */
// A software renderer pays for every triangle it is handed, on top of the
// pixels: a box's bulging border is eight ovals of 48 triangles each, and a
// crowded stage draws hundreds of them a frame, most of them a few pixels
// thick, so that most of their triangles hold no pixel centre and change
// nothing. Flat-coloured shapes are gathered here as triangles over the same
// corners GL is given for them, leaving out only triangles that cover no
// pixel, and consecutive shapes are drawn together as one list.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/transform.h"

class ShapeBatch {
 public:
  // A colour as GL takes it from bytes: each channel divided by 255.
  struct Colour {
    float R = 1, G = 1, B = 1, A = 1;
    static Colour FromBytes(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
  };

  // A quad over four corners in drawing order: triangles (0, 1, 3) and (1, 2, 3), as GL splits one.
  void AddQuad(const Point (&corners)[4], const Colour& colour);
  // Where the renderer samples: window x = OffsetX + ScaleX * x and window y = OffsetY + ScaleY * y
  // (negative to turn rows over) for a point (x, y) of the frame, with a sample at the centre of every
  // window pixel (whole numbers and a half).
  struct PixelGrid {
    double OffsetX = 0, OffsetY = 0, ScaleX = 1, ScaleY = 1;
  };

  // A fan around a centre through ring points 0 to count - 1, leaving out each triangle that holds no
  // sample: it would change no pixel, while a software renderer pays for every triangle it sets up.
  void AddFanSampled(const Point& centre, const Point* ring, int count, const Colour& colour, const PixelGrid& grid);
  // A convex outline through ring points 0 to count - 1 (not repeated; either winding) over the samples it
  // holds: corners whose ear (the triangle of the corner and its two neighbours) holds no sample are cut off
  // one by one, and what is left is drawn as a zig-zag strip of chords (0, 1, n-1), (1, n-1, 2), ... without
  // its sample-free triangles. Any triangulation of a convex outline covers the same samples, so this covers
  // what the fan does only when the outline stays convex after the renderer rounds its corners to its
  // sub-pixel grid; the caller makes sure of that.
  void AddConvexSampled(const Point* ring, int count, const Colour& colour, const PixelGrid& grid);

  // Whether no sample lies in the triangle's bounding box widened by a margin far beyond the renderer's
  // rounding of corners (and of frame to window pixels): then the triangle covers no pixel at all.
  static bool HoldsNoSample(const Point& a, const Point& b, const Point& c, const PixelGrid& grid);

  bool Empty() const { return indices_.empty(); }
  void Clear();

  // Two floats a vertex (positions as GL keeps them, in single precision), four a colour, and
  // three indices a triangle.
  const std::vector<float>& Positions() const { return positions_; }
  const std::vector<float>& Colours() const { return colours_; }
  const std::vector<uint32_t>& Indices() const { return indices_; }

 private:
  uint32_t AddVertex(const Point& p, const Colour& colour);

  std::vector<float> positions_;
  std::vector<float> colours_;
  std::vector<uint32_t> indices_;
  std::vector<int> nextScratch_, prevScratch_, orderScratch_;  // kept between shapes: no allocation a shape
  std::vector<uint32_t> indexScratch_;
};
