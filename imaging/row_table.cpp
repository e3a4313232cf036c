#include "imaging/row_table.h"

namespace mirufo {

std::vector<const std::uint8_t*> SourceRowTable(const TBitmap& bitmap) {
  std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(bitmap.Height()));
  for (int y = 0; y < bitmap.Height(); ++y)
    rows[static_cast<std::size_t>(y)] = bitmap.ScanLine(y);
  return rows;
}

std::vector<std::uint8_t*> DestRowTable(TBitmap& bitmap) {
  std::vector<std::uint8_t*> rows(static_cast<std::size_t>(bitmap.Height()));
  for (int y = 0; y < bitmap.Height(); ++y)
    rows[static_cast<std::size_t>(y)] = bitmap.ScanLine(y);
  return rows;
}

void PrepareDest(TBitmap& Dest, int width, int height, TPixelFormat format) {
  if (Dest.Width() == width && Dest.Height() == height && Dest.PixelFormat() == format)
    return;
  Dest = TBitmap(width, height, format);
}

} // namespace mirufo
