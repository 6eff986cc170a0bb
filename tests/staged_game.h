/** @file staged_game.h StagedGame: a headless game for whole-game tests, with people, boxes and the hand put straight
 * in. */
// A headless game for the whole-game tests (stages, ending, chefs, the crowd,
// the player's hands), with the program's end turned into an exception, the
// standard output captured on demand, people, boxes and opinions put straight
// into the world, single people run through a frame of their own, and the
// pointer aimed at world places.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "game/mouse.h"
#include "game/person.h"
#include "game/stages.h"
#include "game/tutor.h"
#include "game/view.h"
#include "game/work.h"
#include "game/world.h"
#include "harness/headless_game.h"
#include "platform/backend.h"
#include "platform/numeric.h"
#include "tests/headless_fixture.h"

class StagedGame : public ::testing::Test {
 public:
  // A new box in the slot, its top-left corner at (x, y), empty.
  static WorkRef PlaceBox(size_t slot, int32_t x, int32_t y) {
    WorkRef box = TWork::New();
    box->Place(x, y);
    Works[slot] = box;
    return box;
  }
  // A new box in the slot at (x, y), holding `weight` copies of the colour.
  static WorkRef PutBox(size_t slot, int32_t x, int32_t y, const ColorRef& colour, int32_t weight) {
    WorkRef box = PlaceBox(slot, x, y);
    box->Add(colour, weight);
    return box;
  }
  // A new person with a red favourite colour and his hat on, standing at (x, y)
  // facing `angle`, in People[slot] with the slot as his ID and his hat's owner.
  static PersonRef PutPerson(size_t slot, float x, float y, int32_t angle) {
    auto p = std::make_shared<TPerson>();
    p->Color = TColor::Get(200, 30, 30);
    p->MyHat = std::make_shared<THat>();
    p->x = x;
    p->y = y;
    p->Angle = angle;
    p->ID = p->MyHat->Owner = int32_t(slot);
    People[slot] = p;
    return p;
  }
  // Gives the person a settled opinion of the box, due for re-forming in `changeIn` 4 Hz ticks.
  static void Thinks(TPerson& p, const TWork& box, int32_t is, int32_t patience, int32_t changeIn) {
    TOpinion o = TOpinion::New();
    o.Of = box.ID;
    o.Is = is;
    o.ChangeIn = changeIn;
    o.Patience = patience;
    p.Opinion.push_back(o);
  }

 protected:
  explicit StagedGame(int32_t seed = 2024) : seed_(seed) {}
  void SetUp() override {
    game = std::make_unique<HeadlessGame>(backend, seed_);
    SetExitHandler(ThrowWhenTheProgramEnds);
  }
  void TearDown() override {
    SetExitHandler(nullptr);
    game.reset();
  }
  // One frame outside the frame loop: the live boxes register, the faces of
  // `fans` are seen with the moods they have (the fans themselves do not act),
  // and the people in `who` act in that order.
  void Act(std::initializer_list<TPerson*> who, std::initializer_list<TPerson*> fans = {}) {
    ClearHitLayers(0);
    backend.Clear(255, 255, 255);
    for (auto& w : Works)
      if (w && w->Active) w->Be();
    for (TPerson* f : fans)
      HitImage(FaceFor(f->Mood), TruncInt(double(f->x) + 90), TruncInt(double(f->y) + 72), 0, 0, LayerFace, f);
    for (TPerson* p : who) p->Be();
  }
  // The first drawing of `image` in the frame being drawn, or null.
  const DrawCall* Drawn(const ImageRef& image) const { return FindPicture(backend.Drawn(), image); }
  // Moves the pointer so that the mouse's next step puts the cursor on world (x, y).
  void AimAt(int32_t x, int32_t y) { backend.MovePointer(ScreenCentreX + x - Mouse->x, ScreenCentreY + y - Mouse->y); }
  // Runs the stage check from stage-1 with a score past every threshold, so that
  // `stage` begins with its event; returns what was printed.
  static std::string BeginStage(int32_t stage) {
    Stage = stage - 1;
    StageScore = 2 * StageTable[size_t(Stage)].TotalNeeded + 1;
    ::testing::internal::CaptureStdout();
    StageCheck();
    return ::testing::internal::GetCapturedStdout();
  }
  // Whether the stage check leaves `stage` with this gain and total; checks the printed line.
  static bool Advances(int32_t stage, int32_t gain, int32_t total) {
    Stage = stage;
    SecondScore = gain;
    StageScore = total;
    ::testing::internal::CaptureStdout();
    StageCheck();
    const std::string printed = ::testing::internal::GetCapturedStdout();
    const bool advanced = Stage == stage + 1;
    EXPECT_EQ(printed, advanced ? std::to_string(stage + 1) + "\n" : "");
    if (advanced) {
      EXPECT_EQ(StageScore, 0);
    }
    return advanced;
  }
  HeadlessBackend backend;
  std::unique_ptr<HeadlessGame> game;

 private:
  int32_t seed_;
};
