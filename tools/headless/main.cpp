/** @file main.cpp chromelly_headless: plays or replays a game headless and prints moods, boxes, digest and timing. */
// Runs the game without a display for a seed and a number of frames, and
// prints what happened: the crowd's moods, the boxes, a digest of the world
// that tells seeds apart, and the frame timing. It can write the game as a
// recording, or replay a recording instead and print the digest of its world.
#include <cinttypes>
#include <cstdio>
#include <ctime>
#include <limits>

#include <string>

#include "game/catalogue.h"
#include "game/person.h"
#include "game/playback.h"
#include "game/work.h"
#include "game/world.h"
#include "harness/headless_game.h"
#include "platform/command_line.h"
#include "platform/recording/record_backend.h"
#include "platform/services.h"

namespace {

constexpr const char* Usage =
    "usage: chromelly_headless [--seed N] [--frames N] [--every N] [--record FILE]\n"
    "       chromelly_headless --replay FILE\n"
    "Runs a whole game without a display and reports how the crowd fares.\n"
    "  --seed N       the clock seed of the game, any 32-bit integer (default 1)\n"
    "  --frames N     frames to run, 0 or more; 60 frames are one virtual second (default 3600)\n"
    "  --every N      frames between two report lines, 1 or more (default 600)\n"
    "  --record FILE  write the game to FILE as a recording\n"
    "  --replay FILE  replay the game recorded in FILE and print the digest of its world\n"
    "  --help         print this and exit\n";

void Report(int frame) {
  int moods[7] = {};
  int active = 0;
  for (int32_t i = 0; i < PeopleCount; ++i) {
    int face = People[size_t(i)]->Mood / 10;
    moods[face < 0 ? 0 : face > 6 ? 6 : face] += 1;
  }
  for (const auto& work : Works) active += work && work->Active;
  std::printf("frame %6d  stage %d  scale %.3f  people %3d  boxes %3d  stage score %5d  faces", frame, Stage,
              double(Scale), PeopleCount, active, StageScore);
  for (int face : moods) std::printf(" %3d", face);
  std::printf("  world %016" PRIx64 "\n", WorldDigest());
}

// Replays a recording to its end; the digest of the world it leaves, or one line on why not.
int Replay(const std::string& path) {
  Recording recording;
  std::string whyNot;
  if (!LoadRecording(path, recording, whyNot)) {
    std::fprintf(stderr, "chromelly_headless: %s\n", whyNot.c_str());
    return 1;
  }
  HeadlessBackend backend;
  backend.SetRecording(false);
  const PlaybackResult result = PlayRecording(backend, recording, true);
  if (!result.Complete) {
    std::fprintf(stderr, "chromelly_headless: %s\n", result.Why.c_str());
    return 1;
  }
  std::printf("%d frames replayed\n", result.Frames);
  std::printf("world digest %016" PRIx64 "\n", WorldDigest());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int seed = 1, frames = 3600, every = 600;
  std::string record, replay;
  CommandLine line("chromelly_headless", Usage);
  line.Int("seed", seed, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
  line.Int("frames", frames, 0, std::numeric_limits<int>::max());
  line.Int("every", every, 1, std::numeric_limits<int>::max());
  line.Text("record", record);
  line.Text("replay", replay);
  if (const int status = line.Parse(argc, argv); status >= 0) return status;
  if (!replay.empty()) {
    // A replay plays the recorded game: it takes none of the game's options.
    if (line.Given("seed") + line.Given("frames") + line.Given("every") + line.Given("record") > 0)
      return line.Fail("--replay plays the recorded game and takes no other option");
    return Replay(replay);
  }
  HeadlessBackend backend;
  backend.SetRecording(false);
  RecordBackend recorder(backend);
  std::string whyNot;
  // A file that cannot be written is found out before the game, not after it.
  if (!record.empty() && !recorder.Save(record, RecordingEnd::Cut, whyNot)) {
    std::fprintf(stderr, "chromelly_headless: %s\n", whyNot.c_str());
    return 1;
  }
  HeadlessGame game(backend, seed, record.empty() ? nullptr : &recorder);
  std::printf("seed %d, %d frames (%d virtual seconds)\n", seed, frames, frames / 60);
  std::printf("pictures loaded: %d of 94; line height %d\n", LoadedPictureCount(), TextPixelHeight(""));
  const std::clock_t start = std::clock();
  while (game.FramesRun() < frames && !game.Ended()) {
    game.Run(std::min(every, frames - game.FramesRun()));
    Report(game.FramesRun());
  }
  const double cpuMs = 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC;
  std::printf("%d frames in %.0f ms of CPU: %.3f ms per frame; FrameTime %.4f\n", game.FramesRun(), cpuMs,
              cpuMs / (game.FramesRun() ? game.FramesRun() : 1), double(FrameTime));
  std::printf("world digest %016" PRIx64 "\n", WorldDigest());
  // The game stops here, not by itself: its replay stops here too.
  if (!record.empty() && !recorder.Save(record, RecordingEnd::Cut, whyNot)) {
    std::fprintf(stderr, "chromelly_headless: %s\n", whyNot.c_str());
    return 1;
  }
  return 0;
}
