// chromelly_soak: plays whole games headless for a long time with a careless
// player's noise, checking the world's invariants after every frame. Built
// with the tests, and meant for the sanitizer build, where a memory fault or
// undefined behaviour stops it at once.
//   chromelly_soak [--seed N] [--hours H] [--minutes M] [--stage-seconds S] [--closing-seconds S]
// Each game is pushed through its stages by the stage hook (one stage every
// --stage-seconds once the view has settled), stays --closing-seconds in the
// closing scene and is ended with its End button; the next game starts at
// once, until the simulated time is used up. Exits 1 at the first broken invariant.
#include <getopt.h>

#include <cerrno>
#include <cinttypes>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/ending.h"
#include "game/invariants.h"
#include "game/runner.h"
#include "game/stages.h"
#include "game/world.h"
#include "platform/backend.h"
#include "tests/hook/stage_hook.h"
#include "tools/soak/noise.h"

namespace {

constexpr const char* Usage =
    "usage: chromelly_soak [--seed N] [--hours H] [--minutes M] [--stage-seconds S] [--closing-seconds S]\n"
    "Plays whole games headless with random input, checking the world after every frame.\n"
    "  --seed N             seed of the games and of the noise (default 1)\n"
    "  --hours H            simulated hours to play (default 1)\n"
    "  --minutes M          simulated minutes to play, instead of hours\n"
    "  --stage-seconds S    simulated seconds between two stages once the view has settled (default 120)\n"
    "  --closing-seconds S  simulated seconds in the closing scene before End is clicked (default 600)\n";

constexpr int64_t FramesPerSecond = 60;

// Set by SIGINT or SIGTERM: the soak stops after the frame and reports what it ran.
volatile std::sig_atomic_t Stopped = 0;
void Stop(int) { Stopped = 1; }

struct GameEnded {};
[[noreturn]] void ThrowWhenTheGameEnds() { throw GameEnded{}; }

bool ParseLong(const char* text, long low, long high, long& out) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || errno == ERANGE || v < low || v > high) return false;
  out = v;
  return true;
}

struct Totals {
  int64_t Frames = 0;
  int64_t ClosingFrames = 0;
  int64_t Games = 0;
  int64_t GamesEnded = 0;  // by the End button
  int64_t FramesAtStage[LastStage + 1] = {};
  int64_t Actions[NoisePlayer::Kinds] = {};  // the noise's actions begun, by kind
};

// One game: runs until End ends it or `budget` frames are used. False when an invariant broke.
bool PlayGame(int32_t seed, uint32_t noiseSeed, int64_t budget, int64_t stageFrames, int64_t closingFrames,
              Totals& totals) {
  HeadlessBackend backend;
  backend.SetRecording(false);
  HeadlessGame game(backend, seed);
  NoisePlayer noise(backend, noiseSeed);
  StageHook hook(int32_t(stageFrames), false);
  int64_t closing = 0;
  bool clicked = false;
  totals.Games += 1;
  bool sound = true;
  try {
    for (int64_t frame = 0; frame < budget && !Stopped; ++frame) {
      noise.BeforeFrame();
      game.Run(1);
      totals.Frames += 1;
      totals.FramesAtStage[Stage] += 1;
      if (const std::string why = BrokenLink(); !why.empty()) {
        std::printf("FAULT: game seed %d, frame %" PRId64 ", stage %d: %s\n", seed, frame, Stage, why.c_str());
        sound = false;
        break;
      }
      hook.AfterFrame();
      if (InClosingScene()) {
        totals.ClosingFrames += 1;
        if (++closing >= closingFrames && !clicked) {
          noise.ClickEnd();
          clicked = true;
        }
      }
      if (totals.Frames % (FramesPerSecond * 3600 / 4) == 0) {
        std::printf("  %.2f simulated hours: game %" PRId64 " at stage %d, %d people\n",
                    double(totals.Frames) / double(FramesPerSecond * 3600), totals.Games, Stage, PeopleCount);
        std::fflush(stdout);
      }
    }
  } catch (const GameEnded&) {
    totals.GamesEnded += 1;
  }
  for (int k = 0; k < NoisePlayer::Kinds; ++k) totals.Actions[k] += noise.Begun()[k];
  return sound;
}

}  // namespace

int main(int argc, char** argv) {
  long seed = 1, minutes = 60, stageSeconds = 120, closingSeconds = 600;
  const option options[] = {{"seed", required_argument, nullptr, 's'},
                            {"hours", required_argument, nullptr, 'h'},
                            {"minutes", required_argument, nullptr, 'm'},
                            {"stage-seconds", required_argument, nullptr, 'g'},
                            {"closing-seconds", required_argument, nullptr, 'c'},
                            {"help", no_argument, nullptr, '?'},
                            {nullptr, 0, nullptr, 0}};
  for (int c; (c = getopt_long(argc, argv, "", options, nullptr)) != -1;) {
    long hours = 0;
    bool ok = true;
    switch (c) {
      case 's': ok = ParseLong(optarg, -2147483647L, 2147483647L, seed); break;
      case 'h':
        ok = ParseLong(optarg, 0, 1000, hours);
        minutes = hours * 60;
        break;
      case 'm': ok = ParseLong(optarg, 0, 60000, minutes); break;
      case 'g': ok = ParseLong(optarg, 1, 36000, stageSeconds); break;
      case 'c': ok = ParseLong(optarg, 1, 36000, closingSeconds); break;
      default: std::fputs(Usage, c == '?' && optopt == 0 ? stdout : stderr); return c == '?' && optopt == 0 ? 0 : 2;
    }
    if (!ok) {
      std::fprintf(stderr, "chromelly_soak: bad value for --%s: %s\n%s", argv[optind - 1] + 2, optarg, Usage);
      return 2;
    }
  }
  if (optind < argc) {
    std::fprintf(stderr, "chromelly_soak: unexpected argument %s\n%s", argv[optind], Usage);
    return 2;
  }
  SetExitHandler(ThrowWhenTheGameEnds);
  const int64_t total = minutes * 60 * FramesPerSecond;
  Totals totals;
  int reached = 0;
  bool sound = true;
  std::signal(SIGINT, Stop);
  std::signal(SIGTERM, Stop);
  for (int32_t game = 0; sound && totals.Frames < total && !Stopped; ++game) {
    const int32_t gameSeed = int32_t(seed) * 7919 + game;
    std::printf("game %d (seed %d)\n", game + 1, gameSeed);
    std::fflush(stdout);
    sound = PlayGame(gameSeed, uint32_t(seed) * 2654435761u + uint32_t(game), total - totals.Frames,
                     stageSeconds * FramesPerSecond, closingSeconds * FramesPerSecond, totals);
  }
  for (int s = 0; s <= LastStage; ++s)
    if (totals.FramesAtStage[s] > 0) reached = s;
  if (Stopped) std::printf("stopped before the time was up\n");
  std::printf("soak seed %ld: %" PRId64 " frames (%.2f simulated hours), %" PRId64 " games (%" PRId64
              " ended with End), highest stage %d, %" PRId64 " frames in the closing scene, faults %d\n",
              seed, totals.Frames, double(totals.Frames) / double(FramesPerSecond * 3600), totals.Games,
              totals.GamesEnded, reached, totals.ClosingFrames, sound ? 0 : 1);
  std::printf("frames by stage:");
  for (int s = 0; s <= LastStage; ++s) std::printf(" %" PRId64, totals.FramesAtStage[s]);
  std::printf("\nnoise actions:");
  for (int k = 0; k < NoisePlayer::Kinds; ++k)
    std::printf(" %s %" PRId64 ",", NoisePlayer::KindName(k), totals.Actions[k]);
  std::printf("\n");
  return sound ? 0 : 1;
}
