/** @file ending_test.cpp Tests of the ending: the crowd's fade, the End button, a staged whole game. */
// The ending: the crowd's fade, the closing scene with its End button, and a
// whole game pushed through its nine stages by the stage hook.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "game/ending.h"
#include "game/mouse.h"
#include "game/names.h"
#include "game/person.h"
#include "game/tutor.h"
#include "game/view.h"
#include "game/work.h"
#include "harness/stage_hook.h"
#include "platform/numeric.h"
#include "tests/staged_game.h"

namespace {

using Kind = HeadlessBackend::Event::Kind;

class Ending : public StagedGame {
 protected:
  // The last stage with the view at `scale`, the title sequence over and the
  // closing words queued, the closing message current with `nextIn` ticks left.
  void ClosingAt(float scale, int32_t nextIn) {
    Stage = LastStage;
    Scale = scale;
    Tutor = TTutor::New();
    Tutor->q = 7;
    Tutor->Add("Chromelly", "", 20, 0, 0);
    AddClosingWords();
    Tutor->r = 3;
    Tutor->NextIn = nextIn;
  }
  // Puts the cursor on the End button's black block, at screen (20, 750).
  static void CursorOnTheEndBlock() {
    Mouse->x = ScreenToWorldX(20);
    Mouse->y = ScreenToWorldY(750);
  }
  // Whether the last frame drew the black block and the word of the End button.
  bool EndDrawn() {
    bool block = false, word = false;
    for (const DrawCall& call : backend.LastFrame()) {
      block |= call.What == DrawCall::Kind::Rect && call.X == 0 && call.Y == 734 && call.H == 768 &&
               call.W == float(TextPixelWidth("End") + 14) && call.R == 0 && call.G == 0 && call.B == 0;
      word |= call.What == DrawCall::Kind::Text && call.Text == "End" && call.X == 7 && call.Y == 741 && call.R == 255;
    }
    EXPECT_EQ(block, word);
    return block && word;
  }
  // Runs frames until the End button is due, at most `frames` of them.
  void RunUntilEndIsShown(int frames) {
    for (int i = 0; i < frames && !EndButtonShown(); ++i) game->Run(1);
    ASSERT_TRUE(EndButtonShown());
  }
  // A press and a release of the left button, one frame each.
  void Click() {
    game->Run(1, {{game->FramesRun(), {Kind::ButtonDown, ButtonLeft, 0}}});
    game->Run(1, {{game->FramesRun(), {Kind::ButtonUp, ButtonLeft, 0}}});
  }
};

TEST_F(Ending, TheClosingWordsAreQueuedBehindWhatIsStillToCome) {
  using Entry = std::tuple<std::string, std::string, int32_t, int32_t>;
  Tutor->Add("Still to come", "", 30, 0, 0);
  BeginStage(LastStage);
  std::vector<Entry> queued;
  for (const QueueRef& e : Tutor->Queue)
    if (e) queued.emplace_back(e->s1, e->s2, e->t, e->ignore);
  EXPECT_EQ(queued, (std::vector<Entry>{
                        {"Still to come", "", 30, 0},
                        {"", "", 25, 0},
                        {"Look at the work of those who came before you.",
                         "The chefs tried to satisfy everyone - everyone but themselves.", 74, 0},
                        {"Look at what you've accomplished here!", "", 111, 0},
                    }));
}

// Before the closing scene has shown it: the rule for the End button's first appearance.
TEST_F(Ending, TheEndButtonFirstShowsFor90TicksBeforeTheMessageEndsOrWhileItIsTheOneBefore) {
  ClosingAt(0.1f, 111);
  Tutor->Add("A later message", "", 20, 0, 0);  // slot 4
  Tutor->Add("And another", "", 20, 0, 0);      // slot 5
  auto shown = [](int32_t r, int32_t nextIn) {
    Tutor->r = r;
    Tutor->NextIn = nextIn;
    return EndButtonShown();
  };
  EXPECT_FALSE(shown(2, 10));  // the message before it
  EXPECT_FALSE(shown(3, 111));
  EXPECT_FALSE(shown(3, 90));
  EXPECT_TRUE(shown(3, 89));  // 2.2 seconds in
  EXPECT_TRUE(shown(3, 1));
  EXPECT_TRUE(shown(4, 20));   // one later message: still there
  EXPECT_FALSE(shown(5, 20));  // a second one has started before the button ever came
  Tutor->Queue[4] = Tutor->Queue[5] = nullptr;
  EXPECT_TRUE(shown(4, 0));  // nothing follows: it stays for good
  // The test is on the exact words.
  Tutor->Queue[3]->s1 += " ";
  EXPECT_FALSE(shown(3, 50));
  EXPECT_FALSE(shown(4, 0));
  // At either end of the queue nothing is read outside it.
  Tutor->Queue[0]->s1 = ClosingMessage;
  EXPECT_TRUE(shown(0, 50));
  EXPECT_FALSE(shown(0, 90));
  EXPECT_FALSE(shown(int32_t(TTutor::QueueSlots), 0));
}

// The End button first comes in the frame after the tutor's 22nd tick with the closing
// message up, as the message runs into its last 90 ticks. From then on it stays, also
// when a hint is queued behind the closing message: here the lesson on inspiration,
// which a first inspiration calls for at any time, with the pause that follows it.
class EndButtonStays : public Ending, public ::testing::WithParamInterface<bool> {};

TEST_P(EndButtonStays, FromItsFirstAppearanceWhateverFollowsTheClosingMessage) {
  const bool hint = GetParam();
  ClosingAt(0.1f, 1);
  Tutor->r = 2;  // the words before the closing message, in their last tick
  if (hint) InspiredNews = 1;
  while (Tutor->r < 3) game->Run(1);
  ASSERT_EQ(Tutor->NextIn, 111);
  ASSERT_EQ(Tutor->Queue[4] != nullptr, hint);
  const int64_t up = Tutor->LastTextTicks;
  int64_t ticks = -1;
  for (int frames = 0; frames < 600; ++frames) {
    ticks = Tutor->LastTextTicks - up;
    game->Run(1);
    if (EndDrawn()) break;
  }
  EXPECT_EQ(ticks, 22);
  // Through the rest of the closing message, the hint and its pause, and long after.
  for (int frames = 0; frames < 60 * 40; ++frames) {
    game->Run(1);
    ASSERT_TRUE(EndDrawn()) << "gone " << frames << " frames after it came, with entry " << Tutor->r << " current";
  }
  EXPECT_EQ(Tutor->r, hint ? 6 : 4);
}

INSTANTIATE_TEST_SUITE_P(HintQueuedBehind, EndButtonStays, ::testing::Bool());

TEST_F(Ending, TheCrowdFadesBetweenTheLastTwoZoomsAndStopsInTheClosingScene) {
  // FrameTime is still 0 in the first frames, so the view stays where it is put.
  auto crowdAlpha = [this] {
    int alpha = -1;
    for (const DrawCall& call : backend.LastFrame())
      for (const ImageRef& body : BodyFrames)
        if (call.Picture == body.get()) {
          EXPECT_TRUE(alpha == -1 || alpha == call.Alpha);
          alpha = call.Alpha;
        }
    return alpha;
  };
  for (int32_t i = 0; i < PeopleCount; ++i) People[size_t(i)]->x = People[size_t(i)]->y = 0;  // in sight
  Scale = 0.2f;
  Stage = 7;
  game->Run(1);
  EXPECT_EQ(crowdAlpha(), 255);
  Scale = 0.15f;
  game->Run(1);
  EXPECT_EQ(crowdAlpha(), 127);                      // half faded
  EXPECT_EQ(backend.LastFrame().back().Alpha, 255);  // what comes after the crowd is not

  ClosingAt(0.1f, 111);
  game->Run(1);
  EXPECT_EQ(crowdAlpha(), -1);
  const float x = People[0]->x;
  StageScore = 0;
  game->Run(130);  // two one-second ticks: nobody moves, nobody's mood counts
  EXPECT_EQ(People[0]->x, x);
  EXPECT_EQ(StageScore, 0);
  EXPECT_EQ(PeopleCount, 140);
}

TEST_F(Ending, EndIsClickedOnlyOnceShownAndEndsTheProgramWithoutAnotherFrame) {
  ClosingAt(0.1f, 96);
  CursorOnTheEndBlock();
  Click();  // too early: the button is not there
  EXPECT_FALSE(EndDrawn());
  RunUntilEndIsShown(60);
  EXPECT_EQ(Tutor->NextIn, 89);
  game->Run(1);
  EXPECT_TRUE(EndDrawn());
  game->Run(10);  // the early click left nothing behind
  Click();
  const int shown = backend.FramesShown();
  // The button reports the release in the frame after it, which ends at once.
  EXPECT_THROW(game->Run(1), ProgramEnded);
  EXPECT_EQ(backend.FramesShown(), shown);
}

TEST_F(Ending, F1HeldAcrossTheLastZoomStaysInReviewWhereEndCannotBeClicked) {
  // The closing message has 95 ticks left as F1 is pressed, just before the view reaches 0.1.
  ClosingAt(0.1001f, 95);
  FrameTime = 1.5f;
  game->Run(1, {{game->FramesRun(), {Kind::KeyDown, KeyF1, 0}}});
  EXPECT_EQ(Mode, ModeReviewing);
  EXPECT_TRUE(InClosingScene());
  game->Run(60);
  EXPECT_EQ(Mode, ModeReviewing);  // held: still reviewing
  EXPECT_EQ(Tutor->NextIn, 95);    // the tutor's clock stands still
  EXPECT_FALSE(EndDrawn());
  // The show rule does not look at the mode: with the message already under 90
  // ticks the button is drawn while F1 is held, but a click on it does nothing.
  Tutor->NextIn = 50;
  CursorOnTheEndBlock();
  game->Run(1);
  EXPECT_TRUE(EndDrawn());
  Click();
  game->Run(3);
  EXPECT_EQ(Mode, ModeReviewing);
  // Released: back to normal; F1 is refused from now on, and Esc still ends the game.
  game->Run(1, {{game->FramesRun(), {Kind::KeyUp, KeyF1, 0}}});
  EXPECT_EQ(Mode, ModeNormal);
  EXPECT_EQ(Tutor->NextIn, 49);
  game->Run(1, {{game->FramesRun(), {Kind::KeyDown, KeyF1, 0}}});
  EXPECT_EQ(Mode, ModeNormal);
  const int shown = backend.FramesShown();
  EXPECT_EQ(game->Run(5, {{game->FramesRun(), {Kind::KeyDown, KeyEscape, 0}}}), 0);
  EXPECT_TRUE(game->Ended());
  EXPECT_EQ(backend.FramesShown(), shown);
}

// A whole game: the stage hook raises the score whenever the view has reached
// the stage's target, the frame loop does the rest, and End is clicked.
TEST_F(Ending, TheHookCarriesAWholeGameThroughEveryStageToTheEnd) {
  StageHook hook(1, false);
  ::testing::internal::CaptureStdout();
  std::vector<int> stageFrames;
  float lastScale = Scale;
  bool faded = false;
  while (game->FramesRun() < 20000 && !(InClosingScene() && EndButtonShown())) {
    const int32_t stage = Stage;
    game->Run(1);
    hook.AfterFrame();
    ASSERT_LE(Scale, lastScale);
    lastScale = Scale;
    ASSERT_EQ(PeopleCount, StageTable[size_t(Stage)].CrowdSize);
    faded |= Scale < 0.2f && Scale > 0.1f;
    if (Stage == stage) continue;
    ASSERT_EQ(Stage, stage + 1);
    stageFrames.push_back(game->FramesRun());
    EXPECT_TRUE(Stage != 2 || Works[size_t(FirstWork)]->x == 527);  // the game's own box
    EXPECT_TRUE(Stage != 3 || People[30]->Chef == ChefBorn);        // the first chef
    int32_t own = 0;
    for (const WorkRef& w : Works) own += w && w->Protected;
    EXPECT_EQ(own, Stage < 2 ? 0 : Stage < 4 ? 1 : Stage < 6 ? 16 : 216) << "at stage " << Stage;
  }
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "1\n2\n3\n4\n5\n6\n7\n8\n");
  ASSERT_EQ(stageFrames.size(), 8u);
  EXPECT_TRUE(faded);
  ASSERT_TRUE(InClosingScene() && EndButtonShown());
  EXPECT_EQ(Tutor->Queue[size_t(Tutor->r)]->s1, ClosingMessage);
  game->Run(1);
  EXPECT_TRUE(EndDrawn());
  CursorOnTheEndBlock();
  Click();
  EXPECT_THROW(game->Run(1), ProgramEnded);
  std::printf("stages began at frames");
  for (int frame : stageFrames) std::printf(" %d", frame);
  std::printf("; the End button at frame %d\n", game->FramesRun());
}

}  // namespace
