#include "imaging/bitmap.h"
#include "platform/errors.h"
#include "platform/limits.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

TEST(Bitmap, RowsArePaddedToFourBytes) {
  for (auto [width, stride] : {std::pair{1, 4}, {2, 8}, {3, 12}, {5, 16}, {4, 12}}) {
    TBitmap b(width, 2);
    EXPECT_EQ(b.Stride(), static_cast<std::size_t>(stride)) << width;
    EXPECT_EQ(b.ScanLine(1) - b.ScanLine(0), stride);
  }
  EXPECT_EQ(TBitmap(9, 1, pf1bit).Stride(), 4u);
  EXPECT_EQ(TBitmap(33, 1, pf1bit).Stride(), 8u);
  EXPECT_EQ(TBitmap(9, 1, pf4bit).Stride(), 8u);
}

TEST(Bitmap, EmptyIsAllowed) {
  TBitmap b;
  EXPECT_TRUE(b.Empty());
  b.SetSize(0, 0);
  b.Fill(RGB(1, 2, 3));
  b.SetPixelFormat(pf8bit);
  EXPECT_TRUE(b.SamePixels(TBitmap(0, 0, pf8bit)) || b.Palette().size() > 0);
}

TEST(Bitmap, TooLargeIsRefusedBeforeAllocating) {
  EXPECT_THROW(TBitmap(30001, 1), EOutOfResources);
  EXPECT_THROW(TBitmap(20000, 20000), EOutOfResources);
  EXPECT_TRUE(IsAllowedBitmapSize(30000, 6666));
  EXPECT_FALSE(IsAllowedBitmapSize(65536, 65536));
}

TEST(Bitmap, RefusedSetSizeKeepsThePicture) {
  TBitmap b(2, 2);
  b.SetPixel(1, 1, RGB(1, 2, 3));
  EXPECT_THROW(b.SetSize(30001, 2), EOutOfResources);
  EXPECT_EQ(b.Width(), 2);
  EXPECT_EQ(b.Height(), 2);
  EXPECT_EQ(b.GetPixel(1, 1), RGB(1, 2, 3));
}

TEST(Bitmap, SubBytePixelsPackLeftmostHigh) {
  TBitmap b(3, 1, pf4bit);
  b.SetIndex(0, 0, 0xA);
  b.SetIndex(1, 0, 0x5);
  b.SetIndex(2, 0, 0xF);
  EXPECT_EQ(b.ScanLine(0)[0], 0xA5);
  EXPECT_EQ(b.ScanLine(0)[1], 0xF0);
  TBitmap m(10, 1, pf1bit);
  m.SetIndex(0, 0, 1);
  m.SetIndex(9, 0, 1);
  EXPECT_EQ(m.ScanLine(0)[0], 0x80);
  EXPECT_EQ(m.ScanLine(0)[1], 0x40);
}

TEST(Bitmap, PaletteToTrueColourAndBack) {
  TBitmap b(2, 1, pf8bit);
  b.SetPalette({{0, 0, 0, 0}, {10, 20, 30, 0}});
  b.SetIndex(1, 0, 1);
  b.SetPixelFormat(pf24bit);
  EXPECT_EQ(b.GetPixel(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(b.GetPixel(1, 0), RGB(30, 20, 10));
  b.SetPalette({{0, 0, 0, 0}, {10, 20, 30, 0}});
  b.SetPixelFormat(pf1bit);
  EXPECT_EQ(b.GetIndex(1, 0), 1);
  EXPECT_EQ(b.GetIndex(0, 0), 0);
}

TEST(Bitmap, SetSizeKeepsTheOverlap) {
  TBitmap b(3, 3);
  b.SetPixel(1, 1, RGB(9, 8, 7));
  b.SetSize(5, 2);
  EXPECT_EQ(b.GetPixel(1, 1), RGB(9, 8, 7));
  EXPECT_EQ(b.GetPixel(4, 1), 0u);
  TBitmap m(3, 1, pf1bit);
  m.ScanLine(0)[0] = 0xFF; // pixels 0..2 set, padding bits dirty
  m.SetSize(6, 1);
  EXPECT_EQ(m.GetIndex(2, 0), 1);
  EXPECT_EQ(m.GetIndex(3, 0), 0);
  EXPECT_EQ(m.GetIndex(5, 0), 0);
}

TEST(Bitmap, CopyRectClipsOnEverySide) {
  TBitmap source(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      source.SetPixel(x, y, RGB(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 1));
  TBitmap dest(3, 3);
  dest.Fill(RGB(255, 255, 255));
  EXPECT_TRUE(dest.CopyRect(-1, 1, source, {0, 0, 4, 4}));
  EXPECT_EQ(dest.GetPixel(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(dest.GetPixel(0, 1), RGB(1, 0, 1));
  EXPECT_EQ(dest.GetPixel(2, 2), RGB(3, 1, 1));
  EXPECT_TRUE(dest.CopyRect(0, 0, source, {-2, -2, 1, 1}));
  EXPECT_EQ(dest.GetPixel(2, 2), RGB(0, 0, 1));
  EXPECT_FALSE(dest.CopyRect(0, 0, TBitmap(1, 1, pf8bit), {0, 0, 1, 1}));
}

TEST(Bitmap, SamePixelsIgnoresPadding) {
  TBitmap a(1, 1), b(1, 1);
  a.ScanLine(0)[3] = 7;
  EXPECT_TRUE(a.SamePixels(b));
  b.SetPixel(0, 0, RGB(0, 0, 1));
  EXPECT_FALSE(a.SamePixels(b));
}

TEST(Bitmap, LoweredLimitsReachTheBitmapAndAreRestored) {
  EXPECT_TRUE(IsAllowedBitmapSize(20000, 10000));
  EXPECT_FALSE(IsAllowedBitmapSize(20000, 10001));
  {
    TScopedLimits small({100, 5000, 1024});
    EXPECT_FALSE(IsAllowedBitmapSize(101, 1));
    EXPECT_FALSE(IsAllowedBitmapSize(100, 51));
    EXPECT_THROW(TBitmap(101, 1, pf24bit), EOutOfResources);
    EXPECT_NO_THROW(TBitmap(100, 50, pf24bit));
  }
  EXPECT_EQ(Limits().MaxSide, 30000);
  EXPECT_EQ(Limits().MaxPixels, 200'000'000);
  EXPECT_EQ(Limits().MaxTextFileBytes, std::size_t{16} << 20);
  EXPECT_NO_THROW(TBitmap(101, 1, pf24bit));
}

} // namespace
} // namespace mirufo
