/** @file hitlayers.cpp The hit layers' shapes, cells and buckets, which HitRect and HitImage register and query. */
#include "platform/hitlayers.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>

#include "platform/numeric.h"
#include "platform/transform.h"

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
  const Image::Coverage* Opaque = nullptr;       // the mask's covered pixels, counted
  bool AxisAligned = false;                      // and unmasked: it covers every cell of its range
  bool UnitScale = false;                        // axis-aligned at scale 1 or mirrored: one cell per mask pixel
  int MinX = 0, MinY = 0, MaxX = -1, MaxY = -1;  // inclusive; empty when Min > Max
  HitId Id = nullptr;

  bool Empty() const { return MinX > MaxX || MinY > MaxY; }

  // Local coordinates of a cell centre; every test computes them this one way.
  double RowU(int cy) const { return Uy * (cy + 0.5) + U0; }
  double RowV(int cy) const { return Vy * (cy + 0.5) + V0; }
  double U(int cx, double rowU) const { return rowU + Ux * (cx + 0.5); }
  double V(int cx, double rowV) const { return rowV + Vx * (cx + 0.5); }

  bool Covers(int cx, int cy) const {
    const double u = U(cx, RowU(cy));
    if (!(u >= 0.0 && u < W)) return false;
    const double v = V(cx, RowV(cy));
    if (!(v >= 0.0 && v < H)) return false;
    return !Mask || Opaque->Solid()[size_t(int(v)) * size_t(Mask->Width) + size_t(int(u))];
  }

  // Whether any cell from..to of row cy, all inside the local box, lies on an opaque pixel.
  bool AnyOpaqueInRow(int cy, int from, int to) const {
    const double rowU = RowU(cy), rowV = RowV(cy);
    const uint8_t* solid = Opaque->Solid();
    const size_t width = size_t(Mask->Width);
    for (int cx = from; cx <= to; ++cx)
      if (solid[size_t(int(V(cx, rowV))) * width + size_t(int(U(cx, rowU)))]) return true;
    return false;
  }

  // Whether the cell lies inside the local box, mask aside.
  bool InBox(int cx, int cy) const {
    const double u = U(cx, RowU(cy));
    const double v = V(cx, RowV(cy));
    return u >= 0.0 && u < W && v >= 0.0 && v < H;
  }

  // For an unrotated shape u depends on x alone and v on y alone.
  bool InColumn(int cx) const {
    const double u = U(cx, U0);
    return u >= 0.0 && u < W;
  }
  bool InRow(int cy) const {
    const double v = RowV(cy);
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

  // Narrows the cells first..last of row cy to those whose centres may lie over
  // an opaque pixel, by the mask's bounding octagon (conservative by a cell).
  void ClipToOpaque(int cy, int& first, int& last) const {
    const double rowU = RowU(cy), rowV = RowV(cy);
    const double slope[4] = {Ux, Vx, Ux + Vx, Ux - Vx};
    const double offset[4] = {rowU, rowV, rowU + rowV, rowU - rowV};
    double lo = first + 0.5, hi = last + 0.5;
    for (int d = 0; d < 4; ++d) {
      if (!ClipClosed(slope[d], offset[d], Opaque->OctagonMin[d], Opaque->OctagonMax[d], lo, hi)) {
        last = first - 1;
        return;
      }
    }
    first = std::max(first, ClampCell(std::floor(lo - 0.5)));
    last = std::min(last, ClampCell(std::ceil(hi - 0.5)));
  }

  // Narrows [lo, hi] to where lower <= k*x + c <= upper.
  static bool ClipClosed(double k, double c, double lower, double upper, double& lo, double& hi) {
    if (k == 0.0) return c >= lower && c <= upper;
    double a = (lower - c) / k;
    double b = (upper - c) / k;
    if (a > b) std::swap(a, b);
    lo = std::max(lo, a);
    hi = std::min(hi, b);
    return lo <= hi + 1.0;
  }

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
  const double left = t.Px + x0, top = t.Py + y0;
  if (!mask && t.Ix == 1.0 && t.Jy == 1.0 && t.Iy == 0.0 && t.Jx == 0.0 && left == std::floor(left) &&
      top == std::floor(top) && w == std::floor(w) && h == std::floor(h) && std::fabs(left) < CoordinateLimit &&
      std::fabs(top) < CoordinateLimit && w < CoordinateLimit && h < CoordinateLimit) {
    // A plain rectangle on whole units, the common case: it covers exactly its own cells.
    s.Ux = 1.0;
    s.U0 = -left;
    s.Vy = 1.0;
    s.V0 = -top;
    s.AxisAligned = s.UnitScale = true;
    s.MinX = int(left);
    s.MinY = int(top);
    s.MaxX = int(left + w) - 1;
    s.MaxY = int(top + h) - 1;
    return s;
  }
  // Local (dx, dy) -> screen: P + dx*(Ix, Jx) + dy*(Iy, Jy); invert, then shift so u, v start at 0.
  s.Ux = t.Jy / det;
  s.Uy = -t.Iy / det;
  s.U0 = -(s.Ux * t.Px + s.Uy * t.Py) - x0;
  s.Vx = -t.Jx / det;
  s.Vy = t.Ix / det;
  s.V0 = -(s.Vx * t.Px + s.Vy * t.Py) - y0;
  // A masked picture can only cover cells over its opaque pixels.
  double bx0 = 0, by0 = 0, bx1 = w, by1 = h;
  if (mask) {
    s.Opaque = &mask->Opaque();
    if (s.Opaque->MinX > s.Opaque->MaxX) return s;  // nothing opaque: covers nothing
    bx0 = s.Opaque->MinX;
    by0 = s.Opaque->MinY;
    bx1 = s.Opaque->MaxX + 1;
    by1 = s.Opaque->MaxY + 1;
  }
  double minX, maxX, minY, maxY;
  if (mask && !t.IsAxisAligned()) {
    // A rotated picture is bounded by its turned octagon, much tighter than its turned box.
    const Point first = t.Map(x0 + s.Opaque->Octagon[0].first, y0 + s.Opaque->Octagon[0].second);
    minX = maxX = first.X;
    minY = maxY = first.Y;
    for (const auto& corner : s.Opaque->Octagon) {
      const Point p = t.Map(x0 + corner.first, y0 + corner.second);
      minX = std::min(minX, p.X);
      maxX = std::max(maxX, p.X);
      minY = std::min(minY, p.Y);
      maxY = std::max(maxY, p.Y);
    }
  } else {
    const Quad q = t.MapBox(x0 + bx0, y0 + by0, x0 + bx1, y0 + by1);
    minX = maxX = q.P[0].X;
    minY = maxY = q.P[0].Y;
    for (const Point& p : q.P) {
      minX = std::min(minX, p.X);
      maxX = std::max(maxX, p.X);
      minY = std::min(minY, p.Y);
      maxY = std::max(maxY, p.Y);
    }
  }
  // Cells whose centres may lie inside, one cell wider than needed; the world
  // is far smaller than the clamp, which only keeps the loops finite.
  s.MinX = ClampCoordinate(std::floor(minX - 0.5));
  s.MaxX = ClampCoordinate(std::ceil(maxX - 0.5));
  s.MinY = ClampCoordinate(std::floor(minY - 0.5));
  s.MaxY = ClampCoordinate(std::ceil(maxY - 0.5));
  s.AxisAligned = t.IsAxisAligned();
  s.UnitScale = s.AxisAligned && std::fabs(s.Ux) == 1.0 && std::fabs(s.Vy) == 1.0;
  if (s.AxisAligned) {
    // Columns and rows are independent: trim the range to exactly the covered cells.
    while (s.MinX <= s.MaxX && !s.InColumn(s.MinX)) ++s.MinX;
    while (s.MaxX >= s.MinX && !s.InColumn(s.MaxX)) --s.MaxX;
    while (s.MinY <= s.MaxY && !s.InRow(s.MinY)) ++s.MinY;
    while (s.MaxY >= s.MinY && !s.InRow(s.MaxY)) --s.MaxY;
  }
  return s;
}

// Whether an unrotated, unscaled masked picture has an opaque pixel under the
// cells x0..x1, y0..y1 (inside its range): one look at each row's runs.
bool OpaqueUnder(const Shape& s, int x0, int y0, int x1, int y1) {
  int u0 = int(std::floor(s.Ux * (x0 + 0.5) + s.U0)), u1 = int(std::floor(s.Ux * (x1 + 0.5) + s.U0));
  int v0 = int(std::floor(s.Vy * (y0 + 0.5) + s.V0)), v1 = int(std::floor(s.Vy * (y1 + 0.5) + s.V0));
  if (u0 > u1) std::swap(u0, u1);
  if (v0 > v1) std::swap(v0, v1);
  u0 = std::max(u0, 0);
  v0 = std::max(v0, 0);
  u1 = std::min(u1, s.Mask->Width - 1);
  v1 = std::min(v1, s.Mask->Height - 1);
  return u0 <= u1 && v0 <= v1 && s.Opaque->Any(u0, v0, u1, v1);
}

bool Overlap(const Shape& a, const Shape& b) {
  const int x0 = std::max(a.MinX, b.MinX), x1 = std::min(a.MaxX, b.MaxX);
  const int y0 = std::max(a.MinY, b.MinY), y1 = std::min(a.MaxY, b.MaxY);
  if (x0 > x1 || y0 > y1) return false;
  const bool aFull = a.AxisAligned && !a.Mask;
  const bool bFull = b.AxisAligned && !b.Mask;
  if (aFull && bFull) return true;
  // A rectangle against a picture drawn at its own size: no pixel walk needed.
  if (aFull && b.Mask && b.UnitScale) return OpaqueUnder(b, x0, y0, x1, y1);
  if (bFull && a.Mask && a.UnitScale) return OpaqueUnder(a, x0, y0, x1, y1);
  // Only the rows and columns both shapes may cover are examined.
  for (int cy = y0; cy <= y1; ++cy) {
    int af = x0, al = x1, bf = x0, bl = x1;
    if (!a.AxisAligned && !a.RowSpan(cy, x0, x1, af, al)) continue;
    if (!b.AxisAligned && !b.RowSpan(cy, x0, x1, bf, bl)) continue;
    const int from = std::max(af, bf), to = std::min(al, bl);
    if (from > to) continue;
    if (!a.Mask && !b.Mask) return true;
    // One masked side (a rotated picture against a rectangle): a tight walk over its pixels.
    if (!b.Mask && !a.AxisAligned) {
      int f = from, l = to;
      a.ClipToOpaque(cy, f, l);
      if (f <= l && a.AnyOpaqueInRow(cy, f, l)) return true;
      continue;
    }
    if (!a.Mask && !b.AxisAligned) {
      int f = from, l = to;
      b.ClipToOpaque(cy, f, l);
      if (f <= l && b.AnyOpaqueInRow(cy, f, l)) return true;
      continue;
    }
    for (int cx = from; cx <= to; ++cx)
      if ((!a.Mask || a.Covers(cx, cy)) && (!b.Mask || b.Covers(cx, cy))) return true;
  }
  return false;
}

// One layer: shapes oldest first, and a coarse grid over them (a Spatial
// Partition) so a query looks only at shapes near it. A full layer of the last
// stages holds a thousand boxes; a query near one of them sees a handful.
constexpr int BucketShift = 8;                          // grid squares of 256 units
constexpr int GridReach = 8192;                         // the grid covers -8192 .. 8191 both ways
constexpr int GridSide = 2 * GridReach >> BucketShift;  // 64 squares a side
constexpr int64_t MaxBucketsPerShape = 64;              // larger shapes are kept on a list of their own
constexpr size_t LinearScanBelow = 32;                  // small layers are simply scanned

int64_t BucketSpan(const Shape& s) {
  return ((int64_t(s.MaxX >> BucketShift) - (s.MinX >> BucketShift)) + 1) *
         ((int64_t(s.MaxY >> BucketShift) - (s.MinY >> BucketShift)) + 1);
}

// Whether the shape lies on the grid and is small enough to be filed in its squares.
bool OnGrid(const Shape& s) {
  return s.MinX >= -GridReach && s.MaxX < GridReach && s.MinY >= -GridReach && s.MaxY < GridReach &&
         BucketSpan(s) <= MaxBucketsPerShape;
}

int Square(int v) { return (v + GridReach) >> BucketShift; }

struct Layer {
  std::vector<Shape> Shapes;
  std::vector<std::vector<uint32_t>> Buckets;  // GridSide x GridSide, made on first use, emptied each frame
  std::vector<std::vector<uint32_t>*> Filled;  // buckets holding shapes since the last clear
  std::vector<uint32_t> Wide;                  // shapes off the grid or spanning too many squares
  std::vector<uint32_t> Stamp;                 // last query that listed each shape

  void Clear() {
    Shapes.clear();
    for (auto* bucket : Filled) bucket->clear();
    Filled.clear();
    Wide.clear();
    Stamp.clear();
  }

  void Add(const Shape& s) {
    const uint32_t index = uint32_t(Shapes.size());
    Shapes.push_back(s);
    Stamp.push_back(0);
    if (s.Empty()) return;
    if (!OnGrid(s)) {
      Wide.push_back(index);
      return;
    }
    if (Buckets.empty()) Buckets.resize(size_t(GridSide) * GridSide);
    for (int bx = Square(s.MinX); bx <= Square(s.MaxX); ++bx) {
      for (int by = Square(s.MinY); by <= Square(s.MaxY); ++by) {
        auto& bucket = Buckets[size_t(by) * GridSide + size_t(bx)];
        if (bucket.empty()) Filled.push_back(&bucket);
        bucket.push_back(index);
      }
    }
  }
};

constexpr int LayerCount = 32;
Layer Layers[LayerCount];
std::vector<uint32_t> Candidates;  // scratch, reused: no allocation per query in the steady state
uint32_t QueryStamp = 0;

bool BoxesMeet(const Shape& a, const Shape& b) {
  return a.MinX <= b.MaxX && b.MinX <= a.MaxX && a.MinY <= b.MaxY && b.MinY <= a.MaxY;
}

void Collect(Layer& layer, const Shape& probe, HitList& found) {
  const size_t n = layer.Shapes.size();
  if (n == 0) return;
  if (n < LinearScanBelow || BucketSpan(probe) > MaxBucketsPerShape) {
    for (size_t i = n; i-- > 0;)
      if (BoxesMeet(probe, layer.Shapes[i]) && Overlap(probe, layer.Shapes[i])) found.push_back(layer.Shapes[i].Id);
    return;
  }
  // Gather the shapes of the buckets under the probe once each, then test them newest first.
  if (++QueryStamp == 0) {
    for (Layer& l : Layers) std::fill(l.Stamp.begin(), l.Stamp.end(), 0);
    QueryStamp = 1;
  }
  Candidates.clear();
  auto gather = [&](uint32_t index) {
    if (layer.Stamp[index] == QueryStamp) return;
    layer.Stamp[index] = QueryStamp;
    if (BoxesMeet(probe, layer.Shapes[index])) Candidates.push_back(index);
  };
  for (uint32_t index : layer.Wide) gather(index);
  if (!layer.Buckets.empty()) {
    // Only the squares under the probe that are on the grid; what lies off it is on the wide list.
    const int x0 = Square(std::max(probe.MinX, -GridReach)), x1 = Square(std::min(probe.MaxX, GridReach - 1));
    const int y0 = Square(std::max(probe.MinY, -GridReach)), y1 = Square(std::min(probe.MaxY, GridReach - 1));
    for (int bx = x0; bx <= x1; ++bx)
      for (int by = y0; by <= y1; ++by)
        for (uint32_t index : layer.Buckets[size_t(by) * GridSide + size_t(bx)]) gather(index);
  }
  std::sort(Candidates.begin(), Candidates.end(), std::greater<uint32_t>());
  for (uint32_t index : Candidates)
    if (Overlap(probe, layer.Shapes[index])) found.push_back(layer.Shapes[index].Id);
}

HitList TestAndRegister(const Shape& shape, uint32_t testMask, uint32_t writeMask) {
  HitList found;
  // Layers are visited from the lowest bit upward, only those named.
  if (!shape.Empty())
    for (uint32_t bits = testMask; bits != 0; bits &= bits - 1) Collect(Layers[std::countr_zero(bits)], shape, found);
  for (uint32_t bits = writeMask; bits != 0; bits &= bits - 1) Layers[std::countr_zero(bits)].Add(shape);
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
