#include "color/color_lookup.h"

#include <algorithm>
#include <cstdlib>

namespace mirufo {

TFastColorLookup::TFastColorLookup(const TPalette& palette)
    : TColorLookup(static_cast<int>(std::min<std::size_t>(palette.size(), 256))) {
  cache_.fill(kEmptySlot);
  for (int i = 0; i < ColorCount(); ++i) {
    const TPaletteEntry& e = palette[static_cast<std::size_t>(i)];
    palette_[static_cast<std::size_t>(i)] = e;
    std::uint16_t& slot = cache_[static_cast<std::size_t>(CellOf(e.Red, e.Green, e.Blue))];
    if (slot == kEmptySlot)
      slot = static_cast<std::uint16_t>(i);
  }
}

int TFastColorLookup::FindColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                TPaletteEntry& color) {
  std::uint16_t& slot = cache_[static_cast<std::size_t>(CellOf(red, green, blue))];
  if (slot == kEmptySlot) {
    // Larger than any real distance (3 * 255), so the first entry always wins.
    int bestDistance = 196608;
    int best = 0;
    for (int i = 0; i < ColorCount(); ++i) {
      const TPaletteEntry& e = palette_[static_cast<std::size_t>(i)];
      int d = std::abs(e.Red - red) + std::abs(e.Green - green) + std::abs(e.Blue - blue);
      if (d < bestDistance) {
        bestDistance = d;
        best = i;
      }
    }
    slot = static_cast<std::uint16_t>(best);
  }
  color = palette_[slot];
  return slot;
}

int TMonochromeLookup::FindColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                 TPaletteEntry& color) {
  int luminance = 77 * red + 150 * green + 29 * blue;
  if (luminance > 32512) {
    color = {255, 255, 255};
    return 1;
  }
  color = {0, 0, 0};
  return 0;
}

} // namespace mirufo
