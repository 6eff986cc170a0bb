#include "game/playback.h"

#include "game/frameloop.h"
#include "game/startup.h"
#include "platform/backends/replay.h"
#include "platform/hitlayers.h"
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
  try {
    StartGame();
    RunGame();
    ExitProgram();
  } catch (const GameExited&) {
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
  return result;
}
