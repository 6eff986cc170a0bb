/** @file shape_batch.cpp ShapeBatch: quads and fans turned into the triangles GL would make of them. */
#include "platform/shape_batch.h"

#include <algorithm>
#include <cmath>

ShapeBatch::Colour ShapeBatch::Colour::FromBytes(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  // The conversion GL applies to glColor4ub, so that a batched shape gets the colour an immediate one would.
  return {float(r) / 255.0f, float(g) / 255.0f, float(b) / 255.0f, float(a) / 255.0f};
}

uint32_t ShapeBatch::AddVertex(const Point& p, const Colour& colour) {
  const uint32_t index = uint32_t(positions_.size() / 2);
  positions_.push_back(float(p.X));
  positions_.push_back(float(p.Y));
  colours_.insert(colours_.end(), {colour.R, colour.G, colour.B, colour.A});
  return index;
}

void ShapeBatch::AddQuad(const Point (&corners)[4], const Colour& colour) {
  uint32_t v[4];
  for (int i = 0; i < 4; ++i) v[i] = AddVertex(corners[i], colour);
  indices_.insert(indices_.end(), {v[0], v[1], v[3], v[1], v[2], v[3]});
}

bool ShapeBatch::HoldsNoSample(const Point& a, const Point& b, const Point& c, const PixelGrid& grid) {
  // Corners are rounded to 1/256 pixel or finer; frame pixels become window pixels in single precision.
  constexpr double kMargin = 1.0 / 64;
  constexpr double kFar = 1 << 15;
  auto noSampleBetween = [](double p, double q, double r) {
    const double lo = std::min({p, q, r}) - kMargin, hi = std::max({p, q, r}) + kMargin;
    // The first sample at or above lo is ceil(lo - 0.5) + 0.5.
    return std::ceil(lo - 0.5) + 0.5 > hi;
  };
  const double x[3] = {grid.OffsetX + grid.ScaleX * a.X, grid.OffsetX + grid.ScaleX * b.X,
                       grid.OffsetX + grid.ScaleX * c.X};
  const double y[3] = {grid.OffsetY + grid.ScaleY * a.Y, grid.OffsetY + grid.ScaleY * b.Y,
                       grid.OffsetY + grid.ScaleY * c.Y};
  // Corners not a number or far beyond any window are left to the renderer.
  for (int i = 0; i < 3; ++i)
    if (!(std::fabs(x[i]) < kFar && std::fabs(y[i]) < kFar)) return false;
  return noSampleBetween(x[0], x[1], x[2]) || noSampleBetween(y[0], y[1], y[2]);
}

void ShapeBatch::AddFanSampled(const Point& centre, const Point* ring, int count, const Colour& colour,
                               const PixelGrid& grid) {
  uint32_t c = 0, previous = 0;
  bool centreAdded = false, previousAdded = false;
  for (int i = 1; i < count; ++i) {
    if (HoldsNoSample(centre, ring[i - 1], ring[i], grid)) {
      previousAdded = false;
      continue;
    }
    if (!centreAdded) c = AddVertex(centre, colour);
    centreAdded = true;
    if (!previousAdded) previous = AddVertex(ring[i - 1], colour);
    const uint32_t next = AddVertex(ring[i], colour);
    indices_.insert(indices_.end(), {c, previous, next});
    previous = next;
    previousAdded = true;
  }
}

void ShapeBatch::AddConvexSampled(const Point* ring, int count, const Colour& colour, const PixelGrid& grid) {
  if (count < 3) return;  // no triangle
  // The corners still in the outline, as a ring of links.
  std::vector<int>& next = nextScratch_;
  std::vector<int>& prev = prevScratch_;
  next.resize(size_t(count));
  prev.resize(size_t(count));
  for (int i = 0; i < count; ++i) {
    next[size_t(i)] = (i + 1) % count;
    prev[size_t(i)] = (i + count - 1) % count;
  }
  int left = count, at = 0;
  // Round the outline until a whole turn cuts nothing more.
  for (int sinceCut = 0; left > 3 && sinceCut < left;) {
    const int p = prev[size_t(at)], n = next[size_t(at)];
    if (HoldsNoSample(ring[p], ring[at], ring[n], grid)) {
      next[size_t(p)] = n;
      prev[size_t(n)] = p;
      --left;
      sinceCut = 0;
      at = p;  // the corner before may have become an ear
    } else {
      ++sinceCut;
      at = n;
    }
  }
  // What is left, in outline order, as a strip walked inwards from both ends.
  std::vector<int>& order = orderScratch_;
  order.clear();
  for (int i = at, k = 0; k < left; ++k, i = next[size_t(i)]) order.push_back(i);
  std::vector<uint32_t>& index = indexScratch_;
  index.assign(size_t(left), UINT32_MAX);  // vertices are added only for triangles drawn
  auto vertex = [&](int k) {
    if (index[size_t(k)] == UINT32_MAX) index[size_t(k)] = AddVertex(ring[order[size_t(k)]], colour);
    return index[size_t(k)];
  };
  int a = 0, b = 1, lo = 2, hi = left - 1;
  for (bool fromTop = true; lo <= hi; fromTop = !fromTop) {
    const int c = fromTop ? hi-- : lo++;
    if (!HoldsNoSample(ring[order[size_t(a)]], ring[order[size_t(b)]], ring[order[size_t(c)]], grid))
      indices_.insert(indices_.end(), {vertex(a), vertex(b), vertex(c)});
    a = b;
    b = c;
  }
}

void ShapeBatch::Clear() {
  positions_.clear();
  colours_.clear();
  indices_.clear();
}
