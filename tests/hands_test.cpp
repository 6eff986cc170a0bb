// The player's hands: the mouse, the buttons and the tutor, in whole headless
// games driven through the backend's scripted input.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/mouse.h"
#include "game/names.h"
#include "game/person.h"
#include "game/runner.h"
#include "game/tutor.h"
#include "game/work.h"
#include "game/world.h"
#include "platform/numeric.h"

namespace {

class Hands : public ::testing::Test {
 protected:
  void SetUp() override { game = std::make_unique<HeadlessGame>(backend, 2024); }
  void TearDown() override { game.reset(); }

  void Frame(int n = 1) { ASSERT_EQ(game->Run(n), n); }
  // Runs until the tutor's script has got this far (the mouse wakes at 4, the buttons at 6).
  void UntilQ(int32_t q) {
    while (Tutor->q < q) Frame();
  }
  // Everybody stands just right of the view, out of the cursor's way for a while.
  void ClearGround() {
    for (int32_t i = 0; i < PeopleCount; ++i) {
      People[size_t(i)]->x = 600;
      People[size_t(i)]->Angle = 0;
    }
  }
  // The pointer moves so that the next frame puts the cursor on world (x, y) (at Scale 1).
  void PointAt(int x, int y) { backend.MovePointer(512 + x - Mouse->x, 384 + y - Mouse->y); }
  void Press() { backend.PressButton(ButtonLeft); }
  void Release() { backend.ReleaseButton(ButtonLeft); }
  // A press and a release one frame apart, then the frame in which the owner sees the release.
  void Click(int x, int y) {
    PointAt(x, y);
    Press();
    Frame();
    Release();
    Frame(2);
  }
  static WorkRef Box(int32_t slot, int32_t x, int32_t y) {
    WorkRef box = TWork::New();
    box->Place(x, y);
    Works[size_t(slot)] = box;
    return box;
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

  HeadlessBackend backend;
  std::unique_ptr<HeadlessGame> game;
};

// World points of the buttons at Scale 1.
constexpr int NewX = -420, NewY = 321, DeleteX = -440, DeleteY = 361;

TEST_F(Hands, TheTitleSequenceKeepsItsTimesAndWakesTheCursorAfterTheCredits) {
  std::vector<int> ends;  // the frames in which each of the seven title entries ends
  int firstCursor = -1;
  for (int32_t r = Tutor->r; Tutor->q < 7;) {
    Frame();
    if (Tutor->r != r) {
      ends.push_back(game->FramesRun() - 1);
      r = Tutor->r;
    }
    if (firstCursor < 0 && Drawn(CursorImage)) firstCursor = game->FramesRun() - 1;
    if (game->FramesRun() == 100) {
      EXPECT_TRUE(Shows("Chromelly") && !Shows("A strategy game by Wendrake"));
    }
  }
  // 0.7 s blank, title 2 s, author 2.5 s, artist 2.5 s, 3 s of nothing, the lesson 5 s, 0.5 s pause; 60 frames a second.
  EXPECT_EQ(ends, (std::vector<int>{42, 162, 312, 462, 642, 942, 972}));
  EXPECT_EQ(firstCursor, 463);
}

TEST_F(Hands, TheCursorMovesByUnscaledPixelsAndStopsAtTheEdge) {
  UntilQ(4);
  Scale = 0.5f;
  backend.MovePointer(522, 384);
  Frame();
  EXPECT_EQ(Mouse->x, 10);  // 10 world units, 5 screen pixels
  EXPECT_EQ(Mouse->vectorX, 10);
  ASSERT_TRUE(Drawn(CursorImage));
  EXPECT_FLOAT_EQ(Drawn(CursorImage)->X, 512 + 10 * Scale);
  Frame();  // the warp put the pointer back: the movement is not counted twice
  EXPECT_EQ(Mouse->x, 10);
  EXPECT_EQ(Mouse->vectorX, 0);
  Scale = 1.0f;
  backend.MovePointer(512 + 700, 384 - 900);
  Frame();
  EXPECT_EQ(Mouse->x, 512);
  EXPECT_EQ(Mouse->y, -384);
  EXPECT_EQ(Mouse->vectorX, 700);
}

TEST_F(Hands, APressOnNothingIsUsedUpAndAGrabIsLetGoForOneFrame) {
  UntilQ(4);
  ClearGround();
  WorkRef box = Box(0, 100, -300);
  PointAt(-200, -300);
  Press();
  Frame();
  PointAt(200, -200);  // onto the box, still held
  Frame();
  EXPECT_EQ(Mouse->Clicked, nullptr);
  Release();
  Frame();
  EXPECT_EQ(Mouse->Dropped, nullptr);
  Press();
  Frame();
  EXPECT_EQ(Mouse->Clicked, box.get());
  EXPECT_EQ(Mouse->JustClicked, 1);
  Release();
  Frame();
  EXPECT_EQ(Mouse->Dropped, box.get());
  EXPECT_EQ(Mouse->Clicked, nullptr);
  Frame();
  EXPECT_EQ(Mouse->Dropped, nullptr);
}

TEST_F(Hands, ClicksMadeWhileTheMouseCannotTakeThemDoNotActLater) {
  Box(0, -140, -92);  // under the cursor's starting point
  auto nothingTaken = [&] {
    for (int i = 0; i < 3; ++i) {
      Frame();
      EXPECT_EQ(Mouse->Clicked, nullptr);
      EXPECT_EQ(Mouse->Dropped, nullptr);
    }
  };
  Press();
  Release();
  Frame(3);  // during the titles
  UntilQ(4);
  nothingTaken();
  backend.PressKey(KeyF1);
  Frame();
  Press();
  Release();
  Frame();  // while F1 is held
  EXPECT_EQ(Mode, ModeReviewing);
  backend.ReleaseKey(KeyF1);
  nothingTaken();
}

TEST_F(Hands, APressAndReleaseWithinOneFrameLeavesAPersonWhereHeIs) {
  UntilQ(4);
  ClearGround();
  PersonRef p = People[0];
  p->x = -300;
  p->y = -250;
  PointAt(-300 + 120, -250 + 300);
  Frame();
  backend.MovePointer(532, 384);  // the tap also moves the pointer: no throw may come of it
  Press();
  Release();
  Frame();
  ASSERT_EQ(Mouse->Clicked, p.get());
  const float x0 = p->x, y0 = p->y;
  Frame(2);
  EXPECT_NEAR(p->x, x0, 4);
  EXPECT_NEAR(p->y, y0, 4);
  EXPECT_EQ(p->throwX, 0);
}

TEST_F(Hands, NewColorPlacesABoxInTheFirstFreeSlotAndThatClickGrabsNothing) {
  UntilQ(6);
  ClearGround();
  Box(0, 3000, 3000)->Active = 0;  // a deleted box frees its slot
  Click(NewX, NewY);
  EXPECT_EQ(Mode, ModePlacing);
  PointAt(0, -200);
  Press();
  Frame();
  EXPECT_EQ(Mode, ModeNormal);
  ASSERT_TRUE(Works[0] && Works[0]->Active);
  EXPECT_EQ(Works[0]->x, -140);
  EXPECT_EQ(Works[0]->y, -292);
  Frame(2);  // still held, over the new box
  EXPECT_EQ(Mouse->Clicked, nullptr);
  Release();
  Frame();
  EXPECT_EQ(Mouse->Dropped, nullptr);
  // Over a box the click abandons the placement; the right button cancels it.
  Click(NewX, NewY);
  PointAt(50, -150);
  Press();
  Frame();
  Release();
  Frame();
  EXPECT_EQ(Mode, ModeNormal);
  Click(NewX, NewY);
  PointAt(0, 200);
  backend.PressButton(ButtonRight);
  Frame();
  backend.ReleaseButton(ButtonRight);
  EXPECT_EQ(Mode, ModeNormal);
  EXPECT_FALSE(Works[1]);
}

TEST_F(Hands, WithEverySlotTakenAPlacementClickOnlyEndsTheMode) {
  UntilQ(6);
  ClearGround();
  for (int32_t i = 0; i < 1000; ++i) Box(i, 3000, 3000);
  const TWork* first = Works[0].get();
  Click(NewX, NewY);
  EXPECT_EQ(Mode, ModePlacing);
  PointAt(0, -200);
  Press();
  Frame();
  EXPECT_EQ(Mode, ModeNormal);
  EXPECT_EQ(Works[0].get(), first);
  EXPECT_TRUE(std::all_of(Works.begin(), Works.end(), [](const WorkRef& w) { return w->x == 3000; }));
}

TEST_F(Hands, PickingEmptyGroundDeletesNothingAndAReplacedBoxIsLetGo) {
  UntilQ(6);
  ClearGround();
  WorkRef box = Box(2, 0, -300);
  Click(DeleteX, DeleteY);
  EXPECT_EQ(Mode, ModeDeleting);
  Click(-300, -300);
  EXPECT_EQ(Mode, ModeNormal);
  EXPECT_EQ(box->Active, 1);
  Click(DeleteX, DeleteY);
  PointAt(140, -200);
  Press();
  Frame(2);
  EXPECT_EQ(box->Active, 0);
  EXPECT_EQ(Mode, ModeNormal);
  EXPECT_EQ(Mouse->Clicked, box.get());  // still held after the mode has ended
  PutWork(2, TWork::New());              // a new box in its slot is not handed the grab
  EXPECT_EQ(Mouse->Clicked, nullptr);
  Release();
  Frame();
  EXPECT_EQ(Mouse->Dropped, nullptr);
}

TEST_F(Hands, AHatDraggedOntoABoxGoesInUnlessItsOwnerLeaves) {
  UntilQ(4);
  ClearGround();
  WorkRef box = Box(0, 0, -300);
  enum { LeavesWithTheDrop, LeavesAfterIt, Stays };
  for (int who : {LeavesWithTheDrop, LeavesAfterIt, Stays}) {
    const TPerson* owner = People[0].get();
    People[0]->x = -350;
    People[0]->y = -250;
    PointAt(-350 + 140, -250 + 60);  // on his hat's crown
    Press();
    Frame();
    ASSERT_EQ(Mouse->Clicked, People[0]->MyHat.get());
    PointAt(140, -200);  // over the box
    Frame();
    if (who == LeavesWithTheDrop) People[0]->x = -5000;
    Release();
    Frame();
    if (who == LeavesAfterIt) People[0]->x = -5000;
    Frame(3);
    EXPECT_EQ(People[0].get() != owner, who != Stays);
    EXPECT_EQ(box->NextIng, who == Stays ? 1 : 0);
    EXPECT_EQ(People[0]->MyHat->On, who == Stays ? 0 : 1);
  }
  EXPECT_EQ(box->Mix->R, TruncInt(People[0]->Color->R * (double(1.2f) - 12.0 / 16) / 2));  // a dark version of his colour
}

TEST_F(Hands, AButtonFiresOnlyOnAReleaseOverIt) {
  UntilQ(6);
  ClearGround();
  auto face = [&] {
    for (const DrawCall& c : backend.LastFrame())
      if (c.What == DrawCall::Kind::Rect && c.X == 8 && c.Y == 691) return int(c.R);
    return -1;
  };
  PointAt(NewX, NewY);
  Press();
  Frame(2);
  EXPECT_EQ(face(), 180);  // grey while held and over it
  PointAt(0, 0);
  Frame(2);  // the button sees where the cursor went in the frame before
  EXPECT_EQ(face(), 255);
  Release();
  Frame(3);
  EXPECT_EQ(Mode, ModeNormal);  // let go away from it
  PointAt(NewX, NewY);
  Press();
  Frame();
  PointAt(0, 0);
  Frame();
  PointAt(NewX, NewY);  // back over it before the release
  Release();
  Frame(2);
  EXPECT_EQ(Mode, ModePlacing);
  // Its world rectangle follows the zoom.
  Scale = 0.5f;
  ClearHitLayers(0);
  NewButton.Be();
  auto hit = [](int x, int y) { return HitRect(x, y, 1, 1, LayerGrab, 0, nullptr).First() == &NewButton; };
  EXPECT_TRUE(hit(-1010, 612) && hit(-1010 + 359, 612 + 59));
  EXPECT_FALSE(hit(-1011, 612) || hit(-1010 + 360, 612) || hit(-1010, 612 + 60));
}

TEST_F(Hands, TheNewColorHintComesOnceOnThe38thIdleTickUnlessABoxComesFirst) {
  UntilQ(7);
  const int start = TimerTickCount(Tutor->TextTimer);
  while (!Tutor->Queue[7]) Frame();
  EXPECT_EQ(TimerTickCount(Tutor->TextTimer) - start, 38);
  EXPECT_EQ(Tutor->Queue[7]->s1, "Press the New Color button to start your creation.");
  Frame(60 * 60);
  EXPECT_FALSE(Tutor->Queue[8]);
  EXPECT_EQ(Tutor->q, 7);
  // In another game a box placed before the hint starts the hat lesson instead.
  game.reset();
  game = std::make_unique<HeadlessGame>(backend, 2024);
  UntilQ(7);
  Box(0, 0, -300);
  Frame(60 * 60);
  EXPECT_EQ(Tutor->Queue[8]->s1, "Throw someone's hat into the box");
  EXPECT_EQ(Tutor->q, 12);
  EXPECT_EQ(Tutor->Queue[7]->ignore, 0);
}

TEST_F(Hands, TheFullBoxHintWaitsBehindTheLessonAndTheClockStandsStillInAMode) {
  UntilQ(7);
  Box(0, 0, -300);
  while (Tutor->r < 8) Frame();
  FilledNews = 1;
  Frame();
  EXPECT_EQ(FilledNews, -1);
  EXPECT_EQ(Tutor->Queue[12]->s1, "A box can only hold so many hats.");
  // A stall of a second costs the message one tick.
  int32_t left = Tutor->NextIn;
  backend.AdvanceMs(1000);
  Frame();
  EXPECT_EQ(Tutor->NextIn, left - 1);
  // F1 hides the message and stops its clock; the review shows it once it is over.
  backend.PressKey(KeyF1);
  left = Tutor->NextIn;
  Frame(60);
  EXPECT_EQ(Tutor->NextIn, left);
  EXPECT_FALSE(Shows("to add that color to the mix."));
  backend.ReleaseKey(KeyF1);
  while (Tutor->r < 14) Frame();
  EXPECT_EQ(Tutor->q, 12);  // the hint did not count
  backend.PressKey(KeyF1);
  Frame();
  EXPECT_TRUE(Shows("A box can only hold so many hats.") && Shows("to add that color to the mix."));
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
    EXPECT_EQ(Tutor->Queue[2]->ignore, 0);
    EXPECT_EQ(Tutor->NextIn, 45);  // the hint is shown first
  }
  // The remark on thrown chefs is made once.
  Tutor = TTutor::New();
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
