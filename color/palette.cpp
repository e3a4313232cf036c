#include "color/palette.h"

namespace mirufo {

bool IsReductionMethod(int code) {
  return code == 3 || code == 4 || code == 7 || code == 10 || code == 11;
}

TReductionMethod ReductionMethodForDepth(int bits) {
  if (bits == 1)
    return cmMonochrome;
  if (bits == 2)
    return cmFourGrays;
  if (bits >= 3 && bits <= 7)
    return cmOctreeGrid332;
  if (bits == 8)
    return cmFixed332;
  return cmOctree;
}

TPalette FourGraysPalette() {
  return {{0, 0, 0}, {128, 128, 128}, {192, 192, 192}, {255, 255, 255}};
}

TPalette MonochromePalette() {
  return {{0, 0, 0}, {255, 255, 255}};
}

TPalette Fixed332Palette() {
  TPalette palette(256);
  for (int i = 0; i < 256; ++i)
    palette[static_cast<std::size_t>(i)] = Grid332Color(i);
  return palette;
}

std::vector<TRGBQuad> ToRGBQuads(const TPalette& palette) {
  std::vector<TRGBQuad> quads;
  quads.reserve(palette.size());
  for (const TPaletteEntry& e : palette)
    quads.push_back({e.Blue, e.Green, e.Red, 0});
  return quads;
}

} // namespace mirufo
