#include "imaging/tone.h"
#include "test_picture.h"

#include <gtest/gtest.h>
#include <vector>

namespace mirufo {
namespace {

using test::DirtyPadding;
using test::MakePicture;
using test::RandomPicture;
using test::UniformPicture;

const TProgressInfo kNoProgress = MakeProgressInfo(nullptr, "", nullptr);

// One row of grey pixels with the given values.
TBitmap GreyRow(const std::vector<int>& values) {
  return MakePicture(static_cast<int>(values.size()), 1, [&](int x, int) {
    const auto v = static_cast<std::uint8_t>(values[static_cast<std::size_t>(x)]);
    return RGB(v, v, v);
  });
}

std::vector<int> Greys(const TBitmap& b) {
  std::vector<int> values;
  for (int x = 0; x < b.Width(); ++x) {
    const TColor c = b.GetPixel(x, 0);
    EXPECT_TRUE(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c));
    values.push_back(GetRValue(c));
  }
  return values;
}

std::vector<int> AfterBrightnessContrast(const std::vector<int>& values, int brightness,
                                         double contrast) {
  TBitmap b = GreyRow(values);
  EXPECT_TRUE(ApplyBrightnessContrast(b, brightness, contrast, kNoProgress));
  return Greys(b);
}

TEST(Tone, BrightnessAndContrastRoundToEvenAndClip) {
  const TBitmap picture = RandomPicture(7, 5, 3);
  TBitmap unchanged = picture;
  ASSERT_TRUE(ApplyBrightnessContrast(unchanged, 0, 0.0, kNoProgress));
  EXPECT_TRUE(unchanged.SamePixels(picture));

  EXPECT_EQ(AfterBrightnessContrast({0, 77, 255}, 0, -1.0), (std::vector<int>{128, 128, 128}));
  EXPECT_EQ(AfterBrightnessContrast({0, 255}, 10, -1.0), (std::vector<int>{138, 138}));
  EXPECT_EQ(AfterBrightnessContrast({0, 100, 155, 156, 255}, 100, 0.0),
            (std::vector<int>{100, 200, 255, 255, 255}));
  EXPECT_EQ(AfterBrightnessContrast({0, 5, 255}, -100, 0.0), (std::vector<int>{0, 0, 155}));
  // Slope 2 around 127.5: 130 -> 132.5 -> 132, 131 -> 134.5 -> 134.
  EXPECT_EQ(AfterBrightnessContrast({0, 64, 130, 131, 200}, 0, 1.0),
            (std::vector<int>{0, 0, 132, 134, 255}));
  EXPECT_EQ(AfterBrightnessContrast({100}, -20, 0.5), (std::vector<int>{66})); // 66.25
}

TEST(Tone, GrayscaleSolarizeNegative) {
  TBitmap b = MakePicture(3, 1, [](int x, int) {
    return std::vector<TColor>{RGB(100, 150, 200), RGB(255, 255, 255),
                               RGB(0, 0, 0)}[static_cast<std::size_t>(x)];
  });
  ASSERT_TRUE(ApplyGrayscale(b, kNoProgress));
  EXPECT_EQ(Greys(b), (std::vector<int>{141, 255, 0})); // 140.75

  TBitmap s = GreyRow({0, 1, 127, 128, 200, 255});
  ASSERT_TRUE(ApplySolarize(s, kNoProgress));
  EXPECT_EQ(Greys(s), (std::vector<int>{0, 1, 127, 127, 55, 0}));

  TBitmap n = MakePicture(1, 1, [](int, int) { return RGB(0, 100, 255); });
  ASSERT_TRUE(ApplyNegative(n, kNoProgress));
  EXPECT_EQ(n.GetPixel(0, 0), RGB(255, 155, 0));
}

TEST(Tone, NegativeTwiceRestoresPaddedPictures) {
  for (int width : {1, 2, 3, 5}) {
    TBitmap picture = RandomPicture(width, 3, static_cast<unsigned>(width));
    DirtyPadding(picture, 0xAB);
    const TBitmap original = picture;
    ASSERT_TRUE(ApplyNegative(picture, kNoProgress));
    EXPECT_FALSE(picture.SamePixels(original));
    ASSERT_TRUE(ApplyNegative(picture, kNoProgress));
    EXPECT_TRUE(picture.SamePixels(original));
    // The padding is not part of the picture and is left alone.
    EXPECT_EQ(picture.ScanLine(2)[picture.Stride() - 1], width % 4 == 0 ? 0 : 0xAB);
  }
}

TEST(Tone, Sepia) {
  TBitmap b = MakePicture(5, 1, [](int x, int) {
    return std::vector<TColor>{RGB(100, 100, 100), RGB(128, 128, 128), RGB(0, 0, 0),
                               RGB(255, 255, 255), RGB(50, 200, 50)}[static_cast<std::size_t>(x)];
  });
  ASSERT_TRUE(ApplySepia(b, kNoProgress));
  EXPECT_EQ(b.GetPixel(0, 0), RGB(115, 97, 85));
  EXPECT_EQ(b.GetPixel(1, 0), RGB(148, 124, 108));
  EXPECT_EQ(b.GetPixel(2, 0), RGB(0, 0, 0));
  EXPECT_EQ(b.GetPixel(3, 0), RGB(255, 255, 255));
  // Only the lightness survives: (50, 200, 50) has lightness 125.
  EXPECT_EQ(b.GetPixel(4, 0), HlsToRgb({25, 125, 40}));
}

TEST(Tone, HlsConversions) {
  EXPECT_EQ(RgbToHls(RGB(200, 50, 50)), (THls{0, 125, 153}));
  EXPECT_EQ(RgbToHls(RGB(50, 200, 50)), (THls{120, 125, 153}));
  EXPECT_EQ(RgbToHls(RGB(50, 50, 200)), (THls{240, 125, 153}));
  EXPECT_EQ(RgbToHls(RGB(200, 50, 100)), (THls{340, 125, 153})); // -20 wraps
  EXPECT_EQ(RgbToHls(RGB(255, 128, 128)), (THls{0, 191, 255}));  // the light formula
  EXPECT_EQ(RgbToHls(RGB(90, 90, 90)), (THls{0, 90, 0}));
  EXPECT_EQ(HlsToRgb({200, 77, 0}), RGB(77, 77, 77));
  EXPECT_EQ(HlsToRgb({0, 125, 153}), RGB(200, 50, 50));
  EXPECT_EQ(HlsToRgb({30, 100, 100}), RGB(139, 100, 61)); // f(30) = 61 + 78 * 30 div 60
  EXPECT_EQ(HlsToRgb({120, 191, 255}), RGB(127, 255, 127));
}

TEST(Tone, OnlyTwentyFourBitPicturesChange) {
  TBitmap palette(3, 2, pf8bit);
  palette.SetPalette({{1, 2, 3, 0}, {200, 100, 50, 0}});
  palette.SetIndex(1, 1, 1);
  const TBitmap original = palette;
  EXPECT_FALSE(ApplyBrightnessContrast(palette, 10, 0.5, kNoProgress));
  EXPECT_FALSE(ApplySepia(palette, kNoProgress));
  EXPECT_FALSE(ApplyGrayscale(palette, kNoProgress));
  EXPECT_FALSE(ApplySolarize(palette, kNoProgress));
  EXPECT_FALSE(ApplyNegative(palette, kNoProgress));
  EXPECT_TRUE(palette.SamePixels(original));

  TBitmap empty;
  EXPECT_TRUE(ApplyNegative(empty, kNoProgress));
  TBitmap single = UniformPicture(1, 1, RGB(100, 150, 200));
  EXPECT_TRUE(ApplyGrayscale(single, kNoProgress));
  EXPECT_EQ(single.GetPixel(0, 0), RGB(141, 141, 141));
}

TEST(Tone, ReportsRowProgress) {
  std::vector<int> percents;
  const TProgressInfo info =
      MakeProgressInfo(nullptr, "tone",
                       [&](const void*, TProgressStage stage, std::uint8_t percent, bool,
                           const TRect&, const std::string& msg) {
                         EXPECT_EQ(stage, psRunning);
                         EXPECT_EQ(msg, "tone 処理中");
                         percents.push_back(percent);
                       });
  TBitmap picture = RandomPicture(2, 4, 1);
  ASSERT_TRUE(ApplySepia(picture, info));
  EXPECT_EQ(percents, (std::vector<int>{0, 25, 50, 75}));
}

} // namespace
} // namespace mirufo
