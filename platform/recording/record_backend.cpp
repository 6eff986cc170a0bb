/** @file record_backend.cpp RecordBackend: every call passed on, every answer written down, and the recording saved. */
#include "platform/recording/record_backend.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

RecordedCall Made(RecordedCall::Kind what, int a = 0, int b = 0, int c = 0, int64_t value = 0) {
  RecordedCall call;
  call.What = what;
  call.A = a;
  call.B = b;
  call.C = c;
  call.Value = value;
  return call;
}

}  // namespace

bool RecordBackend::Save(const std::string& path, RecordingEnd how, std::string& whyNot) const {
  const std::string file = Finish(how);
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) {
    whyNot = "cannot write the recording " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  if (std::fclose(out) != 0 || !written) {
    whyNot = "cannot write the recording " + path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

bool RecordBackend::Open(int width, int height, bool fullScreen, std::string& whyNot) {
  const bool opened = inner_.Open(width, height, fullScreen, whyNot);
  call_ = Made(RecordedCall::Kind::Open, width, height, fullScreen ? 1 : 0, opened ? 1 : 0);
  writer_.Add(call_);
  ForgetDrawing();
  return opened;
}

void RecordBackend::Close() {
  inner_.Close();
  writer_.Add(Made(RecordedCall::Kind::Close));
}

bool RecordBackend::RefreshMatches(int hertz) {
  const bool matches = inner_.RefreshMatches(hertz);
  writer_.Add(Made(RecordedCall::Kind::Refresh, hertz, 0, 0, matches ? 1 : 0));
  return matches;
}

void RecordBackend::Before(const InputState& input) {
  // A replay starts from fresh input, whatever the services held before this game.
  before_ = inputSeen_ ? input : InputState{};
  inputSeen_ = true;
}

void RecordBackend::AddInputCall(RecordedCall::Kind kind, int x, int y, const InputState& input) {
  call_.What = kind;
  call_.A = x;
  call_.B = y;
  DiffInput(before_, input, call_.Changes);
  writer_.Add(call_);
}

void RecordBackend::PumpEvents(InputState& input) {
  Before(input);
  inner_.PumpEvents(input);
  AddInputCall(RecordedCall::Kind::Pump, 0, 0, input);
}

void RecordBackend::WarpPointer(int x, int y, InputState& input) {
  Before(input);
  inner_.WarpPointer(x, y, input);
  AddInputCall(RecordedCall::Kind::Warp, x, y, input);
}

int64_t RecordBackend::NowMs() {
  const int64_t now = inner_.NowMs();
  writer_.Add(Made(RecordedCall::Kind::Clock, 0, 0, 0, now));
  return now;
}

void RecordBackend::SleepMs(int ms) {
  inner_.SleepMs(ms);
  writer_.Add(Made(RecordedCall::Kind::Sleep, ms));
}

int RecordBackend::BootClockMs() {
  const int boot = inner_.BootClockMs();
  writer_.Add(Made(RecordedCall::Kind::BootClock, 0, 0, 0, boot));
  return boot;
}

void RecordBackend::Swap(bool waitForVerticalBlank) {
  inner_.Swap(waitForVerticalBlank);
  RecordedCall frame = Made(RecordedCall::Kind::Frame, waitForVerticalBlank ? 1 : 0);
  frame.Hash = TakeFrameHash();
  writer_.Add(frame);
}
