// Runs the game without a display for a seed and a number of frames, and
// prints what happened: the crowd's moods, the boxes, a digest of the world
// that tells seeds apart, and the frame timing.
#include <getopt.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>

#include "game/catalogue.h"
#include "game/person.h"
#include "game/runner.h"
#include "game/work.h"
#include "game/world.h"
#include "platform/services.h"

namespace {

constexpr const char* Usage =
    "usage: chromelly_headless [--seed N] [--frames N] [--every N]\n"
    "Runs a whole game without a display and reports how the crowd fares.\n"
    "  --seed N    the clock seed of the game, any 32-bit integer (default 1)\n"
    "  --frames N  frames to run, 0 or more; 60 frames are one virtual second (default 3600)\n"
    "  --every N   frames between two report lines, 1 or more (default 600)\n"
    "  --help      print this and exit\n";

// The whole argument as a decimal integer within [low, high]; false otherwise.
bool ParseInt(const char* text, long low, long high, int& out) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || errno == ERANGE || v < low || v > high) return false;
  out = int(v);
  return true;
}

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

}  // namespace

int main(int argc, char** argv) {
  int seed = 1, frames = 3600, every = 600;
  const option options[] = {{"seed", required_argument, nullptr, 's'},
                            {"frames", required_argument, nullptr, 'f'},
                            {"every", required_argument, nullptr, 'e'},
                            {"help", no_argument, nullptr, 'h'},
                            {nullptr, 0, nullptr, 0}};
  opterr = 0;  // our own one-line messages; ":" tells a missing value from an unknown option
  for (;;) {
    const int previous = optind;
    const int c = getopt_long(argc, argv, ":", options, nullptr);
    if (c == -1) break;
    const char* given = argv[previous];
    bool ok = true;
    const char* want = "";
    switch (c) {
      case 's':
        ok = ParseInt(optarg, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), seed);
        want = "--seed wants a 32-bit integer";
        break;
      case 'f':
        ok = ParseInt(optarg, 0, std::numeric_limits<int>::max(), frames);
        want = "--frames wants a whole number of 0 or more";
        break;
      case 'e':
        ok = ParseInt(optarg, 1, std::numeric_limits<int>::max(), every);
        want = "--every wants a whole number of 1 or more";
        break;
      case 'h': std::fputs(Usage, stdout); return 0;
      case ':': std::fprintf(stderr, "chromelly_headless: %s needs a value (see --help)\n", given); return 2;
      default: std::fprintf(stderr, "chromelly_headless: unknown argument %s (see --help)\n", given); return 2;
    }
    if (!ok) {
      std::fprintf(stderr, "chromelly_headless: %s, not '%s'\n", want, optarg);
      return 2;
    }
  }
  if (optind < argc) {
    std::fprintf(stderr, "chromelly_headless: unexpected argument %s (see --help)\n", argv[optind]);
    return 2;
  }
  HeadlessBackend backend;
  backend.SetRecording(false);
  HeadlessGame game(backend, seed);
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
  return 0;
}
