/** @file button.h TButton: a labelled button in screen pixels that fires when pressed and released over it. */
// TButton: a labelled rectangle in screen pixels, unaffected by the zoom. It
// registers itself for the mouse every frame and fires on release: pressed over
// it and released over it, in normal mode.
#pragma once

#include <cstdint>
#include <string>

class TButton {
 public:
  int32_t x = 0;  // left edge, screen pixels
  int32_t y = 0;  // top edge, screen pixels
  int32_t width = 0;
  int32_t height = 0;
  std::string text;      // the label
  int32_t Activate = 0;  // 1 in the frame after a completed click

  // Stores the place, the size and the label.
  int Set(int32_t px, int32_t py, int32_t w, int32_t h, const std::string& label);
  // The button's frame: register, draw the frame, the face and the label, report a click.
  int Be();
};
