/** @file font.h Font: a TrueType face rasterised once at a fixed pixel size, each Glyph with its alpha picture. */
// Fonts: a TrueType face rasterised once by FreeType at a fixed pixel size;
// each character keeps its advance, its box and its alpha picture.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

constexpr int FontStyleSmooth = 4;

struct Glyph {
  bool Present = false;
  int Advance = 0;  // whole pixels
  int X = 0;        // box relative to the pen position and the line top
  int Y = 0;
  int W = 0;
  int H = 0;
  std::vector<uint8_t> Alpha;  // W x H coverage

  mutable uint32_t Texture = 0;
  mutable uint32_t TextureGeneration = 0;
};

struct Font {
  int LineHeight = 0;
  bool Smooth = false;            // filtered and mipmapped when drawn
  std::array<Glyph, 256> Glyphs;  // by Latin-1 character code
};
using FontRef = std::shared_ptr<Font>;

// Loads a TrueType font from a resource name at size pixels; null when it cannot be read.
FontRef LoadTextFont(const std::string& url, int size, int style);
// Builds a font from TrueType bytes; null when FreeType refuses them.
FontRef MakeTextFont(const uint8_t* data, size_t size, int pixelSize, int style);
// The built-in font used when no font is selected.
const FontRef& FallbackFont();
// Sum of the advances of the characters of text that have a glyph, truncated after each addition.
int FontTextWidth(const Font& font, const std::string& text);
