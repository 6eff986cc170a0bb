/** @file main.cpp picgen: draws the game's pictures into assets/ and the picture sheet. */
//   picgen <assets-dir> [<sheet.png>]
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "picture.h"
#include "png_writer.h"
#include "sheet.h"

namespace picgen {

// The order in which the game registers its pictures; the catalogue follows
// it so the list reads like the game's own.
static const char* const kFamilies[] = {
    "cursor",    "body", "walk_right-", "framesdown", "face", "hair",      "hat.png",   "chefbody", "chefhat",
    "chefshirt", "hat-", "vision",      "ib",         "ic",   "protected", "finalized", "full",     "oval",
};

static size_t familyOf(const std::string& name) {
  for (size_t i = 0; i < std::size(kFamilies); ++i) {
    if (name.rfind(kFamilies[i], 0) == 0) return i;
  }
  return std::size(kFamilies);
}

// Within a family: hair0 comes after hair9, and numbered files go by number.
static int numberOf(const std::string& name) {
  const auto digits = name.find_first_of("0123456789");
  if (digits == std::string::npos) return -1;
  const int n = std::stoi(name.substr(digits));
  return name.rfind("hair", 0) == 0 && n == 0 ? 10 : n;
}

// Pictures that reach their own edges on purpose: the masks fill theirs, and
// the cursor's tip is its top-left pixel.
static bool mayTouchEdges(const std::string& name) {
  return name == "oval.png" || name == "vision.png" || name == "cursor.png";
}

// Anything else that is covered at the picture's edge has been cut off.
static bool touchesEdge(cairo_surface_t* surface) {
  cairo_surface_flush(surface);
  const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  auto alpha = [&](int x, int y) { return reinterpret_cast<const uint32_t*>(data + size_t(y) * stride)[x] >> 24; };
  for (int x = 0; x < w; ++x) {
    if (alpha(x, 0) || alpha(x, h - 1)) return true;
  }
  for (int y = 0; y < h; ++y) {
    if (alpha(0, y) || alpha(w - 1, y)) return true;
  }
  return false;
}

std::vector<Picture> catalogue() {
  std::vector<Picture> all;
  addMiscPictures(all);
  addPeoplePictures(all);
  addHeadPictures(all);
  std::stable_sort(all.begin(), all.end(), [](const Picture& a, const Picture& b) {
    const size_t fa = familyOf(a.name), fb = familyOf(b.name);
    return fa != fb ? fa < fb : numberOf(a.name) < numberOf(b.name);
  });
  return all;
}

}  // namespace picgen

int main(int argc, char** argv) {
  using namespace picgen;
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s <assets-dir> [<sheet.png>]\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  bool allWhole = true;
  PictureSet drawn;
  std::vector<std::string> order;
  for (const Picture& pic : catalogue()) {
    order.push_back(pic.name);
    Surface surface = makeSurface(pic.width, pic.height);
    Context cr = makeContext(surface.get());
    pic.draw(cr.get());
    cr.reset();
    if (!mayTouchEdges(pic.name) && touchesEdge(surface.get())) {
      std::fprintf(stderr, "%s: the drawing is cut off at the picture's edge\n", pic.name.c_str());
      allWhole = false;
    }
    if (!writePng(dir + "/" + pic.name, surface.get(), pic.kind)) return 1;
    drawn.emplace(pic.name, std::move(surface));
  }
  std::printf("%zu pictures written to %s\n", drawn.size(), dir.c_str());
  if (!allWhole) return 1;
  if (argc == 3) {
    if (!writeSheet(argv[2], drawn, order)) return 1;
    std::printf("picture sheet written to %s\n", argv[2]);
  }
  return 0;
}
