/** @file main.cpp chromelly_bot: the bot plays a whole game headless and prints when each stage and the End came. */
// The bot plays a whole game without a display, from the intro to the End
// button, and prints the frame each stage began and the frame of the End. It
// can write its game as a recording, which `chromelly --replay FILE` shows.
#include <cstdio>
#include <limits>
#include <string>

#include "harness/bot.h"
#include "platform/command_line.h"
#include "platform/recording/record_backend.h"

namespace {

constexpr const char* Usage =
    "usage: chromelly_bot [--seed N] [--max-frames N] [--record FILE]\n"
    "The bot plays a whole game without a display and prints the frame each stage began.\n"
    "  --seed N        the clock seed of the game, any 32-bit integer (default 1)\n"
    "  --max-frames N  give up after N frames; 60 frames are one virtual second (default 108000)\n"
    "  --record FILE   write the game to FILE as a recording\n"
    "  --help          print this and exit\n"
    "Exit status 0 when the bot reached the End, 1 when it did not, 2 for bad arguments.\n";

}  // namespace

int main(int argc, char** argv) {
  int seed = 1, maxFrames = 108000;
  std::string record;
  CommandLine line("chromelly_bot", Usage);
  line.Int("seed", seed, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
  line.Int("max-frames", maxFrames, 1, std::numeric_limits<int>::max());
  line.Text("record", record);
  if (const int status = line.Parse(argc, argv); status >= 0) return status;
  HeadlessBackend backend;
  backend.SetRecording(false);
  RecordBackend recorder(backend);
  std::string whyNot;
  if (!record.empty() && !recorder.Save(record, RecordingEnd::Cut, whyNot)) {
    std::fprintf(stderr, "chromelly_bot: %s\n", whyNot.c_str());
    return 1;
  }
  BotGame game(backend, seed, record.empty() ? nullptr : &recorder);
  const BotGameResult result = game.Play(maxFrames);
  std::printf("seed %d:", seed);
  for (size_t s = 1; s < result.StageFrame.size(); ++s) std::printf(" stage %zu at %d;", s, result.StageFrame[s]);
  if (result.EndFrame > 0)
    std::printf(" End at frame %d (%.1f minutes);", result.EndFrame, result.EndFrame / 3600.0);
  else
    std::printf(" no End in %d frames;", result.Frames);
  std::printf(" %d chefs thrown, %d boxes deleted, %d fans moved\n", result.ChefsThrown, result.BoxesDeleted,
              result.FansMoved);
  // Saved while the game is still on: a game cut short replays up to here.
  if (!record.empty()) {
    const RecordingEnd how = result.EndFrame > 0 ? RecordingEnd::Exited : RecordingEnd::Cut;
    if (!recorder.Save(record, how, whyNot)) {
      std::fprintf(stderr, "chromelly_bot: %s\n", whyNot.c_str());
      return 1;
    }
  }
  return result.EndFrame > 0 ? 0 : 1;
}
