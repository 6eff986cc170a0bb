/** @file png_writer.cpp writePng: a cairo surface written as a reproducible PNG with straight alpha. */
#include "png_writer.h"

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace picgen {
namespace {

struct Rgba {
  uint8_t r, g, b, a;
};

// Cairo keeps premultiplied pixels in native-endian 32-bit words.
std::vector<Rgba> straightPixels(cairo_surface_t* surface, int w, int h) {
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  std::vector<Rgba> out(size_t(w) * h);
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
    for (int x = 0; x < w; ++x) {
      const uint32_t p = row[x];
      const unsigned a = p >> 24;
      auto unpremultiply = [a](unsigned c) -> uint8_t { return a == 0 ? 0 : uint8_t((c * 255 + a / 2) / a); };
      out[size_t(y) * w + x] = {unpremultiply((p >> 16) & 0xff), unpremultiply((p >> 8) & 0xff),
                                unpremultiply(p & 0xff), uint8_t(a)};
    }
  }
  return out;
}

// The game filters pictures bilinearly with straight alpha, so an invisible
// pixel's colour bleeds into its visible neighbour. Give invisible pixels
// next to visible ones the average colour of those neighbours, so edges do
// not darken.
void bleedEdges(std::vector<Rgba>& px, int w, int h) {
  std::vector<Rgba> src = px;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (src[size_t(y) * w + x].a != 0) continue;
      unsigned r = 0, g = 0, b = 0, n = 0;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
          const Rgba& q = src[size_t(ny) * w + nx];
          if (q.a == 0) continue;
          r += q.r, g += q.g, b += q.b, ++n;
        }
      }
      if (n) px[size_t(y) * w + x] = {uint8_t(r / n), uint8_t(g / n), uint8_t(b / n), 0};
    }
  }
}

uint8_t luma(const Rgba& p) { return uint8_t((299 * p.r + 587 * p.g + 114 * p.b + 500) / 1000); }

// Kept apart so that nothing it uses changes after libpng's setjmp.
bool encode(FILE* file, const std::vector<uint8_t>& bytes, int w, int h, Kind kind) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  const size_t rowBytes = size_t(w) * (kind == Kind::Rgba ? 4 : 2);
  png_init_io(png, file);
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8,
               kind == Kind::Rgba ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_GRAY_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) png_write_row(png, bytes.data() + size_t(y) * rowBytes);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool writePng(const std::string& path, cairo_surface_t* surface, Kind kind) {
  const int w = cairo_image_surface_get_width(surface);
  const int h = cairo_image_surface_get_height(surface);
  std::vector<Rgba> px = straightPixels(surface, w, h);
  bleedEdges(px, w, h);

  const int channels = kind == Kind::Rgba ? 4 : 2;
  std::vector<uint8_t> bytes(size_t(w) * h * channels);
  for (size_t i = 0; i < px.size(); ++i) {
    if (kind == Kind::Rgba) {
      bytes[i * 4 + 0] = px[i].r;
      bytes[i * 4 + 1] = px[i].g;
      bytes[i * 4 + 2] = px[i].b;
      bytes[i * 4 + 3] = px[i].a;
    } else {
      bytes[i * 2 + 0] = luma(px[i]);
      bytes[i * 2 + 1] = px[i].a;
    }
  }

  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    std::perror(path.c_str());
    return false;
  }
  const bool encoded = encode(file, bytes, w, h, kind);
  if (!encoded) std::fprintf(stderr, "%s: libpng could not write the picture\n", path.c_str());
  return std::fclose(file) == 0 && encoded;
}

}  // namespace picgen
