/** @file headless.cpp HeadlessBackend: a screen with no X server, input fed in, and the last frame's drawing kept. */
#include "platform/backends/headless.h"

#include "platform/numeric.h"

bool HeadlessBackend::Open(int width, int height, bool fullScreen, std::string&) {
  open_ = true;
  fullScreen_ = fullScreen;
  width_ = width;
  height_ = height;
  pointerHidden_ = false;
  ++generation_;
  drawn_.clear();
  lastFrame_.clear();
  return true;
}

void HeadlessBackend::Close() {
  open_ = false;
  pending_.clear();
}

void HeadlessBackend::PumpEvents(InputState& input) {
  while (!pending_.empty()) {
    Event e = pending_.front();
    pending_.pop_front();
    switch (e.What) {
      case Event::Kind::KeyDown: input.PressKey(e.A); break;
      case Event::Kind::KeyUp: input.ReleaseKey(e.A); break;
      case Event::Kind::ButtonDown: input.PressButton(e.A); break;
      case Event::Kind::ButtonUp: input.ReleaseButton(e.A); break;
      case Event::Kind::Motion: input.MovePointer(e.A, e.B); break;
      case Event::Kind::Suspend: input.ClearKeysAndButtons(); break;
    }
  }
}

int HeadlessBackend::BootClockMs() { return WrapInt(int64_t(bootClock_) + now_); }

void HeadlessBackend::Swap(bool) {
  lastFrame_.swap(drawn_);
  drawn_.clear();
  ++framesShown_;
}

void HeadlessBackend::Clear(uint8_t r, uint8_t g, uint8_t b) {
  clear_[0] = r;
  clear_[1] = g;
  clear_[2] = b;
  drawn_.clear();
}

void HeadlessBackend::Draw(const DrawCall& call) {
  if (recording_) drawn_.push_back(call);
}

void HeadlessBackend::WarpPointer(int x, int y, InputState& input) { input.MovePointer(x, y); }
