/** @file chefs_test.cpp Tests of chefs, inspiration and new hats, in set-up headless worlds and one long game. */
// Chefs, inspiration and new hats: people set up directly in a headless world
// and run frame by frame, then a long game full of chefs checked every frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <random>

#include "game/frameloop.h"
#include "game/mouse.h"
#include "game/names.h"
#include "game/person.h"
#include "game/tutor.h"
#include "game/view.h"
#include "game/work.h"
#include "game/world.h"
#include "harness/headless_game.h"
#include "harness/invariants.h"
#include "platform/hitlayers.h"
#include "platform/numeric.h"
#include "platform/random.h"
#include "platform/services.h"
#include "tests/staged_game.h"

namespace {

class Chefs : public StagedGame {
 protected:
  Chefs() : StagedGame(4242) {}
  void SetUp() override {
    StagedGame::SetUp();
    FrameTime = 0.0f;  // nobody moves unless a test says so
    Stage = 3;
    PeopleCount = 0;
    Works.fill(nullptr);
  }

  // A standing person in the next slot; a fan unless chef says otherwise.
  static TPerson& Put(float x, float y, int32_t chef = ChefNone, int32_t mood = 35) {
    auto p = std::make_shared<TPerson>();
    p->Color = TColor::Get(200, 30, 30);
    p->MyHat = std::make_shared<THat>();
    p->x = x;
    p->y = y;
    p->Angle = 45;
    p->FrameIn = 100000;  // no walking-clock draws
    p->Chef = chef;
    p->Mood = mood;
    p->ID = p->MyHat->Owner = PeopleCount;
    People[size_t(PeopleCount++)] = p;
    return *p;
  }
  static TWork& Box(size_t slot, int32_t x, int32_t y) { return *PutBox(slot, x, y, TColor::Get(40, 40, 200), 1); }
  static void Thinks(TPerson& p, const TWork& box, int32_t is) {
    TOpinion o = TOpinion::New();
    o.Of = box.ID;
    o.Is = is;
    o.ChangeIn = 100000;
    o.Patience = 10;
    p.Opinion.push_back(o);
  }
  // One frame in which the boxes register, the fans' faces are seen with the
  // moods they have (the fans themselves do not act), and these people act in order.
  void Seen(std::initializer_list<TPerson*> fans, std::initializer_list<TPerson*> who) {
    ClearHitLayers(0);
    backend.Clear(255, 255, 255);
    for (auto& w : Works)
      if (w && w->Active) w->Be();
    for (TPerson* f : fans)
      HitImage(FaceFor(f->Mood), TruncInt(double(f->x) + 90), TruncInt(double(f->y) + 72), 0, 0, LayerFace, f);
    for (TPerson* p : who) p->Be();
  }
  void Frame(std::initializer_list<TPerson*> who) { Seen({}, who); }
  // Lets `ticks` ticks of the 100 Hz timer count as passed in the next frame.
  static void Ticks(int64_t ticks) { LastTick100 = TimerTickCount(Timer100) - ticks; }
  const DrawCall* Drawn(const ImageRef& image) {
    for (const DrawCall& call : backend.Drawn())
      if (call.What == DrawCall::Kind::Image && call.Picture == image.get()) return &call;
    return nullptr;
  }
};

TEST_F(Chefs, AToqueChefRatesByMoodAndTheDrawDecidesWhetherHeGoes) {
  // Moods 50, 62, 62: the faces come back newest first, so the last 62 drawn is the first rated.
  TPerson& a = Put(-100, -200, ChefNone, 50);
  TPerson& b = Put(60, -220, ChefNone, 62);
  TPerson& c = Put(200, -240, ChefNone, 62);
  TPerson& chef = Put(0, -300, ChefBorn);
  int went = 0, stayed = 0;
  for (int32_t seed = 1; seed < 40 * 104729; seed += 104729) {
    chef.Following = -1;
    chef.BestFind = 0;
    AnyWork = 1;
    SeedRandom(seed);
    const bool go = RandomInt(0, 70 - 62) < 2;  // the first draw of his frame
    SeedRandom(seed);
    Seen({&a, &b, &c}, {&chef});
    EXPECT_EQ(chef.Mood, (50 + 62 + 62) / 3);
    EXPECT_EQ(chef.Following, go ? c.ID : -1) << seed;
    EXPECT_EQ(chef.BestFind, 0);  // 62 commits him
    (go ? went : stayed) += 1;
  }
  EXPECT_GT(went, 0);
  EXPECT_GT(stayed, went);
}

TEST_F(Chefs, ABetterHatWinsUntilTheChefIsCommitted) {
  TPerson& followed = Put(-100, -200, ChefNone, 30);
  TPerson& better = Put(60, -200, ChefNone, 35);
  TPerson& best = Put(200, -200, ChefNone, 40);
  TPerson& chef = Put(0, -300, ChefBorn);
  chef.Following = followed.ID;
  chef.BestFind = 30;
  AnyWork = 1;
  Seen({&followed, &better}, {&chef});
  EXPECT_EQ(chef.Following, better.ID);  // 35 beats 30 whatever the draw
  EXPECT_EQ(chef.BestFind, 35);
  Seen({&followed, &better, &best}, {&chef});
  EXPECT_EQ(chef.Following, best.ID);
  EXPECT_EQ(chef.BestFind, 0);  // 40: committed
  better.Mood = 69;
  Seen({&followed, &better, &best}, {&chef});
  EXPECT_EQ(chef.Following, best.ID);  // no longer looking
  // A best of 25 never starts a chase; 26 does, sooner or later.
  chef.Following = -1;
  better.Mood = 25;
  for (int frame = 0; frame < 300; ++frame) Seen({&better}, {&chef});
  EXPECT_EQ(chef.Following, -1);
  better.Mood = 26;
  for (int frame = 0; frame < 300 && chef.Following == -1; ++frame) Seen({&better}, {&chef});
  EXPECT_EQ(chef.Following, better.ID);
}

TEST_F(Chefs, ChefsMoodAveragesTheFansWithHisOwn) {
  TPerson& sad = Put(-100, -200, ChefNone, 40);
  TPerson& glad = Put(60, -200, ChefNone, 60);
  TPerson& inspired = Put(0, -300, ChefInspired);
  TPerson& toque = Put(20, -300, ChefBorn);
  TWork& box = Box(0, 400, -100);
  Thinks(inspired, box, 60);
  Seen({&sad, &glad}, {&inspired, &toque});
  EXPECT_EQ(inspired.Mood, (50 + 60) / 2);  // his own 60 from the box, the fans' 50
  EXPECT_EQ(toque.Mood, 50);
}

TEST_F(Chefs, TheHatIsTakenWithinFiftyUnitsOnly) {
  TPerson& fan = Put(0, 0);
  TPerson& chef = Put(50, -220, ChefBorn);
  chef.Following = fan.ID;
  Seen({&fan}, {&chef});
  EXPECT_EQ(chef.CarriedHat, -1);  // exactly 50 away
  EXPECT_EQ(chef.Following, fan.ID);
  chef.x = 49.9f;
  // Not in the frame the player lets the hat go: its owner would put it back on while the chef held it.
  Mouse->Dropped = fan.MyHat.get();
  Frame({&chef, &fan});
  EXPECT_EQ(chef.CarriedHat, -1);
  EXPECT_EQ(fan.MyHat->On, HatWorn);
  Mouse->Dropped = nullptr;
  chef.Following = fan.ID;
  Seen({&fan}, {&chef});
  EXPECT_EQ(chef.CarriedHat, fan.ID);
  EXPECT_EQ(chef.Following, -1);
  EXPECT_EQ(fan.HatThief, chef.ID);
  EXPECT_EQ(fan.MyHat->On, HatOff);
  EXPECT_EQ(BrokenLink(), "");
  // Further than 470, the fan gets away.
  TPerson& other = Put(0, 250);
  TPerson& slow = Put(0, -700, ChefBorn);
  slow.Following = other.ID;
  Seen({&other}, {&slow});
  EXPECT_EQ(slow.Following, -1);  // 730 from the point 220 above the fan
}

TEST_F(Chefs, AHatGoesToTheNearestOpenBoxWeighedByTheChefsKind) {
  Scale = 0.5f;
  for (int32_t kind : {ChefInspired, ChefBorn}) {
    Works.fill(nullptr);
    PeopleCount = 0;
    TPerson& fan = Put(-600, 300);
    TPerson& chef = Put(-100, -300, kind);
    chef.MyHat->On = HatOff;  // a toque chef without his toque has opinions and carries like any chef
    chef.CarriedHat = fan.ID;
    fan.HatThief = chef.ID;
    fan.MyHat->On = HatOff;
    TWork& far = Box(0, -100 - 700, -300 + 158);  // centres 700 and 600 from his
    TWork& near = Box(1, -100 + 600, -300 + 158);
    Frame({&chef});
    ASSERT_EQ(chef.Destination, 1);
    EXPECT_EQ(far.NextIng, 1);
    chef.x += 320;  // 280 from the box's centre
    const int32_t before = near.NextIng;
    Frame({&chef});
    EXPECT_EQ(near.NextIng - before, kind == ChefInspired ? 3 : 2);
    EXPECT_EQ(near.Ingredients[size_t(before)], fan.Color);
    EXPECT_EQ(chef.CarriedHat, -1);
    EXPECT_EQ(chef.Destination, -1);
    EXPECT_EQ(fan.HatThief, -1);
    EXPECT_EQ(fan.MyHat->On, HatOff);  // used up
  }
}

// He has arrived when his centre is within half his width plus half the box's width of
// the box's centre: 280 units. His picture is taller than wide, so his height would reach further.
TEST_F(Chefs, AChefArrivesAtABoxByHisBodysWidth) {
  Scale = 0.5f;
  ASSERT_EQ(ImagePixelWidth(ChefBodyImage), 280);
  ASSERT_EQ(ImagePixelHeight(ChefBodyImage), 501);
  for (int32_t away : {281, 280}) {
    Works.fill(nullptr);
    PeopleCount = 0;
    TPerson& fan = Put(-600, 300);
    TWork& box = Box(0, -200, -200);
    // His centre (x + 140, y + 250) level with the box's (x + 140, y + 92), `away` to the right.
    TPerson& chef = Put(float(-200 + away), -200 + 92 - 250, ChefBorn);
    chef.CarriedHat = fan.ID;
    chef.Destination = 0;
    fan.HatThief = chef.ID;
    fan.MyHat->On = HatOff;
    Frame({&chef});
    const bool arrived = away <= 280;
    EXPECT_EQ(box.NextIng, arrived ? 3 : 1) << "a chef " << away << " units from the box's centre";
    EXPECT_EQ(chef.CarriedHat, arrived ? -1 : fan.ID) << "a chef " << away << " units from the box's centre";
    EXPECT_EQ(BrokenLink(), "");
  }
}

// The player may hold a fan's hat as the fan sets off for a new one: the walk takes it
// from the hand, and only that hat.
TEST_F(Chefs, AFanSettingOffForANewHatTakesHisHatFromThePlayersHand) {
  TWork& box = Box(0, 0, -384);
  box.Locked = LockFinalized;
  TPerson& fan = Put(-400, 300);
  TPerson& other = Put(300, 300);
  for (TPerson* held : {&other, &fan}) {
    Mouse->Clicked = held->MyHat.get();
    Frame({&fan});  // as an ordinary fan first: the hand keeps what it holds
    ASSERT_EQ(Mouse->Clicked, held->MyHat.get());
    fan.GettingHat = 0;
    Frame({&fan});
    if (held == &fan)
      EXPECT_EQ(Mouse->Clicked, nullptr) << "the player still holds the hat of a fan walking to a new one";
    else
      EXPECT_EQ(Mouse->Clicked, other.MyHat.get()) << "the walk let go of another fan's hat";
    fan.GettingHat = -1;
    fan.Frame = 8;
  }
}

TEST_F(Chefs, AChefReachingABoxClosedWhileHeWasOutOfSightKeepsTheHat) {
  for (int closing = 0; closing < 2; ++closing) {
    Works.fill(nullptr);
    PeopleCount = 0;
    TPerson& fan = Put(0, 0);
    TPerson& chef = Put(1300, -100, ChefBorn);  // right of the view, next to the box
    TWork& box = Box(0, 1300, 0);
    chef.CarriedHat = fan.ID;
    chef.Destination = 0;
    fan.HatThief = chef.ID;
    fan.MyHat->On = HatOff;
    if (closing == 0)
      box.Locked = LockFinalized;
    else
      box.Active = 0;
    Frame({&chef});
    EXPECT_EQ(box.NextIng, 1);
    EXPECT_EQ(chef.Destination, -1);
    EXPECT_EQ(chef.CarriedHat, fan.ID);
    EXPECT_EQ(BrokenLink(), "");
  }
}

TEST_F(Chefs, AtTheEdgeAChefTurnsBackByTheFixedRectangle) {
  Scale = 0.5f;
  TPerson& high = Put(600, -770, ChefBorn);  // his top above the view's -768
  Frame({&high});
  EXPECT_EQ(high.Angle, 90);              // 180 by the right edge, then 90 by the top
  TPerson& seen = Put(600, 0, ChefBorn);  // wholly visible, though right of 512
  Frame({&seen});
  EXPECT_GE(seen.Angle, 41);
  EXPECT_LE(seen.Angle, 49);
}

TEST_F(Chefs, AnInspirationStepsAtMostOnceAFrameAndEndsInAChefWhoOwnsTheBox) {
  TWork& box = Box(3, 400, -200);
  TPerson& fan = Put(0, -200);
  fan.InspiredBy = box.ID;
  fan.InspiredC = box.Mix;
  fan.Frame = 5;
  fan.FrameIn = 9;
  fan.throwX = 10;  // caught in flight
  Ticks(20);
  Frame({&fan});
  EXPECT_EQ(fan.Frame, -1);
  EXPECT_EQ(fan.FrameIn, -2);
  EXPECT_EQ(InspiredNews, 1);
  EXPECT_EQ(fan.throwX, 0.0f);
  Ticks(1);
  Frame({&fan});
  EXPECT_EQ(fan.Frame, -2);
  EXPECT_EQ(fan.FrameIn, 6);
  // Chefs still see his face; only his hat can be grabbed.
  EXPECT_EQ(HitRect(0, -200, 280, 510, LayerFace, 0, nullptr).First(), &fan);
  const HitList grab = HitRect(0, -200, 280, 510, LayerGrab, 0, nullptr);
  ASSERT_EQ(grab.size(), 1u);
  EXPECT_EQ(grab.First(), fan.MyHat.get());
  // The shirt: first at step 60, 356 above him and at 0.2; full from step 64; at step 68 36 above.
  for (auto [step, alpha, above] : {std::tuple{60, 51, 356}, {63, 204, 236}, {64, 255, 196}, {68, 255, 36}}) {
    fan.Frame = -(step - 1);
    fan.FrameIn = 1;
    Ticks(1);
    Frame({&fan});
    const DrawCall* shirt = Drawn(ChefShirtImage);
    ASSERT_TRUE(shirt) << step;
    EXPECT_EQ(shirt->Alpha, alpha) << step;
    EXPECT_EQ(shirt->Y, 384 + (-200 - above)) << step;
  }
  EXPECT_EQ(fan.Chef, ChefInspired);
  EXPECT_EQ(fan.Ownership, 3);
  EXPECT_EQ(fan.InspiredBy, -1);
  EXPECT_EQ(fan.Frame, 8);
  EXPECT_FALSE(fan.InspiredC);
  // Under the crowd's fade at Scale 0.15 the shirt fades with it, and the fade is left set.
  Scale = 0.15f;
  TPerson& late = Put(0, -200);
  late.InspiredBy = box.ID;
  late.InspiredC = box.Mix;
  late.Frame = -61;
  late.FrameIn = 1;
  Ticks(1);
  Frame({&late});
  ASSERT_TRUE(Drawn(ChefShirtImage));
  EXPECT_EQ(Drawn(ChefShirtImage)->Alpha, uint8_t(0.3f * 255));  // 0.5 x 3 / 5
  FillRect(0, 0, 1, 1);
  EXPECT_EQ(backend.Drawn().back().Alpha, uint8_t(0.5f * 255));
}

TEST_F(Chefs, AHatLetGoDuringAnInspirationIsNotLost) {
  TWork& box = Box(0, 400, -200);
  TPerson& fan = Put(0, -200);
  TPerson& thief = Put(300, 100, ChefBorn);
  fan.InspiredBy = box.ID;
  fan.InspiredC = box.Mix;
  // Let go over the box: the next frame's box takes it.
  Mouse->x = 500;
  Mouse->y = -100;
  Mouse->Dropped = fan.MyHat.get();
  Frame({&fan});
  EXPECT_EQ(DroppedHatOwner, fan.ID);
  Mouse->Dropped = nullptr;
  Frame({&fan});
  EXPECT_EQ(box.NextIng, 2);
  EXPECT_EQ(fan.MyHat->On, HatOff);
  // Robbed while inspired, and still robbed when he becomes a chef; the player takes it back.
  fan.MyHat->On = HatOff;
  fan.HatThief = thief.ID;
  thief.CarriedHat = fan.ID;
  fan.Frame = -67;
  fan.FrameIn = 1;
  Ticks(1);
  Frame({&fan});
  ASSERT_EQ(fan.Chef, ChefInspired);
  EXPECT_EQ(BrokenLink(), "");
  Mouse->Clicked = fan.MyHat.get();
  Mouse->JustClicked = 1;
  Frame({&thief, &fan});
  EXPECT_EQ(thief.CarriedHat, -1);
  EXPECT_EQ(fan.HatThief, -1);
  Mouse->Clicked = nullptr;
  Mouse->JustClicked = 0;
  Mouse->x = -300;  // over open ground
  Mouse->Dropped = fan.MyHat.get();
  Frame({&thief, &fan});
  EXPECT_EQ(fan.MyHat->On, HatWorn);  // back on his head
  EXPECT_EQ(BrokenLink(), "");
}

TEST_F(Chefs, AFanFetchesANewHatInTheBoxsVeryColourOnce) {
  FrameTime = 1.5f;
  TWork& box = Box(0, 0, -384);
  box.Locked = LockFinalized;
  TPerson& fan = Put(-400, 300);
  TPerson& thief = Put(300, 300, ChefBorn);
  fan.MyHat->On = HatOff;  // his hat is in a chef's hands
  fan.HatThief = thief.ID;
  thief.CarriedHat = fan.ID;
  thief.Destination = 0;
  fan.GettingHat = 0;
  fan.FrameIn = 5;  // as the walking clock leaves it
  fan.throwY = 5;
  Frame({&fan});
  EXPECT_EQ(thief.CarriedHat, -1);
  EXPECT_EQ(thief.Destination, -1);
  EXPECT_EQ(fan.HatThief, -1);
  EXPECT_EQ(fan.throwY, 0.0f);
  const ColorRef old = fan.Color;
  int frames = 0;
  bool sawHatOn = false;
  while (fan.GettingHat == 0 && frames++ < 2000) {
    Ticks(1);
    Frame({&fan});
    if (fan.Frame > -7 && fan.Frame <= 0) {
      EXPECT_EQ(fan.Color, old);
      EXPECT_EQ(fan.MyHat->On, HatOff);
    }
    sawHatOn |= fan.Frame == -7 && fan.MyHat->On == HatWorn;
  }
  EXPECT_TRUE(sawHatOn);
  EXPECT_EQ(fan.GettingHat, -2);
  EXPECT_EQ(fan.Frame, 8);
  EXPECT_EQ(fan.Color, box.Mix);  // the very object: it changes with the box
  // Never again, however much he loves a finalized box; a fan who never had one goes.
  TPerson& other = Put(-300, 100);
  for (TPerson* p : {&fan, &other}) {
    p->x = -100;  // in sight of the box
    p->y = -300;
    p->Opinion.clear();
    Thinks(*p, box, 69);
  }
  Frame({&fan, &other});
  EXPECT_EQ(fan.GettingHat, -2);
  EXPECT_EQ(other.GettingHat, 0);
  box.Active = 0;  // deleted on his way: back to ordinary life
  Frame({&other});
  EXPECT_EQ(other.GettingHat, -1);
}

// A chef takes the new hat from a fan's head in the last steps of his walk (8 to 12),
// acting before the fan as the one higher up does. The fan's step makes him let go of
// it, and it goes back on the fan's head: nobody else holds it. Step 12 is shown only
// in the frame that reaches it, so that chef takes the hat in the frame before, at 11.
class NewHatTakenOnTheWay : public Chefs, public ::testing::WithParamInterface<int32_t> {};

TEST_P(NewHatTakenOnTheWay, GoesBackOnTheFansHead) {
  const int32_t step = GetParam();
  TWork& box = Box(0, 0, -384);
  box.Locked = LockFinalized;
  // Arrived: his centre on the point 330 below the middle of the box's bottom edge.
  TPerson& fan = Put(0, -384 + 185 + 330 - 255);
  TPerson& chef = Put(0, fan.y - 220, ChefBorn);  // his hands on the fan's hat
  fan.GettingHat = 0;
  fan.Color = box.Mix;
  fan.Frame = -std::min(step, 11);
  fan.FrameIn = step == 12 ? 1 : 5;
  chef.Following = fan.ID;
  Frame({&chef});
  ASSERT_EQ(chef.CarriedHat, fan.ID);
  ASSERT_EQ(fan.MyHat->On, HatOff);
  Ticks(1);
  Frame({&fan});
  EXPECT_EQ(fan.Frame, step == 12 ? 8 : -step);
  EXPECT_EQ(chef.CarriedHat, -1);
  EXPECT_EQ(fan.HatThief, -1);
  EXPECT_EQ(fan.MyHat->On, HatWorn) << "the new hat taken at step " << step << " is nowhere";
  EXPECT_EQ(BrokenLink(), "");
  for (int frames = 0; fan.GettingHat == 0 && frames < 100; ++frames) {
    Ticks(1);
    Frame({&fan});
    ASSERT_EQ(BrokenLink(), "");
  }
  EXPECT_EQ(fan.GettingHat, -2);
  EXPECT_EQ(fan.MyHat->On, HatWorn);
  EXPECT_EQ(fan.Color, box.Mix);
}

INSTANTIATE_TEST_SUITE_P(Steps8To12, NewHatTakenOnTheWay, ::testing::Range(8, 13));

}  // namespace

namespace {

// A long game at stage 3 with chefs of both kinds, boxes open and finalized, and a
// player who throws hats into boxes, takes hats back from chefs and throws people out
// with the mouse, and finalizes, deletes and starts boxes. The links must hold after
// every frame.
class ChefsLongRun : public StagedGame {
 protected:
  ChefsLongRun() : StagedGame(2718) {}
};

TEST_F(ChefsLongRun, TheLinksBetweenChefsHatsFansAndBoxesHoldEveryFrame) {
  while (Tutor->q < 4) game->Run(1);  // the titles are over: the hand can take things
  Stage = 3;
  Scale = 0.58f;
  StageTable[3].TotalNeeded = 9999999;  // a stage-3 game: the crowd's score does not move it on
  for (int32_t i = PeopleCount; i < 50; ++i) {
    People[size_t(i)] = TPerson::New();
    People[size_t(i)]->ID = People[size_t(i)]->MyHat->Owner = i;
  }
  PeopleCount = 50;
  std::mt19937 player(99);
  auto chance = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(player) == 0; };
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(player); };
  // Strong colours, loved and hated enough to inspire fans.
  const std::array<ColorRef, 6> strong = {TColor::Get(255, 0, 0),   TColor::Get(0, 200, 0),   TColor::Get(0, 0, 255),
                                          TColor::Get(255, 255, 0), TColor::Get(255, 0, 255), TColor::Get(0, 255, 255)};
  auto newBox = [&](size_t slot, int32_t x, int32_t y) { PutBox(slot, x, y, strong[size_t(pick(6))], 40); };
  for (size_t slot = 0; slot < 6; ++slot) newBox(slot, -760 + int32_t(slot % 3) * 520, slot < 3 ? -500 : 150);
  Works[4]->Locked = LockFinalized;
  for (int32_t i = 0; i < 4; ++i) {
    TPerson& chef = *People[size_t(i)];
    chef.Chef = i < 2 ? ChefBorn : ChefInspired;
    chef.x = float(-600 + 300 * i);
    chef.y = -200;
    if (i >= 2) chef.Ownership = i;
  }

  // The player's hand, through the backend's input: it aims at what it wants in the view and presses; the
  // next frame tells whether it holds that, and it lets go (over a box, or with a fling) or puts it down.
  enum class Doing { Nothing, TakingBack, Holding, Lifting, Grabbing };
  Doing doing = Doing::Nothing;
  HitId wanted = nullptr;
  int32_t wantedBox = -1;
  int thefts = 0, deliveries = 0, inspired = 0, newHats = 0, takenBack = 0, lifted = 0, flung = 0;
  int dropIn = 0;
  // The cursor lands on world (x, y) in the next frame; false when that is outside the view.
  auto aim = [&](double x, double y) {
    if (std::abs(x) >= HalfViewWidth(Scale) || std::abs(y) >= HalfViewHeight(Scale)) return false;
    backend.MovePointer(ScreenCentreX + TruncInt(x) - Mouse->x, ScreenCentreY + TruncInt(y) - Mouse->y);
    return true;
  };
  // Over an open box if it is in view, else over open ground.
  auto letGo = [&](int32_t slot) {
    const TWork* b = slot > -1 && Works[size_t(slot)]->Active ? Works[size_t(slot)].get() : nullptr;
    if (!b || !aim(b->x + 140, b->y + 90)) aim(700, 600);
    backend.ReleaseButton(ButtonLeft);
  };
  auto press = [&](HitId what, double x, double y, Doing next) {
    if (!aim(x, y)) return;
    backend.PressButton(ButtonLeft);
    wanted = what;
    doing = next;
  };
  for (int frame = 0; frame < 8000; ++frame) {
    const bool holdsWanted = wanted && Mouse->Clicked == wanted;
    switch (doing) {
      case Doing::TakingBack:
        takenBack += holdsWanted;
        doing = holdsWanted ? Doing::Holding : Doing::Nothing;
        dropIn = 1 + pick(30);
        if (!holdsWanted) backend.ReleaseButton(ButtonLeft);  // put down whatever else was taken
        break;
      case Doing::Holding:
        if (--dropIn == 0) {
          letGo(pick(6));
          doing = Doing::Nothing;
        }
        break;
      case Doing::Lifting:
        if (holdsWanted) {
          letGo(wantedBox);
          ++lifted;
        } else {
          backend.ReleaseButton(ButtonLeft);
        }
        doing = Doing::Nothing;
        break;
      case Doing::Grabbing:
        if (holdsWanted) {  // flung far out of the view: the release comes with a move of 300
          backend.MovePointer(ScreenCentreX + (pick(2) ? 300 : -300), ScreenCentreY + pick(41) - 20);
          ++flung;
        }
        backend.ReleaseButton(ButtonLeft);
        doing = Doing::Nothing;
        break;
      case Doing::Nothing:
        if (chance(90)) {
          // A hat in a chef's hands, taken back by its crown.
          for (int32_t i = 0; i < PeopleCount; ++i) {
            const TPerson& chef = *People[size_t(i)];
            if (chef.CarriedHat == -1) continue;
            press(People[size_t(chef.CarriedHat)]->MyHat.get(), double(chef.x) + 55 + 160, double(chef.y) + 260 + 40,
                  Doing::TakingBack);
            break;
          }
        } else if (chance(40)) {
          // A worn hat lifted off its owner's head and let go over a box.
          const TPerson& p = *People[size_t(pick(PeopleCount))];
          wantedBox = pick(6);
          if (Works[size_t(wantedBox)]->Active && p.MyHat->On == HatWorn && p.Chef == ChefNone && p.InspiredBy == -1 &&
              p.GettingHat < 0)
            press(p.MyHat.get(), double(p.x) + 160, double(p.y) + 40, Doing::Lifting);
        } else if (chance(300)) {
          // Anybody, or a chef with a hat in his hands or the fan he robbed, flung away.
          int32_t who = pick(PeopleCount);
          for (int32_t i = 0; i < PeopleCount && pick(2); ++i)
            if (People[size_t(i)]->CarriedHat > -1) who = pick(2) ? i : People[size_t(i)]->CarriedHat;
          const TPerson& p = *People[size_t(who)];
          if (p.InspiredBy == -1 && p.GettingHat < 0)
            press(&p, double(p.x) + 140, double(p.y) + 260, Doing::Grabbing);  // by the body
        }
        break;
    }
    if (chance(700)) {
      const size_t slot = size_t(pick(6));
      if (pick(3) == 0)
        Works[slot]->Active = 0;
      else if (Works[slot]->Active)
        Works[slot]->Locked = LockFinalized;
    }
    if (chance(500)) {
      for (size_t slot = 0; slot < 6; ++slot)
        if (!Works[slot]->Active) {
          newBox(slot, -760 + int32_t(slot % 3) * 520, slot < 3 ? -500 : 150);
          break;
        }
    }

    std::vector<PersonRef> before(People.begin(), People.begin() + PeopleCount);
    std::vector<int32_t> carried, chefKind, gettingHat, fill;
    for (const PersonRef& p : before) {
      carried.push_back(p->CarriedHat);
      chefKind.push_back(p->Chef);
      gettingHat.push_back(p->GettingHat);
    }
    for (size_t slot = 0; slot < 6; ++slot) fill.push_back(Works[slot]->NextIng);
    game->Run(1);
    ASSERT_EQ(BrokenLink(), "") << "frame " << frame;
    int rose = 0;
    for (size_t slot = 0; slot < 6; ++slot) rose += Works[slot]->NextIng - fill[slot] >= 2;
    for (int32_t i = 0; i < PeopleCount; ++i) {
      const TPerson& p = *People[size_t(i)];
      if (People[size_t(i)] != before[size_t(i)]) continue;
      thefts += carried[size_t(i)] == -1 && p.CarriedHat > -1;
      deliveries += carried[size_t(i)] > -1 && p.CarriedHat == -1 && rose > 0;
      inspired += chefKind[size_t(i)] == ChefNone && p.Chef == ChefInspired;
      newHats += gettingHat[size_t(i)] > -1 && p.GettingHat == -2;
    }
  }
  std::printf(
      "thefts %d, deliveries %d, hats taken back %d, hats lifted %d, people flung %d, inspirations %d, "
      "new hats %d\n",
      thefts, deliveries, takenBack, lifted, flung, inspired, newHats);
  EXPECT_GT(thefts, 10);
  EXPECT_GT(deliveries, 3);
  EXPECT_GT(takenBack, 3);
  EXPECT_GT(lifted, 3);
  EXPECT_GT(flung, 0);
  EXPECT_GT(inspired, 0);
  EXPECT_GT(newHats, 3);
}

}  // namespace
