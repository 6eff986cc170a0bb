#include "platform/image.h"

#include <png.h>

#include <cstring>

#include "platform/resources.h"

namespace {

// A picture without alpha is masked: pure black becomes transparent and takes the
// average colour of its non-black neighbours, so filtering shows no dark fringe.
void MaskBlack(Image& image) {
  const int w = image.Width;
  const int h = image.Height;
  std::vector<uint8_t> source = image.Pixels;
  auto isBlack = [&](int x, int y) {
    const uint8_t* p = &source[(size_t(y) * size_t(w) + size_t(x)) * 4];
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
  };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t* out = &image.Pixels[(size_t(y) * size_t(w) + size_t(x)) * 4];
      if (!isBlack(x, y)) {
        out[3] = 255;
        continue;
      }
      int sum[3] = {0, 0, 0};
      int count = 0;
      for (int ny = y - 1; ny <= y + 1; ++ny) {
        for (int nx = x - 1; nx <= x + 1; ++nx) {
          if (nx < 0 || ny < 0 || nx >= w || ny >= h || isBlack(nx, ny)) continue;
          const uint8_t* p = &source[(size_t(ny) * size_t(w) + size_t(nx)) * 4];
          for (int c = 0; c < 3; ++c) sum[c] += p[c];
          ++count;
        }
      }
      for (int c = 0; c < 3; ++c) out[c] = uint8_t(count ? sum[c] / count : 0);
      out[3] = 0;
    }
  }
}

}  // namespace

ImageRef DecodePng(const uint8_t* data, size_t size) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&png, data, size)) return nullptr;
  const bool hasAlpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  png.format = PNG_FORMAT_RGBA;
  auto image = std::make_shared<Image>();
  image->Width = int(png.width);
  image->Height = int(png.height);
  image->HasAlpha = hasAlpha;
  image->Pixels.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, image->Pixels.data(), 0, nullptr)) {
    png_image_free(&png);
    return nullptr;
  }
  if (!hasAlpha) MaskBlack(*image);
  return image;
}

ImageRef LoadImageFile(const std::string& url) {
  auto stream = OpenResource(url);
  if (!stream) return nullptr;
  return DecodePng(stream->Data(), stream->Size());
}

void CentreImageHandle(const ImageRef& image) {
  image->HandleX = float(double(image->Width) * 0.5);
  image->HandleY = float(double(image->Height) * 0.5);
}

int ImagePixelWidth(const ImageRef& image) { return image ? image->Width : 0; }
int ImagePixelHeight(const ImageRef& image) { return image ? image->Height : 0; }
