// Runs the game without a display for a seed and a number of frames, and
// prints what happened: the crowd's moods, the boxes and the frame timing.
//   chromelly_headless [--seed N] [--frames N] [--every N]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "game/catalogue.h"
#include "game/person.h"
#include "game/runner.h"
#include "game/work.h"
#include "game/world.h"
#include "platform/services.h"

namespace {

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
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  int seed = 1, frames = 3600, every = 600;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--seed")) seed = std::atoi(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--frames")) frames = std::atoi(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--every")) every = std::atoi(argv[i + 1]);
    else {
      std::fprintf(stderr, "usage: chromelly_headless [--seed N] [--frames N] [--every N]\n");
      return 2;
    }
  }
  if (every < 1) every = 1;
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
  return 0;
}
