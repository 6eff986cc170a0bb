/** @file transform.cpp Transform: the drawing transform of rotation and scale, and boxes mapped by it. */
#include "platform/transform.h"

#include <cmath>

#include "platform/numeric.h"

namespace {

Orientation InForce;

}  // namespace

Orientation& CurrentOrientation() { return InForce; }

Transform CurrentTransform(double px, double py) {
  return Transform::Make(px, py, InForce.Rotation, InForce.ScaleX, InForce.ScaleY);
}

Transform Transform::Make(double px, double py, double rotationDegrees, double sx, double sy) {
  Transform t;
  t.Px = px;
  t.Py = py;
  if (rotationDegrees == 0.0) {
    // Exact zeros keep unrotated shapes on the fast axis-aligned path of the hit tests.
    t.Ix = sx;
    t.Iy = 0.0;
    t.Jx = 0.0;
    t.Jy = sy;
    return t;
  }
  double c = CosDeg(rotationDegrees);
  double s = SinDeg(rotationDegrees);
  t.Ix = c * sx;
  t.Iy = -s * sy;
  t.Jx = s * sx;
  t.Jy = c * sy;
  return t;
}

Quad Transform::MapBox(double x0, double y0, double x1, double y1) const {
  return Quad{{Map(x0, y0), Map(x1, y0), Map(x1, y1), Map(x0, y1)}};
}
