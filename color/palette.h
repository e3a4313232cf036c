// Palette entries, the reduction methods and the fixed palettes.
//
// A reduction method says where the palette of a colour-reduced picture comes
// from. Its code is the value kept in a target's format options, so the codes
// never change.
#pragma once

#include "imaging/bitmap.h"

#include <array>
#include <cstdint>
#include <vector>

namespace mirufo {

// One palette colour.
struct TPaletteEntry {
  std::uint8_t Red = 0;
  std::uint8_t Green = 0;
  std::uint8_t Blue = 0;
  friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};

using TPalette = std::vector<TPaletteEntry>;

enum class TReductionMethod : std::uint8_t {
  cmFourGrays = 3,      // greys 0, 128, 192, 255; stored at 4 bits per pixel
  cmMonochrome = 4,     // black and white; stored at 1 bit per pixel
  cmOctree = 7,         // 2^bits colours taken from the picture
  cmOctreeGrid332 = 10, // 2^bits colours from the picture, moved onto the 3-3-2 grid
  cmFixed332 = 11,      // the whole 3-3-2 grid, 256 colours
};
using enum TReductionMethod;

// True for the five codes above.
bool IsReductionMethod(int code);

// The method that suits a screen of that many bits per pixel: 1 gives
// black and white, 2 four greys, 3 to 7 the octree on the grid, 8 the fixed
// grid, anything else (0, true colour) the free octree.
TReductionMethod ReductionMethodForDepth(int bits);

// The 3-3-2 grid: eight red and green levels (i * 255 / 7 rounded) and four
// blue levels (i * 255 / 3).
inline constexpr std::array<std::uint8_t, 8> kGrid332RedGreen = {0,   36,  73,  109,
                                                                 146, 182, 219, 255};
inline constexpr std::array<std::uint8_t, 4> kGrid332Blue = {0, 85, 170, 255};

// Entry r * 32 + g * 4 + b of the fixed palette is (red level r, green level
// g, blue level b).
inline constexpr TPaletteEntry Grid332Color(int index) {
  return {kGrid332RedGreen[static_cast<std::size_t>((index >> 5) & 7)],
          kGrid332RedGreen[static_cast<std::size_t>((index >> 2) & 7)],
          kGrid332Blue[static_cast<std::size_t>(index & 3)]};
}

TPalette FourGraysPalette();
TPalette MonochromePalette();
TPalette Fixed332Palette();

// The palette in the bitmap's own entry form.
std::vector<TRGBQuad> ToRGBQuads(const TPalette& palette);

} // namespace mirufo
