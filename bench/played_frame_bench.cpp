/** @file played_frame_bench.cpp Benchmark of every frame of stages 7 and 8 and the closing scene of a bot's game. */
// The whole frame at the last stages of a real game: the bot plays a game from
// its start, as the playthrough does, and every frame of stage 7, of stage 8 and
// of the closing scene is timed, with the crowd, the boxes and the chefs that
// game made. The bot reads the world and decides its input
// between frames, untimed; the frame itself (input, the frame loop, the drawing
// calls) is timed by this thread's CPU clock.
//   bench_played_frame [seed] [frames in the closing scene]
// Seed 4 (the default) is one the bot brings to the closing scene in about
// eight simulated minutes; a seed it does not finish in an hour is given up.
// The process's peak memory is printed after start-up and at the end.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "frame_timer.h"
#include "game/ending.h"
#include "game/work.h"
#include "game/world.h"
#include "harness/bot.h"
#include "harness/headless_game.h"
#include "platform/backend.h"

namespace {

constexpr int GiveUpFrames = 60 * 60 * 60;

[[noreturn]] void GameEnded() {
  std::printf("the game ended with its End button\n");
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
  const int seed = argc > 1 ? std::atoi(argv[1]) : 4;
  const int closingFrames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3000;
  SetExitHandler(GameEnded);
  HeadlessBackend backend;
  backend.SetRecording(false);
  // What follows Return: the game's start-up (pictures decoded, masks made, the
  // world built), without a display's texture uploads.
  const auto before = std::chrono::steady_clock::now();
  HeadlessGame game(backend, seed);
  std::printf("start-up after Return, headless: %.1f ms\n",
              std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - before).count());
  std::printf("peak memory (VmHWM) after start-up, headless: %.1f MB\n", PeakMemoryMb());
  Bot bot;
  // Frame times from the start of stage 7: stage 7, stage 8 before the closing
  // scene, and the closing scene, where the bot is stopped or it would click End.
  std::vector<double> times[3];
  while (game.FramesRun() < GiveUpFrames && int(times[2].size()) < closingFrames) {
    const int phase = InClosingScene() ? 2 : Stage == 8 ? 1 : Stage == 7 ? 0 : -1;
    if (phase < 2)
      for (const Bot::Event& e : bot.Next()) backend.Feed(e);
    if (phase >= 0 && times[phase].empty())
      std::printf("%s after %d frames (%.1f simulated minutes): %d people, %d boxes, Scale %.3f\n",
                  phase == 2   ? "closing scene"
                  : phase == 1 ? "stage 8"
                               : "stage 7",
                  game.FramesRun(), game.FramesRun() / 3600.0, PeopleCount, ActiveBoxes(), double(Scale));
    const double start = ThreadCpuMs();
    game.Run(1);
    if (phase >= 0) times[phase].push_back(ThreadCpuMs() - start);
  }
  if (times[2].empty()) {
    std::printf("seed %d: the bot did not reach the closing scene in %d frames\n", seed, GiveUpFrames);
    return 1;
  }
  const char* const what[3] = {"whole frame in stage 7", "whole frame in stage 8", "whole frame in the closing scene"};
  for (int phase = 0; phase < 3; ++phase)
    if (!times[phase].empty()) PrintFigures(what[phase], FiguresOf(times[phase]), int(times[phase].size()));
  std::printf("peak memory (VmHWM) through the closing scene, headless: %.1f MB\n", PeakMemoryMb());
  return 0;
}
