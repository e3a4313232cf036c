// The in-memory bitmap that every part of the program draws on.
//
// A bitmap has a width, a height and a pixel format of 1, 4, 8, 24 or 32 bits.
// Formats of 8 bits or fewer carry a palette. Rows are reached by index with
// ScanLine(y), row 0 at the top; each row is padded to a multiple of 4 bytes
// as in a Windows device-independent bitmap. 24-bit pixels are three bytes in
// the order blue, green, red; 32-bit pixels add a fourth byte that is kept but
// never interpreted. Within a byte of a 1- or 4-bit row the leftmost pixel
// takes the high bits. An empty bitmap (0 x 0) is valid everywhere.
#pragma once

#include "platform/limits.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mirufo {

enum class TPixelFormat : std::uint8_t { pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };
using enum TPixelFormat;

// Bits per pixel of a format.
int BitsPerPixel(TPixelFormat format);

// A colour value 0x00BBGGRR: red in the low byte.
using TColor = std::uint32_t;

constexpr TColor RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}
constexpr std::uint8_t GetRValue(TColor c) {
  return static_cast<std::uint8_t>(c);
}
constexpr std::uint8_t GetGValue(TColor c) {
  return static_cast<std::uint8_t>(c >> 8);
}
constexpr std::uint8_t GetBValue(TColor c) {
  return static_cast<std::uint8_t>(c >> 16);
}

// One palette entry in the byte order of a Windows bitmap file.
struct TRGBQuad {
  std::uint8_t Blue = 0;
  std::uint8_t Green = 0;
  std::uint8_t Red = 0;
  std::uint8_t Reserved = 0;
  friend bool operator==(const TRGBQuad&, const TRGBQuad&) = default;
};

// A rectangle; Right and Bottom are exclusive.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

// True when a bitmap of that size may be allocated under Limits(), the
// process's TLimits (both sides 0 counts too); IsAllowedPictureSize. Sizes
// beyond the limits are refused before any allocation.
bool IsAllowedBitmapSize(std::int64_t width, std::int64_t height);

class TBitmap {
public:
  TBitmap() = default;
  // Raises EOutOfResources when the size is beyond the limits above.
  TBitmap(int width, int height, TPixelFormat format = pf24bit);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  TPixelFormat PixelFormat() const { return format_; }
  // Bytes from one row to the next (a multiple of 4).
  std::size_t Stride() const { return stride_; }

  std::uint8_t* ScanLine(int y) { return data_.data() + static_cast<std::size_t>(y) * stride_; }
  const std::uint8_t* ScanLine(int y) const {
    return data_.data() + static_cast<std::size_t>(y) * stride_;
  }

  // Changes the size, keeping the pixels of the overlapping top-left part;
  // new pixels are zero (black, or palette entry 0). A negative side counts
  // as 0. Raises EOutOfResources beyond the limits.
  void SetSize(int width, int height);

  // Changes the pixel format. Palette formats and 32 bits convert to 24 bits
  // exactly; 24 or 32 bits to a palette format take, per pixel, the nearest
  // entry of the current palette (a grey ramp when there is none). Reducing
  // colours well is the colour reducer's job, not this one's.
  void SetPixelFormat(TPixelFormat format);

  // The palette (formats of 8 bits or fewer). At most 2^bits entries are used.
  const std::vector<TRGBQuad>& Palette() const { return palette_; }
  void SetPalette(std::vector<TRGBQuad> palette) { palette_ = std::move(palette); }

  // Pixel access for any format, in TColor form (slow; for tests and edges).
  TColor GetPixel(int x, int y) const;
  // Writes a colour (24/32 bits) or, for palette formats, a palette index
  // given in the low byte.
  void SetPixel(int x, int y, TColor colorOrIndex);

  // Palette index of a pixel of a 1-, 4- or 8-bit bitmap.
  std::uint8_t GetIndex(int x, int y) const;
  void SetIndex(int x, int y, std::uint8_t index);

  // Fills the whole bitmap, or a rectangle clipped to it, with a colour
  // (24/32 bits) or a palette index (palette formats).
  void Fill(TColor colorOrIndex);
  void FillRect(TRect rect, TColor colorOrIndex);

  // Copies the source rectangle of source to (destX, destY) of this bitmap,
  // clipped to both bitmaps. Both must have the same pixel format; bitmaps of
  // 8 bits or fewer copy indexes, not colours. Returns false (and copies
  // nothing) when the formats differ.
  [[nodiscard]] bool CopyRect(int destX, int destY, const TBitmap& source, TRect sourceRect);

  // Same size, format, palette (for palette formats) and pixels; row padding
  // is not compared.
  bool SamePixels(const TBitmap& other) const;

private:
  void Allocate(int width, int height, TPixelFormat format);

  int width_ = 0;
  int height_ = 0;
  TPixelFormat format_ = pf24bit;
  std::size_t stride_ = 0;
  std::vector<std::uint8_t> data_;
  std::vector<TRGBQuad> palette_;
};

} // namespace mirufo
