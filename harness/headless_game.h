/** @file headless_game.h HeadlessGame: a whole seeded game on the headless backend, and WorldDigest. */
// A whole game on the headless backend: the real start-up and frame loop for a
// given seed, with input fed in by frame number. Tests, benchmarks and the
// developer's headless runner build on it (library chromelly_runner, which the
// real game does not link); the world stays in the globals for inspection
// between and after frames.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/backends/headless.h"

struct ScriptedInput {
  int Frame;  // fed in just before this frame (0 is the first game frame)
  HeadlessBackend::Event Event;
};

// A 64-bit hash (FNV-1a) of the world's state: stage, zoom, scores, the random
// generator, the trend, every person (place, direction, colours, mood, hat,
// links) and every box (place, mix, contents, state). Equal worlds give equal
// digests; two seeds or inputs that lead apart give different ones.
uint64_t WorldDigest();

class HeadlessGame {
 public:
  // Starts a game on the backend: the intro is left with Return and the clock seed is `seed`.
  // The services use `wrapper` (a recorder around the headless backend) when given.
  HeadlessGame(HeadlessBackend& backend, int32_t seed, ::Backend* wrapper = nullptr);
  ~HeadlessGame();
  HeadlessGame(const HeadlessGame&) = delete;
  HeadlessGame& operator=(const HeadlessGame&) = delete;

  // Runs up to `frames` frames, feeding the script's input on its frames; stops
  // early when Esc ends the game. Returns the number of frames run.
  int Run(int frames, const std::vector<ScriptedInput>& script = {});
  // Frames run so far.
  int FramesRun() const { return frames_; }
  bool Ended() const { return ended_; }
  HeadlessBackend& Backend() { return backend_; }

 private:
  HeadlessBackend& backend_;
  int frames_ = 0;
  bool ended_ = false;
};
