/** @file frame_capture_backend.h FrameCaptureBackend: keeps chosen frames as PNG files on their way to the screen. */
// Stands between the services (or a replay) and the backend that shows the
// frames, and writes every n-th frame to a folder as a PNG file just before it
// is shown: a replay's frames to share, and the pictures the drawing tests
// compare. Everything else passes through untouched.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/backend.h"

// Reads the frame about to be shown: RGB, bottom row first; false when it cannot.
using FrameReader = bool (*)(std::vector<uint8_t>& rgb, int& width, int& height);

class FrameCaptureBackend final : public Backend {
 public:
  // Frames are counted from 0 at every swap; frame k is written as folder/frame-kkkkkk.png when k % every is 0.
  FrameCaptureBackend(Backend& inner, FrameReader reader, std::string folder, int every);

  bool Open(int width, int height, bool fullScreen, std::string& whyNot) override {
    return inner_.Open(width, height, fullScreen, whyNot);
  }
  void Close() override { inner_.Close(); }
  bool RefreshMatches(int hertz) override { return inner_.RefreshMatches(hertz); }
  void PumpEvents(InputState& input) override { inner_.PumpEvents(input); }
  int64_t NowMs() override { return inner_.NowMs(); }
  void SleepMs(int ms) override { inner_.SleepMs(ms); }
  int BootClockMs() override { return inner_.BootClockMs(); }
  void Swap(bool waitForVerticalBlank) override;
  void Clear(uint8_t r, uint8_t g, uint8_t b) override { inner_.Clear(r, g, b); }
  void Draw(const DrawCall& call) override { inner_.Draw(call); }
  void WarpPointer(int x, int y, InputState& input) override { inner_.WarpPointer(x, y, input); }
  void HidePointer() override { inner_.HidePointer(); }
  uint32_t Generation() const override { return inner_.Generation(); }

  int FramesWritten() const { return written_; }
  // Empty while every chosen frame was written; else why the first that failed was not (none are written after it).
  const std::string& Failure() const { return failure_; }

 private:
  Backend& inner_;
  FrameReader reader_;
  std::string folder_;
  int every_;
  int64_t frame_ = 0;
  int written_ = 0;
  std::string failure_;
  std::vector<uint8_t> rgb_;
};
