#include "imaging/bitmap.h"

#include "platform/errors.h"
#include "platform/translate.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace mirufo {
namespace {

std::size_t StrideFor(int width, TPixelFormat format) {
  std::size_t bits =
      static_cast<std::size_t>(width) * static_cast<std::size_t>(BitsPerPixel(format));
  return ((bits + 31) / 32) * 4;
}

// Grey ramp used when a palette format is asked for without a palette.
std::vector<TRGBQuad> GreyRamp(int entries) {
  std::vector<TRGBQuad> ramp(static_cast<std::size_t>(entries));
  for (int i = 0; i < entries; ++i) {
    auto v = static_cast<std::uint8_t>(entries == 1 ? 0 : i * 255 / (entries - 1));
    ramp[static_cast<std::size_t>(i)] = {v, v, v, 0};
  }
  return ramp;
}

std::uint8_t NearestEntry(const std::vector<TRGBQuad>& palette, std::size_t used, std::uint8_t b,
                          std::uint8_t g, std::uint8_t r) {
  int best = 0;
  int bestDistance = 1 << 30;
  for (std::size_t i = 0; i < used; ++i) {
    int db = palette[i].Blue - b, dg = palette[i].Green - g, dr = palette[i].Red - r;
    int d = db * db + dg * dg + dr * dr;
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(i);
    }
  }
  return static_cast<std::uint8_t>(best);
}

} // namespace

int BitsPerPixel(TPixelFormat format) {
  switch (format) {
  case pf1bit:
    return 1;
  case pf4bit:
    return 4;
  case pf8bit:
    return 8;
  case pf24bit:
    return 24;
  case pf32bit:
    return 32;
  }
  return 24;
}

bool IsAllowedBitmapSize(std::int64_t width, std::int64_t height) {
  return IsAllowedPictureSize(width, height);
}

TBitmap::TBitmap(int width, int height, TPixelFormat format) {
  Allocate(std::max(width, 0), std::max(height, 0), format);
}

void TBitmap::Allocate(int width, int height, TPixelFormat format) {
  if (!IsAllowedBitmapSize(width, height))
    throw EOutOfResources(Tr("画像が大きすぎます (") + std::to_string(width) + " x " +
                          std::to_string(height) + ")");
  std::size_t stride = StrideFor(width, format);
  std::vector<std::uint8_t> data;
  try {
    data.assign(stride * static_cast<std::size_t>(height), 0);
  } catch (const std::bad_alloc&) {
    throw EOutOfResources(Tr("画像のためのメモリが足りません"));
  }
  width_ = width;
  height_ = height;
  format_ = format;
  stride_ = stride;
  data_ = std::move(data);
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_)
    return;
  TBitmap old = std::move(*this);
  try {
    Allocate(width, height, old.format_);
  } catch (...) {
    // A refused size leaves the bitmap as it was.
    *this = std::move(old);
    throw;
  }
  palette_ = old.palette_;
  int rows = std::min(height, old.height_);
  std::size_t bytes = std::min(stride_, old.stride_);
  if (BitsPerPixel(format_) < 8 && width < old.width_) {
    // Keep whole bytes only up to the new width; the rest of the row is padding.
    bytes = (static_cast<std::size_t>(width) * BitsPerPixel(format_) + 7) / 8;
  }
  for (int y = 0; y < rows; ++y)
    std::memcpy(ScanLine(y), old.ScanLine(y), bytes);
  if (BitsPerPixel(format_) < 8 && width > old.width_) {
    // The old row's last byte may hold stale padding bits where new pixels are.
    int copiedPixels =
        static_cast<int>(bytes * 8 / static_cast<std::size_t>(BitsPerPixel(format_)));
    for (int y = 0; y < rows; ++y)
      for (int x = old.width_; x < std::min(width, copiedPixels); ++x)
        SetIndex(x, y, 0);
  }
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == format_)
    return;
  TBitmap result(width_, height_, format);
  const int bits = BitsPerPixel(format);
  if (bits <= 8) {
    std::size_t entries = std::size_t{1} << bits;
    result.palette_ = palette_.empty() ? GreyRamp(static_cast<int>(entries)) : palette_;
    if (result.palette_.size() > entries)
      result.palette_.resize(entries);
  }
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      TColor c = GetPixel(x, y);
      if (bits <= 8) {
        result.SetIndex(x, y,
                        NearestEntry(result.palette_, result.palette_.size(), GetBValue(c),
                                     GetGValue(c), GetRValue(c)));
      } else {
        result.SetPixel(x, y, c);
      }
    }
  }
  if (bits > 8)
    result.palette_.clear();
  *this = std::move(result);
}

std::uint8_t TBitmap::GetIndex(int x, int y) const {
  const std::uint8_t* row = ScanLine(y);
  switch (format_) {
  case pf1bit:
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
  case pf4bit:
    return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
  case pf8bit:
    return row[x];
  default:
    return 0;
  }
}

void TBitmap::SetIndex(int x, int y, std::uint8_t index) {
  std::uint8_t* row = ScanLine(y);
  switch (format_) {
  case pf1bit: {
    std::uint8_t mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
    row[x >> 3] = (index & 1) ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask);
    break;
  }
  case pf4bit:
    if (x & 1)
      row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & 0xF0) | (index & 0x0F));
    else
      row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & 0x0F) | (index << 4));
    break;
  case pf8bit:
    row[x] = index;
    break;
  default:
    break;
  }
}

TColor TBitmap::GetPixel(int x, int y) const {
  switch (format_) {
  case pf24bit: {
    const std::uint8_t* p = ScanLine(y) + x * 3;
    return RGB(p[2], p[1], p[0]);
  }
  case pf32bit: {
    const std::uint8_t* p = ScanLine(y) + x * 4;
    return RGB(p[2], p[1], p[0]);
  }
  default: {
    std::uint8_t i = GetIndex(x, y);
    if (i >= palette_.size())
      return 0;
    const TRGBQuad& q = palette_[i];
    return RGB(q.Red, q.Green, q.Blue);
  }
  }
}

void TBitmap::SetPixel(int x, int y, TColor c) {
  switch (format_) {
  case pf24bit: {
    std::uint8_t* p = ScanLine(y) + x * 3;
    p[0] = GetBValue(c);
    p[1] = GetGValue(c);
    p[2] = GetRValue(c);
    break;
  }
  case pf32bit: {
    std::uint8_t* p = ScanLine(y) + x * 4;
    p[0] = GetBValue(c);
    p[1] = GetGValue(c);
    p[2] = GetRValue(c);
    break;
  }
  default:
    SetIndex(x, y, static_cast<std::uint8_t>(c));
    break;
  }
}

void TBitmap::Fill(TColor colorOrIndex) {
  FillRect({0, 0, width_, height_}, colorOrIndex);
}

void TBitmap::FillRect(TRect rect, TColor c) {
  int left = std::max(rect.Left, 0), top = std::max(rect.Top, 0);
  int right = std::min(rect.Right, width_), bottom = std::min(rect.Bottom, height_);
  if (left >= right || top >= bottom)
    return;
  if (format_ == pf24bit) {
    for (int y = top; y < bottom; ++y) {
      std::uint8_t* p = ScanLine(y) + left * 3;
      for (int x = left; x < right; ++x, p += 3) {
        p[0] = GetBValue(c);
        p[1] = GetGValue(c);
        p[2] = GetRValue(c);
      }
    }
    return;
  }
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      SetPixel(x, y, c);
}

bool TBitmap::CopyRect(int destX, int destY, const TBitmap& source, TRect sourceRect) {
  if (source.format_ != format_)
    return false;
  // Clip the source rectangle to the source, then the destination to this.
  int sx = std::max(sourceRect.Left, 0), sy = std::max(sourceRect.Top, 0);
  destX += sx - sourceRect.Left;
  destY += sy - sourceRect.Top;
  int w = std::min(sourceRect.Right, source.width_) - sx;
  int h = std::min(sourceRect.Bottom, source.height_) - sy;
  if (destX < 0) {
    sx -= destX;
    w += destX;
    destX = 0;
  }
  if (destY < 0) {
    sy -= destY;
    h += destY;
    destY = 0;
  }
  w = std::min(w, width_ - destX);
  h = std::min(h, height_ - destY);
  if (w <= 0 || h <= 0)
    return true;
  const int bits = BitsPerPixel(format_);
  if (bits >= 8) {
    std::size_t bpp = static_cast<std::size_t>(bits / 8);
    for (int y = 0; y < h; ++y)
      std::memmove(ScanLine(destY + y) + destX * bpp, source.ScanLine(sy + y) + sx * bpp,
                   static_cast<std::size_t>(w) * bpp);
    return true;
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      SetIndex(destX + x, destY + y, source.GetIndex(sx + x, sy + y));
  return true;
}

bool TBitmap::SamePixels(const TBitmap& other) const {
  if (width_ != other.width_ || height_ != other.height_ || format_ != other.format_)
    return false;
  const int bits = BitsPerPixel(format_);
  if (bits <= 8 && palette_ != other.palette_)
    return false;
  std::size_t usedBits = static_cast<std::size_t>(width_) * static_cast<std::size_t>(bits);
  std::size_t whole = usedBits / 8;
  unsigned rest = static_cast<unsigned>(usedBits % 8);
  for (int y = 0; y < height_; ++y) {
    const std::uint8_t* a = ScanLine(y);
    const std::uint8_t* b = other.ScanLine(y);
    if (std::memcmp(a, b, whole) != 0)
      return false;
    if (rest != 0) {
      std::uint8_t mask = static_cast<std::uint8_t>(0xFF << (8 - rest));
      if ((a[whole] & mask) != (b[whole] & mask))
        return false;
    }
  }
  return true;
}

} // namespace mirufo
