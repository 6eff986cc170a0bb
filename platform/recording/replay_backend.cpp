/** @file replay_backend.cpp ReplayBackend: a recording's answers given back call by call, or a mismatch. */
#include "platform/recording/replay_backend.h"

#include "platform/services.h"

ReplayBackend::ReplayBackend(Backend& inner, const Recording& recording, bool fast)
    : PassThroughBackend(inner), recording_(recording), cursor_(recording.Body), fast_(fast) {}

void ReplayBackend::Mismatch(const std::string& what) {
  throw ReplayStop(ReplayStop::Reason::Mismatch,
                   "the recording does not match this game at frame " + std::to_string(frames_) + ": " + what);
}

const RecordedCall& ReplayBackend::Expect(RecordedCall::Kind kind) {
  if (!cursor_.Next(next_)) Mismatch("the recording is damaged");  // checked on loading; never expected
  if (next_.What == RecordedCall::Kind::End) {
    over_ = true;
    if (RecordingEnd(next_.A) == RecordingEnd::Cut)
      throw ReplayStop(ReplayStop::Reason::Finished, "the recording ends at frame " + std::to_string(frames_));
    Mismatch(std::string("the recorded game ended here, but this one goes on to ") + CallName(kind));
  }
  if (next_.What != kind)
    Mismatch(std::string("the game asks to ") + CallName(kind) + ", the recording holds \"" + CallName(next_.What) +
             "\"");
  return next_;
}

bool ReplayBackend::EndsHere(std::string& whyNot) {
  if (over_) return true;
  RecordedCall last;
  if (cursor_.Next(last) && last.What == RecordedCall::Kind::End) {
    over_ = true;
    return true;
  }
  whyNot = "the game ended at frame " + std::to_string(frames_) + ", but the recording goes on to frame " +
           std::to_string(recording_.Frames);
  return false;
}

bool ReplayBackend::Open(int width, int height, bool fullScreen, std::string& whyNot) {
  if (over_) return inner_.Open(width, height, fullScreen, whyNot);
  const RecordedCall& call = Expect(RecordedCall::Kind::Open);
  if (call.A != width || call.B != height || call.C != (fullScreen ? 1 : 0)) Mismatch("the screen opened differs");
  if (!call.Value) {
    whyNot = "the recorded game could not open it";
    return false;
  }
  ForgetDrawing();
  return inner_.Open(width, height, fullScreen, whyNot);
}

void ReplayBackend::Close() {
  if (!over_) Expect(RecordedCall::Kind::Close);
  inner_.Close();
}

bool ReplayBackend::RefreshMatches(int hertz) {
  if (over_) return false;
  const RecordedCall& call = Expect(RecordedCall::Kind::Refresh);
  if (call.A != hertz) Mismatch("the refresh rate asked for differs");
  return call.Value != 0;
}

void ReplayBackend::WatchViewer() {
  inner_.PumpEvents(viewer_);
  if (viewer_.KeyPresses[KeyEscape] > 0)
    throw ReplayStop(ReplayStop::Reason::Viewer, "the replay was stopped at frame " + std::to_string(frames_) + " of " +
                                                     std::to_string(recording_.Frames));
}

void ReplayBackend::Apply(const RecordedCall& call, InputState& input) {
  if (!inputSeen_) input = InputState{};
  inputSeen_ = true;
  ApplyInput(call.Changes, input);
}

void ReplayBackend::PumpEvents(InputState& input) {
  WatchViewer();
  if (over_) return;
  Apply(Expect(RecordedCall::Kind::Pump), input);
}

void ReplayBackend::WarpPointer(int x, int y, InputState& input) {
  if (over_) return;
  const RecordedCall& call = Expect(RecordedCall::Kind::Warp);
  if (call.A != x || call.B != y) Mismatch("the pointer is warped elsewhere");
  Apply(call, input);
}

int64_t ReplayBackend::NowMs() {
  if (over_) return inner_.NowMs();
  const int64_t recorded = Expect(RecordedCall::Kind::Clock).Value;
  if (!paced_) {
    paced_ = true;
    recordedStart_ = recorded;
    innerStart_ = inner_.NowMs();
  } else if (!fast_) {
    // Not before its time; a replay that falls behind does not hurry to catch up.
    const int64_t early = (recorded - recordedStart_) - (inner_.NowMs() - innerStart_);
    if (early > 0) inner_.SleepMs(int(early));
  }
  return recorded;
}

void ReplayBackend::SleepMs(int ms) {
  // The clock readings carry the pace; sleeping here too would wait twice.
  if (!over_ && Expect(RecordedCall::Kind::Sleep).A != ms) Mismatch("the frame waits another time");
}

int ReplayBackend::BootClockMs() {
  if (over_) return inner_.BootClockMs();
  return int(Expect(RecordedCall::Kind::BootClock).Value);
}

void ReplayBackend::Swap(bool waitForVerticalBlank) {
  const uint32_t drawn = TakeFrameHash();
  if (!over_) {
    const RecordedCall& call = Expect(RecordedCall::Kind::Frame);
    if (call.Hash != drawn) Mismatch("the frame draws differently");
    if (call.A != (waitForVerticalBlank ? 1 : 0)) Mismatch("the frame is paced differently");
    ++frames_;
  }
  inner_.Swap(waitForVerticalBlank && !fast_);
}
