/** @file people.cpp Body pictures: the fan standing and walking, the chef, the new-hat and inspiration frames. */
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "figure.h"
#include "layout.h"
#include "picture.h"

namespace picgen {
namespace {

using namespace layout;
using figure::Limb;
using figure::Pose;

std::string numbered(const char* pattern, int n) {
  char buf[64];
  std::snprintf(buf, sizeof buf, pattern, n);
  return buf;
}

Picture body(std::string name, Pose pose, figure::Outfit outfit = figure::Outfit::Plain) {
  return {std::move(name), kBodyW, kBodyH, Kind::Rgba, [pose, outfit](cairo_t* cr) { figure::draw(cr, pose, outfit); }};
}

// ---- Chef -----------------------------------------------------------------

// The chef holds his hands before him, where a stolen hat is drawn: under the
// lower corners of its dome.
Pose chefPose() {
  Pose p = figure::standing();
  // His picture is 9 shorter than a fan's: stand him a little higher.
  constexpr double kChefGround = figure::kGroundY - (kBodyH - kChefH);
  p.legs[0] = figure::frontLeg(-1, {figure::kFrontHipX[0] - 6, kChefGround});
  p.legs[1] = figure::frontLeg(+1, {figure::kFrontHipX[1] + 6, kChefGround});
  const Pt domeLeft{kCarriedHatX + kHatDomeCx - kHatDomeHalfW + 6, kCarriedHatY + kHatBandY - 8};
  const Pt domeRight{kCarriedHatX + kHatDomeCx + kHatDomeHalfW - 4, kCarriedHatY + kHatBandY - 10};
  p.arms[0] = figure::arm({98, 212}, domeLeft, {-1, 0.4});
  p.arms[1] = figure::arm({182, 212}, domeRight, {1, 0.2});
  return p;
}

// The jacket that comes down over an inspired fan lands 36 units above him
// and he is drawn as a chef from the next frame on, so it is drawn 36 lower
// than on the chef's body: the last step then matches the chef exactly.
void drawChefShirt(cairo_t* cr) {
  cairo_translate(cr, 0, -kShirtLastY);
  figure::draw(cr, chefPose(), figure::Outfit::ChefJacket);
}

// ---- Taking a new hat -----------------------------------------------------

// Where a hand holds the hat: on the right side of its dome, near the band.
constexpr Pt kHatGrip{kHatDomeCx + kHatDomeHalfW - 6, kHatBandY - 10};

// The grip point of the hat while it is held up, tilted, above the head.
Pt raisedHatGrip() {
  const double a = deg2rad(kRaisedHatDeg);
  return {kRaisedHatX + kHatGrip.x * std::cos(a) - kHatGrip.y * std::sin(a),
          kRaisedHatY + kHatGrip.x * std::sin(a) + kHatGrip.y * std::cos(a)};
}

// Frames 0-3 raise the right arm, 4 holds the hat up, 5 sets it on the head.
// The game draws these over the head, so the raised hand covers the hat.
Pose newHatPose(int frame) {
  Pose p = figure::standing();
  const Pt shoulder{figure::kFrontShoulderX[1], figure::kShoulderY};
  // The elbow leads: it swings out and up first, then the hand follows.
  const Pt hands[6] = {p.arms[1].end, {256, 290}, {262, 180}, {256, 112}, raisedHatGrip(), kHatGrip};
  const Pt elbows[6] = {{1, 0.6}, {1, -0.3}, {1, 0.8}, {1, 0.4}, {1, 0.2}, {1, 0.2}};
  p.arms[1] = figure::arm(shoulder, hands[frame], elbows[frame]);
  return p;
}

// ---- Inspiration ----------------------------------------------------------

struct InspireBody {
  const char* name;
  Pt hands[2];   // viewer's left and right hand, from its own shoulder
  Pt elbows[2];  // which way each elbow bends
};

// ib0, ib2 and ib3 tremble while the colour fills the torso; ib38 twitches;
// ib52 to ib56 lift the arms and wave them above the head. The picture is
// only 280 wide, so arms held out sideways are bent.
constexpr Pt kOut{1, 0.5}, kDown{0.2, 1};
constexpr InspireBody kInspireBodies[] = {
    {"ib0.png", {{-26, 128}, {26, 128}}, {kOut, kOut}},   {"ib2.png", {{-34, 110}, {32, 112}}, {kOut, kOut}},
    {"ib3.png", {{-18, 128}, {20, 127}}, {kOut, kOut}},   {"ib38.png", {{-58, 90}, {60, 88}}, {kOut, kOut}},
    {"ib52.png", {{-74, 10}, {74, 14}}, {kDown, kDown}},  {"ib53.png", {{-72, -52}, {72, -48}}, {kDown, kDown}},
    {"ib54.png", {{-70, -100}, {74, -96}}, {kOut, kOut}}, {"ib55.png", {{-58, -112}, {80, -80}}, {kOut, kOut}},
    {"ib56.png", {{-80, -82}, {60, -110}}, {kOut, kOut}},
};

Pose inspirePose(const InspireBody& b) {
  Pose p = figure::standing();
  for (int i = 0; i < 2; ++i) {
    const double side = i == 0 ? -1 : 1;
    const Pt shoulder{figure::kFrontShoulderX[i], figure::kShoulderY};
    const Pt elbow{side * b.elbows[i].x, b.elbows[i].y};
    p.arms[i] = figure::arm(shoulder, shoulder + b.hands[i], elbow);
  }
  return p;
}

// The inspiring colour spreads from the heart until it fills the torso, as a
// blob with a wavy rim. The blob only ever grows, so the steps that go back
// and forth stay smooth.
constexpr Pt kHeart{150, 244};

double wobble(double angle) { return 1 + 0.14 * std::sin(5 * angle) + 0.06 * std::sin(3 * angle + 1); }

void blobPath(cairo_t* cr, double radius) {
  constexpr int kSteps = 96;
  cairo_new_path(cr);
  for (int i = 0; i <= kSteps; ++i) {
    const double a = 2 * std::numbers::pi * i / kSteps;
    const double r = radius * wobble(a);
    cairo_line_to(cr, kHeart.x + r * std::cos(a), kHeart.y + r * std::sin(a));
  }
  cairo_close_path(cr);
}

// How much of the torso a blob of this radius covers, 0 to 1, sampled on a grid.
double torsoShare(double radius) {
  int inside = 0, total = 0;
  for (double y = figure::kTorsoTop + 4; y < figure::kTorsoBottom - 4; y += 2) {
    for (double x = figure::kFrontTorsoX + 4; x < figure::kFrontTorsoX + figure::kFrontTorsoW - 4; x += 2) {
      const Pt d = Pt{x, y} - kHeart;
      ++total;
      inside += length(d) < radius * wobble(std::atan2(d.y, d.x));
    }
  }
  return double(inside) / total;
}

// The radius at which the blob covers `share` of the torso.
double radiusForShare(double share) {
  double lo = 0, hi = 400;
  for (int i = 0; i < 40; ++i) {
    const double mid = (lo + hi) / 2;
    (torsoShare(mid) < share ? lo : hi) = mid;
  }
  return hi;
}

// Overlay n covers n/35 of the torso, so the colour creeps in at an even pace:
// ic0 is a small patch, ic35 the whole torso.
double inspireRadius(int n) { return radiusForShare(n == 0 ? 0.02 : n / 35.0); }

void drawInspireColour(cairo_t* cr, double radius) {
  cairo_save(cr);
  figure::frontTorsoInside(cr);
  cairo_clip(cr);
  blobPath(cr, radius);
  setPaper(cr);
  cairo_fill_preserve(cr);
  // A soft brushed rim rather than a polygon edge.
  cairo_set_line_width(cr, 7);
  cairo_stroke(cr);
  cairo_restore(cr);
}

}  // namespace

void addPeoplePictures(std::vector<Picture>& out) {
  out.push_back(body("body.png", figure::standing()));
  for (int f = 0; f < 8; ++f) {
    Pose p = figure::sideWalk(f);
    p.drop = kHeadBob[f];
    out.push_back(body(numbered("walk_right-%03d.png", f), p));
  }
  for (int f = 0; f < 8; ++f) {
    Pose p = figure::frontWalk(f);
    p.drop = kFrontBob * kHeadBob[f];
    out.push_back(body(numbered("framesdown%02d.png", f), p));
  }
  out.push_back({"chefbody.png", kChefW, kChefH, Kind::Rgba,
                 [](cairo_t* cr) { figure::draw(cr, chefPose(), figure::Outfit::Chef); }});
  out.push_back({"chefshirt.png", kChefW, kChefH, Kind::Rgba, drawChefShirt});
  for (int f = 0; f < 6; ++f) out.push_back(body(numbered("hat-%03d.png", f), newHatPose(f)));
  for (const InspireBody& b : kInspireBodies) out.push_back(body(b.name, inspirePose(b)));
  for (int n = 0; n <= 35; ++n) {
    if (n == 1) continue;  // the game has no ic1
    out.push_back({numbered("ic%d.png", n), kBodyW, kBodyH, Kind::Rgba,
                   [radius = inspireRadius(n)](cairo_t* cr) { drawInspireColour(cr, radius); }});
  }
}

}  // namespace picgen
