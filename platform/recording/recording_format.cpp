/** @file recording_format.cpp The recording file: RecordingWriter, RecordingCursor, DrawHash and the input changes. */
#include "platform/recording/recording_format.h"

#include <zlib.h>

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr char kMagic[8] = {'C', 'H', 'R', 'O', 'M', 'R', 'E', 'C'};
constexpr size_t kHeaderSize = 28;
// Far beyond any game (an hour of play is a few megabytes); a header asking for
// more is damaged, and is refused before anything is allocated.
constexpr uint32_t kLargestBody = 256u << 20;

void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xff));
}

uint32_t GetU32(const std::string& in, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= uint32_t(uint8_t(in[at + size_t(i)])) << (8 * i);
  return v;
}

void PutVarint(std::string& out, uint64_t v) {
  while (v >= 0x80) {
    out.push_back(char((v & 0x7f) | 0x80));
    v >>= 7;
  }
  out.push_back(char(v));
}

// Zigzag: small negative and positive numbers both take one byte.
void PutSigned(std::string& out, int64_t v) { PutVarint(out, (uint64_t(v) << 1) ^ uint64_t(v >> 63)); }

void PutChanges(std::string& out, const std::vector<InputChange>& changes) {
  for (const InputChange& c : changes) {
    out.push_back(char(c.What));
    if (c.What == InputChange::Kind::Pointer) {
      PutSigned(out, c.Index);
      PutSigned(out, c.Presses);
    } else {
      PutVarint(out, uint64_t(c.Index));
      PutVarint(out, (uint64_t(uint32_t(c.Presses)) << 1) | (c.Down ? 1u : 0u));
    }
  }
  out.push_back(0);
}

uint32_t Crc(const std::string& s) {
  return uint32_t(crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(s.data()), uInt(s.size())));
}

}  // namespace

void DiffInput(const InputState& before, const InputState& after, std::vector<InputChange>& changes) {
  changes.clear();
  for (int k = 0; k < InputState::KeyCount; ++k)
    if (before.KeyDown[k] != after.KeyDown[k] || before.KeyPresses[k] != after.KeyPresses[k])
      changes.push_back({InputChange::Kind::Key, k, after.KeyPresses[k], after.KeyDown[k]});
  for (int b = 0; b < InputState::ButtonCount; ++b)
    if (before.ButtonDown[b] != after.ButtonDown[b] || before.ButtonPresses[b] != after.ButtonPresses[b])
      changes.push_back({InputChange::Kind::Button, b, after.ButtonPresses[b], after.ButtonDown[b]});
  if (before.PointerX != after.PointerX || before.PointerY != after.PointerY)
    changes.push_back({InputChange::Kind::Pointer, after.PointerX, after.PointerY, false});
}

void ApplyInput(const std::vector<InputChange>& changes, InputState& input) {
  for (const InputChange& c : changes) {
    switch (c.What) {
      case InputChange::Kind::Key:
        input.KeyDown[c.Index] = c.Down;
        input.KeyPresses[c.Index] = c.Presses;
        break;
      case InputChange::Kind::Button:
        input.ButtonDown[c.Index] = c.Down;
        input.ButtonPresses[c.Index] = c.Presses;
        break;
      case InputChange::Kind::Pointer: input.MovePointer(c.Index, c.Presses); break;
    }
  }
}

const char* CallName(RecordedCall::Kind kind) {
  switch (kind) {
    case RecordedCall::Kind::Open: return "open the screen";
    case RecordedCall::Kind::Close: return "close the screen";
    case RecordedCall::Kind::Refresh: return "measure the refresh rate";
    case RecordedCall::Kind::Pump: return "read input";
    case RecordedCall::Kind::Clock: return "read the clock";
    case RecordedCall::Kind::BootClock: return "read the boot clock";
    case RecordedCall::Kind::Warp: return "warp the pointer";
    case RecordedCall::Kind::Sleep: return "sleep";
    case RecordedCall::Kind::Frame: return "show a frame";
    case RecordedCall::Kind::End: return "end";
  }
  return "?";
}

void DrawHash::Mix(uint64_t v) {
  h_ ^= v;
  h_ *= 1099511628211ull;
  h_ ^= h_ >> 29;
}

void DrawHash::Clear(uint8_t r, uint8_t g, uint8_t b) { Mix(0x100000000ull | (uint64_t(r) << 16) | (g << 8) | b); }

void DrawHash::Draw(const DrawCall& call) {
  Mix(uint64_t(call.What) | (uint64_t(call.R) << 8) | (uint64_t(call.G) << 16) | (uint64_t(call.B) << 24) |
      (uint64_t(call.Alpha) << 32) | (uint64_t(uint32_t(call.Blend)) << 40));
  Mix((uint64_t(std::bit_cast<uint32_t>(call.X)) << 32) | std::bit_cast<uint32_t>(call.Y));
  Mix((uint64_t(std::bit_cast<uint32_t>(call.W)) << 32) | std::bit_cast<uint32_t>(call.H));
  Mix((uint64_t(std::bit_cast<uint32_t>(call.ScaleX)) << 32) | std::bit_cast<uint32_t>(call.ScaleY));
  Mix((uint64_t(std::bit_cast<uint32_t>(call.Rotation)) << 32) | uint32_t(call.Frame));
  if (call.Picture) Mix((uint64_t(uint32_t(call.Picture->Width)) << 32) | uint32_t(call.Picture->Height));
  for (unsigned char c : call.Text) Mix(c);
}

void RecordingWriter::Add(const RecordedCall& call) {
  body_.push_back(char(call.What));
  switch (call.What) {
    case RecordedCall::Kind::Open:
      PutVarint(body_, uint32_t(call.A));
      PutVarint(body_, uint32_t(call.B));
      body_.push_back(char((call.C ? 1 : 0) | (call.Value ? 2 : 0)));
      break;
    case RecordedCall::Kind::Close: break;
    case RecordedCall::Kind::Refresh:
      PutVarint(body_, uint32_t(call.A));
      body_.push_back(char(call.Value ? 1 : 0));
      break;
    case RecordedCall::Kind::Pump: PutChanges(body_, call.Changes); break;
    case RecordedCall::Kind::Clock:
      PutSigned(body_, call.Value - lastClock_);
      lastClock_ = call.Value;
      break;
    case RecordedCall::Kind::BootClock: PutSigned(body_, call.Value); break;
    case RecordedCall::Kind::Warp:
      PutSigned(body_, call.A);
      PutSigned(body_, call.B);
      PutChanges(body_, call.Changes);
      break;
    case RecordedCall::Kind::Sleep: PutSigned(body_, call.A); break;
    case RecordedCall::Kind::Frame:
      body_.push_back(char(call.A ? 1 : 0));
      PutU32(body_, call.Hash);
      ++frames_;
      break;
    case RecordedCall::Kind::End: body_.push_back(char(call.A)); break;
  }
}

std::string RecordingWriter::Finish(RecordingEnd how) const {
  std::string body = body_;
  RecordedCall end;
  end.What = RecordedCall::Kind::End;
  end.A = int(how);
  body.push_back(char(end.What));
  body.push_back(char(end.A));
  uLongf packedSize = compressBound(uLong(body.size()));
  std::string packed(packedSize, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(body.data()),
            uLong(body.size()), Z_BEST_COMPRESSION);
  packed.resize(packedSize);
  std::string file(kMagic, sizeof kMagic);
  PutU32(file, RecordingVersion);
  PutU32(file, uint32_t(frames_));
  PutU32(file, uint32_t(body.size()));
  PutU32(file, uint32_t(packed.size()));
  PutU32(file, Crc(body));
  return file + packed;
}

bool RecordingCursor::Varint(uint64_t& v) {
  v = 0;
  for (int shift = 0; shift < 64; shift += 7) {
    if (at_ >= body_.size()) return false;
    const uint8_t byte = uint8_t(body_[at_++]);
    v |= uint64_t(byte & 0x7f) << shift;
    if (!(byte & 0x80)) return true;
  }
  return false;
}

bool RecordingCursor::Signed(int64_t& v) {
  uint64_t u = 0;
  if (!Varint(u)) return false;
  v = int64_t(u >> 1) ^ -int64_t(u & 1);
  return true;
}

bool RecordingCursor::Changes(std::vector<InputChange>& changes) {
  changes.clear();
  for (;;) {
    if (at_ >= body_.size()) return false;
    const auto kind = InputChange::Kind(uint8_t(body_[at_++]));
    if (uint8_t(kind) == 0) return true;
    InputChange c;
    c.What = kind;
    if (kind == InputChange::Kind::Pointer) {
      int64_t x = 0, y = 0;
      if (!Signed(x) || !Signed(y) || x != int32_t(x) || y != int32_t(y)) return false;
      c.Index = int(x);
      c.Presses = int(y);
    } else if (kind == InputChange::Kind::Key || kind == InputChange::Kind::Button) {
      uint64_t index = 0, state = 0;
      if (!Varint(index) || !Varint(state)) return false;
      const uint64_t count = kind == InputChange::Kind::Key ? InputState::KeyCount : InputState::ButtonCount;
      if (index >= count || (state >> 1) > uint64_t(INT32_MAX)) return false;
      c.Index = int(index);
      c.Down = state & 1;
      c.Presses = int(state >> 1);
    } else {
      return false;
    }
    changes.push_back(c);
  }
}

bool RecordingCursor::Byte(uint8_t& v) {
  if (at_ >= body_.size()) return false;
  v = uint8_t(body_[at_++]);
  return true;
}

// Each kind's fields; a field out of its range means the file is damaged.
bool RecordingCursor::Next(RecordedCall& call) {
  uint8_t tag = 0, flags = 0;
  if (!Byte(tag)) return false;
  call = RecordedCall{};
  call.What = RecordedCall::Kind(tag);
  uint64_t u = 0, v = 0;
  int64_t s = 0, t = 0;
  switch (call.What) {
    case RecordedCall::Kind::Open:
      if (!Varint(u) || !Varint(v) || !Byte(flags) || u > 65535 || v > 65535 || flags > 3) return false;
      call.A = int(u);
      call.B = int(v);
      call.C = flags & 1;
      call.Value = (flags >> 1) & 1;
      return true;
    case RecordedCall::Kind::Close: return true;
    case RecordedCall::Kind::Refresh:
      if (!Varint(u) || !Byte(flags) || u > 65535 || flags > 1) return false;
      call.A = int(u);
      call.Value = flags;
      return true;
    case RecordedCall::Kind::Pump: return Changes(call.Changes);
    case RecordedCall::Kind::Clock:
      if (!Signed(s) || s < -(int64_t(1) << 40) || s > (int64_t(1) << 40)) return false;
      lastClock_ += s;
      call.Value = lastClock_;
      return true;
    case RecordedCall::Kind::BootClock:
      if (!Signed(s) || s != int32_t(s)) return false;
      call.Value = s;
      return true;
    case RecordedCall::Kind::Warp:
      if (!Signed(s) || !Signed(t) || s != int32_t(s) || t != int32_t(t)) return false;
      call.A = int(s);
      call.B = int(t);
      return Changes(call.Changes);
    case RecordedCall::Kind::Sleep:
      if (!Signed(s) || s != int32_t(s)) return false;
      call.A = int(s);
      return true;
    case RecordedCall::Kind::Frame: {
      uint8_t b[4] = {};
      if (!Byte(flags) || flags > 1 || !Byte(b[0]) || !Byte(b[1]) || !Byte(b[2]) || !Byte(b[3])) return false;
      call.A = flags;
      call.Hash = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
      return true;
    }
    case RecordedCall::Kind::End:
      if (!Byte(flags) || flags > uint8_t(RecordingEnd::Cut)) return false;
      call.A = flags;
      return true;
  }
  return false;
}

bool ParseRecording(const std::string& file, Recording& recording, std::string& whyNot) {
  if (file.size() < sizeof kMagic || std::memcmp(file.data(), kMagic, sizeof kMagic) != 0) {
    whyNot = "not a Chromelly recording";
    return false;
  }
  if (file.size() < kHeaderSize) {
    whyNot = "the recording is truncated (its header is incomplete)";
    return false;
  }
  const uint32_t version = GetU32(file, 8);
  if (version != RecordingVersion) {
    whyNot = "the recording is of version " + std::to_string(version) + "; this game reads version " +
             std::to_string(RecordingVersion);
    return false;
  }
  const uint32_t frames = GetU32(file, 12), bodySize = GetU32(file, 16), packedSize = GetU32(file, 20);
  if (file.size() - kHeaderSize < packedSize) {
    whyNot = "the recording is truncated (" + std::to_string(file.size()) + " of " +
             std::to_string(kHeaderSize + packedSize) + " bytes)";
    return false;
  }
  if (file.size() - kHeaderSize > packedSize) {
    whyNot = "the recording has " + std::to_string(file.size() - kHeaderSize - packedSize) + " stray bytes at its end";
    return false;
  }
  if (bodySize > kLargestBody || frames > bodySize) {
    whyNot = "the recording's header is damaged";
    return false;
  }
  std::string body(bodySize, '\0');
  uLongf unpacked = bodySize;
  if (uncompress(reinterpret_cast<Bytef*>(body.data()), &unpacked,
                 reinterpret_cast<const Bytef*>(file.data() + kHeaderSize), packedSize) != Z_OK ||
      unpacked != bodySize || Crc(body) != GetU32(file, 24)) {
    whyNot = "the recording is damaged (its contents do not match their checksum)";
    return false;
  }
  // Every call must read, the last one must be the end, and the frames must add up.
  RecordingCursor cursor(body);
  RecordedCall call;
  int counted = 0;
  bool ended = false;
  while (!cursor.AtEnd()) {
    if (ended || !cursor.Next(call)) {
      whyNot = "the recording is damaged after frame " + std::to_string(counted);
      return false;
    }
    if (call.What == RecordedCall::Kind::Frame) ++counted;
    if (call.What == RecordedCall::Kind::End) {
      ended = true;
      recording.How = RecordingEnd(call.A);
    }
  }
  if (!ended) {
    whyNot = "the recording has no end";
    return false;
  }
  if (uint32_t(counted) != frames) {
    whyNot = "the recording holds " + std::to_string(counted) + " frames but its header says " + std::to_string(frames);
    return false;
  }
  recording.Body = std::move(body);
  recording.Frames = counted;
  return true;
}

bool LoadRecording(const std::string& path, Recording& recording, std::string& whyNot) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) {
    whyNot = "cannot read the recording " + path + ": " + std::strerror(errno);
    return false;
  }
  std::string file;
  char chunk[1 << 16];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0 && file.size() <= kLargestBody) file.append(chunk, got);
  const bool failed = std::ferror(in);
  std::fclose(in);
  if (failed) {
    whyNot = "cannot read the recording " + path;
    return false;
  }
  if (!ParseRecording(file, recording, whyNot)) {
    whyNot = path + ": " + whyNot;
    return false;
  }
  return true;
}
