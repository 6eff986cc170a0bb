#include "platform/image.h"

#include <png.h>

#include <algorithm>
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

// The polygon bounded by lo[d] <= n_d . (u, v) <= hi[d] for the directions
// (1, 0), (0, 1), (1, 1), (1, -1): the box clipped by the two diagonal pairs.
std::vector<std::pair<double, double>> OctagonCorners(const double lo[4], const double hi[4]) {
  using P = std::pair<double, double>;
  std::vector<P> poly{{lo[0], lo[1]}, {hi[0], lo[1]}, {hi[0], hi[1]}, {lo[0], hi[1]}};
  // Keeps the part of the polygon where a*u + b*v >= limit.
  auto clip = [&](double a, double b, double limit) {
    std::vector<P> out;
    for (size_t i = 0; i < poly.size(); ++i) {
      const P& p = poly[i];
      const P& q = poly[(i + 1) % poly.size()];
      const double fp = a * p.first + b * p.second - limit, fq = a * q.first + b * q.second - limit;
      if (fp >= 0) out.push_back(p);
      if ((fp >= 0) != (fq >= 0)) {
        const double t = fp / (fp - fq);
        out.push_back({p.first + t * (q.first - p.first), p.second + t * (q.second - p.second)});
      }
    }
    poly.swap(out);
  };
  clip(1, 1, lo[2]);
  clip(-1, -1, -hi[2]);
  clip(1, -1, lo[3]);
  clip(-1, 1, -hi[3]);
  return poly;
}

}  // namespace

int32_t Image::Coverage::Count(int x0, int y0, int x1, int y1, int width) const {
  const size_t stride = size_t(width) + 1;
  auto at = [&](int x, int y) { return Sums[size_t(y) * stride + size_t(x)]; };
  return at(x1 + 1, y1 + 1) - at(x0, y1 + 1) - at(x1 + 1, y0) + at(x0, y0);
}

const Image::Coverage& Image::Opaque() const {
  if (coverage_) return *coverage_;
  auto c = std::make_shared<Coverage>();
  c->MinX = Width;
  c->MinY = Height;
  const size_t stride = size_t(Width) + 1;
  c->Sums.assign(stride * (size_t(Height) + 1), 0);
  c->Solid.assign(size_t(Width) * size_t(Height), 0);
  for (int y = 0; y < Height; ++y) {
    int32_t row = 0;
    for (int x = 0; x < Width; ++x) {
      const bool opaque = AlphaAt(x, y) >= 128;
      row += opaque;
      c->Solid[size_t(y) * size_t(Width) + size_t(x)] = opaque;
      c->Sums[size_t(y + 1) * stride + size_t(x + 1)] = c->Sums[size_t(y) * stride + size_t(x + 1)] + row;
      if (opaque) {
        const double low[4] = {double(x), double(y), double(x + y), double(x - y - 1)};
        const double high[4] = {double(x + 1), double(y + 1), double(x + y + 2), double(x + 1 - y)};
        const bool first = c->MaxX < 0;
        for (int d = 0; d < 4; ++d) {
          c->OctagonMin[d] = first ? low[d] : std::min(c->OctagonMin[d], low[d]);
          c->OctagonMax[d] = first ? high[d] : std::max(c->OctagonMax[d], high[d]);
        }
        c->MinX = std::min(c->MinX, x);
        c->MaxX = std::max(c->MaxX, x);
        c->MinY = std::min(c->MinY, y);
        c->MaxY = std::max(c->MaxY, y);
      }
    }
  }
  if (c->MaxX < 0) {
    c->MinX = c->MinY = 0;
  } else {
    c->Octagon = OctagonCorners(c->OctagonMin, c->OctagonMax);
  }
  coverage_ = c;
  return *coverage_;
}

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
