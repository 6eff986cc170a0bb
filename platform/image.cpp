/** @file image.cpp Image and PixelBuffer: pictures decoded when wanted, their alpha coverage, and LoadImageFile. */
#include "platform/image.h"

#include <algorithm>

#include "platform/png_decode.h"
#include "platform/resources.h"

namespace {

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

bool Image::Coverage::Any(int x0, int y0, int x1, int y1) const {
  for (int y = y0; y <= y1; ++y) {
    // The first run that ends right of x0 is the only one that can reach into x0..x1.
    const auto first = Runs.begin() + RowRuns[size_t(y)], last = Runs.begin() + RowRuns[size_t(y) + 1];
    const auto run =
        std::upper_bound(first, last, x0, [](int x, const std::pair<int32_t, int32_t>& r) { return x < r.second; });
    if (run != last && run->first <= x1) return true;
  }
  return false;
}

void Image::Coverage::FillSolid() const {
  const size_t rows = RowRuns.empty() ? 0 : RowRuns.size() - 1;
  solid_.assign(rows * size_t(Width), 0);
  for (size_t y = 0; y < rows; ++y)
    for (uint32_t r = RowRuns[y]; r < RowRuns[y + 1]; ++r)
      std::fill(solid_.begin() + ptrdiff_t(y * size_t(Width)) + Runs[r].first,
                solid_.begin() + ptrdiff_t(y * size_t(Width)) + Runs[r].second, uint8_t(1));
}

namespace {

// Builds the coverage one row of alpha at a time, top to bottom.
struct CoverageRows {
  Image::Coverage& C;
  int Width;

  static void Add(void* self, int y, const uint8_t* alpha, size_t step) {
    static_cast<CoverageRows*>(self)->AddRow(y, alpha, step);
  }

  void AddRow(int y, const uint8_t* alpha, size_t step) {
    bool inRun = false;
    for (int x = 0; x < Width; ++x) {
      const bool opaque = alpha[size_t(x) * step] >= 128;
      if (opaque != inRun) {
        if (opaque)
          C.Runs.push_back({x, Width});
        else
          C.Runs.back().second = x;
        inRun = opaque;
      }
      if (opaque) {
        const double low[4] = {double(x), double(y), double(x + y), double(x - y - 1)};
        const double high[4] = {double(x + 1), double(y + 1), double(x + y + 2), double(x + 1 - y)};
        const bool first = C.MaxX < 0;
        for (int d = 0; d < 4; ++d) {
          C.OctagonMin[d] = first ? low[d] : std::min(C.OctagonMin[d], low[d]);
          C.OctagonMax[d] = first ? high[d] : std::max(C.OctagonMax[d], high[d]);
        }
        C.MinX = std::min(C.MinX, x);
        C.MaxX = std::max(C.MaxX, x);
        C.MinY = std::min(C.MinY, y);
        C.MaxY = std::max(C.MaxY, y);
      }
    }
    C.RowRuns[size_t(y) + 1] = uint32_t(C.Runs.size());
  }
};

// Nothing covered yet: bounds empty, no runs, for a width x height picture.
std::shared_ptr<Image::Coverage> EmptyCoverage(int width, int height) {
  auto c = std::make_shared<Image::Coverage>();
  c->MinX = width;
  c->MinY = height;
  c->RowRuns.assign(size_t(height) + 1, 0);
  c->Width = width;
  return c;
}

}  // namespace

namespace {

// Completes a coverage built row by row: its runs trimmed, the bounds of nothing made empty, the octagon's corners.
std::shared_ptr<const Image::Coverage> Finished(std::shared_ptr<Image::Coverage> c) {
  c->Runs.shrink_to_fit();
  if (c->MaxX < 0) {
    c->MinX = c->MinY = 0;
  } else {
    c->Octagon = OctagonCorners(c->OctagonMin, c->OctagonMax);
  }
  return c;
}

// The coverage of width x height RGBA pixels (none when there are fewer: nothing covered).
std::shared_ptr<const Image::Coverage> CoverageOfPixels(const uint8_t* rgba, size_t size, int width, int height) {
  auto c = EmptyCoverage(width, height);
  if (size >= size_t(width) * size_t(height) * 4) {
    CoverageRows rows{*c, width};
    for (int y = 0; y < height; ++y) rows.AddRow(y, rgba + size_t(y) * size_t(width) * 4 + 3, 4);
  }
  return Finished(c);
}

// The coverage of a picture from its file alone: the alpha streamed row by row where the file allows,
// otherwise the whole picture decoded for it and let go. Reads nothing but the file's bytes, so it
// may run on any thread.
std::shared_ptr<const Image::Coverage> CoverageOfFile(const uint8_t* png, size_t size, const PngHeader& header) {
  auto c = EmptyCoverage(header.Width, header.Height);
  CoverageRows rows{*c, header.Width};
  if (StreamPngAlpha(png, size, header, CoverageRows::Add, &rows) == AlphaRows::Done) return Finished(c);
  PngHeader decoded;
  std::vector<uint8_t> rgba;
  if (!DecodePngRgba(png, size, decoded, rgba)) rgba.clear();
  return CoverageOfPixels(rgba.data(), rgba.size(), header.Width, header.Height);
}

}  // namespace

const Image::Coverage& Image::Opaque() const {
  if (coverage_) return *coverage_;
  if (coverageAhead_.valid()) {
    coverage_ = coverageAhead_.get();
    coverageAhead_ = {};
  } else if (!Pixels.Held() && Pixels.Png()) {
    coverage_ = CoverageOfFile(Pixels.Png(), Pixels.PngSize(), PngHeader{Width, Height, HasAlpha});
  } else {
    coverage_ = CoverageOfPixels(Pixels.data(), Pixels.size(), Width, Height);
  }
  return *coverage_;
}

void Image::BuildCoverageAhead() const {
  if (coverage_ || coverageAhead_.valid() || Pixels.Held() || !Pixels.Png()) return;
  // The file's bytes stay readable for the whole run and nothing else here is shared with the thread.
  const uint8_t* png = Pixels.Png();
  const size_t size = Pixels.PngSize();
  const PngHeader header{Width, Height, HasAlpha};
  coverageAhead_ = std::async(std::launch::async, [png, size, header] { return CoverageOfFile(png, size, header); });
}

void PixelBuffer::DecodeWhenRead(const uint8_t* png, size_t size) {
  png_ = png;
  pngSize_ = size;
  std::vector<uint8_t>().swap(pixels_);
  held_ = false;
}

const std::vector<uint8_t>& PixelBuffer::Bytes() const {
  if (!held_) {
    PngHeader header;
    if (!DecodePngRgba(png_, pngSize_, header, pixels_)) pixels_.clear();
    held_ = true;
  }
  return pixels_;
}

void PixelBuffer::Hold(std::vector<uint8_t>&& pixels) {
  png_ = nullptr;
  pngSize_ = 0;
  pixels_ = std::move(pixels);
  held_ = true;
}

std::vector<uint8_t>& PixelBuffer::Own() {
  Bytes();
  png_ = nullptr;
  pngSize_ = 0;
  return pixels_;
}

bool PixelBuffer::Release() const {
  if (!png_ || !held_) return false;
  std::vector<uint8_t>().swap(pixels_);
  held_ = false;
  return true;
}

ImageRef DecodePng(const uint8_t* data, size_t size) {
  PngHeader header;
  std::vector<uint8_t> rgba;
  if (!DecodePngRgba(data, size, header, rgba)) return nullptr;
  auto image = std::make_shared<Image>();
  image->Width = header.Width;
  image->Height = header.Height;
  image->HasAlpha = header.HasAlpha;
  image->Pixels.Hold(std::move(rgba));
  return image;
}

namespace {

std::vector<std::weak_ptr<Image>> Loaded;
size_t LoadedPruneAt = 64;

// Remembers a picture; pictures let go are forgotten whenever the list has doubled, so it stays short.
void RememberLoaded(const ImageRef& image) {
  if (Loaded.size() >= LoadedPruneAt) {
    Loaded.erase(
        std::remove_if(Loaded.begin(), Loaded.end(), [](const std::weak_ptr<Image>& p) { return p.expired(); }),
        Loaded.end());
    LoadedPruneAt = std::max<size_t>(64, Loaded.size() * 2);
  }
  Loaded.push_back(image);
}

}  // namespace

const std::vector<std::weak_ptr<Image>>& LoadedPictures() { return Loaded; }

ImageRef LoadImageFile(const std::string& url) {
  auto stream = OpenResource(url);
  if (!stream) return nullptr;
  if (!stream->Lasting()) return DecodePng(stream->Data(), stream->Size());
  PngHeader header;
  if (!ReadPngHeader(stream->Data(), stream->Size(), header)) return nullptr;
  auto image = std::make_shared<Image>();
  image->Width = header.Width;
  image->Height = header.Height;
  image->HasAlpha = header.HasAlpha;
  image->Pixels.DecodeWhenRead(stream->Data(), stream->Size());
  RememberLoaded(image);
  return image;
}

void CentreImageHandle(const ImageRef& image) {
  image->HandleX = float(double(image->Width) * 0.5);
  image->HandleY = float(double(image->Height) * 0.5);
}

int ImagePixelWidth(const ImageRef& image) { return image ? image->Width : 0; }
int ImagePixelHeight(const ImageRef& image) { return image ? image->Height : 0; }
