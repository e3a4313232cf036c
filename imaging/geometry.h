// Rotations, flips and cropping. Each produces a new picture of the
// source's pixel format (and palette), moving whole pixels; the source is
// never changed.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/progress.h"

#include <cstdint>
#include <memory>

namespace mirufo {

enum class TRotateKind : std::uint8_t {
  rk90Clockwise,
  rk180,
  rk90CounterClockwise,
  rkMirrorHorizontal
};
using enum TRotateKind;

// The rotated or mirrored picture, reporting row progress after each row;
// none when it cannot be allocated.
[[nodiscard]] std::unique_ptr<TBitmap> RotateBitmap(const TBitmap& Picture, TRotateKind Kind,
                                                    const TProgressInfo& Info);

// The picture upside down; none when it cannot be allocated.
[[nodiscard]] std::unique_ptr<TBitmap> FlipVertical(const TBitmap& Picture,
                                                    const TProgressInfo& Info);

// A copy of the rectangle (Right and Bottom exclusive). None when the picture
// is empty, when the rectangle reaches outside the picture, or when it holds
// no pixel.
[[nodiscard]] std::unique_ptr<TBitmap> CropBitmap(const TBitmap& Picture, const TRect& Rect);

} // namespace mirufo
