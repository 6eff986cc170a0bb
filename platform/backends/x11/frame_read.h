/** @file frame_read.h ReadFrameBeforeSwap: the X11 backend's frame read back from OpenGL before it is shown. */
#pragma once

#include <cstdint>
#include <vector>

// Reads the game's frame (the viewport it is drawn in) from the back buffer of
// the current OpenGL context as RGB, bottom row first; call it before the
// swap. False when there is no frame to read.
bool ReadFrameBeforeSwap(std::vector<uint8_t>& rgb, int& width, int& height);
