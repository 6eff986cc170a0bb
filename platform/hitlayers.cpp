#include "platform/hitlayers.h"

#include <algorithm>
#include <cmath>

#include "platform/backend.h"
#include "platform/numeric.h"

namespace {

constexpr double CoordinateLimit = 1 << 30;

int ClampCoordinate(double v) { return TruncInt(std::clamp(v, -CoordinateLimit, CoordinateLimit)); }

// A registered shape: the inverse of its placement (cell centre -> local
// picture coordinates), its local box size, an optional alpha mask, and the
// range of cells it may cover.
struct Shape {
  double Ux = 0, Uy = 0, U0 = 0;  // u = Ux*x + Uy*y + U0
  double Vx = 0, Vy = 0, V0 = 0;  // v = Vx*x + Vy*y + V0
  double W = 0, H = 0;            // covered: 0 <= u < W and 0 <= v < H
  const Image* Mask = nullptr;
  bool AxisAligned = false;  // and unmasked: it covers every cell of its range
  int MinX = 0, MinY = 0, MaxX = -1, MaxY = -1;  // inclusive; empty when Min > Max
  HitId Id = nullptr;

  bool Empty() const { return MinX > MaxX || MinY > MaxY; }

  bool Covers(int cx, int cy) const {
    const double x = cx + 0.5;
    const double y = cy + 0.5;
    const double u = Ux * x + Uy * y + U0;
    if (!(u >= 0.0 && u < W)) return false;
    const double v = Vx * x + Vy * y + V0;
    if (!(v >= 0.0 && v < H)) return false;
    return !Mask || Mask->AlphaAt(int(u), int(v)) >= 128;
  }

  // Whether the cell lies inside the local box, mask aside.
  bool InBox(int cx, int cy) const {
    const double x = cx + 0.5;
    const double y = cy + 0.5;
    const double u = Ux * x + Uy * y + U0;
    const double v = Vx * x + Vy * y + V0;
    return u >= 0.0 && u < W && v >= 0.0 && v < H;
  }

  // For an unrotated shape u depends on x alone and v on y alone.
  bool InColumn(int cx) const {
    const double u = Ux * (cx + 0.5) + U0;
    return u >= 0.0 && u < W;
  }
  bool InRow(int cy) const {
    const double v = Vy * (cy + 0.5) + V0;
    return v >= 0.0 && v < H;
  }

  // The cells of row cy inside the local box, within [from, to]; false when none.
  // A convex box meets a row in one run, so the conservative ends are trimmed.
  bool RowSpan(int cy, int from, int to, int& first, int& last) const {
    first = from;
    last = to;
    const double y = cy + 0.5;
    double lo = from + 0.5, hi = to + 0.5;
    if (!Clip(Ux, Uy * y + U0, W, lo, hi) || !Clip(Vx, Vy * y + V0, H, lo, hi)) return false;
    first = std::max(from, ClampCell(std::floor(lo - 0.5)));
    last = std::min(to, ClampCell(std::ceil(hi - 0.5)));
    while (first <= last && !InBox(first, cy)) ++first;
    while (last >= first && !InBox(last, cy)) --last;
    return first <= last;
  }

  static int ClampCell(double v) { return ClampCoordinate(v); }

  // Narrows [lo, hi] to where 0 <= k*x + c <= limit (ends kept; trimmed later).
  static bool Clip(double k, double c, double limit, double& lo, double& hi) {
    if (k == 0.0) return c >= 0.0 && c < limit;
    double a = (0.0 - c) / k;
    double b = (limit - c) / k;
    if (a > b) std::swap(a, b);
    lo = std::max(lo, a);
    hi = std::min(hi, b);
    return lo <= hi + 1.0;
  }
};

Shape MakeShape(const Transform& t, double x0, double y0, double w, double h, const Image* mask, HitId id) {
  Shape s;
  s.Id = id;
  s.Mask = mask;
  s.W = w;
  s.H = h;
  const double det = t.Ix * t.Jy - t.Iy * t.Jx;
  if (det == 0.0 || !(w > 0.0) || !(h > 0.0) || !std::isfinite(det)) return s;  // covers nothing
  // Local (dx, dy) -> screen: P + dx*(Ix, Jx) + dy*(Iy, Jy); invert, then shift so u, v start at 0.
  s.Ux = t.Jy / det;
  s.Uy = -t.Iy / det;
  s.U0 = -(s.Ux * t.Px + s.Uy * t.Py) - x0;
  s.Vx = -t.Jx / det;
  s.Vy = t.Ix / det;
  s.V0 = -(s.Vx * t.Px + s.Vy * t.Py) - y0;
  const Quad q = t.MapBox(x0, y0, x0 + w, y0 + h);
  double minX = q.P[0].X, maxX = minX, minY = q.P[0].Y, maxY = minY;
  for (const Point& p : q.P) {
    minX = std::min(minX, p.X);
    maxX = std::max(maxX, p.X);
    minY = std::min(minY, p.Y);
    maxY = std::max(maxY, p.Y);
  }
  // Cells whose centres may lie inside, one cell wider than needed; the world
  // is far smaller than the clamp, which only keeps the loops finite.
  s.MinX = ClampCoordinate(std::floor(minX - 0.5));
  s.MaxX = ClampCoordinate(std::ceil(maxX - 0.5));
  s.MinY = ClampCoordinate(std::floor(minY - 0.5));
  s.MaxY = ClampCoordinate(std::ceil(maxY - 0.5));
  s.AxisAligned = t.IsAxisAligned();
  if (s.AxisAligned) {
    // Columns and rows are independent: trim the range to exactly the covered cells.
    while (s.MinX <= s.MaxX && !s.InColumn(s.MinX)) ++s.MinX;
    while (s.MaxX >= s.MinX && !s.InColumn(s.MaxX)) --s.MaxX;
    while (s.MinY <= s.MaxY && !s.InRow(s.MinY)) ++s.MinY;
    while (s.MaxY >= s.MinY && !s.InRow(s.MaxY)) --s.MaxY;
  }
  return s;
}

bool Overlap(const Shape& a, const Shape& b) {
  const int x0 = std::max(a.MinX, b.MinX), x1 = std::min(a.MaxX, b.MaxX);
  const int y0 = std::max(a.MinY, b.MinY), y1 = std::min(a.MaxY, b.MaxY);
  if (x0 > x1 || y0 > y1) return false;
  const bool aFull = a.AxisAligned && !a.Mask;
  const bool bFull = b.AxisAligned && !b.Mask;
  if (aFull && bFull) return true;
  // Only the rows and columns both shapes may cover are examined.
  for (int cy = y0; cy <= y1; ++cy) {
    int af = x0, al = x1, bf = x0, bl = x1;
    if (!a.AxisAligned && !a.RowSpan(cy, x0, x1, af, al)) continue;
    if (!b.AxisAligned && !b.RowSpan(cy, x0, x1, bf, bl)) continue;
    const int from = std::max(af, bf), to = std::min(al, bl);
    if (from > to) continue;
    if (!a.Mask && !b.Mask) return true;
    for (int cx = from; cx <= to; ++cx)
      if ((!a.Mask || a.Covers(cx, cy)) && (!b.Mask || b.Covers(cx, cy))) return true;
  }
  return false;
}

// One layer: shapes oldest first, with their cell ranges kept apart as well so
// the bounding-box reject runs over packed integers.
struct Layer {
  std::vector<Shape> Shapes;
  std::vector<int> MinX, MinY, MaxX, MaxY;
  void Clear() {
    Shapes.clear();
    MinX.clear();
    MinY.clear();
    MaxX.clear();
    MaxY.clear();
  }
  void Add(const Shape& s) {
    Shapes.push_back(s);
    MinX.push_back(s.MinX);
    MinY.push_back(s.MinY);
    MaxX.push_back(s.MaxX);
    MaxY.push_back(s.MaxY);
  }
};

constexpr int LayerCount = 32;
Layer Layers[LayerCount];
std::vector<uint8_t> Candidates;  // scratch: which entries pass the box reject

void Collect(const Layer& layer, const Shape& probe, HitList& found) {
  const size_t n = layer.Shapes.size();
  if (n == 0) return;
  if (Candidates.size() < n) Candidates.resize(n);
  const int qx0 = probe.MinX, qx1 = probe.MaxX, qy0 = probe.MinY, qy1 = probe.MaxY;
  const int* minX = layer.MinX.data();
  const int* minY = layer.MinY.data();
  const int* maxX = layer.MaxX.data();
  const int* maxY = layer.MaxY.data();
  uint8_t* pass = Candidates.data();
  for (size_t i = 0; i < n; ++i)  // branch-free, so the compiler vectorises it
    pass[i] = uint8_t((minX[i] <= qx1) & (maxX[i] >= qx0) & (minY[i] <= qy1) & (maxY[i] >= qy0));
  for (size_t i = n; i-- > 0;)
    if (pass[i] && Overlap(probe, layer.Shapes[i])) found.push_back(layer.Shapes[i].Id);
}

HitList TestAndRegister(const Shape& shape, uint32_t testMask, uint32_t writeMask) {
  HitList found;
  if (!shape.Empty()) {
    for (int bit = 0; bit < LayerCount; ++bit)
      if (testMask & (1u << bit)) Collect(Layers[bit], shape, found);
  }
  for (int bit = 0; bit < LayerCount; ++bit)
    if (writeMask & (1u << bit)) Layers[bit].Add(shape);
  return found;
}

}  // namespace

void HitList::push_back(HitId id) {
  if (count_ < Inline)
    inline_[count_] = id;
  else
    overflow_.push_back(id);
  ++count_;
}

void HitList::clear() {
  count_ = 0;
  overflow_.clear();
}

void ClearHitLayers(uint32_t mask) {
  for (int bit = 0; bit < LayerCount; ++bit)
    if (mask == 0 || (mask & (1u << bit))) Layers[bit].Clear();
}

HitList HitRect(int x, int y, int w, int h, uint32_t testMask, uint32_t writeMask, HitId id) {
  const Transform t = CurrentTransform(x, y);
  return TestAndRegister(MakeShape(t, 0, 0, w, h, nullptr, id), testMask, writeMask);
}

HitList HitImage(const ImageRef& image, int x, int y, int, uint32_t testMask, uint32_t writeMask, HitId id) {
  if (!image) return TestAndRegister(Shape{}, testMask, writeMask);
  const Transform t = CurrentTransform(x, y);
  Shape s = MakeShape(t, -double(image->HandleX), -double(image->HandleY), image->Width, image->Height,
                      image->HasAlpha ? image.get() : nullptr, id);
  return TestAndRegister(s, testMask, writeMask);
}
