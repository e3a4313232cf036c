// Colour lookups: map a wanted colour to the index of a palette entry.
#pragma once

#include "color/palette.h"

#include <array>
#include <cstdint>

namespace mirufo {

class TColorLookup {
public:
  explicit TColorLookup(int colorCount) : colorCount_(colorCount) {}
  virtual ~TColorLookup() = default;
  TColorLookup(const TColorLookup&) = delete;
  TColorLookup& operator=(const TColorLookup&) = delete;

  // Index of the palette entry chosen for the colour; color receives that
  // entry's colour.
  virtual int FindColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                        TPaletteEntry& color) = 0;

  int ColorCount() const { return colorCount_; }

private:
  int colorCount_;
};

// Nearest entry by Manhattan distance, remembered per 5-5-5 colour cell: the
// first colour looked up in a cell decides the index of every later colour of
// that cell. A palette entry's own cell belongs to it from the start (the
// lowest index when several entries share a cell), so exact palette colours
// always map to themselves.
class TFastColorLookup : public TColorLookup {
public:
  static constexpr std::uint16_t kEmptySlot = 0xFFFF;
  static constexpr int kCacheSlots = 32768;

  // Uses at most the first 256 entries of the palette.
  explicit TFastColorLookup(const TPalette& palette);

  int FindColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                TPaletteEntry& color) override;

  static int CellOf(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return (red >> 3) | ((green >> 3) << 5) | ((blue >> 3) << 10);
  }
  // The cached index of a cell, or kEmptySlot.
  std::uint16_t CachedIndex(int cell) const { return cache_[static_cast<std::size_t>(cell)]; }

private:
  int NearestEntry(int red, int green, int blue) const;

  std::array<TPaletteEntry, 256> palette_{};
  // The palette again, one array per channel in groups of eight, so the
  // nearest-entry search measures eight entries at a time.
  using TLanes = std::int16_t __attribute__((vector_size(16)));
  static constexpr std::size_t kGroups = 256 / 8;
  std::array<TLanes, kGroups> reds_;
  std::array<TLanes, kGroups> greens_;
  std::array<TLanes, kGroups> blues_;
  std::array<std::uint16_t, kCacheSlots> cache_;
};

// Black (index 0) or white (index 1) by a luminance threshold.
class TMonochromeLookup : public TColorLookup {
public:
  TMonochromeLookup() : TColorLookup(2) {}

  int FindColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                TPaletteEntry& color) override;
};

} // namespace mirufo
