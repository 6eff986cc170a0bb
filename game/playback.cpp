/** @file playback.cpp PlayRecording: the real start-up and frame loop run on a replay backend. */
#include "game/playback.h"

#include "game/frameloop.h"
#include "game/startup.h"
#include "platform/frame_stats.h"
#include "platform/hitlayers.h"
#include "platform/recording/replay_backend.h"
#include "platform/resources.h"
#include "platform/services.h"

namespace {

struct GameExited {};
[[noreturn]] void ThrowOnExit() { throw GameExited{}; }

}  // namespace

PlaybackResult PlayRecording(Backend& inner, const Recording& recording, bool fast) {
  // As in a fresh process: services at their start, nothing registered or filed.
  UseBackend(&inner);
  ResetServices();
  ClearRegistry();
  ClearHitLayers(0);
  ReplayBackend replay(inner, recording, fast);
  UseBackend(&replay);
  SetExitHandler(ThrowOnExit);
  PlaybackResult result;
  bool exited = false;  // the game ended itself through ExitProgram, which printed the statistics
  try {
    StartGame();
    RunGame();
    ExitProgram();
  } catch (const GameExited&) {
    exited = true;
    result.Complete = replay.EndsHere(result.Why);
  } catch (const ReplayStop& stop) {
    result.Complete = stop.Why == ReplayStop::Reason::Finished;
    if (!result.Complete) result.Why = stop.what();
  }
  result.Frames = replay.FramesShown();
  // Whatever the recording still holds, the screen is closed on the real thing.
  UseBackend(&inner);
  CloseScreen();
  SetExitHandler(nullptr);
  // A recording cut short, or a replay stopped by the viewer or by a difference,
  // ends without the game's own exit: the frames replayed are still reported.
  if (!exited) ReportFrameStats();
  return result;
}
