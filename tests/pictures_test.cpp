/** @file pictures_test.cpp Tests of the committed pictures: names, sizes, kinds and the covered pixels hits rely on. */
// The committed pictures against what the game relies on: the catalogue's
// file names, sizes and kinds, and the covered pixels that clicks and hit
// tests depend on (alpha 128 or more counts as covered).
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <ostream>
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

// Where each picture must be covered and where bare, for the clicks and hit tests that rely on it.
struct Coverage {
  const char* What;
  std::vector<std::string> Names;
  std::vector<std::pair<int, int>> Covered, Bare;
};

// Shown by name where a case fails or is listed.
void PrintTo(const Coverage& c, std::ostream* os) { *os << c.What; }

class PictureCovered : public ::testing::TestWithParam<Coverage> {};

TEST_P(PictureCovered, WhereTheGameReliesOnIt) {
  for (const std::string& name : GetParam().Names) {
    SCOPED_TRACE(name);
    const Png png = load(name);
    for (auto [x, y] : GetParam().Covered) EXPECT_TRUE(png.covered(x, y)) << x << "," << y;
    for (auto [x, y] : GetParam().Bare) EXPECT_FALSE(png.covered(x, y)) << x << "," << y;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, PictureCovered,
    ::testing::Values(
        // People are clicked by the torso, below any head bob, never in the corner.
        Coverage{"Bodies", bodyFrames(), {{140, 270}}, {{2, 505}}},
        Coverage{"ChefBody", {"chefbody.png"}, {{140, 270}}, {}},
        Coverage{"Faces", numbered("face%d.png", 1, 7), {{50, 50}, {50, 10}}, {{1, 1}}},  // 10: the forehead
        Coverage{"Hat", {"hat.png"}, {{140, 45}, {30, 80}}, {{275, 5}}},                  // dome, brim
        Coverage{"ChefHat", {"chefhat.png"}, {{98, 200}}, {}},  // the toque's band, over the chef's head
        // The vision wedge, which the game centres on the fan's head: 50 and 140 ahead, full
        // height at the far edge; not the centre itself, too close, behind, or beside the wedge.
        Coverage{"Vision",
                 {"vision.png"},
                 {{200, 100}, {290, 100}, {298, 2}, {298, 197}},
                 {{150, 100}, {175, 100}, {60, 100}, {200, 20}}},
        // The oval fills its picture but not the corners.
        Coverage{"Oval",
                 {"oval.png"},
                 {{1280, 960}, {4, 960}, {1280, 3}},
                 {{0, 0}, {2559, 0}, {0, 1919}, {2559, 1919}, {300, 200}}},
        // The cursor's tip is its top-left pixel.
        Coverage{"Cursor", {"cursor.png"}, {{0, 0}}, {{43, 0}, {0, 73}}}),
    [](const ::testing::TestParamInfo<Coverage>& info) { return std::string(info.param.What); });

TEST(PictureCoverage, TheHatIsWhiteWhereItsColourShows) { EXPECT_EQ(load("hat.png").red(140, 45), 255); }

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
