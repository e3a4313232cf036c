// Test pictures built in memory: a 24-bit picture painted by a function of
// the pixel position, one colour, random pixels, and dirty row padding.
#pragma once

#include "imaging/bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

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

// A pseudo-random byte of a position, the same on every run.
inline std::uint8_t HashByte(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
  std::uint32_t h = x * 0x9E3779B1u ^ (y + seed * 0x85EBCA77u) * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  return static_cast<std::uint8_t>(h >> 24);
}

// A photograph-like picture taken with a shallow depth of field: a smooth,
// out-of-focus background of slow colour waves with a little sensor noise,
// and inside subject a sharp, detailed patch (a fine texture of light and
// dark specks a few pixels across). An empty subject leaves only the
// background. Written row by row, so that large pictures are quick to draw.
inline TBitmap SharpSubjectPicture(int width, int height, TRect subject, unsigned seed = 1) {
  TBitmap b(width, height, pf24bit);
  const double pi2 = 6.283185307179586;
  std::vector<int> blueX(static_cast<std::size_t>(width)), redX(blueX.size());
  for (int x = 0; x < width; ++x) {
    const double u = static_cast<double>(x) / width;
    blueX[static_cast<std::size_t>(x)] = static_cast<int>(20 * std::sin(pi2 * u * 0.6 + seed));
    redX[static_cast<std::size_t>(x)] = static_cast<int>(110 + 50 * std::sin(pi2 * u * 0.8 + seed));
  }
  for (int y = 0; y < height; ++y) {
    std::uint8_t* p = b.ScanLine(y);
    const double v = static_cast<double>(y) / height;
    const int blueY = static_cast<int>(130 + 20 * std::sin(pi2 * v * 0.6 + seed));
    const int greenY = static_cast<int>(120 + 45 * std::cos(pi2 * v * 0.7 + seed));
    for (int x = 0; x < width; ++x, p += 3) {
      int blue = blueY + blueX[static_cast<std::size_t>(x)];
      int green = greenY;
      int red = redX[static_cast<std::size_t>(x)];
      if (x >= subject.Left && x < subject.Right && y >= subject.Top && y < subject.Bottom) {
        const std::uint8_t speck =
            HashByte(static_cast<std::uint32_t>(x / 3), static_cast<std::uint32_t>(y / 3), seed);
        const int level = speck < 128 ? 40 : 215;
        blue = level - 10 + (speck & 31);
        green = level + (speck & 15);
        red = level + 10 + (speck & 7);
      }
      const int noise =
          (HashByte(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), seed + 7) & 3) -
          1;
      p[0] = static_cast<std::uint8_t>(std::clamp(blue + noise, 0, 255));
      p[1] = static_cast<std::uint8_t>(std::clamp(green + noise, 0, 255));
      p[2] = static_cast<std::uint8_t>(std::clamp(red + noise, 0, 255));
    }
  }
  return b;
}

} // namespace mirufo::test
