/** @file font.cpp Bitstream Vera Sans loaded from its file, and text shown left, centred or right with cairo. */
#include "font.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>

namespace picgen {

cairo_font_face_t* veraFace(const std::string& path) {
  // Kept for the life of the program: cairo refers to the FreeType face.
  static FT_Library library = nullptr;
  static cairo_font_face_t* face = nullptr;
  if (face) return face;
  FT_Face ftFace = nullptr;
  if ((!library && FT_Init_FreeType(&library) != 0) || FT_New_Face(library, path.c_str(), 0, &ftFace) != 0) {
    std::fprintf(stderr, "cannot load the font %s\n", path.c_str());
    return nullptr;
  }
  face = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
  return face;
}

void useVera(cairo_t* cr, double size) {
  cairo_set_font_face(cr, veraFace());
  cairo_set_font_size(cr, size);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

void showText(cairo_t* cr, double x, double y, const char* text) {
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, text);
  cairo_new_path(cr);
}

void showTextCentred(cairo_t* cr, double cx, double y, const char* text) {
  cairo_text_extents_t ext;
  cairo_text_extents(cr, text, &ext);
  showText(cr, cx - ext.x_bearing - ext.width / 2, y, text);
}

void showTextRight(cairo_t* cr, double right, double y, const char* text) {
  cairo_text_extents_t ext;
  cairo_text_extents(cr, text, &ext);
  showText(cr, right - ext.x_bearing - ext.width, y, text);
}

}  // namespace picgen
