/** @file ink.cpp PlanInk and DisjointBoxes: a picture's inked rows grouped into a few boxes, and boxes made disjoint.
 */
#include "platform/ink.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace {

// Columns lo to hi - 1 of a row or of a block of rows; empty when hi <= lo.
struct Span {
  int Lo = std::numeric_limits<int>::max();
  int Hi = std::numeric_limits<int>::min();
  bool Empty() const { return Hi <= Lo; }
  void Add(const Span& s) {
    if (s.Empty()) return;
    Lo = std::min(Lo, s.Lo);
    Hi = std::max(Hi, s.Hi);
  }
};

// Rows are grouped into at most this many blocks, so planning a tall picture stays cheap.
constexpr int kMaxBlocks = 128;

}  // namespace

InkPlan PlanInk(const uint8_t* rgba, int width, int height) {
  InkPlan plan;
  plan.Width = width;
  plan.Height = height;
  if (!rgba || width <= 0 || height <= 0) return plan;
  // Each row's inked columns.
  std::vector<Span> rows(static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    const uint8_t* alpha = rgba + size_t(y) * size_t(width) * 4 + 3;
    Span& s = rows[size_t(y)];
    for (int x = 0; x < width; ++x)
      if (alpha[size_t(x) * 4] != 0) {
        s.Lo = x;
        break;
      }
    if (s.Lo == std::numeric_limits<int>::max()) continue;
    for (int x = width - 1; x >= s.Lo; --x)
      if (alpha[size_t(x) * 4] != 0) {
        s.Hi = x + 1;
        break;
      }
  }
  // Widened by the pixel around the ink: each row takes its neighbours' ink, one column wider on each side.
  std::vector<Span> wide(static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    Span s;
    for (int n = std::max(0, y - 1); n <= std::min(height - 1, y + 1); ++n) s.Add(rows[size_t(n)]);
    if (!s.Empty()) {
      s.Lo = std::max(0, s.Lo - 1);
      s.Hi = std::min(width, s.Hi + 1);
    }
    wide[size_t(y)] = s;
  }
  // Blocks of whole rows.
  const int rowsPerBlock = (height + kMaxBlocks - 1) / kMaxBlocks;
  const int blocks = (height + rowsPerBlock - 1) / rowsPerBlock;
  std::vector<Span> block(static_cast<size_t>(blocks));
  for (int y = 0; y < height; ++y) block[size_t(y / rowsPerBlock)].Add(wide[size_t(y)]);
  auto top = [&](int b) { return b * rowsPerBlock; };
  auto bottom = [&](int b) { return std::min(height, (b + 1) * rowsPerBlock); };
  std::vector<int> inked;  // the blocks with ink, top to bottom
  for (int b = 0; b < blocks; ++b)
    if (!block[size_t(b)].Empty()) inked.push_back(b);
  const int n = int(inked.size());
  if (n == 0) return plan;
  // One box over inked blocks i..j (and the blank blocks between them): its columns and area.
  std::vector<Span> span(size_t(n) * size_t(n));
  std::vector<int64_t> area(size_t(n) * size_t(n), 0);
  for (int i = 0; i < n; ++i) {
    Span s;
    for (int j = i; j < n; ++j) {
      s.Add(block[size_t(inked[size_t(j)])]);
      span[size_t(i) * size_t(n) + size_t(j)] = s;
      area[size_t(i) * size_t(n) + size_t(j)] =
          int64_t(s.Hi - s.Lo) * int64_t(bottom(inked[size_t(j)]) - top(inked[size_t(i)]));
    }
  }
  // cost[k][j]: the least area of k boxes over the first j inked blocks; from[k][j] where the last box starts.
  constexpr int64_t kNone = std::numeric_limits<int64_t>::max();
  std::vector<std::vector<int64_t>> cost(InkPlan::MaxBoxes + 1, std::vector<int64_t>(size_t(n) + 1, kNone));
  std::vector<std::vector<int>> from(InkPlan::MaxBoxes + 1, std::vector<int>(size_t(n) + 1, 0));
  cost[0][0] = 0;
  for (int k = 1; k <= InkPlan::MaxBoxes; ++k) {
    for (int j = 1; j <= n; ++j) {
      for (int i = 0; i < j; ++i) {
        if (cost[size_t(k - 1)][size_t(i)] == kNone) continue;
        const int64_t c = cost[size_t(k - 1)][size_t(i)] + area[size_t(i) * size_t(n) + size_t(j - 1)];
        if (c < cost[size_t(k)][size_t(j)]) {
          cost[size_t(k)][size_t(j)] = c;
          from[size_t(k)][size_t(j)] = i;
        }
      }
    }
  }
  for (int k = 1; k <= InkPlan::MaxBoxes; ++k) {
    // At most k boxes: the best of 1..k (fewer blocks than k leaves some unused).
    int best = 1;
    for (int m = 1; m <= k; ++m)
      if (cost[size_t(m)][size_t(n)] < cost[size_t(best)][size_t(n)]) best = m;
    std::vector<PixelBox>& boxes = plan.Boxes[k - 1];
    for (int m = best, j = n; m > 0; --m) {
      const int i = from[size_t(m)][size_t(j)];
      const Span& s = span[size_t(i) * size_t(n) + size_t(j - 1)];
      boxes.push_back({s.Lo, top(inked[size_t(i)]), s.Hi, bottom(inked[size_t(j - 1)])});
      j = i;
    }
    std::reverse(boxes.begin(), boxes.end());
  }
  return plan;
}

std::vector<PixelBox> DisjointBoxes(const std::vector<PixelBox>& boxes) {
  if (boxes.size() == 1) return boxes[0].Empty() ? std::vector<PixelBox>{} : boxes;  // nothing to overlap
  std::vector<int> ys;
  for (const PixelBox& b : boxes) {
    if (b.Empty()) continue;
    ys.push_back(b.Y0);
    ys.push_back(b.Y1);
  }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  std::vector<PixelBox> out;
  std::vector<PixelBox> open;  // the previous slab's boxes, still growing downwards
  std::vector<std::pair<int, int>> runs;
  for (size_t s = 0; s + 1 < ys.size(); ++s) {
    const int y0 = ys[s], y1 = ys[s + 1];
    // The columns covered in this slab, as merged runs.
    runs.clear();
    for (const PixelBox& b : boxes)
      if (!b.Empty() && b.Y0 <= y0 && b.Y1 >= y1) runs.push_back({b.X0, b.X1});
    std::sort(runs.begin(), runs.end());
    std::vector<std::pair<int, int>> merged;
    for (const auto& r : runs) {
      if (!merged.empty() && r.first <= merged.back().second)
        merged.back().second = std::max(merged.back().second, r.second);
      else
        merged.push_back(r);
    }
    // A slab with the same runs as the one above it, directly below, extends its boxes.
    bool same = open.size() == merged.size() && !open.empty() && open[0].Y1 == y0;
    for (size_t i = 0; same && i < merged.size(); ++i)
      same = open[i].X0 == merged[i].first && open[i].X1 == merged[i].second;
    if (same) {
      for (PixelBox& b : open) b.Y1 = y1;
      continue;
    }
    out.insert(out.end(), open.begin(), open.end());
    open.clear();
    for (const auto& r : merged) open.push_back({r.first, y0, r.second, y1});
  }
  out.insert(out.end(), open.begin(), open.end());
  return out;
}
