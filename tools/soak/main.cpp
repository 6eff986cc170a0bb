/** @file main.cpp chromelly_soak: long headless games by the bot and the noise, invariants checked. */
// chromelly_soak: plays whole games headless for a long time, the bot at the
// controls with a careless player's noise cutting in, and checks the world's
// invariants after every frame. Built with the tests, and meant for the
// sanitizer build, where a memory fault or undefined behaviour stops it at once.
//   chromelly_soak [--seed N] [--hours H] [--minutes M] [--bot-minutes M]
//                  [--stage-seconds S] [--closing-seconds S] [--first-game N]
// The bot plays each game; now and then the noise takes the mouse for one of
// its actions, and in the closing scene it has the mouse until
// --closing-seconds have passed, when the bot goes for End. A game the bot has
// not brought to the closing scene in --bot-minutes is pushed on by the stage
// hook, one stage every --stage-seconds, so every game reaches its end. The
// next game starts at once, until the simulated time is used up. Exits 1 at
// the first broken invariant. Each game's seeds follow from the soak's seed and
// the game's number alone, so --first-game N resumes a soak that was stopped in
// game N: that game and the ones after it play as they did in the first run.
#include <cinttypes>
#include <csignal>
#include <cstdio>
#include <random>
#include <string>

#include "game/ending.h"
#include "game/stages.h"
#include "game/world.h"
#include "harness/bot.h"
#include "harness/headless_game.h"
#include "harness/invariants.h"
#include "harness/stage_hook.h"
#include "platform/command_line.h"
#include "tools/soak/noise.h"

namespace {

constexpr const char* Usage =
    "usage: chromelly_soak [--seed N] [--hours H] [--minutes M] [--bot-minutes M] [--stage-seconds S]\n"
    "                      [--closing-seconds S] [--first-game N]\n"
    "Plays whole games headless, the bot with random noise, checking the world after every frame.\n"
    "  --seed N             seed of the games and of the noise (default 1)\n"
    "  --hours H            simulated hours to play (default 1)\n"
    "  --minutes M          simulated minutes to play, instead of hours\n"
    "  --bot-minutes M      simulated minutes the bot has to reach the closing scene before the\n"
    "                       stage hook pushes the game on (default 20)\n"
    "  --stage-seconds S    simulated seconds between two pushed stages once the view has settled (default 60)\n"
    "  --closing-seconds S  simulated seconds of noise in the closing scene before the bot clicks End (default 600)\n"
    "  --first-game N       start at game N of the seed, to resume a soak that stopped in it (default 1)\n";

constexpr int64_t FramesPerSecond = 60;
constexpr int NoiseOneFrameIn = 600;  // the noise cuts in about every ten seconds of the bot's play

// Set by SIGINT or SIGTERM: the soak stops after the frame and reports what it ran.
volatile std::sig_atomic_t Stopped = 0;
void Stop(int) { Stopped = 1; }

struct Totals {
  int64_t Frames = 0;
  int64_t ClosingFrames = 0;
  int64_t Games = 0;
  int64_t GamesEnded = 0;     // by the End button
  int64_t GamesByTheBot = 0;  // brought to the closing scene without the stage hook
  int64_t NoiseFrames = 0;    // frames whose input was the noise's, not the bot's
  int64_t FramesAtStage[LastStage + 1] = {};
  int64_t Actions[NoisePlayer::Kinds] = {};  // the noise's actions begun, by kind
};

struct GamePlan {
  int32_t Number = 1;  // the game's number in the soak of its seed, from 1
  int32_t Seed = 0;
  uint32_t NoiseSeed = 0;
  int64_t Budget = 0;         // frames this game may run at most
  int64_t HookAfter = 0;      // frames before the stage hook starts pushing
  int64_t StageFrames = 0;    // frames between two pushed stages
  int64_t ClosingFrames = 0;  // frames of noise in the closing scene
};

// Thrown from the input step: the soak stops this game here.
struct Broken {
  std::string Why;
};
struct OutOfTime {};

// One game: runs until End ends it or its budget is used. False when an invariant broke.
bool PlayGame(const GamePlan& plan, Totals& totals) {
  HeadlessBackend backend;
  backend.SetRecording(false);
  BotGame game(backend, plan.Seed);
  NoisePlayer noise(backend, plan.NoiseSeed);
  StageHook hook(int32_t(plan.StageFrames), false);
  std::mt19937 cutIn(plan.NoiseSeed ^ 0x5bd1e995u);
  int64_t played = 0;
  int64_t closing = 0;
  int32_t hookFrom = -1;  // the stage at which the hook took over, if it did
  totals.Games += 1;

  // Everything the soak does after a frame and before the next one's input.
  const auto afterFrame = [&](int64_t frame) {
    played += 1;
    totals.Frames += 1;
    totals.FramesAtStage[Stage] += 1;
    if (std::string why = BrokenLink(); !why.empty()) throw Broken{std::move(why)};
    if (frame >= plan.HookAfter) {
      if (hookFrom < 0) hookFrom = Stage;
      hook.AfterFrame();
    }
    if (InClosingScene()) {
      totals.ClosingFrames += 1;
      closing += 1;
    }
    if (totals.Frames % (FramesPerSecond * 3600 / 4) == 0) {
      std::printf("  %.2f simulated hours: game %d at stage %d, %d people\n",
                  double(totals.Frames) / double(FramesPerSecond * 3600), plan.Number, Stage, PeopleCount);
      std::fflush(stdout);
    }
  };
  const auto adjust = [&](int frame, std::vector<Bot::Event>& events) {
    if (frame > 0) afterFrame(frame - 1);
    if (Stopped || frame >= plan.Budget) throw OutOfTime{};
    const bool noiseHasTheMouse = noise.Busy() || (InClosingScene() && closing < plan.ClosingFrames) ||
                                  std::uniform_int_distribution<int>(1, NoiseOneFrameIn)(cutIn) == 1;
    if (noiseHasTheMouse) {
      events.clear();
      noise.BeforeFrame();
      totals.NoiseFrames += 1;
    }
  };

  bool sound = true;
  try {
    if (game.Play(int(plan.Budget) + 1, adjust).EndFrame >= 0) {
      played += 1;  // the frame that clicked End did not come back to be counted
      totals.Frames += 1;
      totals.GamesEnded += 1;
    }
  } catch (const Broken& fault) {
    std::printf("FAULT: game seed %d, frame %" PRId64 ", stage %d: %s\n", plan.Seed, totals.Frames, Stage,
                fault.Why.c_str());
    sound = false;
  } catch (const OutOfTime&) {
  }
  if (closing > 0 && hookFrom < 0) totals.GamesByTheBot += 1;
  for (int k = 0; k < NoisePlayer::Kinds; ++k) totals.Actions[k] += noise.Begun()[k];
  // The digest lets a resumed soak be checked against the first run, game by game.
  std::printf("  game over at stage %d after %" PRId64 " frames, digest %016" PRIx64 "%s", Stage, played, WorldDigest(),
              closing > 0 ? ", closing scene reached" : "");
  if (hookFrom >= 0) std::printf(", stage hook from stage %d", hookFrom);
  std::printf("\n");
  return sound;
}

}  // namespace

int main(int argc, char** argv) {
  int seed = 1, minutes = 60, botMinutes = 20, stageSeconds = 60, closingSeconds = 600, firstGame = 1;
  CommandLine line("chromelly_soak", Usage);
  line.Int("seed", seed, -2147483647L, 2147483647L);
  line.Int("hours", 0, 100, [&minutes](int hours) { minutes = hours * 60; });
  line.Int("minutes", minutes, 0, 6000);
  line.Int("bot-minutes", botMinutes, 0, 6000);
  line.Int("stage-seconds", stageSeconds, 1, 36000);
  line.Int("closing-seconds", closingSeconds, 1, 36000);
  line.Int("first-game", firstGame, 1, 1000000);
  if (const int status = line.Parse(argc, argv); status >= 0) return status;
  const int64_t total = int64_t(minutes) * 60 * FramesPerSecond;
  Totals totals;
  bool sound = true;
  std::signal(SIGINT, Stop);
  std::signal(SIGTERM, Stop);
  for (int32_t game = firstGame - 1; sound && totals.Frames < total && !Stopped; ++game) {
    GamePlan plan;
    plan.Number = game + 1;
    plan.Seed = int32_t(uint32_t(seed) * 7919u + uint32_t(game));
    plan.NoiseSeed = uint32_t(seed) * 2654435761u + uint32_t(game);
    plan.Budget = total - totals.Frames;
    plan.HookAfter = int64_t(botMinutes) * 60 * FramesPerSecond;
    plan.StageFrames = int64_t(stageSeconds) * FramesPerSecond;
    plan.ClosingFrames = int64_t(closingSeconds) * FramesPerSecond;
    std::printf("game %d (seed %d)\n", game + 1, plan.Seed);
    std::fflush(stdout);
    sound = PlayGame(plan, totals);
  }
  int reached = 0;
  for (int s = 0; s <= LastStage; ++s)
    if (totals.FramesAtStage[s] > 0) reached = s;
  if (Stopped) std::printf("stopped before the time was up\n");
  std::printf("soak seed %d from game %d: %" PRId64 " frames (%.2f simulated hours), %" PRId64 " games (%" PRId64
              " ended with End, %" PRId64 " brought to the closing scene by the bot alone), highest stage %d, %" PRId64
              " frames in the closing scene, %" PRId64 " frames of noise, faults %d\n",
              seed, firstGame, totals.Frames, double(totals.Frames) / double(FramesPerSecond * 3600), totals.Games,
              totals.GamesEnded, totals.GamesByTheBot, reached, totals.ClosingFrames, totals.NoiseFrames,
              sound ? 0 : 1);
  std::printf("frames by stage:");
  for (int s = 0; s <= LastStage; ++s) std::printf(" %" PRId64, totals.FramesAtStage[s]);
  std::printf("\nnoise actions:");
  for (int k = 0; k < NoisePlayer::Kinds; ++k)
    std::printf(" %s %" PRId64 ",", NoisePlayer::KindName(k), totals.Actions[k]);
  std::printf("\n");
  return sound ? 0 : 1;
}
