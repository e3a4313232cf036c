#include "imaging/geometry.h"

#include "imaging/row_table.h"
#include "platform/errors.h"

#include <cstring>

namespace mirufo {
namespace {

// A bitmap of the picture's format and palette, or none beyond the limits.
std::unique_ptr<TBitmap> NewLike(const TBitmap& Picture, int width, int height) {
  if (!IsAllowedBitmapSize(width, height))
    return nullptr;
  try {
    auto result = std::make_unique<TBitmap>(width, height, Picture.PixelFormat());
    result->SetPalette(Picture.Palette());
    return result;
  } catch (const EOutOfResources&) {
    return nullptr;
  }
}

// Source column and row of destination pixel (x, y) for a picture of w x h.
inline void SourceOf(TRotateKind kind, int w, int h, int x, int y, int& sx, int& sy) {
  switch (kind) {
  case rk90Clockwise:
    sx = y;
    sy = h - 1 - x;
    return;
  case rk180:
    sx = w - 1 - x;
    sy = h - 1 - y;
    return;
  case rk90CounterClockwise:
    sx = w - 1 - y;
    sy = x;
    return;
  case rkMirrorHorizontal:
    sx = w - 1 - x;
    sy = y;
    return;
  }
}

} // namespace

std::unique_ptr<TBitmap> RotateBitmap(const TBitmap& Picture, TRotateKind Kind,
                                      const TProgressInfo& Info) {
  const int w = Picture.Width(), h = Picture.Height();
  const bool quarterTurn = Kind == rk90Clockwise || Kind == rk90CounterClockwise;
  auto result = quarterTurn ? NewLike(Picture, h, w) : NewLike(Picture, w, h);
  if (!result)
    return nullptr;
  const int bits = BitsPerPixel(Picture.PixelFormat());
  const int destW = result->Width(), destH = result->Height();
  const auto rows = SourceRowTable(Picture);
  int sx = 0, sy = 0;
  for (int y = 0; y < destH; ++y) {
    if (bits >= 8) {
      const std::size_t bytesPerPixel = static_cast<std::size_t>(bits / 8);
      std::uint8_t* dst = result->ScanLine(y);
      for (int x = 0; x < destW; ++x, dst += bytesPerPixel) {
        SourceOf(Kind, w, h, x, y, sx, sy);
        std::memcpy(
            dst, rows[static_cast<std::size_t>(sy)] + static_cast<std::size_t>(sx) * bytesPerPixel,
            bytesPerPixel);
      }
    } else {
      for (int x = 0; x < destW; ++x) {
        SourceOf(Kind, w, h, x, y, sx, sy);
        result->SetIndex(x, y, Picture.GetIndex(sx, sy));
      }
    }
    ReportRowProgress(Info, y, destH);
  }
  return result;
}

std::unique_ptr<TBitmap> FlipVertical(const TBitmap& Picture, const TProgressInfo& Info) {
  auto result = NewLike(Picture, Picture.Width(), Picture.Height());
  if (!result)
    return nullptr;
  const int h = Picture.Height();
  for (int y = 0; y < h; ++y) {
    std::memcpy(result->ScanLine(y), Picture.ScanLine(h - 1 - y), Picture.Stride());
    ReportRowProgress(Info, y, h);
  }
  return result;
}

std::unique_ptr<TBitmap> CropBitmap(const TBitmap& Picture, const TRect& Rect) {
  if (Picture.Empty() || Rect.Left < 0 || Rect.Top < 0 || Rect.Right > Picture.Width() ||
      Rect.Bottom > Picture.Height() || Rect.IsEmpty())
    return nullptr;
  auto result = NewLike(Picture, Rect.Width(), Rect.Height());
  if (!result)
    return nullptr;
  if (!result->CopyRect(0, 0, Picture, Rect))
    return nullptr;
  return result;
}

} // namespace mirufo
