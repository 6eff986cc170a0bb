/** @file misc.cpp The cursor, the masks only tested against (vision wedge, oval), the boxes' lettered overlays. */
#include <cmath>
#include <numbers>

#include "draw.h"
#include "font.h"
#include "layout.h"
#include "picture.h"

namespace picgen {
namespace {

using namespace layout;
constexpr double kPi = std::numbers::pi;

// A grey arrow with a dark outline. The game draws it with its handle at the
// top-left pixel, so the tip sits exactly there: the join's round cap fills
// pixel (0, 0) completely.
void drawCursor(cairo_t* cr) {
  const Pt pts[] = {{1, 1}, {1, 58}, {14, 46}, {24, 70}, {34, 65.5}, {24, 42.5}, {40.5, 42}};
  cairo_new_path(cr);
  for (const Pt& p : pts) cairo_line_to(cr, p.x, p.y);
  cairo_close_path(cr);
  setGrey(cr, style::kShade);
  cairo_fill_preserve(cr);
  setGrey(cr, 0.15);
  cairo_set_line_width(cr, 4);
  cairo_stroke(cr);
}

// A fan's field of view, tested with its centre on his head and rotated to
// his heading: nothing behind or right at his eyes, then a wedge opening
// ahead to the picture's full height at its far edge.
void drawVision(cairo_t* cr) {
  const double cx = kVisionW / 2.0, cy = kVisionH / 2.0;
  const double half = std::atan2(cy, kVisionW - cx);  // reaches the corners of the far edge
  constexpr double kNear = 40;
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, kNear, -half, half);
  cairo_arc_negative(cr, cx, cy, 2 * kVisionW, half, -half);
  cairo_close_path(cr);
  setPaper(cr);
  cairo_fill(cr);
}

// The ellipse that keeps the game's ring of old boxes clear of the middle.
void drawOval(cairo_t* cr) {
  ellipsePath(cr, kOvalW / 2.0, kOvalH / 2.0, kOvalW / 2.0, kOvalH / 2.0);
  setPaper(cr);
  cairo_fill(cr);
}

// Box overlays: black lettering over the box's colour, in the game's font.
void drawProtected(cairo_t* cr) {
  const Pt c{kBoxW / 2.0, 68};
  cairo_new_path(cr);
  cairo_arc(cr, c.x, c.y, 44, 0, 2 * kPi);
  setInk(cr);
  cairo_set_line_width(cr, 7);
  cairo_stroke(cr);
  useVera(cr, 64);
  cairo_text_extents_t ext;
  cairo_text_extents(cr, "C", &ext);
  showTextCentred(cr, c.x, c.y - ext.y_bearing - ext.height / 2, "C");
  useVera(cr, 30);
  showTextCentred(cr, c.x, 160, "PROTECTED");
}

void drawFinalized(cairo_t* cr) {
  setInk(cr);
  useVera(cr, 48);
  showTextCentred(cr, kBoxW / 2.0, 168, "FINAL");
}

void drawFull(cairo_t* cr) {
  setInk(cr);
  useVera(cr, 36);
  showTextRight(cr, kBoxW - 14, 48, "FULL");
}

}  // namespace

void addMiscPictures(std::vector<Picture>& out) {
  out.push_back({"cursor.png", kCursorW, kCursorH, Kind::Rgba, drawCursor});
  out.push_back({"vision.png", kVisionW, kVisionH, Kind::GreyAlpha, drawVision});
  out.push_back({"protected.png", kBoxW, kBoxH, Kind::Rgba, drawProtected});
  out.push_back({"finalized.png", kBoxW, kBoxH, Kind::Rgba, drawFinalized});
  out.push_back({"full.png", kBoxW, kBoxH, Kind::Rgba, drawFull});
  out.push_back({"oval.png", kOvalW, kOvalH, Kind::GreyAlpha, drawOval});
}

}  // namespace picgen
