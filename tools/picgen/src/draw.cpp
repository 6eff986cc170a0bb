/** @file draw.cpp The house style's drawing helpers: surfaces, paper shapes with ink outlines, tubes and lines. */
#include "draw.h"

#include <cmath>
#include <numbers>

#include "picture.h"

namespace picgen {

Surface makeSurface(int width, int height) {
  return Surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
}

Context makeContext(cairo_surface_t* surface) {
  Context cr(cairo_create(surface));
  cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_GOOD);
  cairo_set_line_join(cr.get(), CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr.get(), CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr.get(), style::kOutline);
  return cr;
}

Pt lerp(Pt a, Pt b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }
double length(Pt v) { return std::hypot(v.x, v.y); }
double deg2rad(double deg) { return deg * std::numbers::pi / 180.0; }

void setGrey(cairo_t* cr, double level) { cairo_set_source_rgb(cr, level, level, level); }
void setInk(cairo_t* cr) { setGrey(cr, style::kInk); }
void setPaper(cairo_t* cr) { setGrey(cr, style::kPaper); }

void paperShape(cairo_t* cr, const PathFn& path, double outline) {
  cairo_new_path(cr);
  path(cr);
  setPaper(cr);
  cairo_fill_preserve(cr);
  setInk(cr);
  cairo_set_line_width(cr, outline);
  cairo_stroke(cr);
}

void mergedShapes(cairo_t* cr, const std::vector<PathFn>& parts, double outline) {
  setInk(cr);
  cairo_set_line_width(cr, outline * 2);
  for (const auto& part : parts) {
    cairo_new_path(cr);
    part(cr);
    cairo_fill_preserve(cr);
    cairo_stroke(cr);
  }
  setPaper(cr);
  for (const auto& part : parts) {
    cairo_new_path(cr);
    part(cr);
    cairo_fill(cr);
  }
}

static void polyline(cairo_t* cr, const std::vector<Pt>& pts) {
  cairo_new_path(cr);
  cairo_move_to(cr, pts.front().x, pts.front().y);
  for (size_t i = 1; i < pts.size(); ++i) cairo_line_to(cr, pts[i].x, pts[i].y);
}

void tube(cairo_t* cr, const std::vector<Pt>& pts, double width, double fill, cairo_line_cap_t cap, const PathFn& end) {
  cairo_save(cr);
  cairo_set_line_cap(cr, cap);
  setInk(cr);
  cairo_set_line_width(cr, width + 2 * style::kOutline);
  polyline(cr, pts);
  cairo_stroke(cr);
  if (end) {
    cairo_set_line_width(cr, 2 * style::kOutline);
    cairo_new_path(cr);
    end(cr);
    cairo_fill_preserve(cr);
    cairo_stroke(cr);
  }
  setGrey(cr, fill);
  cairo_set_line_width(cr, width);
  polyline(cr, pts);
  cairo_stroke(cr);
  if (end) {
    cairo_new_path(cr);
    end(cr);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void inkLine(cairo_t* cr, std::initializer_list<Pt> pts, double width) {
  polyline(cr, std::vector<Pt>(pts));
  setInk(cr);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  const double pi = std::numbers::pi;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
  cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
  cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
  cairo_close_path(cr);
}

void ellipsePath(cairo_t* cr, double cx, double cy, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
  cairo_close_path(cr);
  cairo_restore(cr);
}

}  // namespace picgen
