#include "import/jpeg_image.h"
#include "import/png_image.h"
#include "test_encoders.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace mirufo {
namespace {

using test::JpegKind;
using test::MakeJpeg;
using test::MakePng;
using test::PngSpec;

TBitmap LoadPng(const std::string& bytes) {
  TPNGImage image;
  image.LoadFromBytes(bytes, "test.png");
  EXPECT_EQ(image.Picture().PixelFormat(), pf24bit);
  return image.Picture();
}

TBitmap LoadJpeg(const std::string& bytes) {
  TJPEGImage image;
  image.LoadFromBytes(bytes, "test.jpg");
  EXPECT_EQ(image.Picture().PixelFormat(), pf24bit);
  return image.Picture();
}

// True when every channel is within tolerance of the expected colour.
testing::AssertionResult Near(TColor actual, TColor expected, int tolerance) {
  int dr = std::abs(GetRValue(actual) - GetRValue(expected));
  int dg = std::abs(GetGValue(actual) - GetGValue(expected));
  int db = std::abs(GetBValue(actual) - GetBValue(expected));
  if (dr <= tolerance && dg <= tolerance && db <= tolerance)
    return testing::AssertionSuccess();
  return testing::AssertionFailure() << std::hex << actual << " is not near " << expected;
}

TEST(PNGImage, ColourTypesAndDepths) {
  PngSpec rgb;
  rgb.Width = 2;
  rgb.Rows = {std::string("\xFF\x00\x00\x00\x80\xFF", 6)};
  TBitmap b = LoadPng(MakePng(rgb));
  EXPECT_EQ(b.GetPixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(b.GetPixel(1, 0), RGB(0, 128, 255));

  PngSpec grey1;
  grey1.Width = 9;
  grey1.ColorType = PNG_COLOR_TYPE_GRAY;
  grey1.BitDepth = 1;
  grey1.Rows = {std::string("\xA0\x80", 2)};
  b = LoadPng(MakePng(grey1));
  EXPECT_EQ(b.GetPixel(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(b.GetPixel(1, 0), RGB(0, 0, 0));
  EXPECT_EQ(b.GetPixel(2, 0), RGB(255, 255, 255));
  EXPECT_EQ(b.GetPixel(8, 0), RGB(255, 255, 255));

  PngSpec grey16;
  grey16.ColorType = PNG_COLOR_TYPE_GRAY;
  grey16.BitDepth = 16;
  grey16.Rows = {std::string("\x80\x80", 2)};
  EXPECT_EQ(LoadPng(MakePng(grey16)).GetPixel(0, 0), RGB(128, 128, 128));

  PngSpec palette4;
  palette4.Width = 2;
  palette4.ColorType = PNG_COLOR_TYPE_PALETTE;
  palette4.BitDepth = 4;
  palette4.Palette = {{10, 20, 30}, {40, 50, 60}};
  palette4.Rows = {std::string("\x10", 1)};
  b = LoadPng(MakePng(palette4));
  EXPECT_EQ(b.GetPixel(0, 0), RGB(40, 50, 60));
  EXPECT_EQ(b.GetPixel(1, 0), RGB(10, 20, 30));
}

TEST(PNGImage, TransparencyIsCompositedOnWhite) {
  PngSpec rgba;
  rgba.Width = 3;
  rgba.ColorType = PNG_COLOR_TYPE_RGB_ALPHA;
  rgba.Rows = {std::string("\xFF\x00\x00\xFF"
                           "\x00\x00\x00\x00"
                           "\x00\x00\x00\x80",
                           12)};
  TBitmap b = LoadPng(MakePng(rgba));
  EXPECT_EQ(b.GetPixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(b.GetPixel(1, 0), RGB(255, 255, 255));
  EXPECT_EQ(b.GetPixel(2, 0), RGB(127, 127, 127));

  PngSpec greyAlpha16;
  greyAlpha16.ColorType = PNG_COLOR_TYPE_GRAY_ALPHA;
  greyAlpha16.BitDepth = 16;
  greyAlpha16.Rows = {std::string("\x00\x00\x00\x00", 4)};
  EXPECT_EQ(LoadPng(MakePng(greyAlpha16)).GetPixel(0, 0), RGB(255, 255, 255));

  PngSpec palette;
  palette.Width = 2;
  palette.ColorType = PNG_COLOR_TYPE_PALETTE;
  palette.BitDepth = 2;
  palette.Palette = {{0, 0, 255}, {0, 0, 0}};
  palette.PaletteAlpha = {255, 0};
  palette.Rows = {std::string("\x10", 1)};
  b = LoadPng(MakePng(palette));
  EXPECT_EQ(b.GetPixel(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(b.GetPixel(1, 0), RGB(255, 255, 255));

  PngSpec keyed;
  keyed.Width = 2;
  keyed.HasTransparentColour = true;
  keyed.TransparentColour.red = 1;
  keyed.TransparentColour.green = 2;
  keyed.TransparentColour.blue = 3;
  keyed.Rows = {std::string("\x01\x02\x03\x01\x02\x04", 6)};
  b = LoadPng(MakePng(keyed));
  EXPECT_EQ(b.GetPixel(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(b.GetPixel(1, 0), RGB(1, 2, 4));
}

TEST(PNGImage, InterlacedEqualsPlain) {
  PngSpec plain;
  plain.Width = 9;
  plain.Height = 9;
  plain.BitDepth = 16;
  for (int y = 0; y < 9; ++y) {
    std::string row;
    for (int x = 0; x < 9 * 3; ++x) {
      row += static_cast<char>(y * 20 + x); // 16-bit samples v * 257
      row += static_cast<char>(y * 20 + x);
    }
    plain.Rows.push_back(row);
  }
  PngSpec interlaced = plain;
  interlaced.Interlace = true;
  TBitmap a = LoadPng(MakePng(plain)), b = LoadPng(MakePng(interlaced));
  EXPECT_TRUE(a.SamePixels(b));
  EXPECT_EQ(a.GetPixel(8, 8), RGB(184, 185, 186));
}

TEST(PNGImage, BrokenFilesAreRefused) {
  PngSpec rgb;
  rgb.Width = 64;
  rgb.Height = 64;
  rgb.Rows.assign(64, std::string(64 * 3, '\x40'));
  const std::string good = MakePng(rgb);
  TPNGImage image;
  EXPECT_THROW(image.LoadFromBytes("GIF89a", "x.png"), EInvalidGraphic);
  EXPECT_THROW(image.LoadFromBytes(good.substr(0, good.size() / 2), "x.png"), EInvalidGraphic);
  EXPECT_THROW(image.LoadFromBytes(good.substr(0, 20), "x.png"), EInvalidGraphic);
  std::string badCrc = good;
  badCrc[29] ^= 0x55; // inside IHDR's CRC
  EXPECT_THROW(image.LoadFromBytes(badCrc, "x.png"), EInvalidGraphic);
  // IHDR of 20000 x 20000: refused before the pixels are allocated.
  std::string huge = good;
  huge[16] = 0, huge[17] = 0, huge[18] = '\x4E', huge[19] = '\x20';
  huge[20] = 0, huge[21] = 0, huge[22] = '\x4E', huge[23] = '\x20';
  try {
    image.LoadFromBytes(huge, "huge.png");
    ADD_FAILURE();
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(std::string(e.what()).find("huge.png"), std::string::npos);
  }
}

TEST(JPEGImage, ColourGreyAndCmyk) {
  TBitmap b = LoadJpeg(MakeJpeg(16, 8, JpegKind::Colour, {200, 100, 50}));
  EXPECT_EQ(b.Width(), 16);
  EXPECT_EQ(b.Height(), 8);
  EXPECT_TRUE(Near(b.GetPixel(5, 5), RGB(200, 100, 50), 3));

  b = LoadJpeg(MakeJpeg(8, 8, JpegKind::Colour, {10, 240, 30}, true));
  EXPECT_TRUE(Near(b.GetPixel(7, 7), RGB(10, 240, 30), 3));

  b = LoadJpeg(MakeJpeg(8, 8, JpegKind::Grey, {90}));
  EXPECT_TRUE(Near(b.GetPixel(3, 3), RGB(90, 90, 90), 1));

  // Red as ink values C 0, M 255, Y 255, K 0; Adobe files store them inverted.
  b = LoadJpeg(MakeJpeg(8, 8, JpegKind::CmykAdobe, {255, 0, 0, 255}));
  EXPECT_TRUE(Near(b.GetPixel(0, 0), RGB(255, 0, 0), 3));
  b = LoadJpeg(MakeJpeg(8, 8, JpegKind::CmykPlain, {0, 255, 255, 0}));
  EXPECT_TRUE(Near(b.GetPixel(0, 0), RGB(255, 0, 0), 3));
}

TEST(JPEGImage, BrokenFilesAreRefused) {
  const std::string good = MakeJpeg(64, 64, JpegKind::Colour, {1, 2, 3});
  TJPEGImage image;
  EXPECT_THROW(image.LoadFromBytes("BM", "x.jpg"), EInvalidGraphic);
  EXPECT_THROW(image.LoadFromBytes(good.substr(0, 40), "x.jpg"), EInvalidGraphic);
  try {
    image.LoadFromBytes(good.substr(0, good.size() * 2 / 3), "cut.jpg");
    ADD_FAILURE() << "a truncated JPEG loaded";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(std::string(e.what()).find("cut.jpg"), std::string::npos);
  }
  EXPECT_TRUE(image.Picture().Empty());
}

} // namespace
} // namespace mirufo
