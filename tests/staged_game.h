/** @file staged_game.h StagedGame: a headless game for the stage, ending and chef tests, with boxes put straight in. */
// A headless game for the stage, ending and chef tests, with the program's end
// turned into an exception, the standard output captured on demand, and boxes
// put straight into the world.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "harness/headless_game.h"
#include "game/stages.h"
#include "game/tutor.h"
#include "game/work.h"
#include "game/world.h"
#include "platform/backend.h"

struct ProgramEnded {};
[[noreturn]] inline void ThrowWhenTheProgramEnds() { throw ProgramEnded{}; }

class StagedGame : public ::testing::Test {
 public:
  // A new box in the slot at (x, y), holding `weight` copies of the colour.
  static WorkRef PutBox(size_t slot, int32_t x, int32_t y, const ColorRef& colour, int32_t weight) {
    WorkRef box = TWork::New();
    box->Place(x, y);
    box->Add(colour, weight);
    Works[slot] = box;
    return box;
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
