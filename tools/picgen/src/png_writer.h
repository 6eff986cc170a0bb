/** @file png_writer.h writePng: a cairo surface as a PNG the game can load, byte for byte the same every time. */
// Writes a cairo surface as a PNG the game can load: 8-bit RGBA or 8-bit
// grey plus alpha, straight (not premultiplied) alpha, and nothing but the
// pixels: no time stamp and no text, so the same picture gives the same bytes.
#pragma once

#include <cairo.h>

#include <string>

#include "picture.h"

namespace picgen {

// Returns false (after printing why) if the file cannot be written.
bool writePng(const std::string& path, cairo_surface_t* surface, Kind kind);

}  // namespace picgen
