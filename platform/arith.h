// The rules of arithmetic that the image and catalogue code share. Each rule
// lives here once; callers never re-derive it inline.
//
// "Extended precision" is long double (the x87 80-bit format on x86-64).
// Round is round-half-to-even in the current rounding mode, which the program
// never changes from round-to-nearest.
#pragma once

#include <cmath>
#include <cstdint>

namespace mirufo {

// Nearest integer, ties to even.
inline std::int64_t Round(long double x) {
#if defined(__x86_64__) && defined(__GNUC__)
  // What llrint does on x86-64, a store of the x87 register as an integer in
  // the current rounding mode, without the library call: the library cannot
  // be inlined while it may set errno, and the resize rounds every channel of
  // every pixel through here.
  std::int64_t result;
  __asm__("fistpll %0" : "=m"(result) : "t"(x) : "st");
  return result;
#else
  return std::llrint(x);
#endif
}

// Drops the fraction toward zero.
inline std::int64_t Trunc(long double x) {
  return static_cast<std::int64_t>(x);
}

// x - Trunc(x), with the sign of x.
inline long double Frac(long double x) {
  return x - std::trunc(x);
}

// Rounds toward minus infinity.
inline std::int64_t Floor(long double x) {
  return static_cast<std::int64_t>(std::floor(x));
}

// Integer division truncating toward zero (what C++ does; named so that call
// sites say which rule they follow).
template <typename T> constexpr T Div(T a, T b) {
  return a / b;
}

// Bytes in a capacity given in kilobytes of 1024 bytes, truncated toward
// zero: the one conversion of a handset's cache into a byte limit. NaN, zero
// and negative capacities give 0 (no limit); capacities beyond the 64-bit
// range give the largest value instead of overflowing.
inline std::int64_t KilobytesToBytes(long double kilobytes) {
  if (!(kilobytes > 0))
    return 0;
  const long double bytes = kilobytes * 1024;
  if (bytes >= 0x1p63L)
    return INT64_MAX;
  return static_cast<std::int64_t>(bytes);
}

// Clamps a signed value into 0..255.
constexpr std::uint8_t ClampByte(std::int32_t value) {
  return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

} // namespace mirufo
