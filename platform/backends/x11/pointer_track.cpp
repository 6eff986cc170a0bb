/** @file pointer_track.cpp The game's pointer followed in exact fractions of a frame pixel. */
#include "platform/backends/x11/pointer_track.h"

#include <algorithm>

namespace {

// Floor division, also for positions left of or above the frame (in a letterbox bar).
int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }

}  // namespace

int PointerTrack::Whole(int64_t units, int per, int limit) {
  return int(std::clamp<int64_t>(FloorDiv(units, per), 0, limit - 1));
}

void PointerTrack::MoveTo(int wx, int wy) {
  if (!known_) {
    // As FrameFit::ToFrame reads it, kept to the unit.
    x_ = int64_t(wx - fit_.OffsetX) * fit_.FrameW;
    y_ = int64_t(wy - fit_.OffsetY) * fit_.FrameH;
  } else {
    x_ += int64_t(wx - winX_) * fit_.FrameW;
    y_ += int64_t(wy - winY_) * fit_.FrameH;
  }
  winX_ = wx;
  winY_ = wy;
  known_ = true;
}

void PointerTrack::Warped(int fx, int fy, int wx, int wy) {
  // The part of a frame pixel left over; nothing is left over where the pointer was not known.
  const int64_t partX = known_ ? x_ - FloorDiv(x_, fit_.ShownW) * fit_.ShownW : 0;
  const int64_t partY = known_ ? y_ - FloorDiv(y_, fit_.ShownH) * fit_.ShownH : 0;
  x_ = int64_t(fx) * fit_.ShownW + partX;
  y_ = int64_t(fy) * fit_.ShownH + partY;
  winX_ = wx;
  winY_ = wy;
  known_ = true;
}
