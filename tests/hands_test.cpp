/** @file hands_test.cpp Tests of the player's hands: TMouse, the buttons and TTutor, in headless games. */
// The player's hands: the mouse, the buttons and the tutor, in whole headless
// games driven through the backend's scripted input.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/mouse.h"
#include "game/names.h"
#include "game/person.h"
#include "game/tutor.h"
#include "game/view.h"
#include "game/work.h"
#include "game/world.h"
#include "harness/headless_game.h"
#include "platform/numeric.h"

namespace {

class Hands : public ::testing::Test {
 protected:
  void SetUp() override { game = std::make_unique<HeadlessGame>(backend, 2024); }
  void TearDown() override { game.reset(); }

  void Frame(int n = 1) { ASSERT_EQ(game->Run(n), n); }
  // Runs until the tutor's script has got this far (the mouse wakes at 4, the buttons at 6),
  // then sends everybody just right of the view, out of the cursor's way for a while.
  void Ready(int32_t q) {
    while (Tutor->q < q) Frame();
    for (int32_t i = 0; i < PeopleCount; ++i) {
      People[size_t(i)]->x = 600;
      People[size_t(i)]->Angle = 0;
    }
  }
  // The pointer moves so that the mouse's next step puts the cursor on world (x, y); n frames run.
  void Move(int x, int y, int n = 1) {
    backend.MovePointer(ScreenCentreX + x - Mouse->x, ScreenCentreY + y - Mouse->y);
    Frame(n);
  }
  void Down(int x, int y, int n = 1) {
    backend.PressButton(ButtonLeft);
    Move(x, y, n);
  }
  void Up(int x, int y, int n = 1) {
    backend.ReleaseButton(ButtonLeft);
    Move(x, y, n);
  }
  // A press and a release between frames, as a short tap comes.
  void Tap() {
    backend.PressButton(ButtonLeft);
    backend.ReleaseButton(ButtonLeft);
  }
  // Press, release, and the frame in which the owner sees the release.
  void Click(int x, int y) {
    Down(x, y);
    Up(x, y, 2);
  }
  static WorkRef Box(int32_t slot, int32_t x, int32_t y) {
    Works[size_t(slot)] = TWork::New();
    Works[size_t(slot)]->Place(x, y);
    return Works[size_t(slot)];
  }
  const DrawCall* Drawn(const ImageRef& image) const {
    for (const DrawCall& call : backend.LastFrame())
      if (call.What == DrawCall::Kind::Image && call.Picture == image.get()) return &call;
    return nullptr;
  }
  bool Shows(const std::string& text) const {
    const auto& calls = backend.LastFrame();
    return std::any_of(calls.begin(), calls.end(), [&](const DrawCall& c) { return c.Text == text; });
  }
  void NothingHeld(int frames) {
    for (int i = 0; i < frames; ++i) {
      Frame();
      EXPECT_TRUE(!Mouse->Clicked && !Mouse->Dropped) << i;
    }
  }

  HeadlessBackend backend;
  std::unique_ptr<HeadlessGame> game;
};

// World points on the buttons at Scale 1.
constexpr int NewX = -420, NewY = 321, DeleteX = -440, DeleteY = 361;

TEST_F(Hands, TheTitleSequenceKeepsItsTimesAndTheCursorWakesAfterTheCredits) {
  std::vector<int> ends;  // the frames in which each title entry ends
  int firstCursor = -1;
  for (int32_t r = 0; Tutor->q < 7; r = Tutor->r) {
    Frame();
    const int f = game->FramesRun() - 1;
    if (Tutor->r != r) ends.push_back(f);
    if (firstCursor < 0 && Drawn(CursorImage)) firstCursor = f;
    EXPECT_TRUE(f != 100 || (Shows("Chromelly") && !Shows("A strategy game by Wendrake")));
  }
  // 0.7 s blank, title 2 s, author 2.5 s, artist 2.5 s, 3 s of nothing, the first lesson 5 s, 0.5 s.
  EXPECT_EQ(ends, (std::vector<int>{42, 162, 312, 462, 642, 942, 972}));
  EXPECT_EQ(firstCursor, 463);
}

TEST_F(Hands, TheCursorMovesByUnscaledPixelsAndStopsAtTheEdge) {
  Ready(4);
  Scale = 0.5f;
  Move(10, 0);
  EXPECT_EQ(Mouse->vectorX, 10);
  ASSERT_TRUE(Drawn(CursorImage));
  EXPECT_FLOAT_EQ(Drawn(CursorImage)->X, 512 + 10 * Scale);  // 10 world units are 5 pixels
  Frame();  // the warp took the pointer back: the movement is not counted twice
  EXPECT_EQ(Mouse->x, 10);
  EXPECT_EQ(Mouse->vectorX, 0);
  Scale = 1.0f;
  Move(1212, -900);
  EXPECT_EQ(Mouse->x, 512);
  EXPECT_EQ(Mouse->y, -384);
  EXPECT_EQ(Mouse->vectorX, 1202);
}

TEST_F(Hands, PressesThatCannotTakeAnythingAreUsedUp) {
  WorkRef box = Box(0, -140, -92);  // under the cursor from the start
  Tap();
  Frame(3);  // a click during the titles
  Ready(4);
  NothingHeld(3);
  backend.PressKey(KeyF1);
  Frame();
  Tap();
  Frame();  // a click while F1 is held
  EXPECT_EQ(Mode, ModeReviewing);
  backend.ReleaseKey(KeyF1);
  NothingHeld(3);
  Down(-400, -300);  // on empty ground, then onto the box while held
  Move(0, 0);
  EXPECT_FALSE(Mouse->Clicked);
  Up(0, 0);
  EXPECT_FALSE(Mouse->Dropped);
  Down(0, 0);
  EXPECT_EQ(Mouse->Clicked, box.get());
  Up(0, 0);
  EXPECT_TRUE(Mouse->Dropped == box.get() && !Mouse->Clicked);
  NothingHeld(1);  // let go for one frame only
}

TEST_F(Hands, APressAndReleaseWithinOneFrameLeavesAPersonWhereHeIs) {
  Ready(4);
  PersonRef p = People[0];
  p->x = -300;
  p->y = -250;
  Move(-300 + 120, -250 + 300);
  Tap();
  Move(Mouse->x + 20, Mouse->y);  // the tap moves the pointer too: no throw may come of it
  ASSERT_EQ(Mouse->Clicked, p.get());
  const float x0 = p->x, y0 = p->y;
  Frame(2);
  EXPECT_NEAR(p->x, x0, 4);
  EXPECT_NEAR(p->y, y0, 4);
  EXPECT_EQ(p->throwX, 0);
}

TEST_F(Hands, NewColorPlacesABoxInTheFirstFreeSlotUnlessItCannot) {
  Ready(6);
  Box(0, 3000, 3000)->Active = 0;  // a deleted box frees its slot
  Click(NewX, NewY);
  EXPECT_EQ(Mode, ModePlacing);
  Down(0, -200);
  EXPECT_EQ(Mode, ModeNormal);
  ASSERT_TRUE(Works[0]->Active);
  EXPECT_TRUE(Works[0]->x == -140 && Works[0]->y == -292);
  Move(0, -200, 2);  // still held, over the new box: the click that placed it grabs nothing
  EXPECT_FALSE(Mouse->Clicked);
  Up(0, -200);
  EXPECT_FALSE(Mouse->Dropped);
  // Over a box the click abandons the placement; the right button cancels it.
  Click(NewX, NewY);
  Down(50, -150);
  Up(50, -150);
  EXPECT_EQ(Mode, ModeNormal);
  Click(NewX, NewY);
  backend.PressButton(ButtonRight);
  Move(0, 200);
  backend.ReleaseButton(ButtonRight);
  EXPECT_EQ(Mode, ModeNormal);
  EXPECT_FALSE(Works[1]);
  Down(0, -200);  // nor does a press right after the mode: it waits for the button to be up
  EXPECT_FALSE(Mouse->Clicked);
  Up(0, -200);
  // With every slot in use a placement click only ends the mode.
  for (int32_t i = 1; i < 1000; ++i) Box(i, 3000, 3000);
  Click(NewX, NewY);
  Down(0, 200);
  EXPECT_EQ(Mode, ModeNormal);
  EXPECT_TRUE(std::all_of(Works.begin() + 1, Works.end(), [](const WorkRef& w) { return w->x == 3000; }));
}

TEST_F(Hands, TheRightButtonAbandonsPlacingOverABoxToo) {
  Ready(6);
  Box(0, 0, -300);
  Click(NewX, NewY);
  ASSERT_EQ(Mode, ModePlacing);
  Move(140, -200);  // the would-be box over the box: drawn as refused
  ASSERT_EQ(Mode, ModePlacing);
  backend.PressButton(ButtonRight);
  Move(140, -200);
  EXPECT_EQ(Mode, ModeNormal) << "the right button did not end placing over a box";
  backend.ReleaseButton(ButtonRight);
  Move(0, 200);  // on open ground, where a left click would place a box
  Click(0, 200);
  EXPECT_FALSE(Works[1]) << "a box was placed after the right button had abandoned placing";
}

TEST_F(Hands, PickingEmptyGroundDeletesNothingAndAReplacedBoxIsLetGo) {
  Ready(6);
  WorkRef box = Box(2, 0, -300);
  Click(DeleteX, DeleteY);
  EXPECT_EQ(Mode, ModeDeleting);
  Click(-300, -300);
  EXPECT_TRUE(Mode == ModeNormal && box->Active);
  Click(DeleteX, DeleteY);
  Down(140, -200, 2);
  EXPECT_TRUE(Mode == ModeNormal && !box->Active);
  EXPECT_EQ(Mouse->Clicked, box.get());  // still held after the mode has ended
  PutWork(2, TWork::New());              // a new box in its slot is not handed the grab
  EXPECT_FALSE(Mouse->Clicked);
  Up(140, -200);
  EXPECT_FALSE(Mouse->Dropped);
}

TEST_F(Hands, AHatDraggedOntoABoxGoesInUnlessItsOwnerLeaves) {
  Ready(4);
  WorkRef box = Box(0, 0, -300);
  enum { LeavesWithTheDrop, LeavesAfterIt, Stays };
  for (int who : {LeavesWithTheDrop, LeavesAfterIt, Stays}) {
    const TPerson* owner = People[0].get();
    People[0]->x = -350;
    People[0]->y = -250;
    Down(-350 + 140, -250 + 60);  // on his hat's crown
    ASSERT_EQ(Mouse->Clicked, People[0]->MyHat.get());
    Move(140, -200);  // over the box
    if (who == LeavesWithTheDrop) People[0]->x = -5000;
    Up(140, -200);
    if (who == LeavesAfterIt) People[0]->x = -5000;
    Frame(3);
    EXPECT_EQ(People[0].get() != owner, who != Stays);
    EXPECT_EQ(box->NextIng, who == Stays ? 1 : 0);
    EXPECT_EQ(People[0]->MyHat->On, who == Stays ? 0 : 1);
  }
  EXPECT_EQ(box->Mix->R, TruncInt(People[0]->Color->R * (double(1.2f) - 12.0 / 16) / 2));  // his colour, darkened
}

TEST_F(Hands, AButtonFiresOnlyOnAReleaseOverIt) {
  Ready(6);
  auto face = [&] {
    for (const DrawCall& c : backend.LastFrame())
      if (c.What == DrawCall::Kind::Rect && c.X == 8 && c.Y == 691) return int(c.R);
    return -1;
  };
  Down(NewX, NewY, 2);
  EXPECT_EQ(face(), 180);  // grey while held and over it
  Move(0, 0, 2);           // the button sees where the cursor went in the frame before
  EXPECT_EQ(face(), 255);
  Up(0, 0, 3);
  EXPECT_EQ(Mode, ModeNormal);  // let go away from it
  Down(NewX, NewY);
  Move(0, 0);
  Up(NewX, NewY, 2);  // back over it before the release
  EXPECT_EQ(Mode, ModePlacing);
  // Its world rectangle follows the zoom.
  Scale = 0.5f;
  ClearHitLayers(0);
  NewButton.Be();
  auto hit = [](int x, int y) { return HitRect(x, y, 1, 1, LayerGrab, 0, nullptr).First() == &NewButton; };
  EXPECT_TRUE(hit(-1010, 612) && hit(-1010 + 359, 612 + 59));
  EXPECT_FALSE(hit(-1011, 612) || hit(-1010 + 360, 612) || hit(-1010, 612 + 60));
}

TEST_F(Hands, TheNewColorHintComesOnceOnThe38thIdleTick) {
  Ready(7);
  const int start = TimerTickCount(Tutor->TextTimer);
  while (!Tutor->Queue[7]) Frame();
  EXPECT_EQ(TimerTickCount(Tutor->TextTimer) - start, 38);
  EXPECT_EQ(Tutor->Queue[7]->s1, "Press the New Color button to start your creation.");
  Frame(60 * 60);
  EXPECT_TRUE(!Tutor->Queue[8] && Tutor->q == 7);
}

TEST_F(Hands, ABoxStartsTheLessonAndTheFullBoxHintWaitsBehindIt) {
  Ready(7);
  Box(0, 0, -300);  // before the New Color hint: it never comes
  while (Tutor->r < 8) Frame();
  EXPECT_EQ(Tutor->Queue[7]->ignore, 0);
  FilledNews = 1;
  Frame();
  EXPECT_TRUE(FilledNews == -1 && Tutor->Queue[12]->s1 == "A box can only hold so many hats.");
  int32_t left = Tutor->NextIn;
  backend.AdvanceMs(1000);
  Frame();
  EXPECT_EQ(Tutor->NextIn, left - 1);  // a stalled second costs one tick
  backend.PressKey(KeyF1);
  left = Tutor->NextIn;
  Frame(60);
  EXPECT_EQ(Tutor->NextIn, left);  // F1 stops the clock and hides the message
  EXPECT_FALSE(Shows("to add that color to the mix."));
  backend.ReleaseKey(KeyF1);
  while (Tutor->r < 14) Frame();
  EXPECT_EQ(Tutor->q, 12);  // the hint did not count
  backend.PressKey(KeyF1);
  Frame();
  EXPECT_TRUE(Shows("to add that color to the mix.") && Shows("A box can only hold so many hats."));
}

TEST_F(Hands, LateLessonsComeEvenWhenAHintMovesIdlePastTheirMark) {
  const std::pair<int32_t, int32_t> lessons[] = {{15, 90}, {16, 40}, {17, 5}, {18, 10}};
  for (auto [q, mark] : lessons) {
    Tutor = TTutor::New();
    Tutor->q = q;
    Tutor->Idle = mark;
    FilledNews = 1;  // its hint is added first in the same frame, moving Idle to mark + 1
    Tutor->See();
    ASSERT_TRUE(Tutor->Queue[2]) << q;
    EXPECT_TRUE(Tutor->Queue[2]->ignore == 0 && Tutor->NextIn == 45);  // shown after the hint
  }
  Tutor = TTutor::New();  // the remark on thrown chefs is made once
  Tutor->q = 20;
  InspiredNews = -1;
  ChefsThrown = -3;
  Tutor->See();
  EXPECT_EQ(Tutor->Queue[0]->s1, "You're awfully antisocial, aren't you.");
  Tutor->r = 1;
  Tutor->See();
  EXPECT_FALSE(Tutor->Queue[1]);
}

}  // namespace
