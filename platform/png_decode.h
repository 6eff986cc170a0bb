/** @file png_decode.h PNG decoding with libpng: DecodePngRgba for drawing and StreamPngAlpha for the hit layers. */
// PNG decoding with libpng: a whole picture to RGBA as the game draws it, and
// the alpha alone, row by row, for the hit layers, without the RGBA.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct PngHeader {
  int Width = 0;
  int Height = 0;
  bool HasAlpha = true;
};

// Reads the header only; false when the bytes are not a readable PNG.
bool ReadPngHeader(const uint8_t* data, size_t size, PngHeader& header);

// Decodes to RGBA, straight alpha, row by row; false when the bytes do not decode.
// A picture without alpha is masked: pure black becomes transparent and takes
// the average colour of its non-black neighbours, so filtering shows no dark fringe.
bool DecodePngRgba(const uint8_t* data, size_t size, PngHeader& header, std::vector<uint8_t>& rgba);

// Receives one row of alpha: width values, `step` bytes apart.
using AlphaRowSink = void (*)(void* context, int y, const uint8_t* alpha, size_t step);

enum class AlphaRows { Done, Failed, NotStreamable };
// Hands the alpha of each row, top to bottom, to sink, holding one row at a
// time. Only 8-bit grey-and-alpha and RGBA pictures without interlacing stream,
// as their alpha is stored as it is drawn; others answer NotStreamable (decode
// the RGBA instead). A picture that fails part way answers Failed after some rows.
AlphaRows StreamPngAlpha(const uint8_t* data, size_t size, const PngHeader& header, AlphaRowSink sink, void* context);
