/** @file work_test.cpp Tests of TWork: blend, shared ingredients, bulges, locking, overlays, hits, hats and clicks. */
// Mixing boxes: the brightening blend, shared ingredients, the slot bound,
// bulges and locking, overlays fading with the zoom, hit registration, the
// hat drop and the delete and finalize clicks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "game/mouse.h"
#include "game/person.h"
#include "game/work.h"
#include "game/world.h"
#include "platform/random.h"
#include "tests/headless_fixture.h"

namespace {

// A fresh world with boxes and no screen, for the blend.
class WorkMix : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWorld();
    SeedRandom(3);
  }
  void TearDown() override { ResetWorld(); }
  static WorkRef BoxWith(int hats, const ColorRef& c) {
    WorkRef w = TWork::New();
    w->Capacity = 70;
    for (int i = 0; i < hats; ++i) w->Add(c, 1);
    return w;
  }
};

TEST_F(WorkMix, FewHatsGiveADarkAverageThatBrightensPastIt) {
  struct Case {
    int hats;
    int r, g, b;
    int mr, mg, mb;
  };
  const Case cases[] = {
      {1, 200, 100, 50, 45, 22, 11},                                           // factor 0.225 for one hat
      {1, 255, 255, 255, 57, 57, 57},     {2, 200, 0, 0, 65, 0, 0},            // trunc(400 x (1.2 - 12/17) / 3)
      {50, 255, 255, 255, 253, 253, 253}, {52, 255, 255, 255, 255, 255, 255},  // 255.42, truncated
      {60, 255, 255, 255, 255, 255, 255},                                      // 260, clamped
  };
  for (const Case& c : cases) {
    WorkRef w = BoxWith(c.hats, TColor::Get(c.r, c.g, c.b));
    EXPECT_EQ(w->Mix->R, c.mr) << c.hats << " hats";
    EXPECT_EQ(w->Mix->G, c.mg) << c.hats << " hats";
    EXPECT_EQ(w->Mix->B, c.mb) << c.hats << " hats";
  }
}

TEST_F(WorkMix, CopiesWeighTheBlendButRaiseFullnessByOne) {
  WorkRef w = TWork::New();
  w->Capacity = 30;
  ColorRef c = TColor::Get(200, 100, 50);
  ColorRef mix = w->Mix;
  w->Add(c, 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(w->Ingredients[i], c) << "slot " << i << " must be the colour itself";
  EXPECT_NE(w->Ingredients[3], c);
  EXPECT_EQ(w->NextIng, 3);
  EXPECT_EQ(w->Capacity, 32);
  EXPECT_EQ(w->Mix, mix);    // overwritten in place
  EXPECT_EQ(w->Mix->R, 80);  // 600 x (1.2 - 12/18) / 4, from K = 3
  EXPECT_EQ(w->Mix->G, 40);
}

TEST_F(WorkMix, AChangedIngredientIsSeenOnTheNextAdd) {
  ColorRef shared = TColor::Get(200, 0, 0);
  WorkRef w = BoxWith(1, shared);
  EXPECT_EQ(w->Mix->R, 45);
  shared->Set(0, 0, 200);  // e.g. another box's mix, changed since
  w->Add(TColor::Get(0, 0, 200), 1);
  EXPECT_EQ(w->Mix->R, 0);
  EXPECT_EQ(w->Mix->B, 65);
}

TEST_F(WorkMix, CopiesPastTheLastSlotAreRefused) {
  WorkRef w = TWork::New();
  ColorRef c = TColor::Get(255, 255, 255);
  w->Add(c, 250);
  EXPECT_EQ(w->NextIng, 250);
  const int32_t capacity = w->Capacity;
  w->Add(c, 20);  // only six slots left
  EXPECT_EQ(w->NextIng, 256);
  EXPECT_EQ(w->Capacity, capacity + 5);
  EXPECT_EQ(w->Ingredients[255], c);
  const int32_t mixR = w->Mix->R;
  w->Add(TColor::Get(0, 0, 0), 1);  // no free slot: nothing changes
  EXPECT_EQ(w->NextIng, 256);
  EXPECT_EQ(w->Mix->R, mixR);
}

TEST_F(WorkMix, FilledNewsIsDrawnOnlyWhileUntold) {
  ColorRef c = TColor::Get(1, 2, 3);
  WorkRef w = TWork::New();
  w->Capacity = 0;
  FilledNews = -1;
  int32_t state = RandomState();
  w->Add(c, 1);
  EXPECT_EQ(RandomState(), state);  // no draw once the news is out
  FilledNews = 0;
  w->Protected = 1;
  w->Add(c, 1);
  EXPECT_NE(RandomState(), state);
  EXPECT_EQ(FilledNews, 0);  // the game's own boxes never raise it
  w->Protected = 0;
  w->Add(c, 1);  // three hats over a capacity of 0 exceed every Capacity + r
  EXPECT_EQ(FilledNews, 1);
}

class WorkBe : public HeadlessWorld {
 protected:
  void SetUp() override {
    HeadlessWorld::SetUp();
    SeedRandom(8);
    ProtectedImage = EmbeddedPicture("protected.png");
    FinalizedImage = EmbeddedPicture("finalized.png");
    FullImage = EmbeddedPicture("full.png");
    ASSERT_TRUE(ProtectedImage && FinalizedImage && FullImage);
    Mouse = std::make_shared<TMouse>();
    box = TWork::New();
    box->Capacity = 20;
    box->Place(-140, -92);
    Works[0] = box;
  }
  // A fan (or a chef with a toque) in People[id] who has just let go of his hat.
  std::shared_ptr<TPerson> Dropper(int id, int chef) {
    auto p = std::make_shared<TPerson>();
    p->ID = id;
    p->Chef = chef;
    p->Color = TColor::Get(200, 100, 50);
    p->MyHat = std::make_shared<THat>();
    People[id] = p;
    DroppedHatOwner = id;
    return p;
  }
  std::vector<DrawCall> Calls(DrawCall::Kind kind) {
    std::vector<DrawCall> out;
    for (const DrawCall& c : backend.Drawn())
      if (c.What == kind) out.push_back(c);
    return out;
  }
  const DrawCall* PictureCall(const ImageRef& image) { return FindPicture(backend.Drawn(), image); }
  void Frame() {
    ClearScreen();
    ClearHitLayers(0);
    box->Be();
  }
  WorkRef box;
};

TEST_F(WorkBe, BulgesGrowPastCapacityAndTheTenthLocks) {
  ColorRef c = TColor::Get(10, 20, 30);
  for (int i = 0; i < 21; ++i) box->Add(c, 1);
  Frame();
  EXPECT_TRUE(Calls(DrawCall::Kind::Oval).empty());  // 21st hat: e = 0
  box->Add(c, 1);
  Frame();
  auto ovals = Calls(DrawCall::Kind::Oval);
  ASSERT_EQ(ovals.size(), 4u);  // 22nd hat: e = 1, one oval per edge
  EXPECT_EQ(ovals[0].H, 2);
  EXPECT_EQ(ovals[1].W, 2);
  for (int i = 22; i < 29; ++i) box->Add(c, 1);
  Frame();
  ovals = Calls(DrawCall::Kind::Oval);
  ASSERT_EQ(ovals.size(), 4u);
  EXPECT_EQ(ovals[0].Y, 384 - 92 - 8);  // 29th hat: e = 8, top oval from y - e
  EXPECT_EQ(box->Locked, LockOpen);
  EXPECT_EQ(PictureCall(FullImage), nullptr);
  box->Add(c, 1);
  EXPECT_EQ(box->Locked, LockFull);  // 30th hat: e = 9, full
  Frame();
  EXPECT_NE(PictureCall(FullImage), nullptr);
  // Finalizing a full box overwrites the 2 and frames its bulges in black.
  Mode = ModeFinalizing;
  Mouse->Clicked = box.get();
  Frame();
  EXPECT_EQ(box->Locked, LockFinalized);
  Frame();
  ovals = Calls(DrawCall::Kind::Oval);
  ASSERT_EQ(ovals.size(), 8u);
  EXPECT_EQ(ovals[0].R, 0);
  EXPECT_EQ(ovals[0].H, 18);
  EXPECT_NE(PictureCall(FinalizedImage), nullptr);
}

TEST_F(WorkBe, HatsDroppedWithinTenUnitsFallIn) {
  auto p = Dropper(3, 0);
  Mouse->x = box->x - 11;
  Mouse->y = box->y + 195;
  Frame();
  EXPECT_EQ(box->NextIng, 0);
  EXPECT_EQ(DroppedHatOwner, 3);  // left for other boxes
  EXPECT_EQ(p->MyHat->On, HatWorn);
  Mouse->x = box->x - 10;
  Frame();
  EXPECT_EQ(box->NextIng, 1);
  EXPECT_EQ(box->Ingredients[0], p->Color);
  EXPECT_EQ(box->Mix->R, 45);
  EXPECT_EQ(p->MyHat->On, HatOff);
  EXPECT_EQ(DroppedHatOwner, -1);
  Mouse->y = box->y + 196;  // just below the grown rectangle
  DroppedHatOwner = 3;
  Frame();
  EXPECT_EQ(box->NextIng, 1);
}

TEST_F(WorkBe, AToqueAddsWhiteAndItsChefClaimsTheBox) {
  Works[0] = nullptr;
  Works[4] = box;
  auto chef = Dropper(7, 2);
  Mouse->x = box->x + 140;
  Mouse->y = box->y + 92;
  Frame();
  EXPECT_EQ(box->Ingredients[0], White);
  EXPECT_EQ(box->Mix->R, 57);
  EXPECT_EQ(chef->Ownership, 4);
  EXPECT_EQ(chef->MyHat->On, HatOff);
}

TEST_F(WorkBe, LockedAndProtectedBoxesRefuseTheirShare) {
  auto p = Dropper(1, 0);
  Mouse->x = box->x + 140;
  Mouse->y = box->y + 92;
  box->Protected = 1;
  Frame();
  EXPECT_EQ(box->NextIng, 0);
  EXPECT_EQ(DroppedHatOwner, 1);
  Mouse->Clicked = box.get();
  for (int mode : {2, 3}) {
    Mode = mode;
    Frame();
    EXPECT_EQ(box->Active, 1);
    EXPECT_EQ(box->Locked, LockOpen);
  }
  // An unprotected finalized box takes no hats but can still be deleted.
  box->Protected = 0;
  box->Locked = LockFinalized;
  Mode = ModeNormal;
  Frame();
  EXPECT_EQ(box->NextIng, 0);
  Mode = ModeDeleting;
  Frame();
  EXPECT_EQ(box->Active, 0);
}

TEST_F(WorkBe, OverlayWordsFadeAsTheViewDrawsBack) {
  for (int i = 0; i < 31; ++i) box->Add(TColor::Get(1, 1, 1), 1);
  box->Locked = LockFinalized;  // finalized once full, so both words show
  auto guarded = TWork::New();
  guarded->Protected = 1;
  guarded->Place(200, 0);
  for (float scale : {0.15f, 0.1f, 0.5f}) {
    Scale = scale;
    Frame();
    guarded->Be();
    // Alpha 0.5 is kept as the byte 127; above 0.2 the words are not faded at all.
    const int faded = scale == 0.15f ? 127 : scale == 0.1f ? 0 : 255;
    ASSERT_NE(PictureCall(FinalizedImage), nullptr);
    ASSERT_NE(PictureCall(FullImage), nullptr);
    ASSERT_NE(PictureCall(ProtectedImage), nullptr);
    EXPECT_EQ(PictureCall(FinalizedImage)->Alpha, faded) << scale;
    EXPECT_EQ(PictureCall(FullImage)->Alpha, faded) << scale;
    EXPECT_EQ(PictureCall(ProtectedImage)->Alpha, 255) << scale;
    FillRect(0, 0, 1, 1);
    EXPECT_EQ(backend.Drawn().back().Alpha, 255) << "alpha restored";
  }
}

TEST_F(WorkBe, RegistersItsBodyAndItsSightZone) {
  Frame();
  const int cx = box->x + 140, cy = box->y + 92;
  HitList bodies = HitRect(cx, cy, 1, 1, LayerGrab | LayerBoxBody, 0, nullptr);
  ASSERT_EQ(bodies.size(), 2u);  // LayerGrab, then LayerBoxBody
  EXPECT_EQ(bodies[0], box.get());
  EXPECT_EQ(bodies[1], box.get());
  // The sight zone reaches 175 units out, and not 176.
  EXPECT_EQ(HitRect(box->x - 175, cy, 1, 1, LayerSight, 0, nullptr).size(), 1u);
  EXPECT_TRUE(HitRect(box->x - 176, cy, 1, 1, LayerSight, 0, nullptr).empty());

  // Deleted on screen: seen twice in its last frame, so onlookers feel the loss.
  Mode = ModeDeleting;
  Mouse->Clicked = box.get();
  Frame();
  EXPECT_EQ(box->Active, 0);
  HitList seen = HitRect(cx, cy, 1, 1, LayerSight, 0, nullptr);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], box.get());
  EXPECT_EQ(seen[1], box.get());

  // Off screen a box is still clickable but out of sight.
  box->Place(5000, 0);
  Mode = ModeNormal;
  Frame();
  EXPECT_EQ(HitRect(5100, 50, 1, 1, LayerGrab, 0, nullptr).size(), 1u);
  EXPECT_TRUE(HitRect(5100, 50, 1, 1, LayerSight, 0, nullptr).empty());
}

}  // namespace
