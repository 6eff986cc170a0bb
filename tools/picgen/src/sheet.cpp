/** @file sheet.cpp writeSheet: every picture on a checkerboard, and people composed as the game composes them. */
#include "sheet.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "draw.h"
#include "font.h"
#include "layout.h"
#include "png_writer.h"

namespace picgen {
namespace {

using namespace layout;

struct Rgb {
  int r, g, b;
};
constexpr Rgb kWhite{255, 255, 255};

// The game's frame tables for the inspiration: which body (ib) and which
// overlay (ic) slot each of the 69 steps shows.
constexpr std::array<int, 69> kInspireB = {0, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 1, 2, 1, 2, 1, 2, 0, 1, 2, 1,
                                           0, 1, 2, 1, 0, 2, 1, 0, 2, 1, 0, 1, 0, 1, 0, 3, 1, 2, 2, 2, 1, 0, 3,
                                           1, 2, 1, 0, 1, 2, 4, 5, 6, 7, 8, 6, 7, 8, 6, 6, 7, 6, 8, 6, 7, 6, 8};
constexpr const char* kInspireBodies[] = {"ib0.png",  "ib2.png",  "ib3.png",  "ib38.png", "ib52.png",
                                          "ib53.png", "ib54.png", "ib55.png", "ib56.png"};
int inspireC(int step) {
  constexpr int kPulse[] = {30, 31, 32, 33, 32, 31, 30, 29, 30, 31, 32, 33};
  if (step < 2) return 0;
  if (step <= 35) return step - 1;
  if (step <= 47) return kPulse[step - 36];
  return 34;
}
std::string inspireOverlay(int slot) { return slot == 0 ? "ic0.png" : "ic" + std::to_string(slot + 1) + ".png"; }

std::string name3(const char* prefix, int n) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s%03d.png", prefix, n);
  return buf;
}

// Draws pictures the way the game does: tinted by multiplying with a draw
// colour, at a world position, optionally mirrored, rotated or faded.
class Composer {
 public:
  Composer(cairo_t* cr, const PictureSet& pics) : cr_(cr), pics_(pics) {}

  void draw(const std::string& name, double x, double y, Rgb tint = kWhite, double alpha = 1, bool mirrored = false,
            double rotationDeg = 0) {
    cairo_surface_t* src = pics_.at(name).get();
    Surface tinted = tint_(src, tint);
    const int w = cairo_image_surface_get_width(src);
    cairo_save(cr_);
    cairo_translate(cr_, x, y);
    cairo_rotate(cr_, deg2rad(rotationDeg));
    if (mirrored) {
      cairo_translate(cr_, w, 0);
      cairo_scale(cr_, -1, 1);
    }
    cairo_set_source_surface(cr_, tinted.get(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_GOOD);
    cairo_paint_with_alpha(cr_, alpha);
    cairo_restore(cr_);
  }

  // A fan as the game draws him walking: body by view and frame, then face,
  // hair and hat lowered by the frame's head bob.
  enum class View { Right, Left, Front };
  void fan(double x, double y, int frame, View view, int face, int hair, Rgb colour, bool hat = true) {
    const bool standing = frame == 8;
    const double b = view == View::Front && !standing ? kFrontBob : 1.0;
    std::string body = standing              ? "body.png"
                       : view == View::Front ? "framesdown0" + std::to_string(frame) + ".png"
                                             : name3("walk_right-", frame);
    draw(body, x, y, kWhite, 1, view == View::Left);
    const double h = b * kHeadBob[frame];
    head(x, y, std::trunc(h), face, hair, colour);
    if (hat) draw("hat.png", x + kHatX, std::trunc(y + kHatY + h), colour);
  }

  void head(double x, double y, double bob, int face, int hair, Rgb colour) {
    draw("face" + std::to_string(face) + ".png", x + kFaceX, std::trunc(y + kFaceY + bob));
    draw("hair" + std::to_string(hair) + ".png", x + kHairX, std::trunc(y + kHairY + bob), colour);
  }

  // A chef: toque (kind 2) or his old fan's hat (kind 1), and perhaps a
  // stolen hat in his hands.
  void chef(double x, double y, int kind, int face, int hair, Rgb colour, const Rgb* carried) {
    draw("chefbody.png", x, y);
    head(x, y, 0, face, hair, colour);
    if (kind == 1) draw("hat.png", x, y, colour);
    if (kind == 2) draw("chefhat.png", x + kToqueX, y + kToqueY);
    if (carried) draw("hat.png", x + kCarriedHatX, y + kCarriedHatY, *carried);
  }

  // Step n (0-68) of a fan being inspired by a box of colour `box`.
  void inspired(double x, double y, int n, int face, int hair, Rgb colour, Rgb box) {
    draw(kInspireBodies[kInspireB[size_t(n)]], x, y);
    head(x, y, 0, face, hair, colour);
    draw("hat.png", x, y, colour);
    draw(inspireOverlay(inspireC(n)), x, y, box);
    if (n > 59) {
      const double alpha = n < 64 ? (n - 59) / 5.0 : 1.0;
      draw("chefshirt.png", x, std::trunc(y + kShirtFirstY + kShirtStepY * (n - 60)), kWhite, alpha);
    }
  }

  // Step n (0-12) of a fan taking a new hat of colour `box`; his own hat
  // (colour `colour`) is on until the new one replaces it at step 7.
  void newHat(double x, double y, int n, int face, int hair, Rgb colour, Rgb box) {
    const Rgb now = n >= 7 ? box : colour;
    head(x, y, 0, face, hair, now);
    draw("hat.png", x, y, now);
    const int hatFrame[13] = {0, 1, 2, 3, 4, 4, 4, 5, 5, 3, 2, 1, 0};
    if (n >= 4 && n <= 6) draw("hat.png", x + kRaisedHatX, y + kRaisedHatY, box, 1, false, kRaisedHatDeg);
    draw(name3("hat-", hatFrame[n]), x, y);
  }

 private:
  // Multiplying premultiplied pixels by the colour is the same as the
  // game's draw colour: white leaves a picture alone, black stays black.
  static Surface tint_(cairo_surface_t* src, Rgb c) {
    const int w = cairo_image_surface_get_width(src), h = cairo_image_surface_get_height(src);
    Surface out = makeSurface(w, h);
    cairo_surface_flush(src);
    const int stride = cairo_image_surface_get_stride(src);
    const unsigned char* s = cairo_image_surface_get_data(src);
    unsigned char* d = cairo_image_surface_get_data(out.get());
    for (int y = 0; y < h; ++y) {
      const auto* srow = reinterpret_cast<const uint32_t*>(s + size_t(y) * stride);
      auto* drow = reinterpret_cast<uint32_t*>(d + size_t(y) * stride);
      for (int x = 0; x < w; ++x) {
        const uint32_t p = srow[x];
        const uint32_t r = ((p >> 16) & 0xff) * unsigned(c.r) / 255;
        const uint32_t g = ((p >> 8) & 0xff) * unsigned(c.g) / 255;
        const uint32_t b = (p & 0xff) * unsigned(c.b) / 255;
        drow[x] = (p & 0xff000000u) | (r << 16) | (g << 8) | b;
      }
    }
    cairo_surface_mark_dirty(out.get());
    return out;
  }

  cairo_t* cr_;
  const PictureSet& pics_;
};

// Sheet layout: rows of cells under a caption, flowing down the page.
constexpr int kSheetW = 2100;
constexpr double kMargin = 24, kCaption = 34, kLabel = 16;

class Page {
 public:
  explicit Page(cairo_t* cr) : cr_(cr) {}

  // Starts a new section with a caption.
  void section(const char* caption) {
    if (rowH_ > 0) newRow();
    y_ += 16;
    setInk(cr_);
    useVera(cr_, 24);
    showText(cr_, kMargin, y_ + 24, caption);
    y_ += kCaption;
    x_ = kMargin;
    rowH_ = 0;
  }
  // Reserves a cell of w x h sheet pixels (plus a label), wrapping rows.
  // Returns its top-left corner.
  Pt cell(double w, double h, const std::string& label) {
    useVera(cr_, 12);
    cairo_text_extents_t ext;
    cairo_text_extents(cr_, label.c_str(), &ext);
    w = std::max(w, ext.x_advance);
    if (x_ + w > kSheetW - kMargin && x_ > kMargin) newRow();
    const Pt at{x_, y_};
    if (!label.empty()) {
      setGrey(cr_, 0.1);
      showText(cr_, at.x, at.y + h + 13, label.c_str());
    }
    x_ += w + 14;
    rowH_ = std::max(rowH_, h + kLabel + 6);
    return at;
  }
  void newRow() {
    y_ += rowH_;
    x_ = kMargin;
    rowH_ = 0;
  }
  double bottom() const { return y_ + rowH_ + kMargin; }
  cairo_t* cr() const { return cr_; }

 private:
  cairo_t* cr_;
  double x_ = kMargin, y_ = kMargin, rowH_ = 0;
};

void checkerboard(cairo_t* cr, int w, int h) {
  constexpr int kSquare = 12;
  setGrey(cr, 0.78);
  cairo_paint(cr);
  setGrey(cr, 0.66);
  for (int y = 0; y < h; y += kSquare) {
    for (int x = (y / kSquare) % 2 * kSquare; x < w; x += 2 * kSquare) cairo_rectangle(cr, x, y, kSquare, kSquare);
  }
  cairo_fill(cr);
}

// Runs `paint` in world units inside a sheet cell: `origin` is where the
// picture's world (0, 0) lands, in cell pixels.
template <typename Fn>
void inCell(cairo_t* cr, Pt at, double scale, Pt origin, Fn paint) {
  cairo_save(cr);
  cairo_translate(cr, at.x + origin.x, at.y + origin.y);
  cairo_scale(cr, scale, scale);
  paint();
  cairo_restore(cr);
}

constexpr Rgb kOrange{238, 138, 40}, kTeal{40, 170, 170}, kPurple{150, 90, 200}, kRose{230, 80, 120};
constexpr Rgb kGreen{100, 190, 70}, kBlue{70, 120, 230};
constexpr Rgb kSamples[] = {kOrange, kTeal, kPurple, kRose, kGreen, kBlue};

void layOut(Page& page, Composer& c, const PictureSet& pics, const std::vector<std::string>& order) {
  cairo_t* cr = page.cr();
  constexpr double kPeople = 0.6;  // people and their parts a little over half size
  const double personW = kBodyW * kPeople, personH = kBodyH * kPeople;

  page.section("Walking right: walk_right-000 to -007 and body (frame 8), face, hair and hat at the head bob");
  for (int f = 0; f <= 8; ++f) {
    Pt at = page.cell(personW, personH, f == 8 ? "frame 8 standing" : "frame " + std::to_string(f));
    inCell(cr, at, kPeople, {0, 0}, [&] { c.fan(0, 0, f, Composer::View::Right, 5, f, kOrange); });
  }
  page.section("Walking down: framesdown00 to 07 with 0.35 of the head bob; walking left: mirrored, hatless");
  for (int f = 0; f < 8; ++f) {
    Pt at = page.cell(personW, personH, "down " + std::to_string(f));
    inCell(cr, at, kPeople, {0, 0}, [&] { c.fan(0, 0, f, Composer::View::Front, 1 + f % 7, 9 - f, kTeal); });
  }
  page.newRow();
  for (int f = 0; f < 8; ++f) {
    Pt at = page.cell(personW, personH, "left " + std::to_string(f));
    inCell(cr, at, kPeople, {0, 0},
           [&] { c.fan(0, 0, f, Composer::View::Left, 7 - f % 7, f + 2 > 9 ? f - 8 : f + 2, kSamples[f % 6], false); });
  }

  page.section("Faces by mood, face1 (furious) to face7 (laughing), at full size and at zoom 0.3");
  for (int i = 1; i <= 7; ++i) {
    Pt at = page.cell(100, 100, "face" + std::to_string(i));
    inCell(cr, at, 1, {0, 0}, [&] { c.draw("face" + std::to_string(i) + ".png", 0, 0); });
  }
  for (int i = 1; i <= 7; ++i) {
    Pt at = page.cell(30, 100, "");
    inCell(cr, at, 0.3, {0, 35 / 0.3 * 0.3}, [&] { c.draw("face" + std::to_string(i) + ".png", 0, 0); });
  }
  for (int i = 1; i <= 7; ++i) {
    Pt at = page.cell(84, 100, "");
    inCell(cr, at, 0.3, {0, 0}, [&] { c.fan(0, 0, 8, Composer::View::Right, i, i, kSamples[i % 6]); });
  }

  page.section("Chefs: toque, a stolen hat in his hands, an inspired chef wearing his old hat");
  const double chefH = (kChefH - kToqueY) * kPeople;
  const Rgb* none = nullptr;
  const std::pair<int, const Rgb*> chefs[] = {{2, &kTeal}, {2, none}, {1, &kPurple}, {1, none}};
  int k = 0;
  for (auto [kind, carried] : chefs) {
    Pt at = page.cell(personW + 20, chefH, kind == 2 ? "chef with toque" : "chef (inspired)");
    inCell(cr, at, kPeople, {0, -kToqueY * kPeople},
           [&] { c.chef(0, 0, kind, 4 + k % 3, k * 3 % 10, kSamples[(k + 3) % 6], carried); });
    ++k;
  }

  page.section("Inspiration: steps 0, 10, 20, 30, 38, 46, 52, 56, 60, 62, 64, 66, 68, then the new chef");
  for (int n : {0, 10, 20, 30, 38, 46, 52, 56, 60, 62, 64, 66, 68}) {
    Pt at = page.cell(personW, chefH, "step " + std::to_string(n));
    inCell(cr, at, kPeople, {0, -kToqueY * kPeople}, [&] { c.inspired(0, 0, n, 6, 3, kOrange, kBlue); });
  }
  {
    Pt at = page.cell(personW, chefH, "chef");
    inCell(cr, at, kPeople, {0, -kToqueY * kPeople}, [&] { c.chef(0, 0, 1, 6, 3, kOrange, nullptr); });
  }

  page.section("Taking a new hat: steps 0 to 12 (hat-000 to hat-005, the hat held up at a tilt in 4 to 6)");
  for (int n = 0; n <= 12; ++n) {
    Pt at = page.cell(personW, personH + 20, "step " + std::to_string(n));
    inCell(cr, at, kPeople, {0, 20}, [&] { c.newHat(0, 0, n, 7, 0, kRose, kGreen); });
  }

  // Every picture on its own, untinted, in the game's registration order,
  // one row per kind of picture.
  page.section("All pictures, untinted");
  const std::vector<std::vector<const char*>> groups = {
      {"cursor", "vision", "protected", "finalized", "full", "oval"},
      {"body", "walk_right-", "framesdown"},
      {"face", "hair", "hat.png", "chefhat"},
      {"chefbody", "chefshirt", "hat-", "ib"},
      {"ic"},
  };
  for (const auto& group : groups) {
    for (const std::string& name : order) {
      const bool inGroup =
          std::any_of(group.begin(), group.end(), [&](const char* prefix) { return name.rfind(prefix, 0) == 0; });
      if (!inGroup) continue;
      cairo_surface_t* surface = pics.at(name).get();
      const int w = cairo_image_surface_get_width(surface);
      const int h = cairo_image_surface_get_height(surface);
      const double s = name == "oval.png"         ? 0.08
                       : name.rfind("ic", 0) == 0 ? 0.25
                       : h >= 500                 ? 0.36
                       : w >= 240                 ? 0.4
                                                  : 0.7;
      Pt at = page.cell(std::max(w * s, 72.0), h * s, name);
      inCell(cr, at, s, {0, 0}, [&] { c.draw(name, 0, 0); });
    }
    page.newRow();
  }

  page.section("Box overlays on boxes; the vision wedge with its centre marked");
  for (const char* name : {"protected.png", "finalized.png", "full.png"}) {
    Pt at = page.cell(kBoxW, kBoxH, name);
    cairo_rectangle(cr, at.x, at.y, kBoxW, kBoxH);
    cairo_set_source_rgb(cr, 0.55, 0.8, 0.35);
    cairo_fill(cr);
    inCell(cr, at, 1, {0, 0}, [&] { c.draw(name, 0, 0); });
  }
  Pt at = page.cell(kVisionW, kVisionH, "vision.png, centre at the head");
  inCell(cr, at, 1, {0, 0}, [&] {
    c.draw("vision.png", 0, 0, {255, 255, 255}, 0.8);
    cairo_arc(cr, kVisionW / 2.0, kVisionH / 2.0, 5, 0, 7);
    cairo_set_source_rgb(cr, 0.9, 0.1, 0.1);
    cairo_fill(cr);
  });
}

}  // namespace

bool writeSheet(const std::string& path, const PictureSet& pictures, const std::vector<std::string>& order) {
  // Lay out once on a scratch page to learn the height, then draw for real.
  double height = 0;
  {
    Surface scratch = makeSurface(kSheetW, 10);
    Context cr = makeContext(scratch.get());
    Page page(cr.get());
    Composer c(cr.get(), pictures);
    layOut(page, c, pictures, order);
    height = page.bottom();
  }
  Surface sheet = makeSurface(kSheetW, int(std::ceil(height)));
  Context cr = makeContext(sheet.get());
  checkerboard(cr.get(), kSheetW, int(std::ceil(height)));
  Page page(cr.get());
  Composer c(cr.get(), pictures);
  layOut(page, c, pictures, order);
  cr.reset();
  return writePng(path, sheet.get(), Kind::Rgba);
}

}  // namespace picgen
