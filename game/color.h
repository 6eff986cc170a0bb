// TColor: an RGB colour, shared by reference and never copied, so that an
// ingredient, a person's favourite colour and a box's mix may be one object
// and a change to it is seen by every holder.
#pragma once

#include <cstdint>
#include <memory>

class TColor;
using ColorRef = std::shared_ptr<TColor>;

class TColor {
 public:
  int32_t R = 0;
  int32_t G = 0;
  int32_t B = 0;

  // Sets the three channels.
  int Set(int32_t r, int32_t g, int32_t b) {
    R = r;
    G = g;
    B = b;
    return 0;
  }
  // A new colour object with the given channels.
  static ColorRef Get(int32_t r, int32_t g, int32_t b) {
    auto c = std::make_shared<TColor>();
    c->Set(r, g, b);
    return c;
  }
};
