// The whole frame at the last stages of a played game: the soak's careless
// player plays a game from its start while the stage hook moves it on, one
// stage every two simulated minutes once the view has settled; the frames of
// stage 7 and of stage 8 (up to the closing scene, and in it) are timed, input
// and all, with the crowd, the boxes and the mess the game and the player made.
// The process's peak memory is printed after start-up and at the end.
//   bench_played_frame [seed] [frames per stage]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "frame_timer.h"
#include "game/ending.h"
#include "game/frameloop.h"
#include "game/runner.h"
#include "game/work.h"
#include "game/world.h"
#include "platform/backend.h"
#include "tests/hook/stage_hook.h"
#include "tools/soak/noise.h"

namespace {

// A stray click may hit the closing scene's End button.
[[noreturn]] void GameEnded() {
  std::printf("the player ended the game with its End button\n");
  std::exit(0);
}

int ActiveBoxes() {
  int n = 0;
  for (const auto& w : Works) n += w && w->Active;
  return n;
}

// The process's peak resident memory so far (VmHWM) in megabytes, or -1 off Linux.
double PeakMemoryMb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int seed = argc > 1 ? std::atoi(argv[1]) : 1;
  const int frames = argc > 2 ? std::atoi(argv[2]) : 3000;
  SetExitHandler(GameEnded);
  HeadlessBackend backend;
  backend.SetRecording(false);
  // What follows Return: the game's start-up (the pictures' headers read, the
  // world built), without a display's texture uploads.
  const auto before = std::chrono::steady_clock::now();
  HeadlessGame game(backend, seed);
  std::printf("start-up after Return, headless: %.1f ms\n",
              std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - before).count());
  std::printf("peak memory (VmHWM) after start-up, headless: %.1f MB\n", PeakMemoryMb());
  NoisePlayer noise(backend, uint32_t(seed));
  StageHook hook(120 * 60, false);
  auto frame = [&] {
    noise.BeforeFrame();
    GameFrame();
    hook.AfterFrame();
  };
  int played = 0;
  for (int stage : {7, 8}) {
    while (Stage < stage) {
      frame();
      ++played;
    }
    std::printf("stage %d reached after %d frames (%.1f simulated minutes): %d people, %d boxes, Scale %.3f\n", stage,
                played, played / 3600.0, PeopleCount, ActiveBoxes(), double(Scale));
    const FrameFigures figures = TimeFrames(0, frames, frame);
    played += frames;
    PrintFigures("whole frame from the start of stage " + std::to_string(stage), figures, frames);
  }
  // On in the closing scene.
  while (!InClosingScene()) {
    frame();
    ++played;
  }
  PrintFigures("whole frame in the closing scene", TimeFrames(0, frames, frame), frames);
  std::printf("peak memory (VmHWM) through the closing scene, headless: %.1f MB\n", PeakMemoryMb());
  return 0;
}
