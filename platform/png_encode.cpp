/** @file png_encode.cpp WritePngRgb: a frame's RGB pixels written as a PNG file with libpng. */
#include "platform/png_encode.h"

#include <png.h>

#include <cstring>

bool WritePngRgb(const std::string& path, int width, int height, const uint8_t* pixels, bool bottomUp,
                 std::string& whyNot) {
  if (width <= 0 || height <= 0 || !pixels) {
    whyNot = "no pixels to write to " + path;
    return false;
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = PNG_FORMAT_RGB;
  // libpng's stride counts bytes here; a negative one says the bottom row comes first.
  const png_int_32 stride = png_int_32(width) * 3 * (bottomUp ? -1 : 1);
  if (!png_image_write_to_file(&image, path.c_str(), 0, pixels, stride, nullptr)) {
    whyNot = "cannot write " + path + ": " + image.message;
    png_image_free(&image);
    return false;
  }
  return true;
}
