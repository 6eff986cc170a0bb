/** @file passthrough_backend.h PassThroughBackend: what the recording and replay backends share. */
// The part the recording and replay backends share: each stands between the
// services and another backend, hands the drawing on to it and hashes each
// frame's drawing on the way, so that a replay can check it frame by frame.
#pragma once

#include "platform/recording/recording_format.h"

class PassThroughBackend : public Backend {
 public:
  explicit PassThroughBackend(Backend& inner) : inner_(inner) {}

  void Clear(uint8_t r, uint8_t g, uint8_t b) final {
    hash_.Clear(r, g, b);
    inner_.Clear(r, g, b);
  }
  void Draw(const DrawCall& call) final {
    hash_.Draw(call);
    inner_.Draw(call);
  }
  void HidePointer() final { inner_.HidePointer(); }
  uint32_t Generation() const final { return inner_.Generation(); }

 protected:
  // The hash of the frame drawn since the screen opened or the last frame was
  // shown; the next frame's starts afresh.
  uint32_t TakeFrameHash() {
    const uint32_t value = hash_.Value();
    hash_.Reset();
    return value;
  }
  // A screen opened: whatever was drawn before is no frame of it.
  void ForgetDrawing() { hash_.Reset(); }

  Backend& inner_;

 private:
  DrawHash hash_;
};
