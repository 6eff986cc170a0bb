/** @file image.h Image: a picture decoded with libpng when its pixels are wanted, with its alpha coverage. */
// Pictures, decoded with libpng. A picture loaded from an embedded file keeps
// only that file until its pixels are wanted: the backend decodes them to
// upload its texture and lets them go once the texture holds them, and the hit
// layers decode only the alpha they need. A picture made from other bytes
// keeps its pixels from the start.
#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct InkPlan;

// A picture's RGBA pixels, straight alpha, row by row. With a file to decode
// them from, they are decoded when first read and may be let go again; writing
// to them makes them the picture's own, kept from then on.
class PixelBuffer {
 public:
  // Keeps the PNG instead of its pixels; the bytes must stay readable for the rest of the run.
  void DecodeWhenRead(const uint8_t* png, size_t size);
  // Holds these pixels as the picture's own.
  void Hold(std::vector<uint8_t>&& pixels);
  // Reading decodes the pixels when they are not held; a file that fails to decode has none.
  size_t size() const { return Bytes().size(); }
  bool empty() const { return Bytes().empty(); }
  const uint8_t* data() const { return Bytes().data(); }
  const uint8_t& operator[](size_t i) const { return Bytes()[i]; }
  uint8_t* data() { return Own().data(); }
  uint8_t& operator[](size_t i) { return Own()[i]; }
  void assign(size_t n, uint8_t value) { Own().assign(n, value); }
  void resize(size_t n) { Own().resize(n); }
  friend bool operator==(const PixelBuffer& a, const PixelBuffer& b) { return a.Bytes() == b.Bytes(); }

  // Whether the decoded pixels are held now, so reading them decodes nothing.
  bool Held() const { return held_; }
  // The PNG they are decoded from, or null.
  const uint8_t* Png() const { return png_; }
  size_t PngSize() const { return pngSize_; }
  // Lets the decoded pixels go when they can be decoded again; true when they went.
  bool Release() const;

 private:
  const std::vector<uint8_t>& Bytes() const;
  std::vector<uint8_t>& Own();

  const uint8_t* png_ = nullptr;
  size_t pngSize_ = 0;
  mutable std::vector<uint8_t> pixels_;
  mutable bool held_ = true;
};

struct Image {
  int Width = 0;
  int Height = 0;
  float HandleX = 0.0f;  // the point placed on the drawing position
  float HandleY = 0.0f;
  bool HasAlpha = true;  // false only for a picture decoded without an alpha channel
  PixelBuffer Pixels;

  uint8_t AlphaAt(int px, int py) const { return Pixels[(size_t(py) * size_t(Width) + size_t(px)) * 4 + 3]; }

  // Where the picture counts as covered for the hit layers (alpha 128 and up):
  // the tight bounds of those pixels, each row's runs of them, and a mask,
  // built on first use from the alpha alone. A picture's pixels do not change once it is
  // in use; one whose file fails to decode covers nothing.
  struct Coverage {
    int MinX = 0, MinY = 0, MaxX = -1, MaxY = -1;  // inclusive; empty when Min > Max
    // Row y's runs of covered pixels, left to right, are Runs[RowRuns[y]] up to
    // Runs[RowRuns[y + 1]]: first column and one past the last.
    std::vector<uint32_t> RowRuns;
    std::vector<std::pair<int32_t, int32_t>> Runs;
    int Width = 0;
    // The octagon around the covered pixels: bounds of u, v, u + v and u - v over their corners.
    double OctagonMin[4] = {0, 0, 0, 0};
    double OctagonMax[4] = {-1, -1, -1, -1};
    // The corners of that octagon, in picture pixels (a rotated picture's bounds come from them).
    std::vector<std::pair<double, double>> Octagon;
    // Whether a pixel in columns x0..x1 and rows y0..y1, inclusive, is covered.
    bool Any(int x0, int y0, int x1, int y1) const;
    // 1 where covered, row by row: made from the runs when a test first walks
    // pixel by pixel (a picture only ever tested against rectangles at its own
    // size, as the ring's oval is, never needs it).
    const uint8_t* Solid() const {
      if (solid_.empty()) FillSolid();
      return solid_.data();
    }

   private:
    void FillSolid() const;
    mutable std::vector<uint8_t> solid_;
  };
  const Coverage& Opaque() const;
  // Starts building the coverage from the picture's file on a thread of its
  // own, when it is not built yet and there is a file to build it from: a
  // large picture's first hit test then finds it built (or waits only for the
  // rest) instead of decoding millions of pixels in the frame that asks.
  void BuildCoverageAhead() const;

  // Backend cache: texture name and the screen generation it belongs to, and
  // where the picture has ink, planned from its pixels when first uploaded.
  mutable uint32_t Texture = 0;
  mutable uint32_t TextureGeneration = 0;
  mutable std::shared_ptr<const InkPlan> Ink;

 private:
  mutable std::shared_ptr<const Coverage> coverage_;
  mutable std::shared_future<std::shared_ptr<const Coverage>> coverageAhead_;
};
using ImageRef = std::shared_ptr<Image>;

// Loads a PNG from a resource name ("incbin::hat.png" or a plain path) with the
// default flags; null when it cannot be opened or its header read. An embedded
// file's pixels are decoded when first read; a disk file's at once, and null
// when they cannot be.
ImageRef LoadImageFile(const std::string& url);
// Decodes PNG bytes with the default flags; null when they are not a readable PNG.
ImageRef DecodePng(const uint8_t* data, size_t size);
// The pictures loaded from embedded files so far, in the order loaded, held
// weakly: a backend may prepare them before they are first drawn.
const std::vector<std::weak_ptr<Image>>& LoadedPictures();
// Moves the handle to the picture's centre.
void CentreImageHandle(const ImageRef& image);
int ImagePixelWidth(const ImageRef& image);
int ImagePixelHeight(const ImageRef& image);
