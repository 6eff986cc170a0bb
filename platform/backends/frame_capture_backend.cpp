/** @file frame_capture_backend.cpp FrameCaptureBackend: every n-th frame read back and written as a PNG file. */
#include "platform/backends/frame_capture_backend.h"

#include <cstdio>
#include <utility>

#include "platform/png_encode.h"

FrameCaptureBackend::FrameCaptureBackend(Backend& inner, FrameReader reader, std::string folder, int every)
    : inner_(inner), reader_(reader), folder_(std::move(folder)), every_(every > 0 ? every : 1) {}

void FrameCaptureBackend::Swap(bool waitForVerticalBlank) {
  if (failure_.empty() && frame_ % every_ == 0) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06lld.png", static_cast<long long>(frame_));
    int width = 0, height = 0;
    if (!reader_ || !reader_(rgb_, width, height)) {
      failure_ = "cannot read frame " + std::to_string(frame_) + " back from the screen";
    } else if (WritePngRgb(folder_ + name, width, height, rgb_.data(), true, failure_)) {
      ++written_;
    }
  }
  ++frame_;
  inner_.Swap(waitForVerticalBlank);
}
