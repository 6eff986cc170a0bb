/** @file headless.h HeadlessBackend: the services with no X server, a virtual clock, fed input and recorded drawing. */
// The headless backend: the same services with no X server. A virtual clock
// that only sleeping (the frame pacing) and tests advance, input that a test
// or a bot feeds in, and a record of the drawing calls of the last frame.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/backend.h"

class HeadlessBackend final : public Backend {
 public:
  struct Event {
    enum class Kind { KeyDown, KeyUp, ButtonDown, ButtonUp, Motion, Suspend };
    Kind What;
    int A = 0;  // key code, button, or pointer x
    int B = 0;  // pointer y
  };

  // Input for the next time the game processes events.
  void PressKey(int key) { pending_.push_back({Event::Kind::KeyDown, key, 0}); }
  void ReleaseKey(int key) { pending_.push_back({Event::Kind::KeyUp, key, 0}); }
  void PressButton(int button) { pending_.push_back({Event::Kind::ButtonDown, button, 0}); }
  void ReleaseButton(int button) { pending_.push_back({Event::Kind::ButtonUp, button, 0}); }
  void MovePointer(int x, int y) { pending_.push_back({Event::Kind::Motion, x, y}); }
  // The application loses focus: held keys and buttons are forgotten.
  void Suspend() { pending_.push_back({Event::Kind::Suspend, 0, 0}); }
  // Any of the above, as an event (scripts and the bot hand their input over this way).
  void Feed(const Event& e) { pending_.push_back(e); }

  // Moves the virtual clock on, as time spent by the game's own work would.
  void AdvanceMs(int64_t ms) { now_ += ms; }
  // What ClockMs reports at virtual time 0 (the seed a headless game gets).
  void SetBootClock(int32_t ms) { bootClock_ = ms; }
  // Recording costs a copy per call; benchmarks switch it off.
  void SetRecording(bool on) { recording_ = on; }

  // Drawing calls since the last swap, and those of the frame shown last.
  const std::vector<DrawCall>& Drawn() const { return drawn_; }
  const std::vector<DrawCall>& LastFrame() const { return lastFrame_; }
  int FramesShown() const { return framesShown_; }
  bool IsOpen() const { return open_; }
  bool IsFullScreen() const { return fullScreen_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool PointerHidden() const { return pointerHidden_; }
  // Clear colour of the last clear.
  uint8_t ClearedR() const { return clear_[0]; }
  uint8_t ClearedG() const { return clear_[1]; }
  uint8_t ClearedB() const { return clear_[2]; }

  bool Open(int width, int height, bool fullScreen, std::string& whyNot) override;
  void Close() override;
  bool RefreshMatches(int) override { return false; }
  void PumpEvents(InputState& input) override;
  int64_t NowMs() override { return now_; }
  void SleepMs(int ms) override { now_ += ms > 0 ? ms : 0; }
  int BootClockMs() override;
  void Swap(bool waitForVerticalBlank) override;
  void Clear(uint8_t r, uint8_t g, uint8_t b) override;
  void Draw(const DrawCall& call) override;
  void WarpPointer(int x, int y, InputState& input) override;
  void HidePointer() override { pointerHidden_ = true; }
  uint32_t Generation() const override { return generation_; }

 private:
  std::deque<Event> pending_;
  std::vector<DrawCall> drawn_;
  std::vector<DrawCall> lastFrame_;
  int64_t now_ = 0;
  int32_t bootClock_ = 0;
  bool recording_ = true;
  bool open_ = false;
  bool fullScreen_ = false;
  bool pointerHidden_ = false;
  int width_ = 0;
  int height_ = 0;
  int framesShown_ = 0;
  uint32_t generation_ = 0;
  uint8_t clear_[3] = {0, 0, 0};
};
