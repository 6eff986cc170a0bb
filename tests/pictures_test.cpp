/** @file pictures_test.cpp Tests of the committed pictures: names, sizes, kinds and the covered pixels hits rely on. */
// The committed pictures against what the game relies on: the catalogue's
// file names, sizes and kinds, and the covered pixels that clicks and hit
// tests depend on (alpha 128 or more counts as covered).
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Png {
  int width = 0, height = 0, colorType = -1, bitDepth = 0;
  std::vector<std::vector<png_byte>> rows;

  int channels() const { return colorType == PNG_COLOR_TYPE_RGBA ? 4 : 2; }
  int alpha(int x, int y) const { return rows[size_t(y)][size_t(x * channels() + channels() - 1)]; }
  // A missing picture covers nothing, so its checks fail instead of crashing.
  bool covered(int x, int y) const { return x < width && y < height && alpha(x, y) >= 128; }
  int red(int x, int y) const { return rows[size_t(y)][size_t(x * channels())]; }
  int coveredCount() const {
    int n = 0;
    for (int i = 0; i < width * height; ++i) n += covered(i % width, i / width);
    return n;
  }
};

// Reads a picture as stored, without conversions, so its kind can be checked.
Png load(const std::string& name) {
  Png out;
  const std::string path = std::string(CHROMELLY_ASSETS_DIR) + "/" + name;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return out;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return Png{};
  }
  png_init_io(png, file);
  png_read_info(png, info);
  out.width = int(png_get_image_width(png, info));
  out.height = int(png_get_image_height(png, info));
  out.colorType = png_get_color_type(png, info);
  out.bitDepth = png_get_bit_depth(png, info);
  out.rows.assign(size_t(out.height), std::vector<png_byte>(png_get_rowbytes(png, info)));
  for (auto& row : out.rows) png_read_row(png, row.data(), nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
  return out;
}

std::vector<std::string> numbered(const char* pattern, int from, int to) {
  std::vector<std::string> names;
  for (int i = from; i <= to; ++i) {
    char buf[64];
    std::snprintf(buf, sizeof buf, pattern, i);
    names.push_back(buf);
  }
  return names;
}

std::vector<std::string> bodyFrames() {  // every 280 x 510 picture of the whole figure
  std::vector<std::string> names = {"body.png"};
  for (const char* pattern : {"walk_right-%03d.png", "framesdown%02d.png"})
    for (auto& n : numbered(pattern, 0, 7)) names.push_back(n);
  for (auto& n : numbered("hat-%03d.png", 0, 5)) names.push_back(n);
  for (int n : {0, 2, 3, 38, 52, 53, 54, 55, 56}) names.push_back("ib" + std::to_string(n) + ".png");
  return names;
}

std::vector<std::string> overlaySteps() {  // ic0, then ic2 to ic35: there is no ic1
  std::vector<std::string> names = {"ic0.png"};
  for (auto& n : numbered("ic%d.png", 2, 35)) names.push_back(n);
  return names;
}

struct Family {
  std::vector<std::string> names;
  int width, height, colorType;
};

TEST(PictureCatalogue, EveryPictureHasItsSizeAndKind) {
  const int rgba = PNG_COLOR_TYPE_RGBA, ga = PNG_COLOR_TYPE_GRAY_ALPHA;
  const std::vector<Family> catalogue = {{{"cursor.png"}, 44, 74, rgba},
                                         {bodyFrames(), 280, 510, rgba},
                                         {overlaySteps(), 280, 510, rgba},
                                         {numbered("face%d.png", 1, 7), 100, 100, rgba},
                                         {numbered("hair%d.png", 0, 9), 140, 140, rgba},
                                         {{"hat.png"}, 280, 91, rgba},
                                         {{"chefbody.png", "chefshirt.png"}, 280, 501, rgba},
                                         {{"chefhat.png"}, 242, 233, rgba},
                                         {{"vision.png"}, 300, 200, ga},
                                         {{"protected.png", "finalized.png", "full.png"}, 280, 185, rgba},
                                         {{"oval.png"}, 2560, 1920, ga}};
  int count = 0;
  for (const Family& family : catalogue) {
    for (const std::string& name : family.names) {
      SCOPED_TRACE(name);
      const Png png = load(name);
      ASSERT_EQ(png.colorType, family.colorType) << "missing, or stored as the wrong kind";
      EXPECT_EQ(png.bitDepth, 8);
      EXPECT_EQ(png.width, family.width);
      EXPECT_EQ(png.height, family.height);
      ++count;
    }
  }
  EXPECT_EQ(count, 94);
  EXPECT_EQ(load("ic1.png").colorType, -1) << "slot 1 of the overlays is ic2; there is no ic1";
}

TEST(PictureCoverage, PeopleCanBeClickedWhereTheyAre) {
  for (const std::string& name : bodyFrames()) {
    const Png body = load(name);
    EXPECT_TRUE(body.covered(140, 270)) << name << ": torso, below any head bob";
    EXPECT_FALSE(body.covered(2, 505)) << name << ": corner";
  }
  EXPECT_TRUE(load("chefbody.png").covered(140, 270));
  for (const auto& name : numbered("face%d.png", 1, 7)) {
    const Png face = load(name);
    EXPECT_TRUE(face.covered(50, 50)) << name;
    EXPECT_TRUE(face.covered(50, 10)) << name << ": forehead";
    EXPECT_FALSE(face.covered(1, 1)) << name;
  }
}

TEST(PictureCoverage, HatsAreSolidAndWhereTheColourShowsWhite) {
  const Png hat = load("hat.png");
  EXPECT_TRUE(hat.covered(140, 45));  // dome
  EXPECT_TRUE(hat.covered(30, 80));   // brim
  EXPECT_EQ(hat.red(140, 45), 255);
  EXPECT_FALSE(hat.covered(275, 5));
  EXPECT_TRUE(load("chefhat.png").covered(98, 200));  // the toque's band, over the chef's head
}

TEST(PictureCoverage, VisionWedgeLiesAheadOfItsCentreOnly) {
  const Png vision = load("vision.png");  // the game centres it on the fan's head
  EXPECT_TRUE(vision.covered(200, 100));  // 50 ahead
  EXPECT_TRUE(vision.covered(290, 100));  // 140 ahead
  EXPECT_TRUE(vision.covered(298, 2));    // full height at the far edge
  EXPECT_TRUE(vision.covered(298, 197));
  EXPECT_FALSE(vision.covered(150, 100));  // the centre itself
  EXPECT_FALSE(vision.covered(175, 100));  // too close
  EXPECT_FALSE(vision.covered(60, 100));   // behind
  EXPECT_FALSE(vision.covered(200, 20));   // beside, outside the wedge
}

TEST(PictureCoverage, OvalFillsItsPictureButNotTheCorners) {
  const Png oval = load("oval.png");
  EXPECT_TRUE(oval.covered(1280, 960));
  EXPECT_TRUE(oval.covered(4, 960));
  EXPECT_TRUE(oval.covered(1280, 3));
  for (auto [x, y] : {std::pair{0, 0}, {2559, 0}, {0, 1919}, {2559, 1919}, {300, 200}}) {
    EXPECT_FALSE(oval.covered(x, y)) << x << "," << y;
  }
}

TEST(PictureCoverage, CursorTipIsItsTopLeftPixel) {
  const Png cursor = load("cursor.png");
  EXPECT_TRUE(cursor.covered(0, 0));
  EXPECT_FALSE(cursor.covered(43, 0));
  EXPECT_FALSE(cursor.covered(0, 73));
}

TEST(PictureCoverage, InspirationColourGrowsStepByStepToTheWholeTorso) {
  int previous = 0;
  for (const auto& name : overlaySteps()) {
    const int now = load(name).coveredCount();
    EXPECT_GT(now, previous) << name;
    previous = now;
  }
  const Png whole = load("ic35.png");
  EXPECT_TRUE(whole.covered(105, 195) && whole.covered(175, 325));  // torso corners
  EXPECT_FALSE(whole.covered(140, 120));                            // never over the face
  EXPECT_LT(load("ic0.png").coveredCount(), whole.coveredCount() / 20);
}

}  // namespace
