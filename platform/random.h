/** @file random.h The game's one random generator: SeedRandom, RandomInt and RandomReal, drawn in the rules' order. */
// Every draw comes from one Park-Miller generator (multiplier 48271) in the
// order the game's rules make them, so a seed and the player's input decide
// the whole game. Before seeding the state is 4660, so the intro screen's
// draws are the same on every run.
//
// The draws are defined here, inline: the favourite colours' balancing turns
// most colours away once many are tallied and draws millions in one frame of
// the far field, so a draw must cost no more than its arithmetic.
#pragma once

#include <cstdint>

#include "platform/numeric.h"

namespace random_detail {

constexpr int32_t Multiplier = 48271;
constexpr int32_t Modulus = 2147483647;  // 2^31 - 1
constexpr int32_t UnseededState = 4660;

// The generator's state; only the functions below touch it.
inline int32_t State = UnseededState;

// 48271^2 mod (2^31 - 1): two steps at once.
constexpr uint64_t MultiplierSquared = 182605794;

// m * s mod (2^31 - 1) for a state s and a multiplier m below 2^29: the product
// fits 64 bits, and 2^31 is 1 modulo 2^31 - 1, so its high bits fold onto the
// low ones (what Schrage's form gives, without its divisions).
inline uint32_t Times(uint64_t s, uint64_t m) {
  const uint64_t product = s * m;
  uint64_t next = (product & uint64_t(Modulus)) + (product >> 31);
  if (next >= uint64_t(Modulus)) next -= uint64_t(Modulus);
  return uint32_t(next);
}

}  // namespace random_detail

// Sets the state from a seed; 0 and 0x7FFFFFFF (not valid states) become 4660.
inline void SeedRandom(int32_t seed) {
  const int32_t s = seed & 0x7FFFFFFF;
  random_detail::State = (s == 0 || s == 0x7FFFFFFF) ? random_detail::UnseededState : s;
}
// Back to the unseeded state, 4660, as at process start (part of ResetWorld).
inline void ResetRandom() { random_detail::State = random_detail::UnseededState; }
// The raw state, for tests and the playthrough log.
inline int32_t RandomState() { return random_detail::State; }

// A double in [0, 1) built from two steps of the generator.
// Both steps are taken from the state before them, the second by the squared
// multiplier, so that neither waits for the other.
inline double RandomUnit() {
  const uint64_t s = uint32_t(random_detail::State);
  const int32_t first = int32_t(random_detail::Times(s, uint64_t(random_detail::Multiplier)));
  const int32_t second = int32_t(random_detail::Times(s, random_detail::MultiplierSquared));
  random_detail::State = second;
  const int32_t a = first & 0x1FFFFFFC;
  const int32_t b = second & 0x1FFFFFF8;
  return (double(a) + double(b) / 134217728.0) / 536870912.0;
}

// A double between the bounds, the larger bound excluded; bounds in either order.
inline double RandomReal(double low, double high) {
  const double u = RandomUnit();
  if (high > low) return low + u * (high - low);
  return high + u * (low - high);
}

// An integer between the bounds, both included; bounds in either order.
inline int32_t RandomInt(int32_t low, int32_t high) {
  const double u = RandomUnit();
  // The span is a 32-bit difference; wrapping it keeps extreme bounds defined.
  const int32_t d = WrapInt(int64_t(high) - int64_t(low));
  if (d > 0) return WrapInt(int64_t(low) + TruncInt(u * (double(d) + 1.0)));
  return WrapInt(int64_t(high) + TruncInt(u * (1.0 - double(d))));
}
