// Row access to a bitmap for the colour reducer: a reader that hands out
// 24-bit rows and a writer that prepares a palette bitmap to be filled.
#pragma once

#include "color/palette.h"
#include "imaging/bitmap.h"

#include <cstdint>

namespace mirufo {

class TDIB {
public:
  TDIB(TBitmap& bitmap, TPixelFormat format) : bitmap_(bitmap), format_(format) {}
  virtual ~TDIB() = default;
  TDIB(const TDIB&) = delete;
  TDIB& operator=(const TDIB&) = delete;

  // First byte of a row, row 0 at the top. Raises ERangeError outside the
  // bitmap.
  virtual std::uint8_t* RowAddress(int row);

  TBitmap& Bitmap() { return bitmap_; }
  TPixelFormat PixelFormat() const { return format_; }
  int Width() const { return bitmap_.Width(); }
  int Height() const { return bitmap_.Height(); }

private:
  TBitmap& bitmap_;
  TPixelFormat format_;
};

// Converts its bitmap to 24 bits in place when it is not 24-bit already.
class TDIBReader : public TDIB {
public:
  explicit TDIBReader(TBitmap& bitmap);
};

// Makes the bitmap an empty picture of the given size and format (8 or 24
// bits) carrying its own copy of the palette. Raises EMirufoError with
// "Unsupported PixelFormat" or "Invalid image dimensions" otherwise.
class TDIBWriter : public TDIB {
public:
  TDIBWriter(TBitmap& bitmap, const TPalette& palette, int height, int width, TPixelFormat format);
};

} // namespace mirufo
