/** @file shape_batch_test.cpp Tests of ShapeBatch: gathered shapes cover the pixel centres each shape covers, once. */
// The batch replaces one primitive a shape with triangles of its own choosing
// and leaves out those it finds cover no pixel, so a triangle list that misses
// a pixel centre, covers one twice (blended twice) or takes another shape's
// vertices would change the screen.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "platform/shape_batch.h"

namespace {

struct Triangle {
  Point A, B, C;
};

std::vector<Triangle> Triangles(const ShapeBatch& batch) {
  const std::vector<float>& pos = batch.Positions();
  const std::vector<uint32_t>& idx = batch.Indices();
  std::vector<Triangle> out;
  auto vertex = [&](uint32_t i) {
    EXPECT_LT(size_t(i) * 2 + 1, pos.size());
    return Point{pos[size_t(i) * 2], pos[size_t(i) * 2 + 1]};
  };
  for (size_t t = 0; t + 2 < idx.size(); t += 3)
    out.push_back({vertex(idx[t]), vertex(idx[t + 1]), vertex(idx[t + 2])});
  return out;
}

double Cross(const Point& o, const Point& a, const Point& b) {
  return (a.X - o.X) * (b.Y - o.Y) - (a.Y - o.Y) * (b.X - o.X);
}

// Strictly inside, either winding (the grids below keep pixel centres off every edge).
bool Inside(const Triangle& t, const Point& p) {
  const double d1 = Cross(t.A, t.B, p), d2 = Cross(t.B, t.C, p), d3 = Cross(t.C, t.A, p);
  return (d1 > 0 && d2 > 0 && d3 > 0) || (d1 < 0 && d2 < 0 && d3 < 0);
}

// Inside a convex polygon given in order, either winding.
bool InsidePolygon(const std::vector<Point>& poly, const Point& p) {
  int sign = 0;
  for (size_t i = 0; i < poly.size(); ++i) {
    const int s = Cross(poly[i], poly[(i + 1) % poly.size()], p) > 0 ? 1 : -1;
    if (sign == 0) sign = s;
    if (s != sign) return false;
  }
  return true;
}

// Every pixel centre of the grid over window pixels x0..x1, y0..y1 is covered by as many of the batch's
// triangles as there are polygons holding it; returns how many centres the polygons hold.
int ExpectCentresCoveredOnce(const ShapeBatch& batch, const std::vector<std::vector<Point>>& polygons,
                             const ShapeBatch::PixelGrid& grid, int x0, int y0, int x1, int y1) {
  const std::vector<Triangle> tris = Triangles(batch);
  int inside = 0;
  for (int wy = y0; wy < y1; ++wy) {
    for (int wx = x0; wx < x1; ++wx) {
      // The pixel centre as a point of the frame (positions are single precision in the batch).
      const Point p{(wx + 0.5 - grid.OffsetX) / grid.ScaleX, (wy + 0.5 - grid.OffsetY) / grid.ScaleY};
      int want = 0, got = 0;
      for (const auto& poly : polygons) want += InsidePolygon(poly, p);
      for (const Triangle& t : tris) got += Inside(t, p);
      EXPECT_EQ(got, want) << "at window pixel " << wx << ", " << wy;
      if (got != want) return inside;
      inside += want;
    }
  }
  return inside;
}

std::vector<Point> Ellipse(double cx, double cy, double ax, double ay, double bx, double by, int sides) {
  std::vector<Point> ring;
  for (int i = 0; i < sides; ++i) {
    const double t = 2.0 * M_PI * i / sides;
    // Rounded to single precision, as GL keeps the corners: the polygons compared are the ones drawn.
    ring.push_back({float(cx + ax * std::cos(t) + bx * std::sin(t)), float(cy + ay * std::cos(t) + by * std::sin(t))});
  }
  return ring;
}

TEST(ShapeBatch, QuadsAndFansCoverTheirShapesCentresOnceEachWithTheirColours) {
  ShapeBatch batch;
  const ShapeBatch::Colour red = ShapeBatch::Colour::FromBytes(255, 0, 0, 255);
  const ShapeBatch::Colour grey = ShapeBatch::Colour::FromBytes(128, 128, 128, 64);
  const ShapeBatch::PixelGrid grid{0.0013, 0.0029, 1, 1};
  // A turned rectangle, a mirrored one (its corners run the other way round) and an oval's fan.
  const Point turned[4] = {{10, 0}, {30, 12}, {22, 26}, {2, 14}};
  const Point mirrored[4] = {{50, 5}, {35, 5}, {35, 20}, {50, 20}};
  const Point centre{20, 40};
  std::vector<Point> ring = Ellipse(20, 40, 15, 0, 0, 6, 48);
  ring.push_back(ring[0]);
  batch.AddQuad(turned, red);
  batch.AddFanSampled(centre, ring.data(), int(ring.size()), grey, grid);
  batch.AddQuad(mirrored, red);
  ring.pop_back();
  EXPECT_GT(
      ExpectCentresCoveredOnce(
          batch,
          {{turned[0], turned[1], turned[2], turned[3]}, ring, {mirrored[0], mirrored[1], mirrored[2], mirrored[3]}},
          grid, -5, -5, 60, 60),
      500);
  // Each vertex carries its shape's colour, in drawing order.
  const std::vector<float>& colours = batch.Colours();
  ASSERT_EQ(colours.size(), batch.Positions().size() * 2);
  EXPECT_EQ(colours[0], 1.0f);                    // the first quad: red
  EXPECT_EQ(colours[4 * 4 + 3], 64.0f / 255.0f);  // the fan's centre: grey's alpha
  EXPECT_EQ(colours[colours.size() - 4], 1.0f);   // the last quad: red again
  EXPECT_EQ(colours[colours.size() - 3], 0.0f);
}

// Ovals of every size from under a pixel to eighty, turned, mirrored and scaled onto windows of other sizes,
// at random sub-pixel places: as a sampled fan and as a sampled convex outline they cover exactly the pixel
// centres the whole outline holds, and a thin oval loses most of its triangles.
TEST(ShapeBatch, SampledOvalsCoverTheCentresTheWholeOvalCovers) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const ShapeBatch::Colour white = ShapeBatch::Colour::FromBytes(255, 255, 255, 255);
  const ShapeBatch::PixelGrid grids[3] = {{0, 600, 1, -1}, {37, 500, 0.7, -0.7}, {0, 0, 1.6, 1.6}};
  int thinTriangles = 0, thinOvals = 0;
  for (int n = 0; n < 600; ++n) {
    const ShapeBatch::PixelGrid& grid = grids[n % 3];
    const double size = std::pow(80.0, unit(random)) / std::fabs(grid.ScaleX);  // 1 to 80 window pixels
    const double flat = n % 2 ? 1.0 : 0.02 + 0.3 * unit(random);                // every other oval thin
    const double turn = n % 4 < 2 ? 0.0 : 2.0 * M_PI * unit(random);
    const double mirror = n % 8 < 4 ? 1.0 : -1.0;
    const double cx = 30 + unit(random), cy = 30 + unit(random);
    const double a = size / 2, b = size * flat / 2;
    const std::vector<Point> ring =
        Ellipse(cx, cy, mirror * a * std::cos(turn), a * std::sin(turn), -b * std::sin(turn), b * std::cos(turn), 48);
    std::vector<Point> closed = ring;
    closed.push_back(ring[0]);
    ShapeBatch fan, convex;
    fan.AddFanSampled({float(cx), float(cy)}, closed.data(), 49, white, grid);
    convex.AddConvexSampled(ring.data(), 48, white, grid);
    // The window pixels around the oval.
    const double wx = grid.OffsetX + grid.ScaleX * cx, wy = grid.OffsetY + grid.ScaleY * cy;
    const double reach = size * std::fabs(grid.ScaleX) / 2 + 2;
    const int x0 = int(std::floor(wx - reach)), x1 = int(std::ceil(wx + reach));
    const int y0 = int(std::floor(wy - reach)), y1 = int(std::ceil(wy + reach));
    const int covered = ExpectCentresCoveredOnce(fan, {ring}, grid, x0, y0, x1, y1);
    ASSERT_EQ(ExpectCentresCoveredOnce(convex, {ring}, grid, x0, y0, x1, y1), covered) << "oval " << n;
    ASSERT_FALSE(::testing::Test::HasFailure()) << "oval " << n;
    if (flat < 0.2 && size * std::fabs(grid.ScaleX) > 10 && size * std::fabs(grid.ScaleX) * flat < 3) {
      thinTriangles += int(convex.Indices().size() / 3);
      ++thinOvals;
    }
  }
  ASSERT_GT(thinOvals, 20);
  EXPECT_LT(thinTriangles, thinOvals * 20);  // of the 46 a whole outline takes
}

TEST(ShapeBatch, ATriangleHoldsNoSampleOnlyWellClearOfEveryPixelCentre) {
  const ShapeBatch::PixelGrid grid;
  // Between the centres of rows 1 and 2 (y 1.5 and 2.5), however wide.
  EXPECT_TRUE(ShapeBatch::HoldsNoSample({0, 1.6}, {40, 2.4}, {20, 2.0}, grid));
  // Between columns' centres, however tall.
  EXPECT_TRUE(ShapeBatch::HoldsNoSample({3.52, -10}, {3.98, 30}, {3.6, 0}, grid));
  // Touching a centre, or within the margin of one: it may cover it once rounded.
  EXPECT_FALSE(ShapeBatch::HoldsNoSample({0, 1.5}, {40, 2.4}, {20, 2.0}, grid));
  EXPECT_FALSE(ShapeBatch::HoldsNoSample({0, 1.6}, {40, 2.495}, {20, 2.0}, grid));
  // Clear of row 0's centre (y 0.5) until the grid moves it a tenth of a pixel down.
  EXPECT_TRUE(ShapeBatch::HoldsNoSample({0, 0.05}, {1, 0.1}, {0.7, 0.4}, grid));
  EXPECT_FALSE(ShapeBatch::HoldsNoSample({0, 0.05}, {1, 0.1}, {0.7, 0.4}, {0, 0.1, 1, 1}));
  // Not a number, or too far to say: left to the renderer.
  EXPECT_FALSE(ShapeBatch::HoldsNoSample({NAN, 1.6}, {40, 2.4}, {20, 2.0}, grid));
  EXPECT_FALSE(ShapeBatch::HoldsNoSample({0, 1.6}, {4e9, 2.4}, {20, 2.0}, grid));
  EXPECT_TRUE(ShapeBatch::HoldsNoSample({0, 1.6}, {3e4, 2.4}, {20, 2.0}, grid));
}

TEST(ShapeBatch, ColoursAreTheBytesOverTwoHundredFiftyFiveAndClearEmpties) {
  const ShapeBatch::Colour c = ShapeBatch::Colour::FromBytes(0, 1, 254, 255);
  EXPECT_EQ(c.R, 0.0f);
  EXPECT_EQ(c.G, 1.0f / 255.0f);
  EXPECT_EQ(c.B, 254.0f / 255.0f);
  EXPECT_EQ(c.A, 1.0f);
  ShapeBatch batch;
  const Point two[2] = {{1, 1}, {2, 2}};
  batch.AddConvexSampled(two, 2, c, {});  // no triangle
  EXPECT_TRUE(batch.Empty());
  const Point quad[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  batch.AddQuad(quad, c);
  EXPECT_FALSE(batch.Empty());
  batch.Clear();
  EXPECT_TRUE(batch.Empty());
  EXPECT_TRUE(batch.Positions().empty());
  EXPECT_TRUE(batch.Colours().empty());
}

}  // namespace
