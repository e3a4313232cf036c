// Picture files built byte by byte in tests. Header-only, so that the fuzz
// seed writer can use them without the test framework.
#pragma once

#include "imaging/bitmap.h"
#include "picture_bytes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mirufo::test {

// A BMP file: file header, information header, masks, palette, pixels.
struct BmpSpec {
  std::int32_t Width = 1;
  std::int32_t Height = 1;
  int Bits = 24;
  std::uint32_t Compression = 0;
  std::vector<TColor> Palette;
  std::vector<std::uint32_t> Masks; // written after a 40-byte header
  std::string Pixels;
  std::int64_t ColorsUsed = -1; // -1: the palette's size
  bool CoreHeader = false;      // the 12-byte OS/2 header, 3-byte palette
};

inline std::string MakeBmp(const BmpSpec& s) {
  std::string info;
  if (s.CoreHeader) {
    PutLE32(info, 12);
    PutLE16(info, static_cast<std::uint32_t>(s.Width));
    PutLE16(info, static_cast<std::uint32_t>(s.Height));
    PutLE16(info, 1);
    PutLE16(info, static_cast<std::uint32_t>(s.Bits));
  } else {
    PutLE32(info, 40);
    PutLE32(info, static_cast<std::uint32_t>(s.Width));
    PutLE32(info, static_cast<std::uint32_t>(s.Height));
    PutLE16(info, 1);
    PutLE16(info, static_cast<std::uint32_t>(s.Bits));
    PutLE32(info, s.Compression);
    PutLE32(info, static_cast<std::uint32_t>(s.Pixels.size()));
    PutLE32(info, 2835);
    PutLE32(info, 2835);
    PutLE32(info, static_cast<std::uint32_t>(s.ColorsUsed < 0 ? s.Palette.size() : s.ColorsUsed));
    PutLE32(info, 0);
    for (std::uint32_t m : s.Masks)
      PutLE32(info, m);
  }
  for (TColor c : s.Palette) {
    info += static_cast<char>(GetBValue(c));
    info += static_cast<char>(GetGValue(c));
    info += static_cast<char>(GetRValue(c));
    if (!s.CoreHeader)
      info += '\0';
  }
  std::string file = "BM";
  PutLE32(file, static_cast<std::uint32_t>(14 + info.size() + s.Pixels.size()));
  PutLE32(file, 0);
  PutLE32(file, static_cast<std::uint32_t>(14 + info.size()));
  return file + info + s.Pixels;
}

// A MAG file: the header's frame and the three data blocks as given.
struct MagSpec {
  bool Colours256 = false;
  int X1 = 0, Y1 = 0, X2 = 7, Y2 = 0;
  std::string FlagA, FlagB, Pixels;
  std::string Palette;     // green, red, blue triples; zero-filled to full size
  std::string User = "hi"; // the user name after the machine field
};

// Offsets of the header fields within a file whose user name is "hi", for
// tests that break them.
constexpr std::size_t kMagHeaderAt = 8 + 24 + 3; // signature, machine/user, "hi" and 0x1A
constexpr std::size_t kMagFlagBSizeAt = kMagHeaderAt + 20;
constexpr std::size_t kMagPixelSizeAt = kMagHeaderAt + 28;

inline std::string MakeMag(const MagSpec& s) {
  std::string file = "MAKI02  " + std::string(24, ' ') + s.User + "\x1A";
  std::string palette = s.Palette;
  palette.resize(s.Colours256 ? 768 : 48, '\0');
  const std::uint32_t flagA = 32 + static_cast<std::uint32_t>(palette.size());
  const std::uint32_t flagB = flagA + static_cast<std::uint32_t>(s.FlagA.size());
  const std::uint32_t pixels = flagB + static_cast<std::uint32_t>(s.FlagB.size());
  file += std::string(1, '\0') + '\0' + '\0' + static_cast<char>(s.Colours256 ? 0x80 : 0);
  PutLE16(file, static_cast<std::uint32_t>(s.X1));
  PutLE16(file, static_cast<std::uint32_t>(s.Y1));
  PutLE16(file, static_cast<std::uint32_t>(s.X2));
  PutLE16(file, static_cast<std::uint32_t>(s.Y2));
  PutLE32(file, flagA);
  PutLE32(file, flagB);
  PutLE32(file, static_cast<std::uint32_t>(s.FlagB.size()));
  PutLE32(file, pixels);
  PutLE32(file, static_cast<std::uint32_t>(s.Pixels.size()));
  return file + palette + s.FlagA + s.FlagB + s.Pixels;
}

} // namespace mirufo::test
