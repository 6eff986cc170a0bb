/** @file figure.h The line-drawn figure of every body picture: Pose, Limb and Outfit. */
// The line-drawn figure that every body picture shows: a rectangular torso,
// tube arms and legs, round hands and shoes. Poses are built from a few joint
// positions; the elbows and knees are found by two-bone inverse kinematics so
// the limbs keep their lengths however the hands and feet move.
#pragma once

#include <cairo.h>

#include "draw.h"

namespace picgen::figure {

// Anatomy of the standing figure in body-picture coordinates (280 x 510).
constexpr double kNeckTop = 169;  // just under the chin, so a body drawn over the face leaves it whole
constexpr double kTorsoTop = 184, kTorsoBottom = 336;
constexpr double kFrontTorsoX = 96, kFrontTorsoW = 88;  // seen from the front
constexpr double kSideTorsoX = 112, kSideTorsoW = 56;   // seen from the side
constexpr double kShoulderY = 208;
constexpr double kFrontShoulderX[2] = {102, 178};  // viewer's left, viewer's right
constexpr double kHipY = 326;
constexpr double kFrontHipX[2] = {124, 156};
constexpr double kGroundY = 484;  // ankles of a standing foot; the shoes end above the picture's bottom
constexpr double kUpperArm = 72, kForearm = 68, kThigh = 80, kShin = 79;
constexpr double kHandR = 10;

struct Limb {
  Pt root;   // shoulder or hip
  Pt joint;  // elbow or knee
  Pt end;    // wrist or ankle
};

struct Pose {
  bool side = false;  // seen from the side facing right; otherwise from the front
  double drop = 0;    // how far neck and torso sit below the standing figure (the head bob)
  Limb arms[2];       // side: far, near; front: viewer's left, viewer's right
  Limb legs[2];
};

enum class Outfit {
  Plain,       // white figure
  Chef,        // double-breasted jacket, trousers, arms in front
  ChefJacket,  // the chef's jacket and sleeves alone
};

// The elbow or knee between root and end, on the side of `prefer`.
Pt solveJoint(Pt root, Pt end, double upper, double lower, Pt prefer);

// An arm from the shoulder towards a hand position (clamped to its reach).
Limb arm(Pt shoulder, Pt hand, Pt preferElbow);
// A front-view arm hanging `deg` degrees out from straight down; side -1 left, +1 right.
Limb frontArmAt(int side, double deg, double reach, double drop = 0);
Limb frontLeg(int side, Pt ankle, double drop = 0);

Pose standing();
Pose sideWalk(int frame);   // frames 0-7 of the step cycle, walking right
Pose frontWalk(int frame);  // frames 0-7, walking towards the viewer

void draw(cairo_t* cr, const Pose& pose, Outfit outfit = Outfit::Plain);

// The inside of the front-view torso, where the inspiration colour fills in.
void frontTorsoInside(cairo_t* cr);

}  // namespace picgen::figure
