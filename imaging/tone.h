// Tone operations on 24-bit pictures, changed in place: brightness and
// contrast, sepia, grayscale, solarization and negative. Each does nothing
// and answers false when the picture is not 24-bit, and reports row
// progress after each row.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/progress.h"

#include <cstdint>

namespace mirufo {

// Hue 0..359 degrees, lightness and saturation 0..255.
struct THls {
  std::uint16_t Hue = 0;
  std::uint8_t Lightness = 0;
  std::uint8_t Saturation = 0;
  friend bool operator==(const THls&, const THls&) = default;
};

// Integer conversions between RGB and HLS (hue 0 and saturation 0 for greys).
THls RgbToHls(TColor Color);
TColor HlsToRgb(THls Hls);

// Every channel v becomes Round((v - 127.5) * Contrast + (v + Brightness)),
// clamped into 0..255. Contrast 0 keeps the slope, -1 flattens every channel
// to 127.5 + Brightness, +1 doubles the slope around 127.5.
[[nodiscard]] bool ApplyBrightnessContrast(TBitmap& Picture, std::int32_t Brightness,
                                           double Contrast, const TProgressInfo& Info);

// Keeps each pixel's lightness with hue 25 and saturation 40.
[[nodiscard]] bool ApplySepia(TBitmap& Picture, const TProgressInfo& Info);

// All three channels become Round(0.299 red + 0.587 green + 0.114 blue).
[[nodiscard]] bool ApplyGrayscale(TBitmap& Picture, const TProgressInfo& Info);

// Every channel v becomes the smaller of v and 255 - v.
[[nodiscard]] bool ApplySolarize(TBitmap& Picture, const TProgressInfo& Info);

// Every channel v becomes 255 - v.
[[nodiscard]] bool ApplyNegative(TBitmap& Picture, const TProgressInfo& Info);

} // namespace mirufo
