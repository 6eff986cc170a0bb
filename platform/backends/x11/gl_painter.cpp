/** @file gl_painter.cpp GlPainter: the X11 backend's OpenGL drawing of the services' drawing calls. */
#include "platform/backends/x11/gl_painter.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// What one more draw of a picture costs, counted in pixels drawn: a picture is
// split into more boxes only when that saves more pixels than this per box.
constexpr int64_t kPixelsPerDraw = 1024;

// Pictures larger than this are left to be uploaded when first drawn (the stage-4 ring's oval never is);
// their coverage for the hit layers is built ahead instead.
constexpr int64_t kLargestPreparedPixels = 1 << 20;

// Window coordinates far beyond any screen, so rounding them stays in range.
constexpr double kWindowLimit = 1 << 24;

// Halves an alpha picture (box filter, odd edges clamped) for the next mipmap level.
std::vector<uint8_t> HalveAlpha(const std::vector<uint8_t>& src, int w, int h, int& nw, int& nh) {
  nw = std::max(1, w / 2);
  nh = std::max(1, h / 2);
  std::vector<uint8_t> dst(size_t(nw) * size_t(nh));
  for (int y = 0; y < nh; ++y) {
    const int y0 = std::min(2 * y, h - 1), y1 = std::min(2 * y + 1, h - 1);
    for (int x = 0; x < nw; ++x) {
      const int x0 = std::min(2 * x, w - 1), x1 = std::min(2 * x + 1, w - 1);
      const int sum =
          src[size_t(y0) * w + x0] + src[size_t(y0) * w + x1] + src[size_t(y1) * w + x0] + src[size_t(y1) * w + x1];
      dst[size_t(y) * nw + x] = uint8_t((sum + 2) / 4);
    }
  }
  return dst;
}

// Whether every pixel, transparent or not, is grey (red, green and blue equal): such a picture keeps
// its texture as luminance and alpha, half the memory of RGBA, and filters to the same colours.
bool IsGrey(const uint8_t* rgba, size_t pixels) {
  for (size_t i = 0; i < pixels; ++i, rgba += 4)
    if (rgba[0] != rgba[1] || rgba[1] != rgba[2]) return false;
  return true;
}

// Creates a texture name with clamped edges and the given filters, left bound.
GLuint NewTexture(GLint minFilter, GLint magFilter) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
  return name;
}

// The painter whose context is current: the frame is read back from its buffer.
GlPainter* currentPainter = nullptr;

}  // namespace

// Sets up a fresh context: frame pixels (top-left origin, y down) onto the fitted viewport.
void GlPainter::Begin(const FrameFit& fit, uint32_t generation) {
  currentPainter = this;
  // Gathered for a context that is gone.
  gathered_.clear();
  gatheredBoxes_.clear();
  shapes_.Clear();
  order_.Clear();
  fit_ = fit;
  generation_ = generation;
  blend_ = -1;
  textured_ = false;
  const char* whole = std::getenv("CHROMELLY_DRAW_WHOLE");
  wholePictures_ = whole && std::strcmp(whole, "1") == 0;
  scissorMoved_ = false;
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);  // mirrored drawing turns quads over
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  // The whole window starts black so the bars of a letterboxed frame are black.
  glDisable(GL_SCISSOR_TEST);
  glViewport(0, 0, fit.WindowW, fit.WindowH);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  // GL counts viewport rows from the bottom of the window.
  const int bottom = fit.WindowH - fit.OffsetY - fit.ShownH;
  glViewport(fit.OffsetX, bottom, fit.ShownW, fit.ShownH);
  glScissor(fit.OffsetX, bottom, fit.ShownW, fit.ShownH);
  frameBox_ = {fit.OffsetX, bottom, fit.OffsetX + fit.ShownW, bottom + fit.ShownH};
  grid_.OffsetX = fit.OffsetX;
  grid_.ScaleX = double(fit.ShownW) / fit.FrameW;
  grid_.OffsetY = fit.WindowH - fit.OffsetY;  // GL counts rows from the bottom
  grid_.ScaleY = -double(fit.ShownH) / fit.FrameH;
  glEnable(GL_SCISSOR_TEST);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, fit.FrameW, fit.FrameH, 0.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

// Fills the frame with a colour; the bars beside a letterboxed frame stay black.
void GlPainter::Clear(uint8_t r, uint8_t g, uint8_t b) {
  DrawGathered();
  ScissorFrame();
  PrepareAhead();
  if (fit_.Letterboxed()) {
    // A swap may leave the back buffer undefined, bars included.
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
  }
  glClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

// Switches between alpha test, alpha blending and opaque drawing when the mode changes.
void GlPainter::UseBlend(int blend) {
  if (blend == blend_) return;
  blend_ = blend;
  if (blend == BlendAlpha) {
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  } else if (blend == BlendAlphaTest) {
    glDisable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GEQUAL, 0.5f);
  } else {
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
  }
}

// Binds a picture's texture, uploading it the first time this context draws it;
// false when the picture has no pixels to upload.
bool GlPainter::BindPicture(const Image& picture) {
  if (picture.Texture != 0 && picture.TextureGeneration == generation_) {
    glBindTexture(GL_TEXTURE_2D, picture.Texture);
    return true;
  }
  if (picture.Pixels.size() < size_t(picture.Width) * size_t(picture.Height) * 4) return false;
  // Pictures: bilinear, clamped, no mipmaps.
  picture.Texture = NewTexture(GL_LINEAR, GL_LINEAR);
  picture.TextureGeneration = generation_;
  // GL turns RGBA into luminance by its red, so a grey picture needs no second copy to become two channels.
  const bool grey = IsGrey(picture.Pixels.data(), size_t(picture.Width) * size_t(picture.Height));
  glTexImage2D(GL_TEXTURE_2D, 0, grey && !wholePictures_ ? GL_LUMINANCE8_ALPHA8 : GL_RGBA8, picture.Width,
               picture.Height, 0, GL_RGBA, GL_UNSIGNED_BYTE, picture.Pixels.data());
  if (!picture.Ink)
    picture.Ink = std::make_shared<InkPlan>(PlanInk(picture.Pixels.data(), picture.Width, picture.Height));
  // The texture holds its own copy now; a picture with a file to decode from again lets its pixels go.
  picture.Pixels.Release();
  return true;
}

// Binds a glyph's alpha texture, uploading it (with its mipmaps when smooth) the first time.
void GlPainter::BindGlyph(const Glyph& glyph, bool smooth) {
  if (glyph.Texture != 0 && glyph.TextureGeneration == generation_) {
    glBindTexture(GL_TEXTURE_2D, glyph.Texture);
    return;
  }
  glyph.Texture = smooth ? NewTexture(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR) : NewTexture(GL_NEAREST, GL_NEAREST);
  glyph.TextureGeneration = generation_;
  glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, glyph.W, glyph.H, 0, GL_ALPHA, GL_UNSIGNED_BYTE, glyph.Alpha.data());
  if (!smooth) return;
  // Each level halves the last, down to 1 x 1, so the chain is complete.
  std::vector<uint8_t> level = glyph.Alpha;
  int w = glyph.W, h = glyph.H;
  for (GLint n = 1; w > 1 || h > 1; ++n) {
    int nw = 0, nh = 0;
    level = HalveAlpha(level, w, h, nw, nh);
    w = nw;
    h = nh;
    glTexImage2D(GL_TEXTURE_2D, n, GL_ALPHA8, w, h, 0, GL_ALPHA, GL_UNSIGNED_BYTE, level.data());
  }
}

// One quad over four corners, with the texture's corners in the same order when textured.
void GlPainter::Quad4(const Point (&p)[4], bool textured) {
  static const float kTexCorner[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  glBegin(GL_QUADS);
  for (int i = 0; i < 4; ++i) {
    if (textured) glTexCoord2f(kTexCorner[i][0], kTexCorner[i][1]);
    glVertex2d(p[i].X, p[i].Y);
  }
  glEnd();
}

// The ellipse inscribed in a (possibly turned) box, as a fan around its centre.
void GlPainter::Oval(const Quad& c) {
  Point centre;
  Point ring[kOvalSides + 1];
  OvalFan(c, centre, ring);
  glBegin(GL_TRIANGLE_FAN);
  glVertex2d(centre.X, centre.Y);
  for (const Point& p : ring) glVertex2d(p.X, p.Y);
  glEnd();
}

// The centre and the closed ring (its first point again at the end) of the fan an oval is drawn as.
void GlPainter::OvalFan(const Quad& c, Point& centre, Point (&ring)[kOvalSides + 1]) {
  // The circle's cosines and sines, worked out once: the same numbers every oval used to work out for itself.
  static const struct UnitCircle {
    double Cos[kOvalSides], Sin[kOvalSides];
    UnitCircle() {
      for (int i = 0; i < kOvalSides; ++i) {
        const double t = 2.0 * M_PI * i / kOvalSides;
        Cos[i] = std::cos(t);
        Sin[i] = std::sin(t);
      }
    }
  } circle;
  const double cx = (c.P[0].X + c.P[2].X) / 2, cy = (c.P[0].Y + c.P[2].Y) / 2;
  const double ax = (c.P[1].X - c.P[0].X) / 2, ay = (c.P[1].Y - c.P[0].Y) / 2;
  const double bx = (c.P[3].X - c.P[0].X) / 2, by = (c.P[3].Y - c.P[0].Y) / 2;
  centre = {cx, cy};
  for (int i = 0; i <= kOvalSides; ++i) {
    const double cs = circle.Cos[i % kOvalSides], sn = circle.Sin[i % kOvalSides];
    ring[i] = {cx + ax * cs + bx * sn, cy + ay * cs + by * sn};
  }
}

// Carries out one drawing call whose corners are already in frame pixels: pictures and shapes are gathered
// until the frame ends or text comes; text, and everything drawn the plain way, goes to GL at once.
void GlPainter::Draw(const DrawCall& call) {
  if (!wholePictures_ && call.What != DrawCall::Kind::Text) {
    if (call.What == DrawCall::Kind::Image)
      GatherPicture(call);
    else
      GatherShape(call);
    return;
  }
  DrawGathered();
  ScissorFrame();
  UseBlend(call.Blend);
  glColor4ub(call.R, call.G, call.B, call.Alpha);
  UseTexture(call.What == DrawCall::Kind::Image || call.What == DrawCall::Kind::Text);
  switch (call.What) {
    case DrawCall::Kind::Rect: Quad4(call.Corners.P, false); break;
    case DrawCall::Kind::Oval: Oval(call.Corners); break;
    case DrawCall::Kind::Image:
      if (!call.Picture || call.Picture->Width <= 0 || call.Picture->Height <= 0 || !BindPicture(*call.Picture)) return;
      Quad4(call.Corners.P, true);
      break;
    case DrawCall::Kind::Text: {
      if (!call.TextFont) return;
      const Font& font = *call.TextFont;
      // The pen runs along the local x axis; each glyph box hangs from the line top.
      int pen = 0;
      for (const char ch : call.Text) {
        const Glyph& glyph = font.Glyphs[static_cast<unsigned char>(ch)];
        if (!glyph.Present) continue;
        if (glyph.W > 0 && glyph.H > 0 && glyph.Alpha.size() >= size_t(glyph.W) * size_t(glyph.H)) {
          BindGlyph(glyph, font.Smooth);
          const double x0 = pen + glyph.X, y0 = glyph.Y;
          const double x1 = x0 + glyph.W, y1 = y0 + glyph.H;
          const Point box[4] = {call.Placement.Map(x0, y0), call.Placement.Map(x1, y0), call.Placement.Map(x1, y1),
                                call.Placement.Map(x0, y1)};
          Quad4(box, true);
        }
        pen += glyph.Advance;
      }
      break;
    }
  }
}

// Gathers a flat rectangle or oval as triangles over the corners GL would be given, unless it covers no pixel.
void GlPainter::GatherShape(const DrawCall& call) {
  const size_t firstIndex = shapes_.Indices().size(), firstVertex = shapes_.Positions().size() / 2;
  const ShapeBatch::Colour colour = ShapeBatch::Colour::FromBytes(call.R, call.G, call.B, call.Alpha);
  if (call.What == DrawCall::Kind::Rect) {
    shapes_.AddQuad(call.Corners.P, colour);
  } else {
    Point centre;
    Point ring[kOvalSides + 1];
    OvalFan(call.Corners, centre, ring);
    if (ClearlyConvex(ring, kOvalSides))
      shapes_.AddConvexSampled(ring, kOvalSides, colour, grid_);
    else
      shapes_.AddFanSampled(centre, ring, kOvalSides + 1, colour, grid_);
  }
  const size_t count = shapes_.Indices().size() - firstIndex;
  if (count == 0) return;
  const std::vector<float>& position = shapes_.Positions();
  double minX = position[firstVertex * 2], maxX = minX, minY = position[firstVertex * 2 + 1], maxY = minY;
  for (size_t v = firstVertex; v < position.size() / 2; ++v) {
    minX = std::min(minX, double(position[v * 2]));
    maxX = std::max(maxX, double(position[v * 2]));
    minY = std::min(minY, double(position[v * 2 + 1]));
    maxY = std::max(maxY, double(position[v * 2 + 1]));
  }
  // A pixel to spare: the corners reach GL in single precision.
  const PixelBox reach = WindowPixels(minX, minY, maxX, maxY, 1);
  Gathered shape;
  shape.Blend = call.Blend;
  shape.Rectangle = call.What == DrawCall::Kind::Rect;
  shape.First = uint32_t(firstIndex);
  shape.Count = uint32_t(count);
  shape.Run = order_.Add({nullptr, call.Blend}, &reach, 1);
  gathered_.push_back(shape);
}

// Gathers a picture, uploading it the first time: with blending or the alpha test only over the window pixels
// its ink can reach, since a transparent pixel leaves the screen as it was; opaque, over its whole quad.
void GlPainter::GatherPicture(const DrawCall& call) {
  const Image* picture = call.Picture;
  if (!picture || picture->Width <= 0 || picture->Height <= 0 || !BindPicture(*picture)) return;
  for (const Point& p : call.Corners.P)
    if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return;  // no quad to draw
  const PixelBox whole = WindowBox(call, {0, 0, picture->Width, picture->Height});
  if (whole.Empty()) return;  // off the frame
  Gathered drawn;
  drawn.Texture = picture->Texture;
  drawn.Blend = call.Blend;
  drawn.R = call.R;
  drawn.G = call.G;
  drawn.B = call.B;
  drawn.Alpha = call.Alpha;
  drawn.Corners = call.Corners;
  drawn.First = uint32_t(gatheredBoxes_.size());
  if (picture->Ink && (call.Blend == BlendAlpha || call.Blend == BlendAlphaTest) &&
      !PlanInkBoxes(call, *picture->Ink, whole))
    return;  // no ink: blending changes nothing
  drawn.Count = uint32_t(gatheredBoxes_.size() - drawn.First);
  // Its scissor boxes, or its whole quad with a pixel to spare: the corners reach GL in single precision.
  const PixelBox reach{whole.X0 - 1, whole.Y0 - 1, whole.X1 + 1, whole.Y1 + 1};
  const DrawOrder::State state{reinterpret_cast<const void*>(uintptr_t(drawn.Texture)), call.Blend};
  drawn.Run =
      drawn.Count > 0 ? order_.Add(state, &gatheredBoxes_[drawn.First], drawn.Count) : order_.Add(state, &reach, 1);
  gathered_.push_back(drawn);
}

// Draws everything gathered, run after run and in the order gathered within each run, and forgets it.
void GlPainter::DrawGathered() {
  const size_t count = gathered_.size();
  if (count > 0) {
    // Which gathered draw comes where: a stable counting sort by run.
    runStart_.assign(order_.Runs() + 1, 0);
    for (const Gathered& g : gathered_) ++runStart_[g.Run + 1];
    for (size_t r = 1; r < runStart_.size(); ++r) runStart_[r] += runStart_[r - 1];
    drawOrder_.resize(count);
    for (size_t i = 0; i < count; ++i) drawOrder_[runStart_[gathered_[i].Run]++] = uint32_t(i);
    glEnableClientState(GL_VERTEX_ARRAY);
    GLuint bound = 0;
    for (size_t k = 0; k < count;) {
      const Gathered& first = gathered_[drawOrder_[k]];
      UseBlend(first.Blend);
      if (first.Texture == 0) {
        k = DrawShapes(k);
      } else {
        DrawPicture(first, bound);
        ++k;
      }
    }
    glDisableClientState(GL_VERTEX_ARRAY);
  }
  gathered_.clear();
  gatheredBoxes_.clear();
  shapes_.Clear();
  order_.Clear();
}

// Draws the gathered shapes from drawOrder_[k] on that are of the same run and all rectangles or all ovals, as
// one list of triangles: llvmpipe takes a list of whole rectangles on its rectangle path, so ovals do not
// share a list with them. Returns where the next draw starts.
size_t GlPainter::DrawShapes(size_t k) {
  const Gathered& first = gathered_[drawOrder_[k]];
  runIndices_.clear();
  for (; k < gathered_.size(); ++k) {
    const Gathered& shape = gathered_[drawOrder_[k]];
    if (shape.Run != first.Run || shape.Rectangle != first.Rectangle) break;
    const uint32_t* index = shapes_.Indices().data() + shape.First;
    runIndices_.insert(runIndices_.end(), index, index + shape.Count);
  }
  ScissorFrame();
  UseTexture(false);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(2, GL_FLOAT, 0, shapes_.Positions().data());
  glColorPointer(4, GL_FLOAT, 0, shapes_.Colours().data());
  glDrawElements(GL_TRIANGLES, GLsizei(runIndices_.size()), GL_UNSIGNED_INT, runIndices_.data());
  glDisableClientState(GL_COLOR_ARRAY);
  return k;
}

// Draws a gathered picture's quad over each of its scissor boxes, or once over the frame. Each quad is a draw of
// its own: the GL would join quads drawn one after another between glBegin and glEnd into one draw, and llvmpipe
// fills a draw of several quads a little differently from the same quads drawn one by one (by 1 in a channel,
// on a few pixels of a crowded frame).
void GlPainter::DrawPicture(const Gathered& picture, GLuint& bound) {
  static const float kTexCorner[8] = {0, 0, 1, 0, 1, 1, 0, 1};
  float corner[8];
  for (int c = 0; c < 4; ++c) {
    corner[c * 2] = float(picture.Corners.P[c].X);
    corner[c * 2 + 1] = float(picture.Corners.P[c].Y);
  }
  UseTexture(true);
  if (picture.Texture != bound) glBindTexture(GL_TEXTURE_2D, picture.Texture);
  bound = picture.Texture;
  glColor4ub(picture.R, picture.G, picture.B, picture.Alpha);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(2, GL_FLOAT, 0, corner);
  glTexCoordPointer(2, GL_FLOAT, 0, kTexCorner);
  if (picture.Count == 0) {
    ScissorFrame();
    glDrawArrays(GL_QUADS, 0, 4);
  }
  for (uint32_t b = picture.First; b < picture.First + picture.Count; ++b) {
    const PixelBox& box = gatheredBoxes_[b];
    glScissor(box.X0, box.Y0, box.X1 - box.X0, box.Y1 - box.Y0);
    scissorMoved_ = true;
    glDrawArrays(GL_QUADS, 0, 4);
  }
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

// A line of white text on a black band across the middle of the frame, over whatever is drawn.
void GlPainter::DrawNotice(const std::string& line, const Font& font) {
  const int bandH = font.LineHeight * 3;
  const int bandTop = (fit_.FrameH - bandH) / 2;
  DrawCall band;
  band.What = DrawCall::Kind::Rect;
  band.R = band.G = band.B = 0;
  band.Blend = 0;  // opaque
  band.Corners = Transform{}.MapBox(0, bandTop, fit_.FrameW, bandTop + bandH);
  Draw(band);
  DrawCall text;
  text.What = DrawCall::Kind::Text;
  text.Text = line;
  text.TextFont = &font;
  text.Blend = BlendAlpha;
  text.Placement.Px = (fit_.FrameW - FontTextWidth(font, line)) / 2;
  text.Placement.Py = bandTop + font.LineHeight;
  Draw(text);
}

// True when every corner of the outline (frame pixels, either winding) turns the same way by so much that the
// renderer's rounding of the corners to its sub-pixel grid cannot make it turn back: then any triangulation of
// the outline covers the same pixels as the fan.
bool GlPainter::ClearlyConvex(const Point* ring, int count) const {
  // A corner at least this far (window pixels) off the line through its neighbours; the grid is 1/256 pixel or finer.
  constexpr double kMargin = 1.0 / 32;
  const double sx = double(fit_.ShownW) / fit_.FrameW, sy = double(fit_.ShownH) / fit_.FrameH;
  int sign = 0;
  for (int i = 0; i < count; ++i) {
    const Point& p0 = ring[(i + count - 1) % count];
    const Point& p1 = ring[i];
    const Point& p2 = ring[(i + 1) % count];
    const double ax = (p2.X - p0.X) * sx, ay = (p2.Y - p0.Y) * sy;
    const double bx = (p1.X - p0.X) * sx, by = (p1.Y - p0.Y) * sy;
    const double cross = ax * by - ay * bx;
    const double chord = std::sqrt(ax * ax + ay * ay);
    if (!(std::fabs(cross) >= kMargin * chord) || chord == 0) return false;  // NaN too
    const int s = cross > 0 ? 1 : -1;
    if (sign == 0) sign = s;
    if (s != sign) return false;
  }
  return true;
}

// Hands GL the draws still gathered; the frame is complete in GL's buffer once this returns.
void GlPainter::Finish() { DrawGathered(); }

GlPainter::~GlPainter() {
  if (currentPainter == this) currentPainter = nullptr;
}

// Finish for the painter drawing in the current context, if any.
void GlPainter::FinishCurrent() {
  if (currentPainter) currentPainter->Finish();
}

// Turns texturing on or off when it changes.
void GlPainter::UseTexture(bool textured) {
  if (textured == textured_) return;
  textured_ = textured;
  if (textured)
    glEnable(GL_TEXTURE_2D);
  else
    glDisable(GL_TEXTURE_2D);
}

// Puts the scissor back on the whole frame after a picture's ink boxes moved it.
void GlPainter::ScissorFrame() {
  if (!scissorMoved_) return;
  scissorMoved_ = false;
  glScissor(frameBox_.X0, frameBox_.Y0, frameBox_.X1 - frameBox_.X0, frameBox_.Y1 - frameBox_.Y0);
}

// The window pixels (GL's rows, bottom up) that a box of picture pixels covers when drawn by the call, rounded out
// to whole pixels and kept within the frame.
PixelBox GlPainter::WindowBox(const DrawCall& call, const PixelBox& box) const {
  const Image& picture = *call.Picture;
  const double x0 = box.X0 - double(picture.HandleX), y0 = box.Y0 - double(picture.HandleY);
  const double x1 = box.X1 - double(picture.HandleX), y1 = box.Y1 - double(picture.HandleY);
  const Quad q = call.Placement.MapBox(x0, y0, x1, y1);
  double minX = q.P[0].X, maxX = minX, minY = q.P[0].Y, maxY = minY;
  for (const Point& p : q.P) {
    minX = std::min(minX, p.X);
    maxX = std::max(maxX, p.X);
    minY = std::min(minY, p.Y);
    maxY = std::max(maxY, p.Y);
  }
  return WindowPixels(minX, minY, maxX, maxY, 0);
}

// The window pixels (GL's rows, bottom up) that a box of frame pixels covers, rounded out to whole pixels and
// by `spare` more, kept within the frame.
PixelBox GlPainter::WindowPixels(double minX, double minY, double maxX, double maxY, int spare) const {
  // Frame pixels to window pixels, as the projection and viewport map them; GL counts rows from the bottom.
  const double sx = double(fit_.ShownW) / fit_.FrameW, sy = double(fit_.ShownH) / fit_.FrameH;
  const double top = fit_.WindowH - fit_.OffsetY;
  auto clamp = [](double v) { return std::isfinite(v) ? std::clamp(v, -kWindowLimit, kWindowLimit) : 0.0; };
  PixelBox w;
  w.X0 = std::max(frameBox_.X0, int(std::floor(clamp(fit_.OffsetX + minX * sx))) - spare);
  w.X1 = std::min(frameBox_.X1, int(std::ceil(clamp(fit_.OffsetX + maxX * sx))) + spare);
  w.Y0 = std::max(frameBox_.Y0, int(std::floor(clamp(top - maxY * sy))) - spare);
  w.Y1 = std::min(frameBox_.Y1, int(std::ceil(clamp(top - minY * sy))) + spare);
  return w;
}

// The scissor boxes that draw a picture's quad only over the window pixels its ink can reach: the whole quad
// each time, cut by a box, so that every pixel drawn gets exactly what drawing the whole quad gives it. The
// boxes do not overlap, so no pixel is blended twice; a pixel outside them lies more than half a picture pixel
// from any ink and would have been left as it was. Appends none when the whole quad is cheaper, and returns
// false when no ink reaches the frame.
bool GlPainter::PlanInkBoxes(const DrawCall& call, const InkPlan& plan, const PixelBox& whole) {
  if (plan.Boxes[0].empty()) return false;
  // A picture this small on the screen costs less drawn whole than any box would add as a draw of its own.
  if (whole.Area() <= kPixelsPerDraw) return true;
  // The fewest boxes unless more save enough pixels to pay for their draws.
  int64_t bestCost = -1;
  for (int k = 1; k <= InkPlan::MaxBoxes; ++k) {
    const std::vector<PixelBox>& planned = plan.Boxes[k - 1];
    if (k > 1 && planned.size() == plan.Boxes[k - 2].size()) continue;  // no more boxes than the plan before
    boxes_.clear();
    for (const PixelBox& box : planned) {
      const PixelBox w = WindowBox(call, box);
      if (!w.Empty()) boxes_.push_back(w);
    }
    std::vector<PixelBox> disjoint = DisjointBoxes(boxes_);
    int64_t cost = 0;
    for (const PixelBox& b : disjoint) cost += b.Area() + kPixelsPerDraw;
    if (bestCost < 0 || cost < bestCost) {
      bestCost = cost;
      chosen_.swap(disjoint);
    }
  }
  if (chosen_.empty()) return false;  // the ink lies off the frame
  // A picture small on the screen is drawn whole: moving the scissor costs a draw, more than the pixels saved.
  if (whole.Area() <= bestCost) return true;
  gatheredBoxes_.insert(gatheredBoxes_.end(), chosen_.begin(), chosen_.end());
  return true;
}

// Uploads the next loaded picture not yet drawn: one a frame, at the frame's start, so that the pictures are
// decoded in the opening screen's idle frames rather than in the frame that first draws each.
void GlPainter::PrepareAhead() {
  const std::vector<std::weak_ptr<Image>>& loaded = LoadedPictures();
  if (prepared_ > loaded.size()) prepared_ = 0;  // the list was pruned
  while (prepared_ < loaded.size()) {
    const ImageRef picture = loaded[prepared_++].lock();
    if (!picture || picture->Width <= 0 || picture->Height <= 0) continue;
    if (int64_t(picture->Width) * picture->Height > kLargestPreparedPixels) {
      // Not a texture ahead, but its hit layers' coverage, which would cost the frame that first tests it
      // tens of milliseconds, is built on a thread of its own meanwhile.
      picture->BuildCoverageAhead();
      continue;
    }
    if (picture->Texture != 0 && picture->TextureGeneration == generation_) continue;
    if (BindPicture(*picture)) return;
  }
}
