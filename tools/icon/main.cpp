/** @file main.cpp chromelly_icon: draws the game's desktop icon, a smiling fan's head, from its own pictures. */
// Draws the game's desktop icon from its own pictures: a fan's head and
// shoulders, smiling, with hair and hat in one colour, put together the way
// the game draws a standing fan, then scaled down to each icon size.
//   chromelly_icon ASSETS_DIR OUTPUT_DIR SIZE...
// writes OUTPUT_DIR/SIZE/chromelly.png for every size. The output depends
// only on the pictures: no time stamps or text chunks are written.
#include <png.h>

#include <sys/stat.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/image.h"

namespace {

// A premultiplied RGBA canvas in doubles, so scaling down adds no rounding of its own.
struct Canvas {
  int Width = 0, Height = 0;
  std::vector<double> Pixels;  // premultiplied RGBA, 0..1
  Canvas(int w, int h) : Width(w), Height(h), Pixels(size_t(w) * size_t(h) * 4, 0.0) {}
  double* At(int x, int y) { return &Pixels[(size_t(y) * size_t(Width) + size_t(x)) * 4]; }
};

// The fan's favourite colour for the icon: hair and hat are tinted by it, as the game multiplies them.
constexpr double kTint[3] = {225 / 255.0, 40 / 255.0, 130 / 255.0};
constexpr double kWhite[3] = {1, 1, 1};

// Draws a picture with its top-left corner at (x, y) (relative to the crop), multiplied by a colour.
void DrawOver(Canvas& canvas, const Image& picture, int x, int y, const double tint[3]) {
  for (int py = 0; py < picture.Height; ++py) {
    const int cy = y + py;
    if (cy < 0 || cy >= canvas.Height) continue;
    for (int px = 0; px < picture.Width; ++px) {
      const int cx = x + px;
      if (cx < 0 || cx >= canvas.Width) continue;
      const uint8_t* s = &picture.Pixels[(size_t(py) * size_t(picture.Width) + size_t(px)) * 4];
      const double a = s[3] / 255.0;
      double* d = canvas.At(cx, cy);
      for (int c = 0; c < 3; ++c) d[c] = s[c] / 255.0 * tint[c] * a + d[c] * (1 - a);
      d[3] = a + d[3] * (1 - a);
    }
  }
}

// Area-averaging resize of a square canvas: every source pixel counts by how much of it an output pixel covers.
Canvas ScaleDown(const Canvas& source, int size) {
  Canvas out(size, size);
  const double step = double(source.Width) / size;
  for (int oy = 0; oy < size; ++oy) {
    const double y0 = oy * step, y1 = y0 + step;
    for (int ox = 0; ox < size; ++ox) {
      const double x0 = ox * step, x1 = x0 + step;
      double sum[4] = {0, 0, 0, 0};
      for (int sy = int(y0); sy < int(std::ceil(y1)) && sy < source.Height; ++sy) {
        const double wy = std::fmin(y1, sy + 1.0) - std::fmax(y0, double(sy));
        for (int sx = int(x0); sx < int(std::ceil(x1)) && sx < source.Width; ++sx) {
          const double w = wy * (std::fmin(x1, sx + 1.0) - std::fmax(x0, double(sx)));
          const double* s = &source.Pixels[(size_t(sy) * size_t(source.Width) + size_t(sx)) * 4];
          for (int c = 0; c < 4; ++c) sum[c] += s[c] * w;
        }
      }
      double* d = out.At(ox, oy);
      for (int c = 0; c < 4; ++c) d[c] = sum[c] / (step * step);
    }
  }
  return out;
}

uint8_t Byte(double v) { return uint8_t(std::lround(std::fmin(1.0, std::fmax(0.0, v)) * 255.0)); }

bool WritePng(const std::string& path, const Canvas& canvas) {
  std::vector<uint8_t> rgba(size_t(canvas.Width) * size_t(canvas.Height) * 4);
  for (size_t i = 0; i < rgba.size(); i += 4) {
    const double a = canvas.Pixels[i + 3];
    for (size_t c = 0; c < 3; ++c) rgba[i + c] = a > 0 ? Byte(canvas.Pixels[i + c] / a) : 0;
    rgba[i + 3] = Byte(a);
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(canvas.Width), png_uint_32(canvas.Height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 9);
  png_write_info(png, info);
  for (int y = 0; y < canvas.Height; ++y) png_write_row(png, &rgba[size_t(y) * size_t(canvas.Width) * 4]);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: chromelly_icon ASSETS_DIR OUTPUT_DIR SIZE...\n");
    return 2;
  }
  const std::string assets = argv[1], output = argv[2];
  // The standing body, the happiest face and a full head of hair.
  const ImageRef body = LoadImageFile(assets + "/body.png");
  const ImageRef face = LoadImageFile(assets + "/face7.png");
  const ImageRef hair = LoadImageFile(assets + "/hair3.png");
  const ImageRef hat = LoadImageFile(assets + "/hat.png");
  if (!body || !face || !hair || !hat) {
    std::fprintf(stderr, "chromelly_icon: cannot read the pictures in %s\n", assets.c_str());
    return 1;
  }
  // Head and shoulders: a square of the body's width from its top, where the hat starts.
  Canvas person(body->Width, body->Width);
  DrawOver(person, *body, 0, 0, kWhite);
  DrawOver(person, *face, 90, 72, kWhite);
  DrawOver(person, *hair, 70, 29, kTint);
  DrawOver(person, *hat, 0, 0, kTint);
  for (int i = 3; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size < 1 || size > person.Width) {
      std::fprintf(stderr, "chromelly_icon: no icon of size %s\n", argv[i]);
      return 2;
    }
    const std::string dir = output + "/" + std::to_string(size);
    mkdir(output.c_str(), 0755);
    mkdir(dir.c_str(), 0755);
    if (!WritePng(dir + "/chromelly.png", ScaleDown(person, size))) {
      std::fprintf(stderr, "chromelly_icon: cannot write %s/chromelly.png\n", dir.c_str());
      return 1;
    }
  }
  return 0;
}
