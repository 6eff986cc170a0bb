/** @file png_encode.h PNG writing with libpng: a frame's RGB pixels to a file. */
// Writes pictures as PNG files with libpng: the frames a replay is asked to
// keep (chromelly --frames-to), and nothing the game itself reads.
#pragma once

#include <cstdint>
#include <string>

// Writes width x height RGB pixels, three bytes each, rows packed without gaps;
// bottomUp when the buffer starts with the bottom row, as OpenGL reads them.
// False, with the reason, when the file cannot be written.
bool WritePngRgb(const std::string& path, int width, int height, const uint8_t* pixels, bool bottomUp,
                 std::string& whyNot);
