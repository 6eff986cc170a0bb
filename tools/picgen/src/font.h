/** @file font.h The game's font, Bitstream Vera Sans, loaded from its file for picgen's lettering. */
// The game's font, Bitstream Vera Sans, loaded from its file so the lettering
// does not depend on what fontconfig happens to pick.
#pragma once

#include <cairo.h>

#include <string>

namespace picgen {

constexpr const char* kDefaultFontPath = "/usr/share/fonts/truetype/ttf-bitstream-vera/Vera.ttf";

// Loads the font once; later calls return the same face. Returns nullptr
// (after printing why) if the file cannot be read.
cairo_font_face_t* veraFace(const std::string& path = kDefaultFontPath);

// Selects the font at the given pixel size, hinting off so glyph outlines
// are placed exactly where asked.
void useVera(cairo_t* cr, double size);

// Draws text with its left end of the baseline at (x, y), in the current source.
void showText(cairo_t* cr, double x, double y, const char* text);
// Draws text with its ink centred horizontally on cx, baseline at y.
void showTextCentred(cairo_t* cr, double cx, double y, const char* text);
// Draws text with the right edge of its ink at right, baseline at y.
void showTextRight(cairo_t* cr, double right, double y, const char* text);

}  // namespace picgen
