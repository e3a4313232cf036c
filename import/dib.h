// Device-independent bitmaps: the pixel layout of BMP files, of the BMP
// entries of icons and of what import plug-ins hand back. Shared by those
// readers; not part of the import interface.
#pragma once

#include "imaging/bitmap.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mirufo {

inline constexpr std::uint32_t kBiRgb = 0;
inline constexpr std::uint32_t kBiRle8 = 1;
inline constexpr std::uint32_t kBiRle4 = 2;
inline constexpr std::uint32_t kBiBitfields = 3;
inline constexpr std::uint32_t kBiAlphaBitfields = 6;

// What the information header and colour table of a DIB say.
struct TDibInfo {
  int Width = 0;
  int Height = 0; // always positive; TopDown tells the row order
  bool TopDown = false;
  int BitCount = 0;
  std::uint32_t Compression = kBiRgb;
  // Red, green, blue and alpha masks for 16 and 32 bits.
  std::array<std::uint32_t, 4> Masks{};
  // 2^BitCount entries for 1, 4 and 8 bits (missing ones black).
  std::vector<TRGBQuad> Palette;
  // Bytes taken by the header, the masks that follow it and the colour table.
  std::size_t HeaderBytes = 0;
};

// Reads the information header and colour table at data (size bytes are
// available from there). With iconImage the header's height counts the
// colour image and its mask together and is halved. When the colour table
// count is 0, 1-, 4- and 8-bit pictures get a full table. Raises
// EInvalidGraphic naming name for anything that does not fit the data or the
// bitmap limits, or that is not a DIB this program reads.
TDibInfo ParseDibHeader(const std::uint8_t* data, std::size_t size, const std::string& name,
                        bool iconImage = false);

// Decodes the pixel bits (size bytes available). 1-, 4- and 8-bit pictures
// (RLE included) keep their palette; every other depth becomes 24 bits. With
// alpha, 32-bit pictures also give their alpha channel (one byte a pixel,
// rows from the top) when they have one. Raises EInvalidGraphic for bits that
// are too short or RLE codes that leave the picture.
TBitmap DecodeDibPixels(const TDibInfo& info, const std::uint8_t* bits, std::size_t size,
                        const std::string& name, std::vector<std::uint8_t>* alpha = nullptr);

// Bytes of one row of a DIB, padded to 4.
std::size_t DibStride(int width, int bitCount);

} // namespace mirufo
