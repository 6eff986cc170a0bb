/** @file transform.h Transform: the drawing transform the drawing calls and the hit layers share. */
// The drawing transform, shared by the drawing calls and the hit layers so that
// a rotated or mirrored picture is tested exactly where it is drawn.
#pragma once

struct Point {
  double X = 0;
  double Y = 0;
};

// Corners of a local box in the order (0,0), (w,0), (w,h), (0,h).
struct Quad {
  Point P[4];
};

// Maps a local point (dx, dy) to (px + dx*ix + dy*iy, py + dx*jx + dy*jy).
struct Transform {
  double Px = 0, Py = 0;
  double Ix = 1, Iy = 0, Jx = 0, Jy = 1;

  // Rotation in degrees (clockwise on screen, y down) and scale about (px, py).
  static Transform Make(double px, double py, double rotationDegrees, double sx, double sy);

  Point Map(double dx, double dy) const { return {Px + dx * Ix + dy * Iy, Py + dx * Jx + dy * Jy}; }
  // The corners of the local box (x0, y0) to (x1, y1).
  Quad MapBox(double x0, double y0, double x1, double y1) const;
  bool IsAxisAligned() const { return Iy == 0 && Jx == 0; }
};

// The rotation and scale in force for later drawing calls and hit shapes: part
// of the services' drawing state (SetDrawRotation, SetDrawScale), kept here so
// that drawing and the hit layers place a shape by one transform.
struct Orientation {
  float Rotation = 0.0f;  // degrees clockwise on screen
  float ScaleX = 1.0f;    // negative mirrors
  float ScaleY = 1.0f;
};
// The orientation in force; the services set and reset it.
Orientation& CurrentOrientation();
// The drawing transform in force for a drawing call or hit shape at (px, py).
Transform CurrentTransform(double px, double py);
