#include "color/color_reducer.h"

#include "color/color_lookup.h"
#include "color/color_quantizer.h"
#include "color/dib.h"
#include "color/dither_engine.h"
#include "platform/errors.h"
#include "platform/translate.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>

namespace mirufo {
namespace {

void CheckArguments(TReductionMethod method, int bits) {
  if (!IsReductionMethod(static_cast<int>(method)))
    throw EMirufoError(Tr("減色方法が正しくありません (") +
                       std::to_string(static_cast<int>(method)) + ")");
  if (bits < 1 || bits > 8)
    throw EMirufoError(Tr("色数のビット数は1から8でなければなりません (") + std::to_string(bits) +
                       ")");
}

TPalette OctreePalette(TBitmap& picture, TReductionMethod method, int colors) {
  std::unique_ptr<TColorQuantizer> quantizer =
      method == cmOctreeGrid332 ? std::make_unique<TColorQuantizerRGB332>(colors, 8)
                                : std::make_unique<TColorQuantizer>(colors, 8);
  TDIBReader reader(picture);
  quantizer->CountColors(reader);
  std::array<TPaletteEntry, 256> table{};
  const int leaves = quantizer->CollectPalette(table);
  // Pad with the last leaf colour: a copy never wins a lookup over the
  // original (the lowest index wins), so the mapping is that of the leaves.
  TPalette palette(static_cast<std::size_t>(colors));
  TPaletteEntry fill{};
  for (int i = 0; i < colors; ++i) {
    if (i < leaves)
      fill = table[static_cast<std::size_t>(i)];
    palette[static_cast<std::size_t>(i)] = fill;
  }
  return palette;
}

TPalette MakePalette(TBitmap& picture, TReductionMethod method, int colors) {
  switch (method) {
  case cmFourGrays:
    return FourGraysPalette();
  case cmMonochrome:
    return MonochromePalette();
  case cmFixed332:
    return Fixed332Palette();
  case cmOctree:
  case cmOctreeGrid332:
    return OctreePalette(picture, method, colors);
  }
  return {};
}

// The picture to read from: the source itself when it is 24-bit, otherwise a
// copy that the reader converts.
const TBitmap& Readable(const TBitmap& source, TBitmap& copy) {
  if (source.PixelFormat() == pf24bit)
    return source;
  copy = source;
  TDIBReader convert(copy);
  return copy;
}

// Repacks an 8-bit result at 4 or 1 bits per pixel with the same indices.
TBitmap Repacked(const TBitmap& result, TPixelFormat format) {
  TBitmap packed(result.Width(), result.Height(), format);
  packed.SetPalette(result.Palette());
  for (int y = 0; y < result.Height(); ++y) {
    const std::uint8_t* row = result.ScanLine(y);
    for (int x = 0; x < result.Width(); ++x)
      packed.SetIndex(x, y, row[x]);
  }
  return packed;
}

} // namespace

TPalette BuildPalette(const TBitmap& source, TReductionMethod method, int bits) {
  CheckArguments(method, bits);
  TBitmap copy;
  // The reader only converts, and a 24-bit source is never converted.
  TBitmap& picture = const_cast<TBitmap&>(Readable(source, copy));
  return MakePalette(picture, method, 1 << bits);
}

TBitmap ReduceBitmapColors(const TBitmap& source, TReductionMethod method, int dither, int bits) {
  return ReduceBitmapColors(source, method, dither, bits, 1 << std::clamp(bits, 1, 8));
}

TBitmap ReduceBitmapColors(const TBitmap& source, TReductionMethod method, int dither, int bits,
                           int colors) {
  CheckArguments(method, bits);
  if (colors < 2 || colors > (1 << bits))
    throw EMirufoError(Tr("色数が正しくありません (") + std::to_string(colors) + ")");
  if (dither < 0 || dither >= kDitherKindCount)
    throw EMirufoError(Tr("ディザの種類が正しくありません (") + std::to_string(dither) + ")");

  TBitmap copy;
  TBitmap& picture = const_cast<TBitmap&>(Readable(source, copy));
  TDIBReader reader(picture);
  const TPalette palette = MakePalette(picture, method, colors);

  std::unique_ptr<TColorLookup> lookup;
  if (method == cmMonochrome)
    lookup = std::make_unique<TMonochromeLookup>();
  else
    lookup = std::make_unique<TFastColorLookup>(palette);

  const int width = reader.Width();
  const int height = reader.Height();
  std::unique_ptr<TDitherEngine> ditherer = CreateDitherer(dither, width, *lookup);

  TBitmap result;
  TDIBWriter writer(result, palette, height, width, pf8bit);
  TPaletteEntry chosen;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* in = reader.RowAddress(y);
    std::uint8_t* out = writer.RowAddress(y);
    for (int x = ditherer->Column(); x >= 0 && x < width; x = ditherer->Column()) {
      const std::uint8_t* p = in + static_cast<std::size_t>(x) * 3;
      out[x] = static_cast<std::uint8_t>(ditherer->MapPixel(p[2], p[1], p[0], chosen));
    }
    ditherer->EndRow();
  }

  if (method == cmFourGrays)
    return Repacked(result, pf4bit);
  if (method == cmMonochrome)
    return Repacked(result, pf1bit);
  return result;
}

} // namespace mirufo
