/** @file view_test.cpp Tests of the world view: zoomed drawing, visibility, mirroring, and the message bars. */
#include <gtest/gtest.h>

#include "game/view.h"
#include "game/world.h"
#include "headless_fixture.h"

namespace {

class WorldView : public HeadlessScreen {
 protected:
  void SetUp() override {
    HeadlessScreen::SetUp();
    ResetWorld();
  }
  void TearDown() override {
    ResetWorld();
    HeadlessScreen::TearDown();
  }
  static ImageRef Square(int w, int h) {
    auto image = std::make_shared<Image>();
    image->Width = w;
    image->Height = h;
    image->Pixels.assign(size_t(w) * size_t(h) * 4, 255);
    return image;
  }
  // Whether the drawing scale is back at (1, 1): a probe rectangle shows it.
  bool ScaleIsIdentity() {
    FillRect(0, 0, 1, 1);
    const DrawCall& probe = backend.Drawn().back();
    return probe.ScaleX == 1.0f && probe.ScaleY == 1.0f;
  }
};

TEST_F(WorldView, WorldOriginIsTheScreenCentre) {
  ImageRef image = Square(10, 10);
  DrawScaled(image, 0, 0, 0);
  DrawScaled(image, -512, -384, 0);
  ASSERT_EQ(backend.Drawn().size(), 2u);
  EXPECT_EQ(backend.Drawn()[0].X, 512);
  EXPECT_EQ(backend.Drawn()[0].Y, 384);
  EXPECT_EQ(backend.Drawn()[1].X, 0);
  EXPECT_EQ(backend.Drawn()[1].Y, 0);
  EXPECT_TRUE(ScaleIsIdentity());
}

// Screen pixels become world units toward the centre, never down, so a click
// left of the centre lands as far from it as the same click right of it, and a
// pixel taken to the world and back never moves away from the centre. The
// frame's edge pixels stay inside the view the mouse is kept in.
TEST_F(WorldView, ScreenAndWorldMapTowardTheCentre) {
  for (const float zoom : {1.0f, 0.5f, 0.3f, 1.75f}) {
    SCOPED_TRACE(zoom);
    Scale = zoom;
    EXPECT_EQ(ScreenToWorldX(ScreenCentreX), 0);
    EXPECT_EQ(ScreenToWorldY(ScreenCentreY), 0);
    EXPECT_EQ(WorldToScreenX(0), float(ScreenCentreX));
    EXPECT_EQ(WorldToScreenY(0), float(ScreenCentreY));
    for (int d = 0; d <= ScreenCentreX; ++d) {
      const int left = ScreenToWorldX(ScreenCentreX - d), right = ScreenToWorldX(ScreenCentreX + d);
      ASSERT_EQ(left, -right) << d;
      // Back on the screen: on the centre's side of the pixel, less than one world unit from it.
      const double back = WorldToScreenX(right) - ScreenCentreX;
      ASSERT_LE(back, d + 1e-3) << d;
      ASSERT_GT(back, d - double(zoom) - 1e-3) << d;
    }
    EXPECT_EQ(ScreenToWorldY(ScreenCentreY - 1), -ScreenToWorldY(ScreenCentreY + 1));
    const double halfW = HalfViewWidth(Scale), halfH = HalfViewHeight(Scale);
    EXPECT_GE(ScreenToWorldX(0), -halfW);
    EXPECT_LE(ScreenToWorldX(ScreenWidth), halfW);
    EXPECT_GE(ScreenToWorldY(0), -halfH);
    EXPECT_LE(ScreenToWorldY(ScreenHeight), halfH);
    EXPECT_EQ(OnScreen(ScreenToWorldX(0), ScreenToWorldY(0), ScreenToWorldX(ScreenWidth) - ScreenToWorldX(0),
                       ScreenToWorldY(ScreenHeight) - ScreenToWorldY(0), 0),
              1);
  }
  Scale = 0.3f;  // 1/0.3 world units a pixel: one pixel either side is 3 units, not -4 and 3
  EXPECT_EQ(ScreenToWorldX(ScreenCentreX - 1), -3);
  // The float zoom 0.3 is a hair above 0.3, and the division is made in double
  // from it: the top edge is 1279.99995 units up, which is 1279, where float
  // arithmetic would round to 1280.
  EXPECT_EQ(ScreenToWorldY(0), -1279);
}

TEST_F(WorldView, ZoomedOutPicturesAreSeenFurtherOut) {
  Scale = 0.5f;
  DrawScaled(Square(100, 100), 900, 0, 0);
  ASSERT_EQ(backend.Drawn().size(), 1u);
  const DrawCall& call = backend.Drawn()[0];
  EXPECT_EQ(call.X, 962);
  EXPECT_EQ(call.Y, 384);
  EXPECT_DOUBLE_EQ(call.Corners.P[1].X - call.Corners.P[0].X, 50);
  DrawScaled(Square(100, 100), 1025, 0, 0);  // past the right edge of the view
  EXPECT_EQ(backend.Drawn().size(), 1u);
  EXPECT_TRUE(ScaleIsIdentity());
}

TEST_F(WorldView, EdgesTouchingCountAsVisible) {
  Scale = 0.5f;
  EXPECT_EQ(OnScreen(-1024 - 50, 0, 50, 10, 1), 1);  // right edge exactly on the left border
  EXPECT_EQ(OnScreen(-1024 - 51, 0, 50, 10, 1), 0);
  EXPECT_EQ(OnScreen(1024, 0, 50, 10, 1), 1);          // left edge on the right border
  EXPECT_EQ(OnScreen(-1024, -768, 2048, 1536, 0), 1);  // exactly the whole view
  EXPECT_EQ(OnScreen(-1024, -768, 2049, 1536, 0), 0);
  EXPECT_EQ(OnScreen(0, 760, 10, 10, 0), 0);  // wholly inside needs the bottom in view too
  EXPECT_EQ(OnScreen(0, 758, 10, 10, 0), 1);
}

TEST_F(WorldView, MirroredDrawingCoversTheSameArea) {
  Scale = 0.5f;
  DrawScaledMirrored(Square(60, 20), 10, 0, 0);
  ASSERT_EQ(backend.Drawn().size(), 1u);
  const Quad& q = backend.Drawn()[0].Corners;
  EXPECT_DOUBLE_EQ(q.P[0].X, 512 + 70 * 0.5);
  EXPECT_DOUBLE_EQ(q.P[1].X, 512 + 10 * 0.5);
  EXPECT_EQ(backend.Drawn()[0].ScaleX, -0.5f);
  EXPECT_TRUE(ScaleIsIdentity());
}

TEST_F(WorldView, RectanglesAndOvalsUseTheirColourAndZoom) {
  Scale = 0.25f;
  RectScaled(-100, -100, 40, 80, Black);
  OvalScaled(0, 0, 400, 400);
  RectScaled(4000, 0, 40, 80, nullptr);  // out of view: nothing drawn
  ASSERT_EQ(backend.Drawn().size(), 2u);
  EXPECT_EQ(backend.Drawn()[0].R, 0);
  EXPECT_DOUBLE_EQ(backend.Drawn()[0].Corners.P[2].X, 512 - 25 + 10);
  EXPECT_EQ(backend.Drawn()[1].What, DrawCall::Kind::Oval);
  EXPECT_EQ(backend.Drawn()[1].R, 0);  // the colour stays in force
  EXPECT_TRUE(ScaleIsIdentity());
}

TEST_F(WorldView, MessageBarsAreCentredAndRegisteredInWorldUnits) {
  Scale = 0.5f;
  const std::string line1 = "Click on a color", line2 = "";
  const int w1 = TextPixelWidth(line1);
  ShowLines(line1, line2);
  const auto& drawn = backend.Drawn();
  ASSERT_EQ(drawn.size(), 4u);
  EXPECT_EQ(drawn[0].X, float(512 - w1 / 2));
  EXPECT_EQ(drawn[0].W, float(w1));
  EXPECT_EQ(drawn[0].R, 255);
  EXPECT_EQ(drawn[1].W, 0);  // an empty line's bar shows nothing
  EXPECT_EQ(drawn[2].Text, line1);
  EXPECT_EQ(drawn[2].R, 0);
  // The bar's world rectangle starts at int((-w1 / 2) / Scale) at the top of the view.
  const int left = int((-w1 / 2) / 0.5);
  EXPECT_EQ(HitRect(left, -768, 1, 1, LayerGrab, 0, nullptr).First(), &UpperBar);
  EXPECT_TRUE(HitRect(left - 1, -768, 1, 1, LayerGrab, 0, nullptr).empty());
  EXPECT_TRUE(ScaleIsIdentity());
}

TEST_F(WorldView, MessageBarsKeepTheirIdsWhateverStringsWereShown) {
  // Temporaries end before anybody asks the layer; the bars' ids must outlive them.
  ShowLines(std::string("First line of a message"), std::string("and its second line"));
  const HitId upper = HitRect(0, -384, 1, 1, LayerGrab, 0, nullptr).First();
  const HitId lower = HitRect(0, -364, 1, 1, LayerGrab, 0, nullptr).First();
  EXPECT_EQ(upper, &UpperBar);
  EXPECT_EQ(lower, &LowerBar);
  EXPECT_EQ(static_cast<const MessageBar*>(upper)->Line, 1);
  EXPECT_EQ(static_cast<const MessageBar*>(lower)->Line, 2);
  // Another message the next frame registers under the same two ids.
  ClearHitLayers(0);
  ShowLines("Short", "Also short");
  EXPECT_EQ(HitRect(0, -384, 1, 1, LayerGrab, 0, nullptr).First(), &UpperBar);
  EXPECT_EQ(HitRect(0, -364, 1, 1, LayerGrab, 0, nullptr).First(), &LowerBar);
}

}  // namespace
