#include "color/color_reducer.h"
#include "color/palette.h"
#include "platform/errors.h"

#include <gtest/gtest.h>
#include <string>

namespace mirufo {
namespace {

TRGBQuad Quad(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return {b, g, r, 0};
}

TEST(ReduceBitmapColors, SingleColourGivesOneLeafRepeatedThroughThePalette) {
  TBitmap source(4, 3);
  source.Fill(RGB(10, 200, 30));
  TBitmap result = ReduceBitmapColors(source, cmOctree, 1, 8);
  ASSERT_EQ(result.PixelFormat(), pf8bit);
  ASSERT_EQ(result.Palette().size(), 256u);
  for (const TRGBQuad& q : result.Palette())
    EXPECT_EQ(q, Quad(10, 200, 30));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(result.GetIndex(x, y), 0);
}

TEST(ReduceBitmapColors, BlackAndWhiteHalvesAtOneBitPutBlackFirst) {
  TBitmap source(4, 4);
  source.Fill(RGB(255, 255, 255));
  source.FillRect({0, 2, 4, 4}, RGB(0, 0, 0));
  TBitmap result = ReduceBitmapColors(source, cmOctree, 0, 1);
  ASSERT_EQ(result.PixelFormat(), pf8bit);
  ASSERT_EQ(result.Palette().size(), 2u);
  EXPECT_EQ(result.Palette()[0], Quad(0, 0, 0));
  EXPECT_EQ(result.Palette()[1], Quad(255, 255, 255));
  EXPECT_EQ(result.GetIndex(3, 0), 1);
  EXPECT_EQ(result.GetIndex(0, 3), 0);
}

TEST(ReduceBitmapColors, FewerLeavesThanColoursPadWithTheLastLeaf) {
  TBitmap source(3, 1);
  source.SetPixel(0, 0, RGB(200, 0, 0));
  source.SetPixel(1, 0, RGB(0, 200, 0));
  source.SetPixel(2, 0, RGB(0, 0, 200));
  for (int dither = 0; dither < 7; ++dither) {
    TBitmap result = ReduceBitmapColors(source, cmOctree, dither, 4);
    ASSERT_EQ(result.Palette().size(), 16u);
    // Collected in child order: blue (child 1), green (2), red (4).
    EXPECT_EQ(result.Palette()[0], Quad(0, 0, 200));
    EXPECT_EQ(result.Palette()[1], Quad(0, 200, 0));
    EXPECT_EQ(result.Palette()[2], Quad(200, 0, 0));
    for (std::size_t i = 3; i < 16; ++i)
      EXPECT_EQ(result.Palette()[i], Quad(200, 0, 0));
    // Every pixel is a leaf colour, so nothing is carried and no copy wins.
    EXPECT_EQ(result.GetIndex(0, 0), 2);
    EXPECT_EQ(result.GetIndex(1, 0), 1);
    EXPECT_EQ(result.GetIndex(2, 0), 0);
  }
}

TEST(ReduceBitmapColors, GridOctreeHandsEachGridColourOutOnce) {
  TBitmap source(2, 1);
  source.SetPixel(0, 0, RGB(101, 101, 101));
  source.SetPixel(1, 0, RGB(100, 100, 100));
  TBitmap result = ReduceBitmapColors(source, cmOctreeGrid332, 0, 3);
  ASSERT_EQ(result.Palette().size(), 8u);
  EXPECT_EQ(result.Palette()[0], Quad(109, 109, 85));
  EXPECT_EQ(result.Palette()[1], Quad(73, 109, 85));
  EXPECT_EQ(result.Palette()[7], Quad(73, 109, 85));
}

TEST(ReduceBitmapColors, FixedPaletteFindsTheNearestGridColour) {
  TBitmap source(1, 1);
  source.Fill(RGB(100, 100, 100));
  TBitmap result = ReduceBitmapColors(source, cmFixed332, 0, 5);
  ASSERT_EQ(result.Palette().size(), 256u);
  EXPECT_EQ(result.GetIndex(0, 0), 109);
}

TEST(ReduceBitmapColors, GridColoursStayExactUnderEveryDither) {
  TBitmap source(7, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) {
      TPaletteEntry c = Grid332Color((x * 53 + y * 97 + 11) % 256);
      source.SetPixel(x, y, RGB(c.Red, c.Green, c.Blue));
    }
  for (int dither = 0; dither < 7; ++dither) {
    TBitmap result = ReduceBitmapColors(source, cmFixed332, dither, 8);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x)
        EXPECT_EQ(result.GetIndex(x, y), (x * 53 + y * 97 + 11) % 256) << dither;
  }
}

TEST(ReduceBitmapColors, FourGraysAreStoredAtFourBits) {
  TBitmap source(5, 1);
  const std::uint8_t greys[] = {0, 128, 192, 255, 100};
  for (int x = 0; x < 5; ++x)
    source.SetPixel(x, 0, RGB(greys[x], greys[x], greys[x]));
  TBitmap result = ReduceBitmapColors(source, cmFourGrays, 0, 8);
  ASSERT_EQ(result.PixelFormat(), pf4bit);
  ASSERT_EQ(result.Palette().size(), 4u);
  EXPECT_EQ(result.Palette()[1], Quad(128, 128, 128));
  const int expected[] = {0, 1, 2, 3, 1};
  for (int x = 0; x < 5; ++x)
    EXPECT_EQ(result.GetIndex(x, 0), expected[x]) << x;
}

TEST(ReduceBitmapColors, MonochromeIsStoredAtOneBitAndDitheringMixesGrey) {
  TBitmap source(16, 16);
  source.Fill(RGB(128, 128, 128));
  TBitmap plain = ReduceBitmapColors(source, cmMonochrome, 0, 1);
  ASSERT_EQ(plain.PixelFormat(), pf1bit);
  ASSERT_EQ(plain.Palette().size(), 2u);
  EXPECT_EQ(plain.Palette()[0], Quad(0, 0, 0));
  int white = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      white += plain.GetIndex(x, y);
  EXPECT_EQ(white, 256);

  TBitmap dithered = ReduceBitmapColors(source, cmMonochrome, 1, 1);
  white = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      white += dithered.GetIndex(x, y);
  EXPECT_GT(white, 100);
  EXPECT_LT(white, 156);
}

TEST(ReduceBitmapColors, OnePixelWidePicturesUnderEveryDither) {
  TBitmap source(1, 9);
  for (int y = 0; y < 9; ++y)
    source.SetPixel(0, y, RGB(static_cast<std::uint8_t>(y * 30), 90, 200));
  for (int method : {3, 4, 7, 10, 11})
    for (int dither = 0; dither < 7; ++dither) {
      TBitmap result = ReduceBitmapColors(source, static_cast<TReductionMethod>(method), dither, 2);
      EXPECT_EQ(result.Width(), 1);
      EXPECT_EQ(result.Height(), 9);
    }
}

TEST(ReduceBitmapColors, EveryIndexLiesInsideThePaletteForSmallRandomPictures) {
  std::uint32_t seed = 7;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<std::uint8_t>(seed >> 24);
  };
  for (int width = 1; width <= 5; width += 2)
    for (int height = 1; height <= 4; height += 3) {
      TBitmap source(width, height);
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
          source.SetPixel(x, y, RGB(next(), next(), next()));
      for (int method : {3, 4, 7, 10, 11})
        for (int dither = 0; dither < 7; ++dither)
          for (int bits = 1; bits <= 8; ++bits) {
            TBitmap result =
                ReduceBitmapColors(source, static_cast<TReductionMethod>(method), dither, bits);
            const std::size_t entries = result.Palette().size();
            if (method == 7 || method == 10) {
              EXPECT_EQ(entries, std::size_t{1} << bits);
            }
            for (int y = 0; y < height; ++y)
              for (int x = 0; x < width; ++x)
                ASSERT_LT(result.GetIndex(x, y), entries)
                    << method << " " << dither << " " << bits << " " << width << "x" << height;
          }
    }
}

TEST(ReduceBitmapColors, PictureThatIsNotTwentyFourBitIsReadThroughACopy) {
  TBitmap source(3, 2, pf8bit);
  source.SetPalette({Quad(0, 0, 0), Quad(250, 10, 10), Quad(10, 250, 10)});
  source.SetIndex(1, 0, 1);
  source.SetIndex(2, 1, 2);
  const TBitmap before = source;
  TBitmap result = ReduceBitmapColors(source, cmFixed332, 1, 8);
  EXPECT_TRUE(source.SamePixels(before));
  EXPECT_EQ(source.PixelFormat(), pf8bit);

  TBitmap wide = source;
  wide.SetPixelFormat(pf24bit);
  EXPECT_TRUE(result.SamePixels(ReduceBitmapColors(wide, cmFixed332, 1, 8)));
}

TEST(ReduceBitmapColors, BadArgumentsAreRefusedWithAMessage) {
  TBitmap source(2, 2);
  EXPECT_THROW(ReduceBitmapColors(source, cmOctree, 1, 0), EMirufoError);
  EXPECT_THROW(ReduceBitmapColors(source, cmOctree, 1, 9), EMirufoError);
  EXPECT_THROW(ReduceBitmapColors(source, static_cast<TReductionMethod>(5), 1, 8), EMirufoError);
  EXPECT_THROW(ReduceBitmapColors(source, cmOctree, 7, 8), EMirufoError);
  for (int method : {3, 4, 7, 10, 11}) {
    try {
      ReduceBitmapColors(TBitmap(), static_cast<TReductionMethod>(method), 1, 8);
      FAIL() << method;
    } catch (const EMirufoError& e) {
      EXPECT_EQ(std::string(e.what()), "Invalid image dimensions");
    }
    try {
      ReduceBitmapColors(TBitmap(0, 5), static_cast<TReductionMethod>(method), 1, 8);
      FAIL() << method;
    } catch (const EMirufoError& e) {
      EXPECT_EQ(std::string(e.what()), "Invalid image dimensions");
    }
  }
}

TEST(BuildPalette, PictureWithoutPixelsGivesBlack) {
  const TPalette palette = BuildPalette(TBitmap(), cmOctree, 2);
  ASSERT_EQ(palette.size(), 4u);
  for (const TPaletteEntry& e : palette)
    EXPECT_EQ(e, (TPaletteEntry{0, 0, 0}));
}

TEST(BuildPalette, LargeOneColourPictureAveragesExactly) {
  // 17 million white pixels: their sum no longer fits in 32 bits.
  TBitmap source(4200, 4200);
  source.Fill(RGB(255, 255, 255));
  const TPalette palette = BuildPalette(source, cmOctree, 1);
  EXPECT_EQ(palette[0], (TPaletteEntry{255, 255, 255}));
}

} // namespace
} // namespace mirufo
