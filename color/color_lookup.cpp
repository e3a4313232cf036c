#include "color/color_lookup.h"

#include <algorithm>
#include <cstring>

namespace mirufo {
namespace {

// Channel value of the unused search slots: farther from every colour than
// any palette entry can be.
constexpr std::int16_t kUnusedLevel = 4000;

} // namespace

TFastColorLookup::TFastColorLookup(const TPalette& palette)
    : TColorLookup(static_cast<int>(std::min<std::size_t>(palette.size(), 256))) {
  cache_.fill(kEmptySlot);
  for (std::size_t g = 0; g < kGroups; ++g) {
    for (int lane = 0; lane < 8; ++lane) {
      reds_[g][lane] = kUnusedLevel;
      greens_[g][lane] = kUnusedLevel;
      blues_[g][lane] = kUnusedLevel;
    }
  }
  for (int i = 0; i < ColorCount(); ++i) {
    const TPaletteEntry& e = palette[static_cast<std::size_t>(i)];
    palette_[static_cast<std::size_t>(i)] = e;
    reds_[static_cast<std::size_t>(i / 8)][i % 8] = e.Red;
    greens_[static_cast<std::size_t>(i / 8)][i % 8] = e.Green;
    blues_[static_cast<std::size_t>(i / 8)][i % 8] = e.Blue;
    std::uint16_t& slot = cache_[static_cast<std::size_t>(CellOf(e.Red, e.Green, e.Blue))];
    if (slot == kEmptySlot)
      slot = static_cast<std::uint16_t>(i);
  }
}

int TFastColorLookup::FindColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                TPaletteEntry& color) {
  std::uint16_t& slot = cache_[static_cast<std::size_t>(CellOf(red, green, blue))];
  if (slot == kEmptySlot)
    slot = static_cast<std::uint16_t>(NearestEntry(red, green, blue));
  color = palette_[slot];
  return slot;
}

// The first entry of smallest Manhattan distance: a later entry must be
// strictly nearer to replace an earlier one. All 256 slots are measured;
// unused ones lie far outside the colour cube and never win.
int TFastColorLookup::NearestEntry(int red, int green, int blue) const {
  if (ColorCount() == 0)
    return 0;
  const TLanes r = TLanes{} + static_cast<std::int16_t>(red);
  const TLanes g = TLanes{} + static_cast<std::int16_t>(green);
  const TLanes b = TLanes{} + static_cast<std::int16_t>(blue);
  std::array<TLanes, kGroups> distance;
  TLanes smallest = TLanes{} + std::int16_t{0x7FFF};
  for (std::size_t k = 0; k < kGroups; ++k) {
    const TLanes dr = reds_[k] - r, dg = greens_[k] - g, db = blues_[k] - b;
    const TLanes d = (dr < 0 ? -dr : dr) + (dg < 0 ? -dg : dg) + (db < 0 ? -db : db);
    distance[k] = d;
    smallest = d < smallest ? d : smallest;
  }
  std::int16_t least = smallest[0];
  for (int lane = 1; lane < 8; ++lane)
    least = std::min<std::int16_t>(least, smallest[lane]);
  // The first group holding the least distance, then the first lane in it.
  const TLanes leastLanes = TLanes{} + least;
  for (std::size_t k = 0; k < kGroups; ++k) {
    const TLanes hit = distance[k] == leastLanes;
    std::uint64_t halves[2];
    std::memcpy(halves, &hit, sizeof halves);
    if ((halves[0] | halves[1]) == 0)
      continue;
    for (int lane = 0; lane < 8; ++lane)
      if (hit[lane] != 0)
        return static_cast<int>(k * 8) + lane;
  }
  return 0;
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
