/** @file numeric.h Numeric conventions: TruncInt, StoreF to 32-bit floats, and trigonometry in degrees. */
// Numeric conventions: how reals become integers and 32-bit floats, and
// trigonometry in degrees.
//
// Every real that becomes an integer is truncated toward zero, never rounded.
// A plain cast is undefined for NaN and for values outside the int range, so
// every conversion goes through TruncInt, which is defined everywhere:
// NaN gives 0, values at or above 2^31 give INT32_MAX, values at or below
// -2^31 - 1 give INT32_MIN.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Truncates toward zero; NaN -> 0, too large -> INT32_MAX, too small -> INT32_MIN.
constexpr int32_t TruncInt(double v) {
  if (v != v) return 0;
  if (v >= 2147483648.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483649.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

// Two's-complement wrap of a 64-bit value into 32 bits, as 32-bit integer arithmetic does.
constexpr int32_t WrapInt(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

// Rounds an expression evaluated in double to the 32-bit float a real field holds.
// Write `Scale = StoreF(double(Scale) - double(FrameTime) / 1500.0)` so that the
// promotion to double is visible where a float field takes part in arithmetic.
constexpr float StoreF(double v) { return static_cast<float>(v); }

// Trigonometry in degrees, evaluated in double.
inline double SinDeg(double degrees) { return std::sin(degrees * 0.017453292519943295); }
inline double CosDeg(double degrees) { return std::cos(degrees * 0.017453292519943295); }
inline double ACosDeg(double x) { return std::acos(x) * 57.29577951308232; }
