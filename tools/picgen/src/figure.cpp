/** @file figure.cpp The line-drawn figure: poses, limbs solved by two-bone inverse kinematics, and its drawing. */
#include "figure.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace picgen::figure {
namespace {

constexpr double kPi = std::numbers::pi;

// The walk: a foot travels back along the ground for half the cycle (stance)
// and swings forward through the air for the other half. Frames 1 and 5 are
// the contact poses, where the feet are furthest apart and the head bobs
// lowest; frames 3 and 7 are the passing poses, where it is highest.
constexpr double kStride = 52;  // how far a foot gets ahead of (or behind) the hip
constexpr double kLift = 38;    // how high a swinging foot rises

double cyclePhase(int frame, int leg) {
  const double t = (frame - 1) / 8.0 + 0.5 * leg;
  return t - std::floor(t);
}
// +1 foot furthest ahead, -1 furthest behind.
double footAhead(double t) { return t < 0.5 ? 1 - 4 * t : -std::cos(2 * kPi * (t - 0.5)); }
// 0 on the ground, 1 at the top of the swing.
double footLift(double t) { return t < 0.5 ? 0 : std::sin(2 * kPi * (t - 0.5)); }

// Chef's jacket, a little wider and longer than the plain torso.
constexpr double kJacketX = 86, kJacketY = 180, kJacketW = 108, kJacketH = 198;

struct TorsoBox {
  double x, y, w, h;
};

TorsoBox torsoBox(const Pose& pose, Outfit outfit) {
  if (outfit != Outfit::Plain) return {kJacketX, kJacketY + pose.drop, kJacketW, kJacketH};
  if (pose.side) return {kSideTorsoX, kTorsoTop + pose.drop, kSideTorsoW, kTorsoBottom - kTorsoTop};
  return {kFrontTorsoX, kTorsoTop + pose.drop, kFrontTorsoW, kTorsoBottom - kTorsoTop};
}

void drawTorso(cairo_t* cr, const TorsoBox& t) {
  paperShape(cr, [&](cairo_t* c) { roundedRect(c, t.x, t.y, t.w, t.h, 12); });
}

void drawNeck(cairo_t* cr, double drop) {
  tube(cr, {{140, kNeckTop + drop}, {140, kTorsoTop + 8 + drop}}, 20, style::kPaper, CAIRO_LINE_CAP_BUTT);
}

void drawArm(cairo_t* cr, const Limb& a, double width) {
  const Pt hand = a.end;
  tube(cr, {a.root, a.joint, a.end}, width, style::kPaper, CAIRO_LINE_CAP_ROUND,
       [hand](cairo_t* c) { ellipsePath(c, hand.x, hand.y, kHandR + 1, kHandR + 1); });
}

void drawSleeve(cairo_t* cr, const Limb& a) {
  drawArm(cr, Limb{a.root, a.joint, lerp(a.joint, a.end, 0.82)}, 26);
  const Pt hand = a.end;
  paperShape(cr, [hand](cairo_t* c) { ellipsePath(c, hand.x, hand.y, kHandR + 1, kHandR + 1); });
}

void drawLeg(cairo_t* cr, const Limb& l, bool side, int sideSign, double fill, double width) {
  tube(cr, {l.root, l.joint, l.end}, width, fill);
  const Pt a = l.end;
  if (side) {
    paperShape(cr, [a](cairo_t* c) { ellipsePath(c, a.x + 14, a.y + 4, 25, 11); });
  } else {
    paperShape(cr, [a, sideSign](cairo_t* c) { ellipsePath(c, a.x + 3 * sideSign, a.y + 6, 16, 11); });
  }
}

void drawChefDetails(cairo_t* cr, const TorsoBox& t) {
  // Standing collar.
  paperShape(cr, [&](cairo_t* c) { roundedRect(c, 118, t.y - 10, 44, 22, 8); });
  // Double-breasted front: the flap crosses over to the wearer's left.
  const double top = t.y + 14, bottom = t.y + t.h - 2;
  inkLine(cr, {{112, top - 2}, {168, top + 20}, {168, bottom}}, 4);
  // Two rows of buttons.
  setInk(cr);
  for (double x : {124.0, 154.0}) {
    for (int i = 0; i < 3; ++i) {
      cairo_new_path(cr);
      cairo_arc(cr, x, t.y + 48 + 42 * i, 5.5, 0, 2 * kPi);
      cairo_fill(cr);
    }
  }
}

}  // namespace

Pt solveJoint(Pt root, Pt end, double upper, double lower, Pt prefer) {
  Pt d = end - root;
  double dist = length(d);
  if (dist < 1e-6) return root + Pt{0, upper};
  const Pt u = d * (1 / dist);
  dist = std::clamp(dist, std::abs(upper - lower) + 1e-3, upper + lower - 1e-3);
  const double along = (upper * upper + dist * dist - lower * lower) / (2 * dist);
  const double across = std::sqrt(std::max(0.0, upper * upper - along * along));
  Pt n{-u.y, u.x};
  if (n.x * prefer.x + n.y * prefer.y < 0) n = n * -1;
  return root + u * along + n * across;
}

Limb arm(Pt shoulder, Pt hand, Pt preferElbow) {
  Pt d = hand - shoulder;
  const double reach = kUpperArm + kForearm - 0.5;
  if (length(d) > reach) hand = shoulder + d * (reach / length(d));
  return {shoulder, solveJoint(shoulder, hand, kUpperArm, kForearm, preferElbow), hand};
}

Limb frontArmAt(int side, double deg, double reach, double drop) {
  const Pt shoulder{kFrontShoulderX[side > 0], kShoulderY + drop};
  const double a = deg2rad(deg);
  const Pt dir{side * std::sin(a), std::cos(a)};
  // Elbows bend outward and down, away from the body.
  return arm(shoulder, shoulder + dir * reach, Pt{side * 1.0, 0.6});
}

Limb frontLeg(int side, Pt ankle, double drop) {
  const Pt hip{kFrontHipX[side > 0], kHipY + drop};
  const Pt knee = solveJoint(hip, ankle, kThigh, kShin, Pt{side * 1.0, 0});
  // Seen from the front a bent knee comes towards the viewer; show only a
  // little of the bend sideways.
  const Pt mid = lerp(hip, ankle, kThigh / (kThigh + kShin));
  return {hip, mid + (knee - mid) * 0.3, ankle};
}

Pose standing() {
  Pose p;
  p.arms[0] = frontArmAt(-1, 13, 132);
  p.arms[1] = frontArmAt(+1, 13, 132);
  p.legs[0] = frontLeg(-1, {kFrontHipX[0] - 6, kGroundY});
  p.legs[1] = frontLeg(+1, {kFrontHipX[1] + 6, kGroundY});
  return p;
}

Pose sideWalk(int frame) {
  Pose p;
  p.side = true;
  for (int leg = 0; leg < 2; ++leg) {
    const double t = cyclePhase(frame, leg == 1 ? 0 : 1);
    const Pt hip{140, kHipY};
    const Pt ankle{140 + kStride * footAhead(t), kGroundY - kLift * footLift(t)};
    p.legs[leg] = {hip, solveJoint(hip, ankle, kThigh, kShin, {1, 0}), ankle};
    // The arm on the same side swings against its leg.
    const double swing = -footAhead(t);
    const double deg = 4 + 26 * swing;
    const double reach = 130 - 20 * std::max(0.0, swing);
    const Pt shoulder{140, kShoulderY};
    const double a = deg2rad(deg);
    p.arms[leg] = arm(shoulder, shoulder + Pt{std::sin(a), std::cos(a)} * reach, {-1, 0});
  }
  return p;
}

Pose frontWalk(int frame) {
  Pose p;
  for (int leg = 0; leg < 2; ++leg) {
    const int side = leg == 0 ? -1 : 1;
    const double t = cyclePhase(frame, leg);
    const double ahead = footAhead(t), lift = footLift(t);
    // A foot further ahead is nearer the viewer, so lower in the picture.
    const Pt ankle{kFrontHipX[leg] + side * 5, kGroundY + 4 * ahead - 30 * lift};
    p.legs[leg] = frontLeg(side, ankle);
    const double swing = -ahead;  // arm against leg
    const Pt shoulder{kFrontShoulderX[leg], kShoulderY};
    const Pt hand = shoulder + Pt{side * (30 - 8 * swing), 128 - 22 * std::max(0.0, swing)};
    p.arms[leg] = arm(shoulder, hand, {side * 1.0, 0.6});
  }
  return p;
}

void draw(cairo_t* cr, const Pose& pose, Outfit outfit) {
  cairo_save(cr);
  // A walking figure is drawn upright and then its upper body is lowered by
  // the head bob: legs stay on the ground and bend to take it up.
  Pose p = pose;
  for (Limb* l : {&p.arms[0], &p.arms[1]}) {
    l->root.y += p.drop, l->joint.y += p.drop, l->end.y += p.drop;
  }
  for (Limb* l : {&p.legs[0], &p.legs[1]}) {
    l->root.y += p.drop;
    l->joint = p.side ? solveJoint(l->root, l->end, kThigh, kShin, {1, 0})
                      : frontLeg(l == &p.legs[0] ? -1 : 1, l->end, p.drop).joint;
  }
  const TorsoBox torso = torsoBox(p, outfit);

  if (outfit == Outfit::ChefJacket) {
    drawTorso(cr, torso);
    drawChefDetails(cr, torso);
    drawSleeve(cr, p.arms[0]);
    drawSleeve(cr, p.arms[1]);
    cairo_restore(cr);
    return;
  }
  if (outfit == Outfit::Chef) {
    for (int i = 0; i < 2; ++i) drawLeg(cr, p.legs[i], false, i ? 1 : -1, style::kShade, 24);
    drawTorso(cr, torso);
    drawChefDetails(cr, torso);
    drawSleeve(cr, p.arms[0]);
    drawSleeve(cr, p.arms[1]);
  } else if (p.side) {
    // Far limbs behind the torso, near arm in front of it.
    drawArm(cr, p.arms[0], style::kLimb);
    drawLeg(cr, p.legs[0], true, 1, style::kPaper, style::kLimb);
    drawLeg(cr, p.legs[1], true, 1, style::kPaper, style::kLimb);
    drawNeck(cr, p.drop);
    drawTorso(cr, torso);
    drawArm(cr, p.arms[1], style::kLimb);
  } else {
    // From the front the arms hang from behind the torso, which keeps the
    // torso clear for the inspiration colour.
    drawLeg(cr, p.legs[0], false, -1, style::kPaper, style::kLimb);
    drawLeg(cr, p.legs[1], false, 1, style::kPaper, style::kLimb);
    drawArm(cr, p.arms[0], style::kLimb);
    drawArm(cr, p.arms[1], style::kLimb);
    drawNeck(cr, p.drop);
    drawTorso(cr, torso);
  }
  cairo_restore(cr);
}

void frontTorsoInside(cairo_t* cr) {
  const double in = style::kOutline / 2 + 0.5;
  roundedRect(cr, kFrontTorsoX + in, kTorsoTop + in, kFrontTorsoW - 2 * in, kTorsoBottom - kTorsoTop - 2 * in, 12 - in);
}

}  // namespace picgen::figure
