/** @file hitlayers.h The hit layers: the game's spatial index of shapes, rebuilt every frame (HitRect, HitImage). */
// The hit layers: the game's spatial index (a Spatial Partition rebuilt every
// frame). While objects draw they register the shapes they cover, with
// themselves as id, in numbered layers; later in the same frame others ask
// which shapes a rectangle or a picture overlaps.
//
// A layer is named by its bit: layer 1, 2, 4, 8, 16, ... up to bit 31, and a
// mask names several. Shapes are placed with the current drawing transform,
// so a rotated or mirrored picture is tested where it is drawn. Pictures with
// alpha cover only their pixels of alpha 128 and up.
//
// Coverage rule: the plane is cut into unit cells; a shape covers a cell when
// the cell's centre lies inside its local box (left and top edges included,
// right and bottom excluded) and, for a masked picture, on a pixel of alpha
// 128 or more. Two shapes overlap when they cover a common cell.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/image.h"

// Any object reference, or null. Compared by identity only.
using HitId = const void*;

// The ids a test found, in order. Short lists live inline, so a query in the
// steady state allocates nothing.
class HitList {
 public:
  bool empty() const { return count_ == 0; }
  size_t size() const { return count_; }
  HitId operator[](size_t i) const { return i < Inline ? inline_[i] : overflow_[i - Inline]; }
  HitId front() const { return (*this)[0]; }
  // The first id, or null when nothing was hit.
  HitId First() const { return count_ ? inline_[0] : nullptr; }
  void push_back(HitId id);
  void clear();

  class const_iterator {
   public:
    const_iterator(const HitList* list, size_t i) : list_(list), i_(i) {}
    HitId operator*() const { return (*list_)[i_]; }
    const_iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator!=(const const_iterator& other) const { return i_ != other.i_; }

   private:
    const HitList* list_;
    size_t i_;
  };
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, count_}; }

 private:
  static constexpr size_t Inline = 15;
  size_t count_ = 0;
  std::array<HitId, Inline> inline_{};
  std::vector<HitId> overflow_;
};

// Empties the layers of the mask; 0 empties all 32.
void ClearHitLayers(uint32_t mask);
// Tests the rectangle against the layers of testMask (lowest bit first, newest
// entry first), then adds it with id to every layer of writeMask.
HitList HitRect(int x, int y, int w, int h, uint32_t testMask, uint32_t writeMask, HitId id);
// The same for a picture's drawn shape, its handle at (x, y).
HitList HitImage(const ImageRef& image, int x, int y, int frame, uint32_t testMask, uint32_t writeMask, HitId id);
