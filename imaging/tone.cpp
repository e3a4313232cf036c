// Tone operations. A channel's new value depends only on its old value (or,
// for sepia, on the pixel's lightness, and for grayscale on the three
// channels through fixed products), so each operation computes its values
// once into a table and then rewrites the rows through it.
#include "imaging/tone.h"

#include "platform/arith.h"

#include <algorithm>
#include <array>

namespace mirufo {
namespace {

using TChannelTable = std::array<std::uint8_t, 256>;

std::uint8_t ClampRounded(long double value) {
  const std::int64_t rounded = Round(value);
  return ClampByte(static_cast<std::int32_t>(std::clamp<std::int64_t>(rounded, -1, 256)));
}

// Rewrites every channel of every pixel through the table.
bool MapChannels(TBitmap& Picture, const TChannelTable& table, const TProgressInfo& Info) {
  if (Picture.PixelFormat() != pf24bit)
    return false;
  const std::size_t bytes = static_cast<std::size_t>(Picture.Width()) * 3;
  for (int y = 0; y < Picture.Height(); ++y) {
    std::uint8_t* row = Picture.ScanLine(y);
    for (std::size_t i = 0; i < bytes; ++i)
      row[i] = table[row[i]];
    ReportRowProgress(Info, y, Picture.Height());
  }
  return true;
}

// Hue function of the HLS to RGB conversion.
int HueValue(int m1, int m2, int h) {
  if (h >= 360)
    h -= 360;
  else if (h < 0)
    h += 360;
  if (h < 60)
    return m1 + Div((m2 - m1) * h, 60);
  if (h < 180)
    return m2;
  if (h < 240)
    return m1 + Div((m2 - m1) * (240 - h), 60);
  return m1;
}

} // namespace

THls RgbToHls(TColor Color) {
  const int r = GetRValue(Color), g = GetGValue(Color), b = GetBValue(Color);
  const int max = std::max({r, g, b});
  const int min = std::min({r, g, b});
  THls hls;
  hls.Lightness = static_cast<std::uint8_t>((max + min) >> 1);
  if (max == min)
    return hls;
  const int d = max - min;
  hls.Saturation = static_cast<std::uint8_t>(hls.Lightness < 128 ? Div(d * 255, max + min)
                                                                 : Div(d * 255, 510 - max - min));
  int hue;
  if (r == max)
    hue = Div((g - b) * 60, d);
  else if (g == max)
    hue = Div((b - r) * 60, d) + 120;
  else
    hue = Div((r - g) * 60, d) + 240;
  while (hue < 0)
    hue += 360;
  while (hue >= 360)
    hue -= 360;
  hls.Hue = static_cast<std::uint16_t>(hue);
  return hls;
}

TColor HlsToRgb(THls Hls) {
  const int l = Hls.Lightness, s = Hls.Saturation, h = Hls.Hue;
  if (s == 0)
    return RGB(Hls.Lightness, Hls.Lightness, Hls.Lightness);
  const int m2 = l < 128 ? Div(l * (s + 255), 255) : l + s - Div(l * s, 255);
  const int m1 = 2 * l - m2;
  return RGB(ClampByte(HueValue(m1, m2, h + 120)), ClampByte(HueValue(m1, m2, h)),
             ClampByte(HueValue(m1, m2, h - 120)));
}

bool ApplyBrightnessContrast(TBitmap& Picture, std::int32_t Brightness, double Contrast,
                             const TProgressInfo& Info) {
  TChannelTable table;
  for (int v = 0; v < 256; ++v)
    table[static_cast<std::size_t>(v)] =
        ClampRounded((v - 127.5L) * Contrast + (static_cast<long double>(v) + Brightness));
  return MapChannels(Picture, table, Info);
}

bool ApplySepia(TBitmap& Picture, const TProgressInfo& Info) {
  if (Picture.PixelFormat() != pf24bit)
    return false;
  // The result depends on the lightness alone: one colour per lightness.
  std::array<TColor, 256> byLightness;
  for (int l = 0; l < 256; ++l)
    byLightness[static_cast<std::size_t>(l)] = HlsToRgb({25, static_cast<std::uint8_t>(l), 40});
  for (int y = 0; y < Picture.Height(); ++y) {
    std::uint8_t* p = Picture.ScanLine(y);
    for (int x = 0; x < Picture.Width(); ++x, p += 3) {
      const THls hls = RgbToHls(RGB(p[2], p[1], p[0]));
      const TColor c = byLightness[hls.Lightness];
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
    ReportRowProgress(Info, y, Picture.Height());
  }
  return true;
}

bool ApplyGrayscale(TBitmap& Picture, const TProgressInfo& Info) {
  if (Picture.PixelFormat() != pf24bit)
    return false;
  // The three products, each rounded to extended precision as the sum uses them.
  std::array<long double, 256> redPart, greenPart, bluePart;
  for (int v = 0; v < 256; ++v) {
    redPart[static_cast<std::size_t>(v)] = 0.299L * v;
    greenPart[static_cast<std::size_t>(v)] = 0.587L * v;
    bluePart[static_cast<std::size_t>(v)] = 0.114L * v;
  }
  for (int y = 0; y < Picture.Height(); ++y) {
    std::uint8_t* p = Picture.ScanLine(y);
    for (int x = 0; x < Picture.Width(); ++x, p += 3) {
      const std::uint8_t grey = ClampRounded(redPart[p[2]] + greenPart[p[1]] + bluePart[p[0]]);
      p[0] = p[1] = p[2] = grey;
    }
    ReportRowProgress(Info, y, Picture.Height());
  }
  return true;
}

bool ApplySolarize(TBitmap& Picture, const TProgressInfo& Info) {
  TChannelTable table;
  for (int v = 0; v < 256; ++v)
    table[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(std::min(v, 255 - v));
  return MapChannels(Picture, table, Info);
}

bool ApplyNegative(TBitmap& Picture, const TProgressInfo& Info) {
  TChannelTable table;
  for (int v = 0; v < 256; ++v)
    table[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(255 - v);
  return MapChannels(Picture, table, Info);
}

} // namespace mirufo
