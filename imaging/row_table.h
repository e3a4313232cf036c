// Helpers shared by the image operations: tables of row addresses and the
// preparation of a destination bitmap. Rows are always reached through
// ScanLine, so padded rows are never assumed to be contiguous pixels.
#pragma once

#include "imaging/bitmap.h"

#include <cstdint>
#include <vector>

namespace mirufo {

// One 24-bit pixel as stored: blue, green, red.
struct TPixel24 {
  std::uint8_t Blue = 0;
  std::uint8_t Green = 0;
  std::uint8_t Red = 0;
  friend bool operator==(const TPixel24&, const TPixel24&) = default;
};

// Addresses of every row of a bitmap, top to bottom.
std::vector<const std::uint8_t*> SourceRowTable(const TBitmap& bitmap);
std::vector<std::uint8_t*> DestRowTable(TBitmap& bitmap);

// Gives Dest the format and size an operation is about to fill. Dest is only
// reallocated when its format or size differ; its old pixels are not kept
// because the operation writes every pixel. Raises EOutOfResources for sizes
// beyond the bitmap limits, leaving Dest as it was.
void PrepareDest(TBitmap& Dest, int width, int height, TPixelFormat format);

} // namespace mirufo
