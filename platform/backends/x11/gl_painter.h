/** @file gl_painter.h GlPainter: the X11 backend's OpenGL projection, clearing, and the frame's drawing gathered into
 * runs. */
// OpenGL drawing for the X11 backend: the frame's projection, clearing, and
// the services' drawing calls as textured quads and lists of flat triangles,
// gathered over the frame into runs of one drawing state (see DrawOrder).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/backends/x11/frame_fit.h"
#include "platform/draw_order.h"
#include "platform/ink.h"
#include "platform/shape_batch.h"

class GlPainter {
 public:
  GlPainter() = default;
  GlPainter(const GlPainter&) = delete;
  GlPainter& operator=(const GlPainter&) = delete;
  ~GlPainter();
  // Sets up a fresh context: frame pixels (top-left origin, y down) onto the fitted viewport.
  void Begin(const FrameFit& fit, uint32_t generation);
  // Fills the frame with a colour; the bars beside a letterboxed frame stay black.
  void Clear(uint8_t r, uint8_t g, uint8_t b);
  // Carries out one drawing call whose corners are already in frame pixels.
  void Draw(const DrawCall& call);
  // A line of white text on a black band across the middle of the frame, over whatever is drawn.
  void DrawNotice(const std::string& line, const Font& font);
  // Hands GL the draws still gathered; the frame is complete in GL's buffer once this returns.
  void Finish();
  // Finish for the painter drawing in the current context, if any (before the frame is read back).
  static void FinishCurrent();

 private:
  // A picture or a flat shape gathered for drawing, in the run of its drawing state it joined.
  struct Gathered {
    unsigned Texture = 0;  // the picture's; 0: a flat shape, its triangles in shapes_
    int Blend = 0;
    uint8_t R = 255, G = 255, B = 255, Alpha = 255;
    Quad Corners;
    // A picture's scissor boxes in gatheredBoxes_ (none: the whole quad over the frame), or a shape's indices in
    // shapes_, from First on.
    uint32_t First = 0, Count = 0;
    uint32_t Run = 0;
    bool Rectangle = false;  // a flat rectangle, not an oval
  };

  // Gathers a flat rectangle or oval, unless it covers no pixel.
  void GatherShape(const DrawCall& call);
  // Gathers a picture, uploading it the first time, over the window pixels its ink can reach.
  void GatherPicture(const DrawCall& call);
  // Draws everything gathered, run by run, and forgets it.
  void DrawGathered();
  // Draws gathered shapes of one run and kind as one list from drawOrder_[k] on; returns where the next starts.
  size_t DrawShapes(size_t k);
  // Draws a gathered picture's quad over its scissor boxes; `bound` is the texture bound last, and becomes its.
  void DrawPicture(const Gathered& picture, unsigned& bound);
  // Switches between alpha test, alpha blending and opaque drawing when the mode changes.
  void UseBlend(int blend);
  // Binds a picture's texture (bilinear, clamped), uploading it the first time this context draws it.
  bool BindPicture(const Image& picture);
  // The scissor boxes that draw a picture's quad only over the window pixels its ink can reach (the same
  // triangles, so every pixel drawn is the pixel the whole quad gives), appended to gatheredBoxes_; none when the
  // whole quad (`whole`, its window pixels) is cheaper. False when no ink reaches the frame and drawing changes
  // nothing.
  bool PlanInkBoxes(const DrawCall& call, const InkPlan& plan, const PixelBox& whole);
  // The window pixels (GL's rows, bottom up) that a box of picture pixels covers when drawn by the call, rounded out.
  PixelBox WindowBox(const DrawCall& call, const PixelBox& box) const;
  // The window pixels that a box of frame pixels covers, rounded out by `spare` more, within the frame.
  PixelBox WindowPixels(double minX, double minY, double maxX, double maxY, int spare) const;
  // Uploads the next loaded picture not yet drawn, so that its first drawing later costs no decoding.
  void PrepareAhead();
  // Turns texturing on or off when it changes.
  void UseTexture(bool textured);
  // Puts the scissor back on the whole frame after a picture's ink boxes moved it.
  void ScissorFrame();
  // Binds a glyph's alpha texture (filtered and mipmapped when smooth), uploading it the first time.
  void BindGlyph(const Glyph& glyph, bool smooth);
  // Whether an outline of count corners stays convex however the renderer rounds its corners.
  bool ClearlyConvex(const Point* ring, int count) const;
  // One quad over four corners, with the texture's corners in the same order when textured.
  static void Quad4(const Point (&p)[4], bool textured);
  // The ellipse inscribed in a (possibly turned) box, as a fan around its centre.
  static void Oval(const Quad& corners);
  // Sides of the polygon an oval is drawn as; round at every size the game uses.
  static constexpr int kOvalSides = 48;
  // The centre and the closed ring (first point repeated last) of an oval's fan.
  static void OvalFan(const Quad& corners, Point& centre, Point (&ring)[kOvalSides + 1]);

  FrameFit fit_;
  uint32_t generation_ = 0;
  int blend_ = -1;  // -1: not known in this context yet
  bool textured_ = false;
  // CHROMELLY_DRAW_WHOLE=1: the plain way, as a reference: every picture over its whole rectangle, every
  // shape a primitive of its own.
  bool wholePictures_ = false;
  bool scissorMoved_ = false;
  size_t prepared_ = 0;         // loaded pictures looked at by PrepareAhead so far
  PixelBox frameBox_;           // the frame's window pixels, GL's rows
  ShapeBatch::PixelGrid grid_;  // where the renderer samples, for frame points
  std::vector<PixelBox> boxes_, chosen_;
  // Draws gathered since the frame began or since text was drawn, and the runs they joined.
  std::vector<Gathered> gathered_;
  std::vector<PixelBox> gatheredBoxes_;
  ShapeBatch shapes_;  // the gathered shapes' triangles
  DrawOrder order_;
  std::vector<uint32_t> runStart_, drawOrder_, runIndices_;  // scratch for DrawGathered
};
