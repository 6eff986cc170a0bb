// Pictures: decoded once with libpng, kept on the CPU (the hit layers read
// their alpha), uploaded to a texture by the backend when first drawn.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct Image {
  int Width = 0;
  int Height = 0;
  float HandleX = 0.0f;  // the point placed on the drawing position
  float HandleY = 0.0f;
  bool HasAlpha = true;  // false only for a picture decoded without an alpha channel
  std::vector<uint8_t> Pixels;  // RGBA, straight alpha, row by row

  uint8_t AlphaAt(int px, int py) const { return Pixels[(size_t(py) * size_t(Width) + size_t(px)) * 4 + 3]; }

  // Backend cache: texture name and the screen generation it belongs to.
  mutable uint32_t Texture = 0;
  mutable uint32_t TextureGeneration = 0;
};
using ImageRef = std::shared_ptr<Image>;

// Decodes a PNG from a resource name ("incbin::hat.png" or a plain path) with the
// default flags; null when it cannot be opened or decoded.
ImageRef LoadImageFile(const std::string& url);
// Decodes PNG bytes with the default flags; null when they are not a readable PNG.
ImageRef DecodePng(const uint8_t* data, size_t size);
// Moves the handle to the picture's centre.
void CentreImageHandle(const ImageRef& image);
int ImagePixelWidth(const ImageRef& image);
int ImagePixelHeight(const ImageRef& image);
