/** @file golden_test.cpp Golden games: short bot games replayed from recordings to the digests of their worlds. */
// Golden games: short bot games kept as recordings with the digest of the world
// each leaves. Any change to the game's exact behaviour (a draw added or moved,
// a rounding changed, a rule read differently) changes a digest or parts a
// replay from its recording; tests/golden/README says how to renew them.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "game/playback.h"
#include "game/work.h"
#include "game/world.h"
#include "harness/headless_game.h"
#include "platform/backends/headless.h"
#include "platform/recording/recording_format.h"
#include "platform/services.h"
#include "tests/headless_fixture.h"

namespace {

// The recordings and their digests, as listed in digests.txt.
std::vector<std::pair<std::string, std::string>> GoldenGames() {
  std::vector<std::pair<std::string, std::string>> games;
  std::ifstream list(std::string(CHROMELLY_GOLDEN_DIR) + "/digests.txt");
  std::string line;
  while (std::getline(list, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string file, digest;
    fields >> file >> digest;
    games.emplace_back(file, digest);
  }
  return games;
}

TEST(GoldenGames, EveryRecordingReplaysWholeToItsDigest) {
  const auto games = GoldenGames();
  ASSERT_GE(games.size(), 2u) << "digests.txt lists the golden games";
  for (const auto& [file, expected] : games) {
    SCOPED_TRACE(file);
    Recording recording;
    std::string whyNot;
    ASSERT_TRUE(LoadRecording(std::string(CHROMELLY_GOLDEN_DIR) + "/" + file, recording, whyNot)) << whyNot;
    HeadlessBackend backend;
    backend.SetRecording(false);
    const PlaybackResult result = PlayRecording(backend, recording, true);
    char digest[17];
    std::snprintf(digest, sizeof digest, "%016" PRIx64, WorldDigest());
    EndHeadlessRun();
    EXPECT_TRUE(result.Complete) << result.Why;
    EXPECT_EQ(digest, expected);
  }
}

// The bot's richer golden game is kept for what happens in it: the replay must
// show a chef thrown out of the world and a box deleted, or the game no longer
// covers them (a renewed recording where the bot did neither, say).
TEST(GoldenGames, TheRicherGameThrowsAChefAndDeletesABox) {
  Recording recording;
  std::string whyNot;
  ASSERT_TRUE(
      LoadRecording(std::string(CHROMELLY_GOLDEN_DIR) + "/seed4-thrown-chef-deleted-box.rec", recording, whyNot))
      << whyNot;
  HeadlessBackend backend;
  backend.SetRecording(false);
  const PlaybackResult result = PlayRecording(backend, recording, true);
  // Boxes leave the world only when deleted: every box ever made that is not active was.
  int32_t active = 0;
  for (const auto& w : Works)
    if (w && w->Active) active += 1;
  const int32_t deleted = WorkCount - active, thrown = ChefsThrown < 0 ? -ChefsThrown : ChefsThrown;
  ResetServices();
  ResetWorld();
  UseBackend(nullptr);
  EXPECT_TRUE(result.Complete) << result.Why;
  EXPECT_GE(thrown, 1);
  EXPECT_GE(deleted, 1);
}

}  // namespace
