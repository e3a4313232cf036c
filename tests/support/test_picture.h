// Test pictures built in memory: a 24-bit picture painted by a function of
// the pixel position, one colour, random pixels, and dirty row padding.
#pragma once

#include "imaging/bitmap.h"

#include <cstdint>
#include <random>

namespace mirufo::test {

// A 24-bit picture whose pixel (x, y) is colour(x, y).
template <typename F> TBitmap MakePicture(int width, int height, F colour) {
  TBitmap b(width, height, pf24bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      b.SetPixel(x, y, colour(x, y));
  return b;
}

inline TBitmap UniformPicture(int width, int height, TColor c) {
  return MakePicture(width, height, [c](int, int) { return c; });
}

inline TBitmap RandomPicture(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  return MakePicture(width, height,
                     [&random](int, int) { return static_cast<TColor>(random() & 0xFFFFFF); });
}

// Writes a byte into every padding byte at the end of each row, so that an
// operation that reads padding shows it in its result.
inline void DirtyPadding(TBitmap& b, std::uint8_t value) {
  const std::size_t used = static_cast<std::size_t>(b.Width()) * 3;
  for (int y = 0; y < b.Height(); ++y)
    for (std::size_t i = used; i < b.Stride(); ++i)
      b.ScanLine(y)[i] = value;
}

} // namespace mirufo::test
