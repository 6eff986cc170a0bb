/** @file draw_order.cpp DrawOrder: each draw joins the latest run of its state that it may move back to. */
#include "platform/draw_order.h"

#include <algorithm>

bool DrawOrder::Overlap(const PixelBox& a, const PixelBox& b) {
  return a.X0 < b.X1 && b.X0 < a.X1 && a.Y0 < b.Y1 && b.Y0 < a.Y1;
}

bool DrawOrder::Meets(const Run& run, const PixelBox* boxes, size_t count, const PixelBox& bounds) {
  if (!Overlap(run.Bounds, bounds)) return false;
  for (const PixelBox& theirs : run.Boxes)
    if (Overlap(theirs, bounds))
      for (size_t i = 0; i < count; ++i)
        if (Overlap(theirs, boxes[i])) return true;
  return false;
}

uint32_t DrawOrder::Add(const State& state, const PixelBox* boxes, size_t count) {
  PixelBox bounds{0, 0, 0, 0};
  bool first = true;
  for (size_t i = 0; i < count; ++i) {
    if (boxes[i].Empty()) continue;
    bounds = first ? boxes[i]
                   : PixelBox{std::min(bounds.X0, boxes[i].X0), std::min(bounds.Y0, boxes[i].Y0),
                              std::max(bounds.X1, boxes[i].X1), std::max(bounds.Y1, boxes[i].Y1)};
    first = false;
  }
  // Back from the latest run: join the first of this state, unless a run on the way has a draw in the way.
  size_t join = used_;
  for (size_t back = 0; back < std::min(used_, kLookBack); ++back) {
    const Run& run = runs_[used_ - 1 - back];
    if (run.Is == state) {
      join = used_ - 1 - back;
      break;
    }
    if (!first && Meets(run, boxes, count, bounds)) break;
  }
  if (join == used_) {
    if (used_ == runs_.size()) runs_.emplace_back();
    Run& run = runs_[used_++];
    run.Is = state;
    run.Bounds = bounds;
    run.Boxes.clear();
  }
  Run& run = runs_[join];
  if (!first) {
    if (run.Boxes.empty())
      run.Bounds = bounds;
    else
      run.Bounds = {std::min(run.Bounds.X0, bounds.X0), std::min(run.Bounds.Y0, bounds.Y0),
                    std::max(run.Bounds.X1, bounds.X1), std::max(run.Bounds.Y1, bounds.Y1)};
    for (size_t i = 0; i < count; ++i)
      if (!boxes[i].Empty()) run.Boxes.push_back(boxes[i]);
  }
  return uint32_t(join);
}

void DrawOrder::Clear() { used_ = 0; }
