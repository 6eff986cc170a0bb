/** @file draw.h The house style: black ink outlines around white paper fills, and the cairo helpers for it. */
// The house style: black ink outlines with round joins around white paper
// fills. White is where the game's draw colour shows through (it multiplies
// every picture by its colour); black stays black whatever the colour.
#pragma once

#include <cairo.h>

#include <functional>
#include <initializer_list>
#include <vector>

namespace picgen {

struct Pt {
  double x, y;
};
inline Pt operator+(Pt a, Pt b) { return {a.x + b.x, a.y + b.y}; }
inline Pt operator-(Pt a, Pt b) { return {a.x - b.x, a.y - b.y}; }
inline Pt operator*(Pt a, double k) { return {a.x * k, a.y * k}; }
Pt lerp(Pt a, Pt b, double t);
double length(Pt v);
double deg2rad(double deg);

namespace style {
constexpr double kOutline = 5.0;  // every outline, so the pictures match at any zoom
constexpr double kLimb = 16.0;    // white width of arms and legs inside their outline
constexpr double kInk = 0.0;      // grey level of outlines and features
constexpr double kPaper = 1.0;    // grey level of fills
constexpr double kShade = 0.8;    // the one mid tone (trousers, cursor)
}  // namespace style

void setGrey(cairo_t* cr, double level);
void setInk(cairo_t* cr);
void setPaper(cairo_t* cr);

// Builds a path on cr; used where a shape is filled and then outlined.
using PathFn = std::function<void(cairo_t*)>;

// Fills the shape white and outlines it in ink.
void paperShape(cairo_t* cr, const PathFn& path, double outline = style::kOutline);

// Several shapes that merge into one outlined silhouette (puffs of a toque,
// curls of hair): all outlines first, then all fills, so inner edges vanish.
void mergedShapes(cairo_t* cr, const std::vector<PathFn>& parts, double outline = style::kOutline);

// An outlined white tube along the points: an arm, a leg, a neck.
// `end`, if given, is a shape at the tip that merges with the tube (a hand).
void tube(cairo_t* cr, const std::vector<Pt>& pts, double width, double fill = style::kPaper,
          cairo_line_cap_t cap = CAIRO_LINE_CAP_ROUND, const PathFn& end = nullptr);

// An ink line along the points with round ends.
void inkLine(cairo_t* cr, std::initializer_list<Pt> pts, double width);

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
void ellipsePath(cairo_t* cr, double cx, double cy, double rx, double ry);

}  // namespace picgen
