/** @file hitlayers_test.cpp Tests of the hit layers: result order, masks, alpha threshold, transformed shapes. */
// The hit layers: order of results, masks, the alpha threshold, pure queries
// and registrations, and shapes tested where the transform draws them.
#include <gtest/gtest.h>

#include "tests/headless_fixture.h"

namespace {

using HitLayers = HeadlessScreen;

// A picture whose alpha is 255 inside the given local rectangle and `outside` elsewhere.
ImageRef Picture(int w, int h, int x0, int y0, int x1, int y1, uint8_t outside = 0) {
  ImageRef image = SolidImage(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (!(x >= x0 && x < x1 && y >= y0 && y < y1))
        image->Pixels[(size_t(y) * size_t(w) + size_t(x)) * 4 + 3] = outside;
  return image;
}

const int A = 1, B = 2, C = 3;
HitId Id(const int& v) { return &v; }

TEST_F(HitLayers, NewestOverlappingShapeComesFirst) {
  HitRect(0, 0, 100, 100, 0, 1, Id(A));
  HitRect(50, 50, 100, 100, 0, 1, Id(B));
  HitList hits = HitRect(60, 60, 5, 5, 1, 0, nullptr);
  ASSERT_EQ(hits.size(), 2u);
  EXPECT_EQ(hits[0], Id(B));
  EXPECT_EQ(hits[1], Id(A));
  EXPECT_EQ(HitRect(10, 10, 5, 5, 1, 0, nullptr).First(), Id(A));
}

TEST_F(HitLayers, LowerLayersAreListedFirstAndDuplicatesKept) {
  HitRect(0, 0, 10, 10, 0, 8, Id(C));
  HitRect(0, 0, 10, 10, 0, 9, Id(A));  // in layers 1 and 8
  HitRect(0, 0, 10, 10, 0, 1, Id(A));  // registered twice in layer 1
  HitList hits = HitRect(5, 5, 1, 1, 9, 0, nullptr);
  ASSERT_EQ(hits.size(), 4u);
  EXPECT_EQ(hits[0], Id(A));  // layer 1: A twice
  EXPECT_EQ(hits[1], Id(A));
  EXPECT_EQ(hits[2], Id(A));  // then layer 8, newest first
  EXPECT_EQ(hits[3], Id(C));
  EXPECT_EQ(HitRect(5, 5, 1, 1, 5, 0, nullptr).size(), 2u);  // mask 5: layers 1 and 4, only 1 holds shapes
}

TEST_F(HitLayers, QueriesDoNotRegisterAndRegistrationsFindNothing) {
  HitRect(0, 0, 10, 10, 0, 1, Id(A));
  HitList first = HitRect(0, 0, 10, 10, 1, 0, Id(B));
  HitList second = HitRect(0, 0, 10, 10, 1, 0, Id(B));
  EXPECT_EQ(first.size(), 1u);
  EXPECT_EQ(second.size(), 1u);
  EXPECT_TRUE(HitRect(0, 0, 10, 10, 0, 1, Id(B)).empty());  // overlaps A, but tests nothing
  // A shape is tested before it is added: testing and writing one layer does not find itself.
  EXPECT_EQ(HitRect(0, 0, 10, 10, 1, 1, Id(C)).size(), 2u);
  EXPECT_EQ(HitRect(0, 0, 10, 10, 1, 0, nullptr).size(), 3u);
}

TEST_F(HitLayers, ClearingEmptiesOnlyTheNamedLayers) {
  HitRect(0, 0, 10, 10, 0, 1, Id(A));
  HitRect(0, 0, 10, 10, 0, 2, Id(B));
  ClearHitLayers(1);
  EXPECT_TRUE(HitRect(0, 0, 10, 10, 1, 0, nullptr).empty());
  EXPECT_EQ(HitRect(0, 0, 10, 10, 2, 0, nullptr).size(), 1u);
  ClearHitLayers(0);
  EXPECT_TRUE(HitRect(0, 0, 10, 10, 2, 0, nullptr).empty());
}

TEST_F(HitLayers, TouchingEdgesShareNoPixel) {
  HitRect(0, 0, 10, 10, 0, 1, Id(A));
  EXPECT_TRUE(HitRect(10, 0, 10, 10, 1, 0, nullptr).empty());
  EXPECT_TRUE(HitRect(0, -5, 10, 5, 1, 0, nullptr).empty());
  EXPECT_EQ(HitRect(9, 9, 10, 10, 1, 0, nullptr).size(), 1u);
  EXPECT_TRUE(HitRect(3, 3, 0, 5, 1, 0, nullptr).empty());  // a zero-wide shape covers nothing
}

TEST_F(HitLayers, OnlyPixelsOfAlpha128AndUpCover) {
  // 20x20 picture, opaque only in its right half; the left half has alpha 127.
  ImageRef half = Picture(20, 20, 10, 0, 20, 20, 127);
  HitImage(half, 100, 100, 0, 0, 1, Id(A));
  EXPECT_TRUE(HitRect(100, 100, 10, 20, 1, 0, nullptr).empty());
  EXPECT_EQ(HitRect(109, 100, 2, 2, 1, 0, nullptr).size(), 1u);
  ImageRef edge = Picture(20, 20, 10, 0, 20, 20, 127);
  edge->Pixels[3] = 128;  // the top-left pixel now counts
  HitImage(edge, 100, 100, 0, 0, 2, Id(B));
  EXPECT_EQ(HitRect(100, 100, 1, 1, 2, 0, nullptr).size(), 1u);
}

TEST_F(HitLayers, TwoMaskedPicturesMeetOnlyWhereBothAreOpaque) {
  ImageRef left = Picture(20, 20, 0, 0, 5, 20);     // opaque columns 0..4
  ImageRef right = Picture(20, 20, 15, 0, 20, 20);  // opaque columns 15..19
  HitImage(left, 0, 0, 0, 0, 1, Id(A));
  EXPECT_TRUE(HitImage(right, 0, 0, 0, 1, 0, nullptr).empty());
  EXPECT_EQ(HitImage(right, -14, 0, 0, 1, 0, nullptr).size(), 1u);  // column 15 lands on column 1
}

TEST_F(HitLayers, MirroredPictureIsTestedWhereItIsDrawn) {
  // Opaque in its left 5 columns; mirrored about its handle it covers x - 5 .. x - 1.
  ImageRef image = Picture(20, 10, 0, 0, 5, 10);
  SetDrawScale(-1, 1);
  HitImage(image, 100, 0, 0, 0, 1, Id(A));
  SetDrawScale(1, 1);
  EXPECT_EQ(HitRect(95, 0, 5, 10, 1, 0, nullptr).size(), 1u);
  EXPECT_TRUE(HitRect(100, 0, 20, 10, 1, 0, nullptr).empty());
  EXPECT_TRUE(HitRect(80, 0, 15, 10, 1, 0, nullptr).empty());
}

TEST_F(HitLayers, RotatedPictureIsTestedWhereItIsDrawn) {
  // A centred-handle picture opaque only ahead of its centre (right half).
  ImageRef wedge = Picture(40, 20, 20, 0, 40, 20);
  CentreImageHandle(wedge);
  HitRect(95, 112, 10, 10, 0, 4, Id(A));  // below the centre at (100, 100)
  EXPECT_TRUE(HitImage(wedge, 100, 100, 0, 4, 0, nullptr).empty());
  SetDrawRotation(90);  // clockwise on screen: "ahead" now points down
  EXPECT_EQ(HitImage(wedge, 100, 100, 0, 4, 0, nullptr).size(), 1u);
  SetDrawRotation(270);
  EXPECT_TRUE(HitImage(wedge, 100, 100, 0, 4, 0, nullptr).empty());
}

TEST_F(HitLayers, RotatedRectanglesOverlapByArea) {
  SetDrawRotation(45);
  HitRect(0, 0, 100, 10, 0, 1, Id(A));  // a thin bar from (0,0) towards (70, 70)
  SetDrawRotation(0);
  EXPECT_EQ(HitRect(48, 48, 4, 4, 1, 0, nullptr).size(), 1u);
  EXPECT_TRUE(HitRect(60, 0, 10, 10, 1, 0, nullptr).empty());  // inside its bounding box, off the bar
}

TEST_F(HitLayers, LongResultsKeepEveryIdInOrder) {
  static int ids[40];
  for (int& v : ids) HitRect(0, 0, 10, 10, 0, 1, &v);
  HitList hits = HitRect(0, 0, 1, 1, 1, 0, nullptr);
  ASSERT_EQ(hits.size(), 40u);
  size_t i = 0;
  for (HitId id : hits) EXPECT_EQ(id, &ids[39 - i++]);
}

}  // namespace
