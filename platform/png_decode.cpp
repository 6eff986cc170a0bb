/** @file png_decode.cpp PNG decoding with libpng: headers, whole pictures to RGBA, and alpha streamed row by row. */
#include "platform/png_decode.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace {

void MaskBlack(std::vector<uint8_t>& pixels, int w, int h) {
  const std::vector<uint8_t> source = pixels;
  auto isBlack = [&](int x, int y) {
    const uint8_t* p = &source[(size_t(y) * size_t(w) + size_t(x)) * 4];
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
  };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t* out = &pixels[(size_t(y) * size_t(w) + size_t(x)) * 4];
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

struct MemoryReader {
  const uint8_t* Data;
  size_t Size;
  size_t At;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (count > reader->Size - reader->At) png_error(png, "truncated");
  std::memcpy(out, reader->Data + reader->At, count);
  reader->At += count;
}

// Errors end the read through the jump buffer, quietly: the caller says what failed.
[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Reads the picture's header into `png` and `header`; false when the data is no PNG.
bool BeginRead(png_image& png, const uint8_t* data, size_t size, PngHeader& header) {
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&png, data, size)) return false;
  header.Width = int(png.width);
  header.Height = int(png.height);
  header.HasAlpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  return true;
}

}  // namespace

bool ReadPngHeader(const uint8_t* data, size_t size, PngHeader& header) {
  png_image png;
  if (!BeginRead(png, data, size, header)) return false;
  png_image_free(&png);
  return true;
}

bool DecodePngRgba(const uint8_t* data, size_t size, PngHeader& header, std::vector<uint8_t>& rgba) {
  png_image png;
  if (!BeginRead(png, data, size, header)) return false;
  png.format = PNG_FORMAT_RGBA;
  rgba.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, rgba.data(), 0, nullptr)) {
    png_image_free(&png);
    rgba.clear();
    return false;
  }
  if (!header.HasAlpha) MaskBlack(rgba, header.Width, header.Height);
  return true;
}

// Nothing here has a destructor to skip when libpng jumps back to the setjmp.
AlphaRows StreamPngAlpha(const uint8_t* data, size_t size, const PngHeader& header, AlphaRowSink sink, void* context) {
  if (header.Width <= 0 || header.Height <= 0) return AlphaRows::NotStreamable;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (!png) return AlphaRows::Failed;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return AlphaRows::Failed;
  }
  // One row of RGBA, the widest a streamable picture has; allocated by libpng so a jump frees it.
  png_bytep row = static_cast<png_bytep>(png_malloc_warn(png, png_alloc_size_t(header.Width) * 4));
  if (!row) {
    png_destroy_read_struct(&png, &info, nullptr);
    return AlphaRows::Failed;
  }
  MemoryReader reader{data, size, 0};
  if (setjmp(png_jmpbuf(png))) {
    png_free(png, row);
    png_destroy_read_struct(&png, &info, nullptr);
    return AlphaRows::Failed;
  }
  png_set_read_fn(png, &reader, ReadFromMemory);
  png_read_info(png, info);
  const int type = png_get_color_type(png, info);
  const bool streamable = png_get_bit_depth(png, info) == 8 &&
                          (type == PNG_COLOR_TYPE_RGBA || type == PNG_COLOR_TYPE_GRAY_ALPHA) &&
                          png_get_interlace_type(png, info) == PNG_INTERLACE_NONE &&
                          png_get_image_width(png, info) == png_uint_32(header.Width) &&
                          png_get_image_height(png, info) == png_uint_32(header.Height);
  if (!streamable) {
    png_free(png, row);
    png_destroy_read_struct(&png, &info, nullptr);
    return AlphaRows::NotStreamable;
  }
  const size_t channels = type == PNG_COLOR_TYPE_RGBA ? 4 : 2;
  for (int y = 0; y < header.Height; ++y) {
    png_read_row(png, row, nullptr);
    sink(context, y, row + channels - 1, channels);
  }
  png_free(png, row);
  png_destroy_read_struct(&png, &info, nullptr);
  return AlphaRows::Done;
}
