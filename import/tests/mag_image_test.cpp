#include "import/mag_image.h"
#include "picture_files.h"

#include <gtest/gtest.h>
#include <vector>

namespace mirufo {
namespace {

using test::kMagFlagBSizeAt;
using test::kMagHeaderAt;
using test::kMagPixelSizeAt;
using test::MagSpec;
using test::MakeMag;

TBitmap Load(const std::string& bytes) {
  TMAGImage image;
  image.LoadFromBytes(bytes, "test.mag");
  return image.Picture();
}

std::string LoadError(const std::string& bytes) {
  try {
    Load(bytes);
  } catch (const EMagError& e) {
    return e.what();
  }
  return "";
}

std::vector<int> RowIndexes(const TBitmap& b, int y) {
  std::vector<int> row;
  for (int x = 0; x < b.Width(); ++x)
    row.push_back(b.GetIndex(x, y));
  return row;
}

TEST(MAGImage, SixteenColoursWithFlagBXorCarriedDownTheRows) {
  MagSpec s;
  s.Y2 = 3; // 8 x 4: two units and one flag byte a row
  s.Palette = std::string("\x10\x20\x30", 3);
  s.FlagA = "\xD0"; // rows 0, 1 and 3 take a flag B byte; row 2 keeps row 1's flags
  s.FlagB = std::string("\x00\x41\x41", 3);
  s.Pixels = std::string("\x01\x23\x45\x67\x89\xAB\xCD\xEF", 8);
  TBitmap b = Load(MakeMag(s));
  ASSERT_EQ(b.PixelFormat(), pf4bit);
  ASSERT_EQ(b.Width(), 8);
  ASSERT_EQ(b.Height(), 4);
  EXPECT_EQ(b.Palette()[0], (TRGBQuad{0x30, 0x10, 0x20, 0}));
  EXPECT_EQ(RowIndexes(b, 0), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
  // Flags 0x41: unit 0 from one row up, unit 1 from one unit left.
  EXPECT_EQ(RowIndexes(b, 1), (std::vector<int>{0, 1, 2, 3, 0, 1, 2, 3}));
  EXPECT_EQ(RowIndexes(b, 2), (std::vector<int>{0, 1, 2, 3, 0, 1, 2, 3}));
  // 0x41 XOR 0x41 = 0: both units from the pixel data again.
  EXPECT_EQ(RowIndexes(b, 3), (std::vector<int>{8, 9, 10, 11, 12, 13, 14, 15}));
}

TEST(MAGImage, TwoHundredFiftySixColoursAndPaletteOrder) {
  MagSpec s;
  s.Colours256 = true;
  s.X1 = 1;
  s.X2 = 2;                                           // rounded out to 0..3
  s.Palette = std::string(15, '\0') + "\x0A\x14\x1E"; // entry 5: green 10, red 20, blue 30
  s.FlagA = std::string(1, '\0');
  s.Pixels = std::string("\x05\x00\xFF\x01", 4);
  TBitmap b = Load(MakeMag(s));
  ASSERT_EQ(b.PixelFormat(), pf8bit);
  ASSERT_EQ(b.Width(), 4);
  EXPECT_EQ(RowIndexes(b, 0), (std::vector<int>{5, 0, 255, 1}));
  EXPECT_EQ(b.GetPixel(0, 0), RGB(20, 10, 30));
}

TEST(MAGImage, WidthIsRoundedOutToWholeUnits) {
  MagSpec s;
  s.X1 = 3;
  s.X2 = 100;
  s.FlagA = std::string(2, '\0');
  for (int i = 0; i < 52; ++i)
    s.Pixels += static_cast<char>(i == 51 ? 0x0E : 0x11);
  TBitmap b = Load(MakeMag(s));
  EXPECT_EQ(b.Width(), 104);
  EXPECT_EQ(b.Height(), 1);
  EXPECT_EQ(b.GetIndex(0, 0), 1);
  EXPECT_EQ(b.GetIndex(102, 0), 0);
  EXPECT_EQ(b.GetIndex(103, 0), 14);
}

TEST(MAGImage, EveryCopyVector) {
  // 256 colours, 16 x 18: rows 0..16 are literal units whose two bytes are
  // (row, 10 * unit + 1); in row 17 unit 4 copies with vector n.
  const int dx[16] = {0, 1, 2, 4, 0, 1, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0};
  const int dy[16] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};
  for (int n = 1; n < 16; ++n) {
    MagSpec s;
    s.Colours256 = true;
    s.X2 = 15;
    s.Y2 = 17;
    s.FlagA = std::string(9, '\0');
    s.FlagA[8] = 0x02; // row 17, flag byte 2 (units 4 and 5)
    s.FlagB = std::string(1, static_cast<char>(n << 4));
    for (int row = 0; row < 18; ++row)
      for (int unit = 0; unit < 8; ++unit)
        if (row < 17 || unit != 4) {
          s.Pixels += static_cast<char>(row);
          s.Pixels += static_cast<char>(10 * unit + 1);
        }
    TBitmap b = Load(MakeMag(s));
    EXPECT_EQ(b.GetIndex(8, 17), 17 - dy[n]) << "n = " << n;
    EXPECT_EQ(b.GetIndex(9, 17), 10 * (4 - dx[n]) + 1) << "n = " << n;
    EXPECT_EQ(b.GetIndex(10, 17), 17) << "n = " << n; // unit 5 still literal
  }
}

TEST(MAGImage, MalformedFilesAreRefused) {
  EXPECT_EQ(LoadError("MAKI01  " + std::string(100, '\0')), "MAG image error:is not MAG.");
  EXPECT_EQ(LoadError("MAKI"), "MAG image error:is not MAG.");

  MagSpec good;
  good.FlagA = std::string(1, '\0');
  good.Pixels = std::string(4, '\x11');
  ASSERT_EQ(LoadError(MakeMag(good)), "");

  std::string noEnd = MakeMag(good);
  for (char& c : noEnd)
    if (c == '\x1A')
      c = ' ';
  EXPECT_NE(LoadError(noEnd).find("0x1A"), std::string::npos);

  // A copy from above the first row.
  MagSpec up = good;
  up.FlagA = "\x80";
  up.FlagB = "\x40";
  up.Pixels = std::string(2, '\x11');
  EXPECT_NE(LoadError(MakeMag(up)).find("before the first row"), std::string::npos);

  // Streams shorter than the picture needs.
  MagSpec shortPixels = good;
  shortPixels.Pixels = std::string(3, '\x11');
  EXPECT_NE(LoadError(MakeMag(shortPixels)).find("pixel data"), std::string::npos);
  MagSpec shortFlagB = good;
  shortFlagB.FlagA = "\x80";
  EXPECT_NE(LoadError(MakeMag(shortFlagB)).find("flag B"), std::string::npos);
  MagSpec tall = good;
  tall.Y2 = 20; // flag A needs 21 bits, and it is the last stream here
  tall.Pixels.clear();
  EXPECT_NE(LoadError(MakeMag(tall)).find("flag A"), std::string::npos);

  // Sizes in the header that point past the file.
  std::string bigFlagB = MakeMag(good);
  bigFlagB[kMagFlagBSizeAt + 3] = '\x7F';
  EXPECT_NE(LoadError(bigFlagB).find("outside"), std::string::npos);
  std::string bigPixels = MakeMag(good);
  bigPixels[kMagPixelSizeAt + 2] = '\x01';
  EXPECT_NE(LoadError(bigPixels).find("outside"), std::string::npos);

  // Sizes of 0, below 0 or beyond the limits, before any allocation.
  for (auto [x1, x2, y2] : std::vector<std::array<int, 3>>{{100, 3, 0}, {0, 7, 65535}}) {
    MagSpec s = good;
    s.X1 = x1;
    s.X2 = x2;
    s.Y1 = y2 == 65535 ? 0 : 5;
    s.Y2 = y2;
    EXPECT_NE(LoadError(MakeMag(s)).find("size"), std::string::npos) << x1 << " " << x2;
  }
  MagSpec wide = good;
  wide.Colours256 = true;
  wide.X2 = 65535;
  EXPECT_NE(LoadError(MakeMag(wide)).find("size"), std::string::npos);

  EXPECT_NE(LoadError(MakeMag(good).substr(0, kMagHeaderAt + 40)).find("palette"),
            std::string::npos);
  EXPECT_NE(LoadError(MakeMag(good).substr(0, kMagHeaderAt + 10)).find("header"),
            std::string::npos);
}

} // namespace
} // namespace mirufo
