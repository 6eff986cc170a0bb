/** @file record_backend.h RecordBackend: wraps a backend and writes down every answer it gives. */
// The recording backend: wraps another backend, passes every call on, and
// writes down every answer the services get from it (clock readings, input,
// the refresh measurement) together with a hash of each frame's drawing, so
// that a replay can give the game the same answers. The game does not know it runs.
#pragma once

#include <string>
#include <vector>

#include "platform/recording/passthrough_backend.h"
#include "platform/recording/recording_format.h"

class RecordBackend final : public PassThroughBackend {
 public:
  explicit RecordBackend(Backend& inner) : PassThroughBackend(inner) {}

  // The whole recording so far, ended as `how`.
  std::string Finish(RecordingEnd how) const { return writer_.Finish(how); }
  // Writes the recording to a file; false with the reason when it cannot.
  bool Save(const std::string& path, RecordingEnd how, std::string& whyNot) const;
  // Frames recorded so far.
  int Frames() const { return writer_.Frames(); }

  bool Open(int width, int height, bool fullScreen, std::string& whyNot) override;
  void Close() override;
  bool RefreshMatches(int hertz) override;
  void PumpEvents(InputState& input) override;
  int64_t NowMs() override;
  void SleepMs(int ms) override;
  int BootClockMs() override;
  void Swap(bool waitForVerticalBlank) override;
  void WarpPointer(int x, int y, InputState& input) override;

 private:
  // Notes the input before a call that may change it.
  void Before(const InputState& input);
  // Records a call that changed the input from `before_` to `input`.
  void AddInputCall(RecordedCall::Kind kind, int x, int y, const InputState& input);

  RecordingWriter writer_;
  InputState before_;
  bool inputSeen_ = false;  // the first input call records the whole input, not what it changed
  RecordedCall call_;
};
