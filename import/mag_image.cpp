#include "import/mag_image.h"

#include <array>
#include <cstring>
#include <vector>

namespace mirufo {
namespace {

// Distance of a copied unit: dx units to the left, dy rows up.
constexpr std::array<int, 16> kCopyDx = {0, 1, 2, 4, 0, 1, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0};
constexpr std::array<int, 16> kCopyDy = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};

[[noreturn]] void MagFail(const std::string& what) {
  throw EMagError("MAG image error:" + what);
}

} // namespace

const TGraphicClass TMAGImage::Class{
    "TMAGImage", []() -> std::unique_ptr<TGraphic> { return std::make_unique<TMAGImage>(); }};

void TMAGImage::LoadFromBytes(std::string_view bytes, const std::string& name) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const std::size_t size = bytes.size();
  if (size < 8 || std::memcmp(data, "MAKI02  ", 8) != 0)
    MagFail("is not MAG.");
  const std::string where = " (" + name + ")";

  // The header follows the first 0x1A at or after offset 32.
  std::size_t h = 32;
  while (h < size && data[h] != 0x1A)
    ++h;
  if (h >= size)
    MagFail("no end of comment (0x1A)." + where);
  ++h;
  if (!InRange(h, 32, size))
    MagFail("header is cut short." + where);
  const std::uint8_t* header = data + h;
  const bool colours256 = (header[3] & 0x80) != 0;
  const std::int64_t x1 = ReadLE16(header + 4), y1 = ReadLE16(header + 6);
  const std::int64_t x2 = ReadLE16(header + 8), y2 = ReadLE16(header + 10);
  const std::uint64_t flagAOffset = h + std::uint64_t{ReadLE32(header + 12)};
  const std::uint64_t flagBOffset = h + std::uint64_t{ReadLE32(header + 16)};
  const std::uint64_t flagBSize = ReadLE32(header + 20);
  const std::uint64_t pixelOffset = h + std::uint64_t{ReadLE32(header + 24)};
  const std::uint64_t pixelSize = ReadLE32(header + 28);

  const std::size_t paletteEntries = colours256 ? 256 : 16;
  if (!InRange(h + 32, paletteEntries * 3, size))
    MagFail("palette is cut short." + where);
  std::vector<TRGBQuad> palette(paletteEntries);
  for (std::size_t i = 0; i < paletteEntries; ++i) {
    const std::uint8_t* e = data + h + 32 + 3 * i; // green, red, blue
    palette[i] = {e[2], e[0], e[1], 0};
  }

  const std::int64_t a = colours256 ? 4 : 8;
  const std::int64_t width = (x2 - x2 % a + a) - (x1 - x1 % a);
  const std::int64_t height = y2 - y1 + 1;
  if (width <= 0 || height <= 0 || !IsAllowedBitmapSize(width, height))
    MagFail("bad picture size (" + std::to_string(width) + " x " + std::to_string(height) + ")." +
            where);
  if (!InRange(flagBOffset, flagBSize, size) || !InRange(pixelOffset, pixelSize, size) ||
      flagAOffset > size)
    MagFail("stream offset outside the file." + where);

  // A unit is two bytes: 4 pixels at 16 colours, 2 at 256.
  const std::size_t unitsPerRow = static_cast<std::size_t>(colours256 ? width / 2 : width / 4);
  const std::size_t flagBytesPerRow = unitsPerRow / 2;
  const std::uint64_t flagABits = static_cast<std::uint64_t>(flagBytesPerRow) * height;
  if (!InRange(flagAOffset, (flagABits + 7) / 8, size))
    MagFail("flag A is cut short." + where);

  TBitmap out(static_cast<int>(width), static_cast<int>(height), colours256 ? pf8bit : pf4bit);
  out.SetPalette(std::move(palette));
  // The units of every row, one after the other; copies address this buffer
  // and may not reach before its start.
  std::vector<std::uint8_t> units(unitsPerRow * 2 * static_cast<std::size_t>(height));
  std::vector<std::uint8_t> flags(flagBytesPerRow, 0);
  const std::uint8_t* flagA = data + flagAOffset;
  std::uint64_t flagABit = 0, flagBPos = 0, pixelPos = 0;

  for (std::int64_t y = 0; y < height; ++y) {
    std::uint8_t* rowUnits = units.data() + static_cast<std::size_t>(y) * unitsPerRow * 2;
    for (std::size_t i = 0; i < flagBytesPerRow; ++i, ++flagABit) {
      if ((flagA[flagABit / 8] >> (7 - flagABit % 8)) & 1) {
        if (flagBPos >= flagBSize)
          MagFail("flag B is cut short." + where);
        flags[i] ^= data[flagBOffset + flagBPos++];
      }
      for (int half = 0; half < 2; ++half) {
        const int n = half == 0 ? flags[i] >> 4 : flags[i] & 0x0F;
        const std::size_t unit = 2 * i + static_cast<std::size_t>(half);
        std::uint8_t* dst = rowUnits + 2 * unit;
        if (n == 0) {
          if (pixelSize - pixelPos < 2)
            MagFail("pixel data is cut short." + where);
          dst[0] = data[pixelOffset + pixelPos];
          dst[1] = data[pixelOffset + pixelPos + 1];
          pixelPos += 2;
          continue;
        }
        const std::int64_t here =
            y * static_cast<std::int64_t>(unitsPerRow) + static_cast<std::int64_t>(unit);
        const std::int64_t from =
            here - kCopyDx[n] - kCopyDy[n] * static_cast<std::int64_t>(unitsPerRow);
        if (from < 0)
          MagFail("copy reference before the first row." + where);
        const std::uint8_t* src = units.data() + 2 * from;
        dst[0] = src[0];
        dst[1] = src[1];
      }
    }
    std::memcpy(out.ScanLine(static_cast<int>(y)), rowUnits, unitsPerRow * 2);
  }
  picture_ = std::move(out);
}

} // namespace mirufo
