/** @file heads.cpp Head pictures: the seven faces by mood, the ten hairstyles, the fan's hat and the chef's toque. */
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <tuple>

#include "draw.h"
#include "layout.h"
#include "picture.h"

namespace picgen {
namespace {

using namespace layout;
constexpr double kPi = std::numbers::pi;

// ---- Faces ----------------------------------------------------------------
// A white head with black features, bold enough to read at a third of full
// size: filled eyes, thick brows and mouths.

constexpr double kFeature = 6.5;  // stroke width of brows and mouths
constexpr Pt kEyes[2] = {{35, 47}, {65, 47}};

void head(cairo_t* cr) {
  paperShape(cr, [](cairo_t* c) { ellipsePath(c, kHeadCx, kHeadCy, kHeadR, kHeadR); });
}

void openEyes(cairo_t* cr, double rx = 5.5, double ry = 7.5) {
  setInk(cr);
  for (Pt e : kEyes) {
    cairo_new_path(cr);
    ellipsePath(cr, e.x, e.y, rx, ry);
    cairo_fill(cr);
  }
}

// Eyes squeezed shut with laughter: two upturned arcs.
void laughingEyes(cairo_t* cr) {
  for (Pt e : kEyes) {
    cairo_new_path(cr);
    cairo_arc(cr, e.x, e.y + 4, 8, kPi * 1.1, kPi * 1.9);
    setInk(cr);
    cairo_set_line_width(cr, kFeature - 0.5);
    cairo_stroke(cr);
  }
}

// Brows; slant > 0 pulls the inner ends down into a scowl.
void brows(cairo_t* cr, double y, double slant) {
  inkLine(cr, {{22, y - slant}, {45, y + slant}}, kFeature);
  inkLine(cr, {{78, y - slant}, {55, y + slant}}, kFeature);
}

// A closed mouth; bend > 0 smiles, < 0 frowns, 0 is flat.
void mouth(cairo_t* cr, double halfWidth, double bend, double y = 74) {
  cairo_new_path(cr);
  cairo_move_to(cr, 50 - halfWidth, y - bend / 2);
  cairo_curve_to(cr, 50 - halfWidth / 2, y + bend / 2, 50 + halfWidth / 2, y + bend / 2, 50 + halfWidth, y - bend / 2);
  setInk(cr);
  cairo_set_line_width(cr, kFeature);
  cairo_stroke(cr);
}

void face1(cairo_t* cr) {  // furious: scowling brows, a wide open square mouth baring teeth
  head(cr);
  brows(cr, 31, 6);
  openEyes(cr, 5, 6);
  setInk(cr);
  cairo_new_path(cr);
  roundedRect(cr, 28, 62, 44, 24, 5);
  cairo_fill(cr);
  setPaper(cr);
  cairo_new_path(cr);
  roundedRect(cr, 33, 65, 34, 6, 2);
  cairo_fill(cr);
}
void face2(cairo_t* cr) {  // cross: brows down, a deep frown
  head(cr);
  brows(cr, 31, 3.5);
  openEyes(cr);
  mouth(cr, 18, -18, 78);
}
void face3(cairo_t* cr) {  // displeased: a small frown
  head(cr);
  brows(cr, 30, 1.2);
  openEyes(cr);
  mouth(cr, 15, -8, 76);
}
void face4(cairo_t* cr) {  // indifferent: a flat mouth
  head(cr);
  openEyes(cr);
  mouth(cr, 15, 0);
}
void face5(cairo_t* cr) {  // content: a slight smile
  head(cr);
  openEyes(cr);
  mouth(cr, 16, 8, 72);
}
void face6(cairo_t* cr) {  // happy: a broad smile
  head(cr);
  openEyes(cr);
  brows(cr, 29, -2);
  mouth(cr, 21, 18, 70);
}
void face7(cairo_t* cr) {  // delighted: eyes shut, a wide open laughing mouth
  head(cr);
  laughingEyes(cr);
  brows(cr, 28, -3);
  setInk(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, 26, 62);
  cairo_curve_to(cr, 40, 65, 60, 65, 74, 62);
  cairo_curve_to(cr, 72, 82, 62, 91, 50, 91);
  cairo_curve_to(cr, 38, 91, 28, 82, 26, 62);
  cairo_close_path(cr);
  cairo_fill(cr);
}

// ---- Hair -----------------------------------------------------------------
// Drawn over the face at (20, 43) in face terms, so the head's centre is at
// (70, 93) here. Hair stays above the brows and beside the eyes. White so the
// person's colour shows; ink only on its outline and a few strands.

constexpr double kCx = kFaceX - kHairX + kHeadCx;  // 70
constexpr double kCy = kFaceY - kHairY + kHeadCy;  // 93

Pt onHead(double deg, double r) { return {kCx + r * std::cos(deg * kPi / 180), kCy + r * std::sin(deg * kPi / 180)}; }

// The basic cap of hair over the top of the head, with its hairline at
// `line` and sideburns down to `sideY`. The sideburns rise straight up
// outside the brows, so no mood's brows are ever hidden.
constexpr double kTemple = 38;  // half the hairline's width at the temples

void capPath(cairo_t* cr, double outerR, double line, double sideY) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, kCx, kCy, outerR, kPi - 0.12, 2 * kPi + 0.12);
  const double sx = kCx + outerR * std::cos(0.12);
  cairo_line_to(cr, sx - 4, sideY);
  cairo_line_to(cr, kCx + kTemple, sideY);
  cairo_line_to(cr, kCx + kTemple, line + 6);
  cairo_curve_to(cr, kCx + kTemple - 6, line - 2, kCx + 20, line, kCx, line);
  cairo_curve_to(cr, kCx - 20, line, kCx - kTemple + 6, line - 2, kCx - kTemple, line + 6);
  cairo_line_to(cr, kCx - kTemple, sideY);
  cairo_line_to(cr, 2 * kCx - (sx - 4), sideY);
  cairo_close_path(cr);
}

PathFn cap(double outerR = 53, double line = 62, double sideY = 98) {
  return [=](cairo_t* c) { capPath(c, outerR, line, sideY); };
}

PathFn circle(Pt p, double r) {
  return [=](cairo_t* c) { ellipsePath(c, p.x, p.y, r, r); };
}

// A few ink strands inside the hair, for texture.
void strand(cairo_t* cr, Pt a, Pt ctl, Pt b) {
  cairo_new_path(cr);
  cairo_move_to(cr, a.x, a.y);
  cairo_curve_to(cr, ctl.x, ctl.y, ctl.x, ctl.y, b.x, b.y);
  setInk(cr);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
}

void hairCrop(cairo_t* cr) {  // hair0: short and neat
  paperShape(cr, cap(52, 60, 100));
  strand(cr, {52, 50}, {62, 44}, {80, 44});
}

void hairCurly(cairo_t* cr) {  // hair1: a round mass of curls
  std::vector<PathFn> parts{cap(52, 62, 104)};
  for (int i = 0; i <= 10; ++i) {
    const double deg = 160 + i * 22;
    parts.push_back(circle(onHead(deg, 47), i % 2 ? 16 : 18));
  }
  parts.push_back(circle({kCx - 24, 62}, 15));
  parts.push_back(circle({kCx, 58}, 15));
  parts.push_back(circle({kCx + 24, 62}, 15));
  mergedShapes(cr, parts);
  for (int i = 0; i <= 10; i += 2) {
    const Pt p = onHead(160 + i * 22, 47);
    cairo_new_path(cr);
    cairo_arc(cr, p.x, p.y, 8, 0.5, 3.5);
    setInk(cr);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
  }
}

void hairSpiky(cairo_t* cr) {  // hair2: spikes standing up
  std::vector<PathFn> parts{cap(50, 62, 96)};
  for (int i = 0; i < 7; ++i) {
    const double deg = 210 + i * 20;
    parts.push_back([deg](cairo_t* c) {
      const Pt tip = onHead(deg, 72), l = onHead(deg - 10, 44), r = onHead(deg + 10, 44);
      cairo_move_to(c, l.x, l.y);
      cairo_line_to(c, tip.x, tip.y);
      cairo_line_to(c, r.x, r.y);
      cairo_close_path(c);
    });
  }
  mergedShapes(cr, parts);
}

void hairLong(cairo_t* cr) {  // hair3: long and straight, down past the chin
  paperShape(cr, [](cairo_t* c) {
    cairo_arc(c, kCx, kCy, 54, kPi, 2 * kPi);
    cairo_line_to(c, kCx + 56, 136);
    cairo_line_to(c, kCx + 36, 136);
    cairo_curve_to(c, kCx + 40, 100, kCx + 44, 62, kCx + 14, 58);
    cairo_curve_to(c, kCx, 60, kCx - 20, 58, kCx - 30, 58);
    cairo_curve_to(c, kCx - 44, 66, kCx - 40, 100, kCx - 36, 136);
    cairo_line_to(c, kCx - 56, 136);
    cairo_close_path(c);
  });
  strand(cr, {kCx + 8, 42}, {kCx + 30, 50}, {kCx + 46, 120});
  strand(cr, {kCx - 4, 42}, {kCx - 30, 50}, {kCx - 46, 120});
}

void hairFringe(cairo_t* cr) {  // hair4: a fringe swept to one side
  paperShape(cr, [](cairo_t* c) {
    cairo_arc(c, kCx, kCy, 53, kPi - 0.15, 2 * kPi + 0.15);
    cairo_line_to(c, kCx + 40, 102);
    cairo_line_to(c, kCx + kTemple, 102);
    cairo_curve_to(c, kCx + kTemple, 70, kCx + 30, 60, kCx + 14, 56);
    cairo_curve_to(c, kCx - 6, 60, kCx - 28, 64, kCx - 44, 58);
    cairo_line_to(c, kCx - 42, 104);
    cairo_line_to(c, kCx - 52, 104);
    cairo_close_path(c);
  });
  strand(cr, {kCx + 28, 46}, {kCx, 54}, {kCx - 30, 56});
  strand(cr, {kCx + 34, 54}, {kCx + 10, 60}, {kCx - 12, 60});
}

void hairMohawk(cairo_t* cr) {  // hair5: a tall crest down the middle
  std::vector<PathFn> parts{cap(49, 58, 92)};
  parts.push_back([](cairo_t* c) {
    cairo_move_to(c, kCx - 16, 60);
    cairo_curve_to(c, kCx - 22, 30, kCx - 16, 14, kCx - 6, 9);
    cairo_line_to(c, kCx, 17);
    cairo_line_to(c, kCx + 8, 9);
    cairo_line_to(c, kCx + 12, 16);
    cairo_line_to(c, kCx + 22, 12);
    cairo_curve_to(c, kCx + 20, 30, kCx + 20, 46, kCx + 16, 60);
    cairo_close_path(c);
  });
  mergedShapes(cr, parts);
  strand(cr, {kCx - 6, 18}, {kCx - 2, 36}, {kCx, 54});
}

void hairPigtails(cairo_t* cr) {  // hair6: a bunch tied on each side
  std::vector<PathFn> parts{cap(52, 62, 100)};
  parts.push_back([](cairo_t* c) { ellipsePath(c, 19, 104, 12, 24); });
  parts.push_back([](cairo_t* c) { ellipsePath(c, 121, 104, 12, 24); });
  mergedShapes(cr, parts);
  inkLine(cr, {{11, 80}, {28, 84}}, 5);
  inkLine(cr, {{129, 80}, {112, 84}}, 5);
  strand(cr, {kCx, 42}, {kCx, 52}, {kCx, 60});
}

void hairBun(cairo_t* cr) {  // hair7: pulled back into a bun on top
  std::vector<PathFn> parts{cap(50, 58, 98), circle({kCx, 28}, 18)};
  mergedShapes(cr, parts);
  inkLine(cr, {{kCx - 16, 42}, {kCx + 16, 42}}, 4);
  strand(cr, {kCx - 8, 22}, {kCx + 4, 18}, {kCx + 10, 30});
}

void hairQuiff(cairo_t* cr) {  // hair8: a big wave rolled up at the front
  std::vector<PathFn> parts{cap(51, 62, 98)};
  parts.push_back([](cairo_t* c) {
    cairo_move_to(c, kCx - 46, 62);
    cairo_curve_to(c, kCx - 52, 30, kCx - 20, 8, kCx + 14, 14);
    cairo_curve_to(c, kCx + 38, 18, kCx + 46, 36, kCx + 30, 46);
    cairo_curve_to(c, kCx + 10, 40, kCx - 10, 46, kCx - 22, 60);
    cairo_close_path(c);
  });
  mergedShapes(cr, parts);
  strand(cr, {kCx - 34, 54}, {kCx - 30, 24}, {kCx + 10, 22});
}

void hairBob(cairo_t* cr) {  // hair9: a wavy bob to the chin
  paperShape(cr, [](cairo_t* c) {
    cairo_arc(c, kCx, kCy, 55, kPi, 2 * kPi);
    cairo_curve_to(c, kCx + 58, 110, kCx + 62, 120, kCx + 54, 130);
    cairo_curve_to(c, kCx + 48, 124, kCx + 42, 132, kCx + 36, 126);
    cairo_curve_to(c, kCx + 40, 96, kCx + 40, 62, kCx + 20, 58);
    cairo_curve_to(c, kCx + 8, 63, kCx - 8, 63, kCx - 20, 58);
    cairo_curve_to(c, kCx - 40, 62, kCx - 40, 96, kCx - 36, 126);
    cairo_curve_to(c, kCx - 42, 132, kCx - 48, 124, kCx - 54, 130);
    cairo_curve_to(c, kCx - 62, 120, kCx - 58, 110, kCx - 55, kCy);
    cairo_close_path(c);
  });
  strand(cr, {kCx - 14, 46}, {kCx - 36, 56}, {kCx - 46, 104});
  strand(cr, {kCx + 14, 46}, {kCx + 36, 56}, {kCx + 46, 104});
}

// ---- Hat and toque --------------------------------------------------------

void domePath(cairo_t* cr) {
  const double l = kHatDomeCx - kHatDomeHalfW, r = kHatDomeCx + kHatDomeHalfW;
  cairo_move_to(cr, l, kHatBandY);
  cairo_curve_to(cr, l, 34, kHatDomeCx - 40, kHatTopY, kHatDomeCx, kHatTopY);
  cairo_curve_to(cr, kHatDomeCx + 40, kHatTopY, r, 34, r, kHatBandY);
  cairo_curve_to(cr, r - 30, kHatBandY + 4, l + 30, kHatBandY + 4, l, kHatBandY);
  cairo_close_path(cr);
}

// A cap: the dome sits on the head, the brim reaches left.
void drawHat(cairo_t* cr) {
  const double l = kHatDomeCx - kHatDomeHalfW;
  paperShape(cr, [l](cairo_t* c) {
    cairo_move_to(c, l + 24, 70);
    cairo_curve_to(c, l - 10, 64, kHatBrimTipX + 30, 66, kHatBrimTipX + 6, 72);
    cairo_curve_to(c, kHatBrimTipX - 2, 74, kHatBrimTipX - 2, 86, kHatBrimTipX + 8, 86);
    cairo_curve_to(c, kHatBrimTipX + 40, 88, l, 88, l + 24, 86);
    cairo_close_path(c);
  });
  paperShape(cr, domePath);
  // Band and seams, kept inside the dome.
  cairo_save(cr);
  cairo_new_path(cr);
  domePath(cr);
  cairo_clip(cr);
  inkLine(cr, {{l, 70}, {kHatDomeCx + kHatDomeHalfW, 70}}, 4);
  for (double dx : {-24.0, 24.0}) {
    cairo_new_path(cr);
    cairo_move_to(cr, kHatDomeCx, kHatTopY);
    cairo_curve_to(cr, kHatDomeCx + dx * 1.2, 30, kHatDomeCx + dx * 1.4, 50, kHatDomeCx + dx * 1.3, 70);
    setInk(cr);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  paperShape(
      cr, [](cairo_t* c) { ellipsePath(c, kHatDomeCx, kHatTopY + 1, 6, 5); }, 4);
}

// A tall pleated toque; its band sits on the head when drawn at the toque's
// offset, its puffed top leans right.
void drawToque(cairo_t* cr) {
  const double bandL = kBodyHeadCx - kToqueX - 52, bandR = kBodyHeadCx - kToqueX + 52;  // 46 .. 150
  mergedShapes(cr, {circle({58, 142}, 40), circle({88, 88}, 46), circle({142, 60}, 52), circle({192, 98}, 44),
                    circle({200, 146}, 34), circle({150, 132}, 50), circle({100, 142}, 48)});
  // Folds in the puff.
  for (auto [a, b, c] : {std::tuple<Pt, Pt, Pt>{{76, 160}, {80, 120}, {100, 100}},
                         {{122, 160}, {128, 110}, {150, 86}},
                         {{168, 164}, {176, 130}, {192, 118}}}) {
    strand(cr, a, b, c);
  }
  paperShape(cr, [=](cairo_t* c) { roundedRect(c, bandL, 168, bandR - bandL, 60, 8); });
  for (int i = 1; i < 5; ++i) {
    const double x = bandL + i * (bandR - bandL) / 5;
    inkLine(cr, {{x, 176}, {x, 220}}, 3);
  }
}

std::string numbered(const char* pattern, int n) {
  char buf[64];
  std::snprintf(buf, sizeof buf, pattern, n);
  return buf;
}

}  // namespace

void addHeadPictures(std::vector<Picture>& out) {
  void (*faces[])(cairo_t*) = {face1, face2, face3, face4, face5, face6, face7};
  for (int i = 0; i < 7; ++i)
    out.push_back({numbered("face%d.png", i + 1), kFaceSize, kFaceSize, Kind::Rgba, faces[i]});
  void (*hairs[])(cairo_t*) = {hairCrop,   hairCurly,    hairSpiky, hairLong,  hairFringe,
                               hairMohawk, hairPigtails, hairBun,   hairQuiff, hairBob};
  for (int i = 0; i < 10; ++i) out.push_back({numbered("hair%d.png", i), kHairSize, kHairSize, Kind::Rgba, hairs[i]});
  out.push_back({"hat.png", kHatW, kHatH, Kind::Rgba, drawHat});
  out.push_back({"chefhat.png", kToqueW, kToqueH, Kind::Rgba, drawToque});
}

}  // namespace picgen
