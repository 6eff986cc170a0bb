/** @file people_test.cpp Tests of the crowd: TPerson's creation, drawing and the fan's frame, on a headless game. */
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "game/frameloop.h"
#include "game/mouse.h"
#include "game/person.h"
#include "game/work.h"
#include "game/world.h"
#include "platform/hitlayers.h"
#include "platform/numeric.h"
#include "platform/random.h"
#include "tests/staged_game.h"

namespace {

class People_ : public StagedGame {
 protected:
  People_() : StagedGame(777) {}
  void SetUp() override {
    StagedGame::SetUp();
    FrameTime = 1.5f;
  }

  // A fan standing at (x, y) in People[slot], walking frame 0 with `frameIn` ticks to
  // the next, with hair 3 and a red favourite colour.
  static PersonRef Fan(float x, float y, int32_t angle, size_t slot = 0, int32_t frameIn = 50) {
    PersonRef p = PutPerson(slot, x, y, angle);
    p->Frame = 0;
    p->FrameIn = frameIn;
    p->Hairstyle = 3;
    return p;
  }
  // A box in a slot, holding one colour.
  static WorkRef Box(size_t slot, int32_t x, int32_t y) { return PutBox(slot, x, y, TColor::Get(200, 30, 30), 1); }
  // Gives the fan a settled opinion of the box, not due for re-forming.
  static void Thinks(TPerson& p, const TWork& box, int32_t is, int32_t patience = 10) {
    StagedGame::Thinks(p, box, is, patience, 1000);
  }
};

TEST_F(People_, ALeftEdgeNewcomerStartsWhollyLeftOfTheScreenHeadingIn) {
  int leftEdges = 0;
  for (int32_t seed = 1; leftEdges < 40; seed += 7919) {
    SeedRandom(seed);
    if (RandomInt(0, 3) != 0) continue;
    ++leftEdges;
    SeedRandom(seed);
    PersonRef p = TPerson::New();
    EXPECT_GE(p->x, -1042);
    EXPECT_LE(p->x, -792);
    EXPECT_GE(p->y, -1144);
    EXPECT_LE(p->y, 634);
    EXPECT_TRUE((p->Angle >= 325 && p->Angle <= 359) || (p->Angle >= 0 && p->Angle <= 89)) << p->Angle;
  }
}

TEST_F(People_, CreationDrawsInItsOrderAndNoMore) {
  for (int32_t stage : {0, 3}) {
    Stage = stage;
    for (int32_t seed = 11; seed < 11 + 20 * 104729; seed += 104729) {
      const auto cells = ColorCells;
      const int32_t cellMax = ColorCellMax;
      SeedRandom(seed);
      PersonRef p = TPerson::New();
      const int32_t after = RandomState();
      // Replay: the edge and its three or four draws, the colour, the hair, and the chef draw.
      ColorCells = cells;
      ColorCellMax = cellMax;
      SeedRandom(seed);
      const int32_t edge = RandomInt(0, 3);
      for (int i = 0; i < (edge == 3 ? 4 : 3); ++i) RandomUnit();
      TColor scratch;
      scratch.Randomize();
      EXPECT_EQ(scratch.R, p->Color->R);
      const int32_t hair = RandomInt(0, 9);
      EXPECT_EQ(hair, p->Hairstyle);
      if (stage >= 3 && hair < 4) RandomInt(0, 150);
      EXPECT_EQ(RandomState(), after) << "stage " << stage << " seed " << seed;
    }
  }
}

TEST_F(People_, FrontViewFromAngle55WithALighterHeadBob) {
  FrameTime = 0.0f;  // drawn where he stands
  PersonRef p = Fan(0, -200, 55);
  p->Frame = 5;
  Act({p.get()});
  ASSERT_TRUE(Drawn(BodyFrames[11]));  // front-view frame 5
  const DrawCall* face = Drawn(Faces[3]);
  ASSERT_TRUE(face);
  EXPECT_EQ(face->Y, 384 - 117);  // int(-200 + 72 + 0.35 x 29) = int(-117.85), toward zero
  PersonRef q = Fan(0, -200, 54);
  q->Frame = 5;
  Act({q.get()});
  ASSERT_TRUE(Drawn(BodyFrames[5]));  // facing right
  EXPECT_EQ(Drawn(Faces[3])->Y, 384 + (-200 + 72 + 29));
}

TEST_F(People_, FacingLeftIsMirroredAndHitWhereDrawn) {
  PersonRef p = Fan(-100, -200, 180);
  Act({p.get()});
  const DrawCall* body = Drawn(BodyFrames[0]);
  ASSERT_TRUE(body);
  EXPECT_LT(body->ScaleX, 0);
  // The body covers world x -100 to 180 either way; its torso is found there.
  EXPECT_EQ(HitRect(-100 + 130, -200 + 250, 4, 4, LayerGrab, 0, nullptr).First(), p.get());
}

// The first opaque pixel of a picture's leftmost opaque column: the world cell
// it lands on is covered only when the picture is placed exactly there.
std::pair<int, int> LeftmostOpaque(const ImageRef& image) {
  for (int c = 0; c < image->Width; ++c)
    for (int r = 0; r < image->Height; ++r)
      if (image->Pixels[(size_t(r) * size_t(image->Width) + size_t(c)) * 4 + 3] >= 128) return {c, r};
  return {-1, -1};
}

TEST_F(People_, AChefAtAFractionalPlaceIsDrawnAndHitAtTheRealSums) {
  FrameTime = 0.0f;
  PersonRef chef = Fan(-0.5f, 0.5f, 0);
  chef->Chef = ChefBorn;
  chef->Mood = 35;
  PersonRef owner = People[1];
  owner->MyHat->On = HatOff;
  owner->HatThief = 0;
  chef->CarriedHat = 1;
  Act({chef.get()});
  // int(-0.5 + k) for k = 90, 70, 42, 55 and int(0.5 + k) for k = -140; int(x) + k is one further right or up.
  const DrawCall* face = Drawn(Faces[3]);
  const DrawCall* hair = Drawn(Hairs[3]);
  const DrawCall* toque = Drawn(ChefHatImage);
  const DrawCall* carried = Drawn(HatImage);
  ASSERT_TRUE(face && hair && toque && carried);
  EXPECT_EQ(face->X, 512 + 89);
  EXPECT_EQ(face->Y, 384 + 72);
  EXPECT_EQ(hair->X, 512 + 69);
  EXPECT_EQ(hair->Y, 384 + 29);
  EXPECT_EQ(toque->X, 512 + 41);
  EXPECT_EQ(toque->Y, 384 - 139);
  EXPECT_EQ(carried->X, 512 + 54);
  EXPECT_EQ(carried->Y, 384 + 260);
  EXPECT_EQ(carried->R, owner->Color->R);
  // Layer 1 holds the toque and the carried hat where they are drawn, not a unit off.
  auto hitAt = [](const ImageRef& picture, int qx, int qy, HitId id) {
    const auto [c, r] = LeftmostOpaque(picture);
    const HitList hits =
        HitRect(qx + c - TruncInt(picture->HandleX), qy + r - TruncInt(picture->HandleY), 1, 1, LayerGrab, 0, nullptr);
    for (HitId hit : hits)
      if (hit == id) return true;
    return false;
  };
  EXPECT_TRUE(hitAt(ChefHatImage, 41, -139, chef->MyHat.get()));
  EXPECT_FALSE(hitAt(ChefHatImage, 41 - 1, -139, chef->MyHat.get()));
  EXPECT_TRUE(hitAt(HatImage, 54, 260, owner->MyHat.get()));
  EXPECT_FALSE(hitAt(HatImage, 54 - 1, 260, owner->MyHat.get()));
}

TEST_F(People_, EachSecondAddsEveryonesMoodGainOnce) {
  FrameTime = 0.0f;  // nobody walks out of the box's sight (no re-measuring before frame 100)
  WorkRef box = Box(0, 300, -200);
  PersonRef b = Fan(0, -150, 0, 1, 5);
  Thinks(*b, *box, 69);                 // gain +6
  PersonRef a = Fan(0, -200, 0, 0, 5);  // higher on the screen: acts first
  Thinks(*a, *box, 5);                  // gain -3
  PeopleCount = 2;
  StageTable[0].CrowdSize = 2;  // the crowd does not grow back to twenty around the pair
  StageScore = 0;
  game->Run(60);
  EXPECT_EQ(StageScore, 0);  // the first second ticks in the 61st frame
  game->Run(1);
  EXPECT_EQ(a->Mood, 5);
  EXPECT_EQ(b->Mood, 69);
  EXPECT_EQ(SecondScore, 3);
  EXPECT_EQ(StageScore, 3);
  game->Run(59);
  EXPECT_EQ(StageScore, 3);  // nothing between ticks
  game->Run(1);
  EXPECT_EQ(StageScore, 6);
  EXPECT_EQ(SecondScore, 3);
}

TEST_F(People_, AMoodPicksItsFace) {
  PersonRef p = Fan(0, -200, 0);
  WorkRef box = Box(0, 300, -200);
  Thinks(*p, *box, 69);
  Act({p.get()});
  EXPECT_EQ(p->Mood, 69);
  EXPECT_TRUE(Drawn(Faces[6]));
  EXPECT_EQ(HitRect(90 + 50, -200 + 72 + 14 + 50, 2, 2, LayerFace, 0, nullptr).First(), p.get());  // the face
}

TEST_F(People_, BoxContactPushesAFanOutBoxByBox) {
  PersonRef p = Fan(0, 0, 0);
  FrameTime = 0.0f;               // no walking: only the push
  WorkRef box = Box(0, 50, 100);  // x + 97 >= 50, x + 183 <= 330, y < 100 - 30
  Act({p.get()});
  EXPECT_EQ(p->y, 100 - 174);
  EXPECT_EQ(p->x, 0);
  // Two boxes, newest first: the first pushes him left, and the second then
  // sees that new position (from x = 0 it would push him right instead).
  PersonRef q = Fan(0, 200, 0);
  Works[0] = nullptr;
  Box(1, -100, 200);
  Box(2, 150, 100);  // x + 97 < 150: out to the left, x = -44
  Act({q.get()});    // then for the first box: y < 200 + 114, so in front of it, y = 314
  EXPECT_EQ(q->x, -44);
  EXPECT_EQ(q->y, 314);
}

TEST_F(People_, MoodAveragesWithTheMostExtremeOpinion) {
  PersonRef p = Fan(0, -200, 0);
  WorkRef a = Box(0, 300, -200);
  Thinks(*p, *a, 60);
  Act({p.get()});
  EXPECT_EQ(p->Mood, 60);
  WorkRef b = Box(1, -400, -200);
  Thinks(*p, *b, 20);
  Act({p.get()});
  EXPECT_EQ(p->Mood, 50);  // ((60 + 20) / 2 + 60) / 2
}

TEST_F(People_, PaceFollowsTheMood) {
  struct Case {
    int32_t Mood, Patience;
    double Distance;
  };
  // 35 +- 11 walks at full speed, 47 at 0.8, 10 at half speed, 60 stands while patient.
  for (Case c : {Case{24, 10, 1.5}, Case{46, 10, 1.5}, Case{47, 10, 1.5 * 0.8f}, Case{10, 10, 0.75}, Case{60, 10, 0.0},
                 Case{60, 0, 1.5}}) {
    PersonRef p = Fan(-100, -300, 0);
    Works.fill(nullptr);
    WorkRef box = Box(0, 200, 0);  // in sight, but not in the wedge ahead
    Thinks(*p, *box, c.Mood, c.Patience);
    Act({p.get()});
    ASSERT_EQ(p->Mood, c.Mood);
    EXPECT_NEAR(p->x + 100, c.Distance, 1e-5) << "mood " << c.Mood << " patience " << c.Patience;
    if (c.Mood == 60 && c.Patience > 0) {
      EXPECT_EQ(p->Frame, 8);
    }
  }
}

TEST_F(People_, NobodyHeadsUpTheScreenTooSteeply) {
  for (auto [before, after] : {std::pair{270, 215}, {271, 325}, {215, 215}, {325, 325}, {300, 325}}) {
    PersonRef p = Fan(0, -300, before);
    Act({p.get()});
    EXPECT_EQ(p->Angle, after) << before;
  }
}

TEST_F(People_, AThrowFliesAndSlowsThenWalks) {
  PersonRef p = Fan(0, -300, 90);
  p->throwX = 10;
  float expected = 10;
  double x = 0;
  for (int frame = 0; frame < 10; ++frame) {
    Act({p.get()});
    x += expected;
    EXPECT_NEAR(p->x, x, 1e-3) << frame;
    expected = float(double(expected) * 0.85);
  }
  EXPECT_LT(p->throwX, 2.0f);  // 10 x 0.85^10 = 1.97
  const float flownTo = p->x;
  Act({p.get()});
  EXPECT_NEAR(p->x, flownTo, 1e-4);  // walking down the screen again, not across it
  EXPECT_GT(p->y, -300);
}

TEST_F(People_, LosingALovedBoxDragsTheMoodDown) {
  PersonRef p = Fan(0, -200, 0);
  WorkRef loved = Box(0, 300, -200);
  WorkRef kept = Box(1, -400, -200);
  Thinks(*p, *loved, 69);
  Thinks(*p, *kept, 50);
  loved->Active = 0;  // deleted this frame: its sight zone is still registered
  ClearHitLayers(0);
  kept->Be();
  HitRect(loved->x - 175, loved->y - 175, 630, 535, 0, LayerSight, loved.get());
  p->Be();
  EXPECT_EQ(p->LossValue, 0);
  EXPECT_GE(p->LossRetention, 0.6f);
  EXPECT_LT(p->LossRetention, 1.0f);
  // With a retention of 0.75 and a mood of 50 from the box he still sees: 0.25 x 50 + 0.75 x 0.
  p->LossRetention = 0.75f;
  p->LossChangeIn = 100;
  Act({p.get()});
  EXPECT_EQ(p->Mood, 12);
  // A second loss, of a box he thought 30 of, averages into the first.
  Thinks(*p, *Box(2, 300, 300), 30);
  Works[2]->Active = 0;
  ClearHitLayers(0);
  HitRect(300 - 175, 300 - 175, 630, 535, 0, LayerSight, Works[2].get());
  p->Be();
  EXPECT_EQ(p->LossValue, 26);
}

TEST_F(People_, AHeldFanKeepsHisMood) {
  PersonRef p = Fan(0, -200, 0);
  WorkRef box = Box(0, 300, -200);
  Thinks(*p, *box, 60);
  Act({p.get()});
  EXPECT_EQ(p->Mood, 60);
  p->Opinion[0].Is = 10;
  Mouse->Clicked = p.get();
  Act({p.get()});
  EXPECT_EQ(p->Mood, 60);
  EXPECT_TRUE(Drawn(Faces[1]));                                            // a held fan shows the second face
  EXPECT_TRUE(HitRect(0, -200, 280, 510, LayerGrab, 0, nullptr).empty());  // and registers nothing
}

TEST_F(People_, AHatDroppedOverAnOpenBoxIsUsedUp) {
  PersonRef p = Fan(0, -200, 0);
  WorkRef box = Box(0, 300, -200);
  Mouse->x = 400;
  Mouse->y = -100;
  Mouse->Dropped = p->MyHat.get();
  Act({p.get()});
  EXPECT_EQ(DroppedHatOwner, p->ID);
  EXPECT_EQ(p->MyHat->On, HatWorn);
  Mouse->Dropped = nullptr;
  const int32_t before = box->NextIng;
  Act({p.get()});  // the next frame's boxes take the hat
  EXPECT_EQ(box->NextIng, before + 1);
  EXPECT_EQ(p->MyHat->On, HatOff);
  EXPECT_EQ(DroppedHatOwner, -1);
}

TEST_F(People_, OpinionsStayWithinTheirSlotsPastTwoThousandBoxes) {
  PersonRef p = Fan(0, -200, 0);
  // 2000 opinions of boxes that are gone, then a living box is seen.
  for (int32_t id = 0; id < TPerson::MaxOpinions; ++id) {
    TOpinion o = TOpinion::New();
    o.Of = 100000 + id;
    o.Is = 40;
    p->Opinion.push_back(o);
  }
  WorkRef box = Box(0, 300, -200);
  Act({p.get()});
  EXPECT_EQ(p->Opinion.size(), size_t(TPerson::MaxOpinions));
  EXPECT_EQ(p->Opinion[0].Of, box->ID);  // the oldest opinion of a gone box made room
  EXPECT_EQ(p->Opinion[1].Of, 100001);
  EXPECT_NE(p->Mood, 35);
}

TEST_F(People_, TheCrowdComesAndGoesAndKeepsItsSlots) {
  // Boxes across the middle, and a long game: people enter, cross, leave and are replaced.
  for (size_t i = 0; i < 4; ++i) Box(i, -700 + int32_t(i) * 400, -90);
  std::vector<const TPerson*> first;
  for (int32_t i = 0; i < PeopleCount; ++i) first.push_back(People[size_t(i)].get());
  int replaced = 0, moodsSeen = 0;
  for (int frame = 0; frame < 30000; ++frame) {
    game->Run(1);
    for (int32_t i = 0; i < PeopleCount; ++i) {
      const TPerson& p = *People[size_t(i)];
      ASSERT_EQ(p.ID, i);
      ASSERT_EQ(p.MyHat->Owner, i);
      for (int32_t index : {p.CarriedHat, p.HatThief, p.Following})
        ASSERT_TRUE(index == -1 || (index >= 0 && index < PeopleCount));
      for (int32_t slot : {p.Ownership, p.Destination, p.GettingHat})
        ASSERT_TRUE(slot < 0 || (slot < 1000 && Works[size_t(slot)]));
      ASSERT_GE(p.Mood, 0);
      ASSERT_LE(p.Mood, 69);
      moodsSeen += p.Mood != 35;
    }
  }
  for (int32_t i = 0; i < PeopleCount; ++i) replaced += People[size_t(i)].get() != first[size_t(i)];
  EXPECT_GT(replaced, 10);
  EXPECT_GT(moodsSeen, 0);
}

}  // namespace
