/** @file recording_format.h Recording: every answer a backend gave the services in one game, and its file format. */
// A recording: every answer a backend gave the services during one game, in
// the order the services asked, so that a replay can give the same answers
// and the game, which decides everything else itself, plays out the same.
//
// File: a 28-byte header, then the body compressed with zlib.
//   "CHROMREC"  8 bytes
//   version     u32   RecordingVersion
//   frames      u32   frames shown (buffer swaps) in the body
//   body size   u32   bytes of the body before compression
//   packed size u32   bytes of the compressed body that follow the header
//   body CRC    u32   zlib's crc32 of the body before compression
// (every number little-endian). The body is a list of calls, each one tag byte
// and its fields as varints; see RecordedCall::Kind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/backend.h"

constexpr uint32_t RecordingVersion = 1;

// One input field that a backend call changed, with its new value.
struct InputChange {
  enum class Kind : uint8_t { Key = 1, Button = 2, Pointer = 3 };
  Kind What = Kind::Key;
  int Index = 0;    // key code or button; pointer x
  int Presses = 0;  // pointer y for a pointer change
  bool Down = false;
};

// The input fields `after` holds differently from `before`.
void DiffInput(const InputState& before, const InputState& after, std::vector<InputChange>& changes);
// Sets the changed fields to their recorded values.
void ApplyInput(const std::vector<InputChange>& changes, InputState& input);

// How the recorded game ended: by itself (Esc, the End button), or cut short
// by whoever ran it (a headless game of so many frames).
enum class RecordingEnd : uint8_t { Exited = 0, Cut = 1 };

// One backend call and what it answered.
struct RecordedCall {
  enum class Kind : uint8_t {
    Open = 1,  // A width, B height, C full screen; Value 1 when it opened
    Close = 2,
    Refresh = 3,    // A hertz; Value 1 when the display refreshes at that rate
    Pump = 4,       // Changes: what the window system's events did to the input
    Clock = 5,      // Value: the monotonic milliseconds (stored as the change from the last reading)
    BootClock = 6,  // Value: milliseconds since boot
    Warp = 7,       // A x, B y; Changes: what the warp did to the input
    Sleep = 8,      // A milliseconds
    Frame = 9,      // A 1 when the swap waited for vertical blank; Hash: the frame's drawing
    End = 10,       // A: how the game ended (RecordingEnd)
  };
  Kind What = Kind::End;
  int A = 0, B = 0, C = 0;
  int64_t Value = 0;
  uint32_t Hash = 0;
  std::vector<InputChange> Changes;
};

// Name of a kind of call, for messages.
const char* CallName(RecordedCall::Kind kind);

// Hash of what one frame drew: the clear colour and every drawing call with its
// state (pictures by their size, since their addresses change from run to run).
class DrawHash {
 public:
  void Clear(uint8_t r, uint8_t g, uint8_t b);
  void Draw(const DrawCall& call);
  uint32_t Value() const { return uint32_t(h_ ^ (h_ >> 32)); }
  void Reset() { h_ = kStart; }

 private:
  void Mix(uint64_t v);
  static constexpr uint64_t kStart = 14695981039346656037ull;
  uint64_t h_ = kStart;
};

// Builds a recording call by call.
class RecordingWriter {
 public:
  void Add(const RecordedCall& call);
  int Frames() const { return frames_; }
  // The whole file: the header and the compressed body, closed by the end.
  std::string Finish(RecordingEnd how) const;

 private:
  std::string body_;
  int64_t lastClock_ = 0;
  int frames_ = 0;
};

// A recording read and checked from end to end.
struct Recording {
  std::string Body;  // uncompressed
  int Frames = 0;
  RecordingEnd How = RecordingEnd::Exited;
};

// Reads and checks a whole recording: header, version, sizes, checksum, every
// call, and the frame count. False with one line saying what is wrong.
bool ParseRecording(const std::string& file, Recording& recording, std::string& whyNot);
bool LoadRecording(const std::string& path, Recording& recording, std::string& whyNot);

// Reads the calls of a checked recording one by one.
class RecordingCursor {
 public:
  explicit RecordingCursor(const std::string& body) : body_(body) {}
  // The next call; false at the end of the body or where it cannot be read.
  bool Next(RecordedCall& call);
  bool AtEnd() const { return at_ >= body_.size(); }

 private:
  bool Byte(uint8_t& v);
  bool Varint(uint64_t& v);
  bool Signed(int64_t& v);
  bool Changes(std::vector<InputChange>& changes);
  const std::string& body_;
  size_t at_ = 0;
  int64_t lastClock_ = 0;
};
