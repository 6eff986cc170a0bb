/** @file random.cpp The one Park-Miller generator: SeedRandom, RandomUnit, RandomReal and RandomInt. */
#include "platform/random.h"

#include "platform/numeric.h"

namespace {

constexpr int32_t Multiplier = 48271;
constexpr int32_t Modulus = 2147483647;  // 2^31 - 1
constexpr int32_t Quotient = 44488;      // Modulus / Multiplier
constexpr int32_t Remainder = 3399;      // Modulus % Multiplier
constexpr int32_t UnseededState = 4660;

int32_t State = UnseededState;

// Schrage's form of 48271 * s mod (2^31 - 1): no intermediate leaves 32 bits.
void Step() {
  int32_t next = Multiplier * (State % Quotient) - Remainder * (State / Quotient);
  if (next < 0) next += Modulus;
  State = next;
}

}  // namespace

void SeedRandom(int32_t seed) {
  int32_t s = seed & 0x7FFFFFFF;
  State = (s == 0 || s == 0x7FFFFFFF) ? UnseededState : s;
}

void ResetRandom() { State = UnseededState; }

int32_t RandomState() { return State; }

double RandomUnit() {
  Step();
  int32_t a = State & 0x1FFFFFFC;
  Step();
  int32_t b = State & 0x1FFFFFF8;
  return (double(a) + double(b) / 134217728.0) / 536870912.0;
}

double RandomReal(double low, double high) {
  double u = RandomUnit();
  if (high > low) return low + u * (high - low);
  return high + u * (low - high);
}

int32_t RandomInt(int32_t low, int32_t high) {
  double u = RandomUnit();
  // The span is a 32-bit difference; wrapping it keeps extreme bounds defined.
  int32_t d = WrapInt(int64_t(high) - int64_t(low));
  if (d > 0) return WrapInt(int64_t(low) + TruncInt(u * (double(d) + 1.0)));
  return WrapInt(int64_t(high) + TruncInt(u * (1.0 - double(d))));
}
