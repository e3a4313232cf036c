#include "color/dib.h"

#include "platform/errors.h"

namespace mirufo {

std::uint8_t* TDIB::RowAddress(int row) {
  if (row < 0 || row >= bitmap_.Height())
    throw ERangeError("TDIB");
  return bitmap_.ScanLine(row);
}

TDIBReader::TDIBReader(TBitmap& bitmap) : TDIB(bitmap, pf24bit) {
  if (bitmap.PixelFormat() != pf24bit)
    bitmap.SetPixelFormat(pf24bit);
}

namespace {

TPixelFormat CheckedWriterFormat(TPixelFormat format, int height, int width) {
  if (format != pf8bit && format != pf24bit)
    throw EMirufoError("Unsupported PixelFormat");
  if (width <= 0 || height <= 0)
    throw EMirufoError("Invalid image dimensions");
  return format;
}

} // namespace

TDIBWriter::TDIBWriter(TBitmap& bitmap, const TPalette& palette, int height, int width,
                       TPixelFormat format)
    : TDIB(bitmap, CheckedWriterFormat(format, height, width)) {
  // Build the new picture aside so that a failure leaves the bitmap as it was.
  TBitmap prepared(width, height, format);
  if (format == pf8bit)
    prepared.SetPalette(ToRGBQuads(palette));
  bitmap = std::move(prepared);
}

} // namespace mirufo
