/** @file replay_backend.h ReplayBackend: gives the services a recording's answers and passes the drawing on. */
// The replay backend: gives the services the answers of a recording instead
// of the window system's and the clock's, and passes the drawing on to another
// backend (X11 to watch the game, headless to check it). Each call the game
// makes must be the one the recording holds next; the frame's drawing must hash
// as recorded. Unless fast, a clock reading is given no earlier than it was
// recorded, measured on the inner backend's clock, so the game runs at its own pace.
#pragma once

#include <stdexcept>
#include <string>

#include "platform/recording/passthrough_backend.h"
#include "platform/recording/recording_format.h"

// Thrown from the backend call at which a replay cannot or need not go on.
class ReplayStop : public std::runtime_error {
 public:
  enum class Reason {
    Finished,  // the recording was cut here and the game has been replayed up to it
    Mismatch,  // the game asked for something else than the recording holds
    Viewer,    // the person watching pressed Esc or closed the window
  };
  ReplayStop(Reason why, const std::string& message) : std::runtime_error(message), Why(why) {}
  Reason Why;
};

class ReplayBackend final : public PassThroughBackend {
 public:
  // The recording must have been checked (LoadRecording) and outlive the backend.
  ReplayBackend(Backend& inner, const Recording& recording, bool fast);

  // Frames shown so far, and in the whole recording.
  int FramesShown() const { return frames_; }
  int Frames() const { return recording_.Frames; }
  // The game is ending by itself: true when the recording ends here too, else
  // false with one line saying where the game and the recording part.
  bool EndsHere(std::string& whyNot);

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
  // The next recorded call, which must be of this kind; throws when it is not.
  const RecordedCall& Expect(RecordedCall::Kind kind);
  [[noreturn]] void Mismatch(const std::string& what);
  // Gives the input the recorded changes; the first input call starts from fresh input.
  void Apply(const RecordedCall& call, InputState& input);
  // Lets the inner backend take its window-system events; the viewer's Esc stops the replay.
  void WatchViewer();

  const Recording& recording_;
  RecordingCursor cursor_;
  RecordedCall next_;
  bool fast_;
  bool over_ = false;  // the recording is used up; calls pass through to the inner backend
  int frames_ = 0;
  InputState viewer_;
  bool inputSeen_ = false;  // the first input call sets the whole input
  bool paced_ = false;      // the first clock reading sets the pace
  int64_t recordedStart_ = 0;
  int64_t innerStart_ = 0;
};
