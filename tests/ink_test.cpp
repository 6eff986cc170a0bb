/** @file ink_test.cpp Tests of the ink plans pictures are drawn by, and of making boxes disjoint. */
// A picture is drawn only over its ink plan's boxes, so a plan that misses a
// pixel a bilinear sample can reach would change the screen; and the boxes a
// picture is drawn in must never overlap, or a pixel would be blended twice.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "platform/image.h"
#include "platform/ink.h"

namespace {

// A transparent picture with the given pixels inked (alpha 1, the faintest ink).
std::vector<uint8_t> Inked(int w, int h, const std::vector<std::pair<int, int>>& pixels) {
  std::vector<uint8_t> rgba(size_t(w) * size_t(h) * 4, 0);
  for (const auto& [x, y] : pixels) rgba[(size_t(y) * size_t(w) + size_t(x)) * 4 + 3] = 1;
  return rgba;
}

bool Inside(const PixelBox& b, int x, int y) { return x >= b.X0 && x < b.X1 && y >= b.Y0 && y < b.Y1; }

// Every plan of at most k boxes: boxes within the picture, top to bottom without
// overlapping, holding every inked pixel with the pixels around it; fewer
// pixels (or as many) as k grows.
void ExpectSoundPlan(const uint8_t* rgba, int w, int h, const std::string& name) {
  const InkPlan plan = PlanInk(rgba, w, h);
  int64_t lastArea = -1;
  for (int k = 1; k <= InkPlan::MaxBoxes; ++k) {
    const std::vector<PixelBox>& boxes = plan.Boxes[k - 1];
    ASSERT_LE(boxes.size(), size_t(k)) << name;
    int64_t area = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
      const PixelBox& b = boxes[i];
      EXPECT_FALSE(b.Empty()) << name;
      EXPECT_TRUE(b.X0 >= 0 && b.Y0 >= 0 && b.X1 <= w && b.Y1 <= h) << name << " box " << i;
      if (i > 0) {
        EXPECT_LE(boxes[i - 1].Y1, b.Y0) << name << " boxes overlap";
      }
      area += b.Area();
    }
    if (lastArea >= 0) {
      EXPECT_LE(area, lastArea) << name << " with " << k << " boxes";
    }
    lastArea = area;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        if (rgba[(size_t(y) * size_t(w) + size_t(x)) * 4 + 3] == 0) continue;
        for (int ny = std::max(0, y - 1); ny <= std::min(h - 1, y + 1); ++ny)
          for (int nx = std::max(0, x - 1); nx <= std::min(w - 1, x + 1); ++nx)
            ASSERT_TRUE(std::any_of(boxes.begin(), boxes.end(), [&](const PixelBox& b) { return Inside(b, nx, ny); }))
                << name << ": pixel (" << nx << ", " << ny << ") next to ink at (" << x << ", " << y
                << ") is outside the plan of " << k << " boxes";
      }
  }
}

TEST(InkPlan, CoversEveryInkedPixelOfEveryPictureWithItsMargin) {
  DIR* dir = opendir(CHROMELLY_ASSETS_DIR);
  ASSERT_NE(dir, nullptr);
  std::vector<std::string> names;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0) names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  ASSERT_GT(names.size(), 50u);
  int64_t whole = 0, planned = 0;
  for (const std::string& name : names) {
    const ImageRef picture = LoadImageFile(std::string(CHROMELLY_ASSETS_DIR) + "/" + name);
    ASSERT_TRUE(picture) << name;
    if (picture->Width * picture->Height > 1000000) continue;  // the ring's oval is never drawn
    ExpectSoundPlan(picture->Pixels.data(), picture->Width, picture->Height, name);
    whole += int64_t(picture->Width) * picture->Height;
    for (const PixelBox& b : PlanInk(picture->Pixels.data(), picture->Width, picture->Height).Boxes[3])
      planned += b.Area();
  }
  // The point of the plans: the pictures are mostly transparent.
  EXPECT_LT(planned, whole * 3 / 4) << planned << " of " << whole << " pixels planned";
  std::printf("ink plans of 4 boxes: %lld of %lld pixels\n", static_cast<long long>(planned),
              static_cast<long long>(whole));
}

TEST(InkPlan, EdgesOfThePictureAndEmptyPictures) {
  // Nothing inked: nothing to draw.
  const std::vector<uint8_t> empty = Inked(8, 6, {});
  const InkPlan none = PlanInk(empty.data(), 8, 6);
  for (const auto& boxes : none.Boxes) EXPECT_TRUE(boxes.empty());
  // A corner pixel: its margin stops at the picture's edges.
  const std::vector<uint8_t> corner = Inked(8, 6, {{0, 0}});
  const InkPlan c = PlanInk(corner.data(), 8, 6);
  ASSERT_EQ(c.Boxes[0].size(), 1u);
  EXPECT_EQ(c.Boxes[0][0].X0, 0);
  EXPECT_EQ(c.Boxes[0][0].Y0, 0);
  EXPECT_EQ(c.Boxes[0][0].X1, 2);
  EXPECT_EQ(c.Boxes[0][0].Y1, 2);
  // The far corner, and a one-pixel picture.
  ExpectSoundPlan(Inked(8, 6, {{7, 5}}).data(), 8, 6, "far corner");
  ExpectSoundPlan(Inked(1, 1, {{0, 0}}).data(), 1, 1, "one pixel");
  // A pixel in the middle: the 3 x 3 around it.
  const std::vector<uint8_t> middle = Inked(9, 9, {{4, 4}});
  const InkPlan m = PlanInk(middle.data(), 9, 9);
  ASSERT_EQ(m.Boxes[3].size(), 1u);
  EXPECT_EQ(m.Boxes[3][0].Area(), 9);
  EXPECT_EQ(m.Boxes[3][0].X0, 3);
  EXPECT_EQ(m.Boxes[3][0].Y0, 3);
}

TEST(InkPlan, MoreBoxesFollowTheInkDownATallPicture) {
  // A diagonal stroke down a tall picture (taller than the plan's row blocks), and two blobs far apart.
  std::vector<std::pair<int, int>> stroke;
  for (int y = 0; y < 600; ++y) stroke.push_back({y / 3, y});
  const std::vector<uint8_t> diagonal = Inked(200, 600, stroke);
  ExpectSoundPlan(diagonal.data(), 200, 600, "diagonal");
  const InkPlan d = PlanInk(diagonal.data(), 200, 600);
  EXPECT_EQ(d.Boxes[3].size(), 4u);
  int64_t one = d.Boxes[0][0].Area(), four = 0;
  for (const PixelBox& b : d.Boxes[3]) four += b.Area();
  EXPECT_LT(four, one / 3);
  const std::vector<uint8_t> blobs = Inked(50, 100, {{10, 5}, {40, 90}});
  const InkPlan b = PlanInk(blobs.data(), 50, 100);
  ASSERT_EQ(b.Boxes[1].size(), 2u);
  EXPECT_EQ(b.Boxes[1][0].Area() + b.Boxes[1][1].Area(), 18);
  ExpectSoundPlan(blobs.data(), 50, 100, "blobs");
}

TEST(DisjointBoxes, CoverTheUnionExactlyOnce) {
  std::mt19937 generator(12345);
  std::uniform_int_distribution<int> coordinate(0, 30);
  std::uniform_int_distribution<int> count(0, 6);
  for (int round = 0; round < 400; ++round) {
    std::vector<PixelBox> boxes(size_t(count(generator)));
    for (PixelBox& b : boxes) {
      b.X0 = coordinate(generator);
      b.Y0 = coordinate(generator);
      b.X1 = b.X0 + coordinate(generator) / 3;  // some empty
      b.Y1 = b.Y0 + coordinate(generator) / 3;
    }
    const std::vector<PixelBox> disjoint = DisjointBoxes(boxes);
    for (int y = -1; y < 42; ++y)
      for (int x = -1; x < 42; ++x) {
        const bool inUnion =
            std::any_of(boxes.begin(), boxes.end(), [&](const PixelBox& b) { return Inside(b, x, y); });
        const auto times =
            std::count_if(disjoint.begin(), disjoint.end(), [&](const PixelBox& b) { return Inside(b, x, y); });
        ASSERT_EQ(times, inUnion ? 1 : 0) << "round " << round << " pixel (" << x << ", " << y << ")";
      }
    for (const PixelBox& b : disjoint) EXPECT_FALSE(b.Empty());
  }
  // Boxes stacked exactly on one another stay one box.
  const std::vector<PixelBox> stacked = DisjointBoxes({{0, 0, 10, 5}, {0, 5, 10, 9}});
  ASSERT_EQ(stacked.size(), 1u);
  EXPECT_EQ(stacked[0].Y1, 9);
}

}  // namespace
