// Pictures: decoded once with libpng, kept on the CPU (the hit layers read
// their alpha), uploaded to a texture by the backend when first drawn.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct Image {
  int Width = 0;
  int Height = 0;
  float HandleX = 0.0f;  // the point placed on the drawing position
  float HandleY = 0.0f;
  bool HasAlpha = true;  // false only for a picture decoded without an alpha channel
  std::vector<uint8_t> Pixels;  // RGBA, straight alpha, row by row

  uint8_t AlphaAt(int px, int py) const { return Pixels[(size_t(py) * size_t(Width) + size_t(px)) * 4 + 3]; }

  // Where the picture counts as covered for the hit layers (alpha 128 and up):
  // the tight bounds of those pixels and a summed-area table of them, built on
  // first use. A picture's pixels do not change once it is in use.
  struct Coverage {
    int MinX = 0, MinY = 0, MaxX = -1, MaxY = -1;  // inclusive; empty when Min > Max
    std::vector<int32_t> Sums;   // (Width + 1) x (Height + 1)
    std::vector<uint8_t> Solid;  // 1 where covered, row by row
    // The octagon around the covered pixels: bounds of u, v, u + v and u - v over their corners.
    double OctagonMin[4] = {0, 0, 0, 0};
    double OctagonMax[4] = {-1, -1, -1, -1};
    // The corners of that octagon, in picture pixels (a rotated picture's bounds come from them).
    std::vector<std::pair<double, double>> Octagon;
    // Opaque pixels in columns x0..x1 and rows y0..y1, inclusive.
    int32_t Count(int x0, int y0, int x1, int y1, int width) const;
  };
  const Coverage& Opaque() const;

  // Backend cache: texture name and the screen generation it belongs to.
  mutable uint32_t Texture = 0;
  mutable uint32_t TextureGeneration = 0;

 private:
  mutable std::shared_ptr<const Coverage> coverage_;
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
