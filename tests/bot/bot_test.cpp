/** @file bot_test.cpp Tests that the bot wins the game from intro to End on a few seeds, and that its game replays. */
// The bot proves the game can be won: from the intro to the End button, with
// nothing but the mouse, on a few seeds; and its game, recorded, replays to the
// very world it left.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "game/playback.h"
#include "game/world.h"
#include "harness/bot.h"
#include "harness/headless_game.h"
#include "platform/recording/record_backend.h"
#include "platform/services.h"

namespace {

// The eight minutes the game claims it can be won in: a bot that needs more has got worse.
constexpr int Limit = 28800;

void ExpectWon(const BotGameResult& result) {
  ASSERT_GT(result.EndFrame, 0) << "no End in " << result.Frames << " frames";
  for (size_t s = 1; s < result.StageFrame.size(); ++s)
    EXPECT_GT(result.StageFrame[s], result.StageFrame[s - 1]) << "stage " << s;
  EXPECT_GT(result.EndFrame, result.StageFrame[8]);
}

TEST(Bot, ReachesTheEndStageByStage) {
  for (int32_t seed : {5, 9}) {
    SCOPED_TRACE(seed);
    HeadlessBackend backend;
    backend.SetRecording(false);
    BotGame game(backend, seed);
    ExpectWon(game.Play(Limit));
    EXPECT_EQ(Stage, 8);
    EXPECT_LE(double(Scale), 0.1);  // the End is only offered in the closing scene
  }
}

TEST(Bot, ItsRecordedGameReplaysToTheSameWorld) {
  HeadlessBackend backend;
  backend.SetRecording(false);
  RecordBackend recorder(backend);
  std::string file;
  uint64_t live = 0;
  {
    BotGame game(backend, 3, &recorder);
    ExpectWon(game.Play(Limit));
    live = WorldDigest();
    file = recorder.Finish(RecordingEnd::Exited);
  }
  Recording recording;
  std::string whyNot;
  ASSERT_TRUE(ParseRecording(file, recording, whyNot)) << whyNot;
  HeadlessBackend replayed;
  replayed.SetRecording(false);
  const PlaybackResult result = PlayRecording(replayed, recording, true);
  const uint64_t digest = WorldDigest();
  ResetServices();
  ResetWorld();
  UseBackend(nullptr);
  EXPECT_TRUE(result.Complete) << result.Why;
  EXPECT_EQ(digest, live);
}

}  // namespace
