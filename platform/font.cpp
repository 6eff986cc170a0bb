/** @file font.cpp Font loading: TrueType faces rasterised by FreeType, the fallback font, and FontTextWidth. */
#include "platform/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include "platform/resources.h"

namespace {

// FreeType's 26.6 fixed-point values are taken in whole pixels.
int WholePixels(FT_Pos v) { return int(v >> 6); }

// Copies FreeType's bitmap into a coverage picture, with a one-pixel border when padded.
void CopyBitmap(const FT_Bitmap& bitmap, int pad, Glyph& glyph) {
  glyph.W = int(bitmap.width) + 2 * pad;
  glyph.H = int(bitmap.rows) + 2 * pad;
  glyph.Alpha.assign(size_t(glyph.W) * size_t(glyph.H), 0);
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    const unsigned char* line = bitmap.buffer + ptrdiff_t(row) * bitmap.pitch;
    for (unsigned col = 0; col < bitmap.width; ++col) {
      uint8_t value =
          bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? ((line[col / 8] >> (7 - col % 8)) & 1) * 255 : line[col];
      glyph.Alpha[size_t(row + unsigned(pad)) * size_t(glyph.W) + col + unsigned(pad)] = value;
    }
  }
}

// A font that can always be drawn: each printable character is an open box.
FontRef MakeFallbackFont() {
  auto font = std::make_shared<Font>();
  constexpr int W = 7, H = 11, Top = 3;
  font->LineHeight = 16;
  for (int c = 32; c < 256; ++c) {
    if (c == 127) continue;
    Glyph& glyph = font->Glyphs[size_t(c)];
    glyph.Present = true;
    glyph.Advance = 9;
    if (c == ' ') continue;
    glyph.X = 1;
    glyph.Y = Top;
    glyph.W = W;
    glyph.H = H;
    glyph.Alpha.assign(W * H, 0);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (x == 0 || y == 0 || x == W - 1 || y == H - 1) glyph.Alpha[size_t(y * W + x)] = 255;
  }
  return font;
}

}  // namespace

FontRef MakeTextFont(const uint8_t* data, size_t size, int pixelSize, int style) {
  FT_Library library;
  if (FT_Init_FreeType(&library)) return nullptr;
  FT_Face face;
  if (FT_New_Memory_Face(library, data, FT_Long(size), 0, &face)) {
    FT_Done_FreeType(library);
    return nullptr;
  }
  // A face that refuses the size is tried one pixel smaller until it accepts.
  int accepted = pixelSize;
  while (accepted > 0 && FT_Set_Pixel_Sizes(face, 0, FT_UInt(accepted))) --accepted;
  if (accepted <= 0) {
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return nullptr;
  }
  auto font = std::make_shared<Font>();
  font->Smooth = style == FontStyleSmooth;
  font->LineHeight = WholePixels(face->size->metrics.height);
  const int ascender = WholePixels(face->size->metrics.ascender);
  const int pad = font->Smooth ? 1 : 0;
  const FT_Int32 flags = FT_LOAD_RENDER | (font->Smooth ? FT_LOAD_DEFAULT : FT_LOAD_MONOCHROME | FT_LOAD_TARGET_MONO);
  for (int c = 32; c < 256; ++c) {
    if (FT_Get_Char_Index(face, FT_ULong(c)) == 0) continue;
    if (FT_Load_Char(face, FT_ULong(c), flags)) continue;
    const FT_GlyphSlot slot = face->glyph;
    Glyph& glyph = font->Glyphs[size_t(c)];
    glyph.Present = true;
    glyph.Advance = WholePixels(slot->advance.x);
    glyph.X = slot->bitmap_left - pad;
    glyph.Y = ascender - slot->bitmap_top - pad;
    CopyBitmap(slot->bitmap, pad, glyph);
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return font;
}

FontRef LoadTextFont(const std::string& url, int size, int style) {
  auto stream = OpenResource(url);
  if (!stream) return nullptr;
  return MakeTextFont(stream->Data(), stream->Size(), size, style);
}

const FontRef& FallbackFont() {
  static const FontRef font = MakeFallbackFont();
  return font;
}

int FontTextWidth(const Font& font, const std::string& text) {
  int width = 0;
  for (unsigned char c : text)
    if (font.Glyphs[c].Present) width += font.Glyphs[c].Advance;
  return width;
}
