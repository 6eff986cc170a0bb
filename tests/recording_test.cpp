/** @file recording_test.cpp Tests of recordings: same-world replays, damaged files, replays that part. */
// Recordings: a headless game recorded with scripted input replays to the same
// world; damaged files are refused before a frame is played; a replay that
// parts from its recording stops there instead of passing for a whole game, and
// reports the frame statistics however it ends.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/person.h"
#include "game/playback.h"
#include "game/world.h"
#include "harness/headless_game.h"
#include "platform/frame_stats.h"
#include "platform/random.h"
#include "platform/recording/record_backend.h"
#include "platform/recording/replay_backend.h"
#include "platform/services.h"
#include "tests/headless_fixture.h"

namespace {

using Kind = HeadlessBackend::Event::Kind;

// What the world looks like: enough that any difference in play shows.
std::vector<int64_t> Fingerprint() {
  std::vector<int64_t> f = {RandomState(), Stage, Mode, PeopleCount, WorkCount, int64_t(Scale * 1e6f)};
  for (int32_t i = 0; i < PeopleCount; ++i) {
    const TPerson& p = *People[size_t(i)];
    f.insert(f.end(), {int64_t(p.x * 1000.0f), int64_t(p.y * 1000.0f), p.Mood, p.Angle, p.Frame});
  }
  return f;
}

// A game of `frames` frames with the mouse dragging through the crowd, F1 held
// for a while and a focus loss, recorded; with escAtEnd the player ends it with Esc.
struct Recorded {
  std::string File;
  std::vector<int64_t> World;
  int Frames = 0;
};

Recorded RecordGame(int32_t seed, int frames, bool escAtEnd = false) {
  std::vector<ScriptedInput> script;
  for (int f = 10; f < frames; f += 7) script.push_back({f, {Kind::Motion, 200 + (f * 13) % 600, 150 + (f * 7) % 450}});
  for (int f = 20; f + 15 < frames; f += 90) {
    script.push_back({f, {Kind::ButtonDown, ButtonLeft}});
    script.push_back({f + 15, {Kind::ButtonUp, ButtonLeft}});
  }
  script.push_back({40, {Kind::KeyDown, KeyF1}});
  script.push_back({70, {Kind::KeyUp, KeyF1}});
  script.push_back({100, {Kind::ButtonDown, ButtonRight}});
  script.push_back({101, {Kind::Suspend}});
  if (escAtEnd) script.push_back({frames - 1, {Kind::KeyDown, KeyEscape}});
  HeadlessBackend backend;
  backend.SetRecording(false);
  RecordBackend recorder(backend);
  Recorded out;
  {
    HeadlessGame game(backend, seed, &recorder);
    game.Run(frames, script);
    EXPECT_EQ(game.Ended(), escAtEnd);
    out.World = Fingerprint();
    if (escAtEnd) CloseScreen();  // as ExitProgram does
    out.File = recorder.Finish(escAtEnd ? RecordingEnd::Exited : RecordingEnd::Cut);
    out.Frames = recorder.Frames();
  }
  return out;
}

PlaybackResult Replay(const std::string& file, std::vector<int64_t>* world = nullptr) {
  Recording recording;
  std::string whyNot;
  EXPECT_TRUE(ParseRecording(file, recording, whyNot)) << whyNot;
  HeadlessBackend backend;
  PlaybackResult result = PlayRecording(backend, recording, true);
  if (world) *world = Fingerprint();
  EndHeadlessRun();
  return result;
}

// The file again with its calls passed through `edit` (which may change them): still a well-formed recording.
template <typename Edit>
std::string Rewritten(const std::string& file, Edit edit) {
  Recording recording;
  std::string whyNot;
  EXPECT_TRUE(ParseRecording(file, recording, whyNot)) << whyNot;
  RecordingCursor cursor(recording.Body);
  RecordingWriter writer;
  RecordedCall call;
  while (cursor.Next(call) && call.What != RecordedCall::Kind::End) {
    edit(call);
    writer.Add(call);
  }
  return writer.Finish(recording.How);
}

void PutU32(std::string& file, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) file[at + size_t(i)] = char((v >> (8 * i)) & 0xff);
}

class Recordings : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { game = new Recorded(RecordGame(11, 600)); }
  static void TearDownTestSuite() { delete game; }
  static Recorded* game;
};
Recorded* Recordings::game = nullptr;

TEST_F(Recordings, AReplayReachesTheRecordedWorldFrameForFrame) {
  // Ten virtual seconds of play with input of every kind, in a few kilobytes.
  EXPECT_LT(game->File.size(), 10000u) << game->File.size();
  std::printf("%d frames recorded in %zu bytes\n", game->Frames, game->File.size());
  std::vector<int64_t> world;
  const PlaybackResult result = Replay(game->File, &world);
  EXPECT_TRUE(result.Complete) << result.Why;
  EXPECT_EQ(result.Frames, game->Frames);
  EXPECT_EQ(world, game->World);
  // And again: nothing carried over from the first replay.
  std::vector<int64_t> again;
  EXPECT_TRUE(Replay(game->File, &again).Complete);
  EXPECT_EQ(again, game->World);
  // The same game recorded twice gives the same bytes.
  EXPECT_TRUE(RecordGame(11, 600).File == game->File);
}

TEST_F(Recordings, AGameEndedWithEscEndsItsReplayThere) {
  const Recorded ended = RecordGame(5, 200, true);
  std::vector<int64_t> world;
  const PlaybackResult result = Replay(ended.File, &world);
  EXPECT_TRUE(result.Complete) << result.Why;
  EXPECT_EQ(world, ended.World);
}

// CHROMELLY_STATS=1 while in scope, and fresh statistics before and after.
struct StatsWanted {
  StatsWanted() {
    setenv("CHROMELLY_STATS", "1", 1);
    RestartFrameStats(nullptr);
  }
  ~StatsWanted() {
    unsetenv("CHROMELLY_STATS");
    RestartFrameStats(nullptr);
  }
};

TEST_F(Recordings, AReplayPrintsTheFrameStatisticsOnceHoweverItEnds) {
  const Recorded ended = RecordGame(5, 200, true);
  // Cut short by the recording (as the headless runner records), and ended by the game's Esc. The
  // frames timed are those shown but the first, which starts the count: of the 200-frame game the
  // last is not shown, as its Esc ends the game.
  const struct {
    const std::string& File;
    int Timed;
  } cases[] = {{game->File, 600 - 1}, {ended.File, 199 - 1}};
  for (const auto& c : cases) {
    const StatsWanted wanted;
    testing::internal::CaptureStderr();
    const PlaybackResult result = Replay(c.File);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(result.Complete) << result.Why;
    const FrameStats& stats = CurrentFrameStats();
    EXPECT_EQ(printed, stats.Summary() + "\n");
    EXPECT_EQ(stats.All().Frames(), c.Timed) << printed;
    ASSERT_EQ(stats.Parts().size(), 1u) << printed;
    EXPECT_EQ(stats.Parts()[0].Name, "stage 0");
    EXPECT_EQ(stats.Parts()[0].Figures.Frames(), stats.All().Frames());
  }
}

TEST_F(Recordings, AReplayThatPartsFromItsRecordingStopsThere) {
  // Another seed: the game itself plays differently from its first game frame on.
  const std::string reseeded = Rewritten(game->File, [](RecordedCall& call) {
    if (call.What == RecordedCall::Kind::BootClock) call.Value += 1;
  });
  PlaybackResult result = Replay(reseeded);
  EXPECT_FALSE(result.Complete);
  EXPECT_NE(result.Why.find("draws differently"), std::string::npos) << result.Why;
  EXPECT_LT(result.Frames, game->Frames);
  // F1 pressed in a later frame where the player never pressed it: the review overlay shows.
  int frame = 0;
  bool added = false;
  const std::string pressed = Rewritten(game->File, [&](RecordedCall& call) {
    frame += call.What == RecordedCall::Kind::Frame;
    if (call.What == RecordedCall::Kind::Pump && frame >= 300 && !added) {
      call.Changes.push_back({InputChange::Kind::Key, KeyF1, 1, true});
      added = true;
    }
  });
  result = Replay(pressed);
  EXPECT_FALSE(result.Complete);
  EXPECT_EQ(result.Frames, 300) << result.Why;
  // A recording that says its game ended by itself, replayed by a game that goes on.
  Recording cut;
  std::string whyNot;
  ASSERT_TRUE(ParseRecording(game->File, cut, whyNot));
  RecordingCursor cursor(cut.Body);
  RecordingWriter writer;
  RecordedCall call;
  while (cursor.Next(call) && call.What != RecordedCall::Kind::End) writer.Add(call);
  result = Replay(writer.Finish(RecordingEnd::Exited));
  EXPECT_FALSE(result.Complete);
  EXPECT_NE(result.Why.find("ended here"), std::string::npos) << result.Why;
}

TEST_F(Recordings, DamagedFilesAreRefusedWithTheReason) {
  const std::string& good = game->File;
  std::string otherVersion = good, moreFrames = good, flipped = good;
  PutU32(otherVersion, 8, RecordingVersion + 1);
  PutU32(moreFrames, 12, uint32_t(game->Frames + 1));
  flipped[good.size() / 2] ^= 0x20;
  // A body whose frames do not add up to its header's count, with a good checksum.
  std::string miscounted = Rewritten(good, [](RecordedCall& call) {
    if (call.What == RecordedCall::Kind::Frame) call.What = RecordedCall::Kind::Close;
  });
  PutU32(miscounted, 12, uint32_t(game->Frames));
  const struct {
    std::string File;
    const char* Says;
  } cases[] = {
      {"", "not a Chromelly recording"},
      {"\x89PNG\r\n\x1a\n and the rest of a picture", "not a Chromelly recording"},
      {good.substr(0, 20), "truncated"},
      {good.substr(0, good.size() - 1), "truncated"},
      {good + "x", "stray bytes"},
      {otherVersion, "version 2; this game reads version 1"},
      {flipped, "damaged"},
      {miscounted, "holds 0 frames but its header says"},
  };
  for (const auto& c : cases) {
    Recording recording;
    std::string whyNot;
    EXPECT_FALSE(ParseRecording(c.File, recording, whyNot)) << c.Says;
    EXPECT_NE(whyNot.find(c.Says), std::string::npos) << whyNot;
  }
  // A header that claims one frame more than the body holds.
  Recording recording;
  std::string whyNot;
  EXPECT_FALSE(ParseRecording(moreFrames, recording, whyNot));
  EXPECT_EQ(whyNot, "the recording holds " + std::to_string(game->Frames) + " frames but its header says " +
                        std::to_string(game->Frames + 1));
  EXPECT_FALSE(LoadRecording("/nonexistent/game.rec", recording, whyNot));
  EXPECT_NE(whyNot.find("No such file"), std::string::npos) << whyNot;
}

}  // namespace
