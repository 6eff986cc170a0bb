/** @file draw_order_test.cpp Tests of DrawOrder: draws move only past draws they share no pixel with. */
// The painter draws a frame run by run, so a draw placed in a run before a
// draw it overlaps would blend over it in the wrong order and change the
// screen; and a draw that may join a run of its state but starts a new one
// costs the renderer a copy of its whole state.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "platform/draw_order.h"

namespace {

struct Placed {
  DrawOrder::State Is;
  std::vector<PixelBox> Boxes;
  uint32_t Run = 0;
};

bool Overlap(const PixelBox& a, const PixelBox& b) { return a.X0 < b.X1 && b.X0 < a.X1 && a.Y0 < b.Y1 && b.Y0 < a.Y1; }

bool Overlap(const Placed& a, const Placed& b) {
  for (const PixelBox& x : a.Boxes)
    for (const PixelBox& y : b.Boxes)
      if (!x.Empty() && !y.Empty() && Overlap(x, y)) return true;
  return false;
}

// Random frames of draws in a few states over a small screen, so that many of them overlap: every pair that
// shares a pixel is drawn in the order made, every run holds draws of one state, and runs are numbered in order
// of creation.
TEST(DrawOrder, OverlappingDrawsKeepTheirOrderAndRunsHoldOneState) {
  std::mt19937 random(7);
  DrawOrder order;
  size_t runs = 0, draws = 0;
  for (int frame = 0; frame < 300; ++frame) {
    order.Clear();
    const int textures = 1 + frame % 6;
    std::vector<Placed> placed(size_t(20 + frame % 180));
    std::vector<DrawOrder::State> runState;
    for (Placed& p : placed) {
      p.Is.Texture = reinterpret_cast<const void*>(uintptr_t(random() % textures));
      p.Is.Blend = int(random() % 2);
      const int boxes = int(random() % 4);  // none: a draw that changes nothing
      for (int b = 0; b < boxes; ++b) {
        const int x = int(random() % 200), y = int(random() % 200);
        p.Boxes.push_back({x, y, x + 1 + int(random() % 40), y + 1 + int(random() % 40)});
      }
      if (random() % 8 == 0) p.Boxes.push_back({5, 5, 5, 9});  // empty
      p.Run = order.Add(p.Is, p.Boxes.data(), p.Boxes.size());
      ASSERT_LE(p.Run, runState.size());
      if (p.Run == runState.size()) runState.push_back(p.Is);
      EXPECT_TRUE(runState[p.Run] == p.Is) << "a run holds draws of another state";
    }
    ASSERT_EQ(order.Runs(), runState.size());
    for (size_t i = 0; i < placed.size(); ++i)
      for (size_t j = i + 1; j < placed.size(); ++j)
        if (placed[j].Run < placed[i].Run && Overlap(placed[i], placed[j]))
          FAIL() << "frame " << frame << ": draw " << j << " moved before draw " << i << ", which it overlaps";
    runs += order.Runs();
    draws += placed.size();
  }
  // Far fewer runs than draws, as in a crowd where most draws overlap nothing.
  EXPECT_LT(runs * 2, draws);
}

// A crowd: body, head and hat for each person side by side, none overlapping another person; the three
// pictures of each person overlap. Three runs hold the whole crowd, in the order body, head, hat.
TEST(DrawOrder, ACrowdSideBySideTakesOneRunAPicture) {
  DrawOrder order;
  const DrawOrder::State body{reinterpret_cast<const void*>(uintptr_t(1)), 0};
  const DrawOrder::State head{reinterpret_cast<const void*>(uintptr_t(2)), 0};
  const DrawOrder::State hat{reinterpret_cast<const void*>(uintptr_t(3)), 0};
  for (int person = 0; person < 30; ++person) {
    const int x = person * 30;
    const PixelBox bodyBox{x, 40, x + 28, 100}, headBox{x + 4, 20, x + 24, 44}, hatBox{x + 2, 10, x + 26, 26};
    EXPECT_EQ(order.Add(body, &bodyBox, 1), 0u);
    EXPECT_EQ(order.Add(head, &headBox, 1), 1u);
    EXPECT_EQ(order.Add(hat, &hatBox, 1), 2u);
  }
  EXPECT_EQ(order.Runs(), 3u);
  // A banner across everyone, then one more hat: the hat may not move back past the banner.
  const PixelBox banner{0, 0, 900, 30}, lastHat{2, 10, 26, 26};
  EXPECT_EQ(order.Add({nullptr, 1}, &banner, 1), 3u);
  EXPECT_EQ(order.Add(hat, &lastHat, 1), 4u);
  // Cleared for the next frame, the first draw starts run 0 again.
  order.Clear();
  EXPECT_EQ(order.Add(hat, &lastHat, 1), 0u);
  EXPECT_EQ(order.Runs(), 1u);
}

}  // namespace
