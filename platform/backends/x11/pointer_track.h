/** @file pointer_track.h PointerTrack: the game's pointer followed in exact fractions of a frame pixel. */
// The game's pointer followed in exact fractions of a frame pixel, so that a
// frame shown scaled moves by the screen's motion divided by the scale.
#pragma once

#include <cstdint>

#include "platform/backends/x11/frame_fit.h"

// Where the pointer is in frame pixels, kept in units of 1/ShownW (across) and 1/ShownH
// (down) of a frame pixel: a window pixel of motion is exactly FrameW (FrameH) of those
// units, so whatever part of a frame pixel a move leaves over counts toward the next
// one, N moves one way and N back return to the same point, and left and right are alike.
class PointerTrack {
 public:
  PointerTrack() = default;
  explicit PointerTrack(const FrameFit& fit) : fit_(fit) {}

  // The fit whose window and frame pixels it converts between.
  const FrameFit& Fit() const { return fit_; }
  // True once the pointer's window pixel is known (a motion or a warp).
  bool Known() const { return known_; }
  // Where the pointer is in window pixels, as last learned.
  int WindowX() const { return winX_; }
  int WindowY() const { return winY_; }
  // Frame pixel the game reads, clamped to the frame.
  int FrameX() const { return Whole(x_, fit_.ShownW, fit_.FrameW); }
  int FrameY() const { return Whole(y_, fit_.ShownH, fit_.FrameH); }

  // The pointer is now at window pixel (wx, wy): the first time, the frame pixel under it;
  // afterwards the last position moved by the motion since, scaled.
  void MoveTo(int wx, int wy);
  // The game put its pointer on frame pixel (fx, fy), and the system pointer on window pixel
  // (wx, wy) over it: the part of a frame pixel not yet moved stays, to count in the next move.
  void Warped(int fx, int fy, int wx, int wy);

 private:
  static int Whole(int64_t units, int per, int limit);

  FrameFit fit_;
  bool known_ = false;
  int winX_ = 0, winY_ = 0;
  int64_t x_ = 0, y_ = 0;  // from the frame's top-left corner
};
