/** @file draw_order.h DrawOrder: a frame's draws gathered into runs of one drawing state, moved only where no pixel can
 * tell. */
// A software renderer copies its whole drawing state, tens of kilobytes, each
// time the texture or the blending changes between two draws, and keeps every
// copy until the frame is shown: a crowded stage changes state some 700 times
// a frame, drawing its people's bodies, heads and hats in turn. Two draws that
// touch no pixel in common give the same screen in either order, so a draw may
// join an earlier run of draws in its own state when it overlaps none of the
// draws after that run: every pixel still receives the draws that cover it in
// the order the game made them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/ink.h"

class DrawOrder {
 public:
  // A drawing state: draws with equal states may share a run.
  struct State {
    const void* Texture = nullptr;  // null: flat colour
    int Blend = 0;
    bool operator==(const State& o) const { return Texture == o.Texture && Blend == o.Blend; }
  };

  // Places the next draw, which changes no pixel outside the given boxes (window pixels), and returns the run
  // it joins: its own new run at the end, or the latest run of its state that no later run's draws overlap.
  uint32_t Add(const State& state, const PixelBox* boxes, size_t count);
  size_t Runs() const { return used_; }
  void Clear();

  // How many runs back a draw looks for one of its state; the look costs time for every draw.
  static constexpr size_t kLookBack = 48;

 private:
  struct Run {
    State Is;
    PixelBox Bounds;              // around all its boxes
    std::vector<PixelBox> Boxes;  // every box of every draw in it
  };
  static bool Overlap(const PixelBox& a, const PixelBox& b);
  // Whether any of the boxes meets any draw of the run.
  static bool Meets(const Run& run, const PixelBox* boxes, size_t count, const PixelBox& bounds);

  std::vector<Run> runs_;
  size_t used_ = 0;  // runs_ beyond this are kept only for their boxes' memory
};
