#include "import/bitmap_reader.h"
#include "picture_files.h"

#include <gtest/gtest.h>
#include <vector>

namespace mirufo {
namespace {

using test::BmpSpec;
using test::Bytes;
using test::MakeBmp;

BmpSpec Spec(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression = 0,
             std::vector<TColor> palette = {}) {
  BmpSpec s;
  s.Width = width;
  s.Height = height;
  s.Bits = bits;
  s.Compression = compression;
  s.Palette = std::move(palette);
  return s;
}

TBitmap Load(const std::string& bytes) {
  TBitmapReader reader;
  reader.LoadFromBytes(bytes, "test.bmp");
  return reader.Picture();
}

// The message of the error a load raises, or "" when it loads.
std::string LoadError(const std::string& bytes) {
  try {
    Load(bytes);
  } catch (const EInvalidGraphic& e) {
    return e.what();
  }
  return "";
}

constexpr TColor kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                 kWhite = RGB(255, 255, 255);

TEST(BitmapReader, PaletteDepthsKeepIndexesAndPalette) {
  // 1 bit, 10 x 2, bottom-up: the file's first row is the picture's bottom.
  BmpSpec one = Spec(10, 2, 1, 0, {kRed, kBlue});
  one.Pixels = Bytes({0x80, 0x40, 0, 0, 0xFF, 0xC0, 0, 0});
  TBitmap b = Load(MakeBmp(one));
  ASSERT_EQ(b.PixelFormat(), pf1bit);
  EXPECT_EQ(b.GetPixel(0, 1), kBlue);
  EXPECT_EQ(b.GetPixel(1, 1), kRed);
  EXPECT_EQ(b.GetPixel(9, 1), kBlue);
  EXPECT_EQ(b.GetPixel(9, 0), kBlue);
  EXPECT_EQ(b.GetPixel(5, 0), kBlue);

  BmpSpec four = Spec(3, 1, 4, 0, {kRed, kGreen, kBlue});
  four.Pixels = Bytes({0x21, 0x00, 0, 0});
  b = Load(MakeBmp(four));
  EXPECT_EQ(b.GetPixel(0, 0), kBlue);
  EXPECT_EQ(b.GetPixel(1, 0), kGreen);
  EXPECT_EQ(b.GetPixel(2, 0), kRed);

  // 8 bits, top-down; an index past the given colours reads black.
  BmpSpec eight = Spec(2, -2, 8, 0, {kRed, kGreen});
  eight.Pixels = Bytes({0, 1, 0, 0, 1, 200, 0, 0});
  b = Load(MakeBmp(eight));
  ASSERT_EQ(b.Height(), 2);
  EXPECT_EQ(b.GetPixel(0, 0), kRed);
  EXPECT_EQ(b.GetPixel(1, 0), kGreen);
  EXPECT_EQ(b.GetPixel(1, 1), RGB(0, 0, 0));

  BmpSpec core = Spec(2, 1, 8, 0, {kRed, kWhite});
  core.CoreHeader = true;
  core.Palette.resize(256);
  core.Pixels = Bytes({1, 0, 0, 0});
  b = Load(MakeBmp(core));
  EXPECT_EQ(b.GetPixel(0, 0), kWhite);
  EXPECT_EQ(b.GetPixel(1, 0), kRed);
}

TEST(BitmapReader, TrueColourDepthsAndBitFields) {
  // 24 bits, 2 x 2 with row padding, bottom-up.
  BmpSpec s24 = Spec(2, 2, 24);
  s24.Pixels = Bytes({0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0});
  TBitmap b = Load(MakeBmp(s24));
  ASSERT_EQ(b.PixelFormat(), pf24bit);
  EXPECT_EQ(b.GetPixel(0, 1), kRed);
  EXPECT_EQ(b.GetPixel(1, 1), kGreen);
  EXPECT_EQ(b.GetPixel(0, 0), kBlue);
  EXPECT_EQ(b.GetPixel(1, 0), kWhite);

  // 16 bits without fields is 5-5-5; 31 scales to 255.
  BmpSpec s16 = Spec(2, 1, 16);
  s16.Pixels = Bytes({0x00, 0x7C, 0x10, 0x42});
  b = Load(MakeBmp(s16));
  EXPECT_EQ(b.GetPixel(0, 0), kRed);
  EXPECT_EQ(b.GetPixel(1, 0), RGB(132, 132, 132));

  BmpSpec s565 = Spec(2, 1, 16, 3);
  s565.Masks = {0xF800, 0x07E0, 0x001F};
  s565.Pixels = Bytes({0xE0, 0x07, 0x1F, 0x00});
  b = Load(MakeBmp(s565));
  EXPECT_EQ(b.GetPixel(0, 0), kGreen);
  EXPECT_EQ(b.GetPixel(1, 0), kBlue);

  BmpSpec s32 = Spec(1, 1, 32);
  s32.Pixels = Bytes({10, 20, 30, 99});
  EXPECT_EQ(Load(MakeBmp(s32)).GetPixel(0, 0), RGB(30, 20, 10));

  BmpSpec s32f = Spec(1, 1, 32, 3);
  s32f.Masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
  s32f.Pixels = Bytes({10, 20, 30, 0});
  EXPECT_EQ(Load(MakeBmp(s32f)).GetPixel(0, 0), RGB(10, 20, 30));
}

TEST(BitmapReader, RunLengthEncodings) {
  // RLE8 4 x 3: a run, a literal run, a delta, end of line and of bitmap.
  BmpSpec rle8 = Spec(4, 3, 8, 1, {kWhite, kRed, kGreen, kBlue});
  rle8.Pixels = Bytes({2, 1, 0, 0,       // bottom row: red red, end of line
                       0, 3, 2, 3, 1, 0, // literal green blue red (padded)
                       0, 2, 0, 1,       // delta: up one row, to (3, 2)
                       1, 3, 0, 1});     // blue, end of bitmap
  TBitmap b = Load(MakeBmp(rle8));
  ASSERT_EQ(b.PixelFormat(), pf8bit);
  EXPECT_EQ(b.GetPixel(0, 2), kRed);
  EXPECT_EQ(b.GetPixel(1, 2), kRed);
  EXPECT_EQ(b.GetPixel(2, 2), kWhite); // skipped pixels take entry 0
  EXPECT_EQ(b.GetPixel(0, 1), kGreen);
  EXPECT_EQ(b.GetPixel(1, 1), kBlue);
  EXPECT_EQ(b.GetPixel(2, 1), kRed);
  EXPECT_EQ(b.GetPixel(3, 1), kWhite);
  EXPECT_EQ(b.GetPixel(3, 0), kBlue);
  EXPECT_EQ(b.GetPixel(0, 0), kWhite);

  BmpSpec rle4 = Spec(6, 1, 4, 2, {kWhite, kRed, kGreen, kBlue});
  rle4.Pixels = Bytes({3, 0x12, 0, 3, 0x30, 0x20, 0, 1});
  b = Load(MakeBmp(rle4));
  ASSERT_EQ(b.PixelFormat(), pf4bit);
  EXPECT_EQ(b.GetPixel(0, 0), kRed);
  EXPECT_EQ(b.GetPixel(1, 0), kGreen);
  EXPECT_EQ(b.GetPixel(2, 0), kRed);
  EXPECT_EQ(b.GetPixel(3, 0), kBlue);
  EXPECT_EQ(b.GetPixel(4, 0), kWhite);
  EXPECT_EQ(b.GetPixel(5, 0), kGreen);
}

TEST(BitmapReader, MalformedFilesAreRefusedWithTheFileName) {
  BmpSpec good = Spec(2, 2, 8, 0, {kRed});
  good.Pixels = std::string(8, '\0');
  ASSERT_EQ(LoadError(MakeBmp(good)), "");

  EXPECT_NE(LoadError("XX" + MakeBmp(good).substr(2)).find("test.bmp"), std::string::npos);

  BmpSpec s = good;
  s.ColorsUsed = 300;
  EXPECT_NE(LoadError(MakeBmp(s)).find("パレット"), std::string::npos);
  s.ColorsUsed = 256; // the colour table runs past the end of the file
  EXPECT_NE(LoadError(MakeBmp(s)).find("パレット"), std::string::npos);

  std::string truncated = MakeBmp(good);
  truncated.resize(truncated.size() - 3);
  EXPECT_NE(LoadError(truncated).find("途中で終わって"), std::string::npos);
  EXPECT_NE(LoadError(MakeBmp(good).substr(0, 30)), "");

  std::string badOffset = MakeBmp(good);
  badOffset[10] = '\xFF';
  badOffset[11] = '\xFF';
  EXPECT_NE(LoadError(badOffset), "");

  for (auto [w, h] : std::vector<std::pair<int, int>>{{0, 2}, {2, 0}, {40000, 1}, {20000, 20000}}) {
    s = good;
    s.Width = w;
    s.Height = h;
    EXPECT_NE(LoadError(MakeBmp(s)), "") << w << " x " << h;
  }

  BmpSpec rle = Spec(4, 2, 8, 1, {kRed});
  rle.Pixels = Bytes({5, 1, 0, 1}); // a run longer than the row
  EXPECT_NE(LoadError(MakeBmp(rle)).find("RLE"), std::string::npos);
  rle.Pixels = Bytes({0, 6, 1, 1, 1, 1, 1, 1}); // literal longer than the row
  EXPECT_NE(LoadError(MakeBmp(rle)).find("RLE"), std::string::npos);
  rle.Pixels = Bytes({0, 2, 0, 5, 1, 1}); // delta above the picture
  EXPECT_NE(LoadError(MakeBmp(rle)).find("RLE"), std::string::npos);
  rle.Pixels = Bytes({0, 4, 1, 1}); // literal cut short by the end of the file
  EXPECT_NE(LoadError(MakeBmp(rle)).find("RLE"), std::string::npos);
  rle.Pixels = Bytes({2, 1}); // ends before the picture does, no end mark
  EXPECT_NE(LoadError(MakeBmp(rle)).find("RLE"), std::string::npos);
  rle.Pixels = Bytes({4, 1, 0, 0, 4, 1, 0, 0}); // every row ended, no end mark: fine
  EXPECT_EQ(LoadError(MakeBmp(rle)), "");

  BmpSpec fields = Spec(1, 1, 16, 3);
  fields.Masks = {0xF0F0, 0, 0}; // not one run of bits
  fields.Pixels = std::string(4, '\0');
  EXPECT_NE(LoadError(MakeBmp(fields)), "");
}

} // namespace
} // namespace mirufo
