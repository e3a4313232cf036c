#include "imaging/geometry.h"
#include "test_picture.h"

#include <gtest/gtest.h>
#include <vector>

namespace mirufo {
namespace {

using test::DirtyPadding;
using test::RandomPicture;

const TProgressInfo kNoProgress = MakeProgressInfo(nullptr, "", nullptr);

// A picture whose pixel (x, y) is RGB(x, y, 7), to read positions back.
TBitmap Positions(int width, int height) {
  return test::MakePicture(width, height, [](int x, int y) {
    return RGB(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7);
  });
}

TEST(Geometry, QuarterTurnsMoveCornersAndSwapSides) {
  const TBitmap source = Positions(3, 2);
  auto cw = RotateBitmap(source, rk90Clockwise, kNoProgress);
  ASSERT_TRUE(cw);
  EXPECT_EQ(cw->Width(), 2);
  EXPECT_EQ(cw->Height(), 3);
  EXPECT_EQ(cw->GetPixel(0, 0), RGB(0, 1, 7)); // the source's bottom-left
  EXPECT_EQ(cw->GetPixel(1, 0), RGB(0, 0, 7));
  EXPECT_EQ(cw->GetPixel(0, 2), RGB(2, 1, 7));
  auto ccw = RotateBitmap(source, rk90CounterClockwise, kNoProgress);
  ASSERT_TRUE(ccw);
  EXPECT_EQ(ccw->GetPixel(0, 0), RGB(2, 0, 7)); // the source's top-right
  EXPECT_EQ(ccw->GetPixel(1, 2), RGB(0, 1, 7));
  auto half = RotateBitmap(source, rk180, kNoProgress);
  ASSERT_TRUE(half);
  EXPECT_EQ(half->GetPixel(0, 0), RGB(2, 1, 7));
  auto mirror = RotateBitmap(source, rkMirrorHorizontal, kNoProgress);
  ASSERT_TRUE(mirror);
  EXPECT_EQ(mirror->GetPixel(0, 1), RGB(2, 1, 7));
  auto flipped = FlipVertical(source, kNoProgress);
  ASSERT_TRUE(flipped);
  EXPECT_EQ(flipped->GetPixel(2, 0), RGB(2, 1, 7));
}

TEST(Geometry, RoundTripsRestoreThePicture) {
  for (int width : {1, 2, 3, 5}) {
    TBitmap source = RandomPicture(width, 4, static_cast<unsigned>(width));
    DirtyPadding(source, 0xEE);
    auto cw = RotateBitmap(source, rk90Clockwise, kNoProgress);
    auto back = RotateBitmap(*cw, rk90CounterClockwise, kNoProgress);
    EXPECT_TRUE(back->SamePixels(source)) << width;
    auto half = RotateBitmap(source, rk180, kNoProgress);
    EXPECT_TRUE(RotateBitmap(*half, rk180, kNoProgress)->SamePixels(source));
    auto mirror = RotateBitmap(source, rkMirrorHorizontal, kNoProgress);
    EXPECT_TRUE(RotateBitmap(*mirror, rkMirrorHorizontal, kNoProgress)->SamePixels(source));
    auto flipped = FlipVertical(source, kNoProgress);
    EXPECT_TRUE(FlipVertical(*flipped, kNoProgress)->SamePixels(source));
    // Four quarter turns the same way also come back.
    auto turned = RotateBitmap(source, rk90Clockwise, kNoProgress);
    for (int i = 0; i < 3; ++i)
      turned = RotateBitmap(*turned, rk90Clockwise, kNoProgress);
    EXPECT_TRUE(turned->SamePixels(source));
  }
}

TEST(Geometry, PaletteFormatsKeepFormatAndPalette) {
  for (TPixelFormat format : {pf1bit, pf4bit, pf8bit}) {
    TBitmap source(5, 3, format);
    source.SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
    source.SetIndex(4, 0, 1);
    source.SetIndex(0, 2, 1);
    auto cw = RotateBitmap(source, rk90Clockwise, kNoProgress);
    ASSERT_TRUE(cw);
    EXPECT_EQ(cw->PixelFormat(), format);
    EXPECT_EQ(cw->Palette(), source.Palette());
    EXPECT_EQ(cw->GetIndex(0, 0), 1); // from (0, 2)
    EXPECT_EQ(cw->GetIndex(2, 4), 1); // from (4, 0)
    auto back = RotateBitmap(*cw, rk90CounterClockwise, kNoProgress);
    EXPECT_TRUE(back->SamePixels(source));
    auto flipped = FlipVertical(source, kNoProgress);
    EXPECT_EQ(flipped->GetIndex(0, 0), 1);
    EXPECT_EQ(flipped->Palette(), source.Palette());
  }
}

TEST(Geometry, EmptyAndSinglePixelPictures) {
  for (auto kind : {rk90Clockwise, rk180, rk90CounterClockwise, rkMirrorHorizontal}) {
    auto empty = RotateBitmap(TBitmap(0, 3), kind, kNoProgress);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->Empty());
    const TBitmap one = Positions(1, 1);
    EXPECT_TRUE(RotateBitmap(one, kind, kNoProgress)->SamePixels(one));
  }
  EXPECT_TRUE(FlipVertical(TBitmap(), kNoProgress)->Empty());
}

TEST(Geometry, RotationReportsDestinationRows) {
  std::vector<int> percents;
  const TProgressInfo info =
      MakeProgressInfo(nullptr, "rotate",
                       [&](const void*, TProgressStage, std::uint8_t percent, bool, const TRect&,
                           const std::string&) { percents.push_back(percent); });
  ASSERT_TRUE(RotateBitmap(Positions(3, 2), rk90Clockwise, info));
  EXPECT_EQ(percents, (std::vector<int>{0, 33, 66}));
}

TEST(Geometry, CropCopiesTheRectangle) {
  const TBitmap source = Positions(5, 4);
  auto whole = CropBitmap(source, {0, 0, 5, 4});
  ASSERT_TRUE(whole);
  EXPECT_TRUE(whole->SamePixels(source));

  auto corner = CropBitmap(source, {3, 1, 5, 4}); // reaches the right and bottom edges
  ASSERT_TRUE(corner);
  EXPECT_EQ(corner->Width(), 2);
  EXPECT_EQ(corner->Height(), 3);
  EXPECT_EQ(corner->GetPixel(0, 0), RGB(3, 1, 7));
  EXPECT_EQ(corner->GetPixel(1, 2), RGB(4, 3, 7));

  auto single = CropBitmap(source, {2, 2, 3, 3});
  ASSERT_TRUE(single);
  EXPECT_EQ(single->GetPixel(0, 0), RGB(2, 2, 7));

  TBitmap palette(9, 2, pf4bit);
  palette.SetPalette({{1, 1, 1, 0}, {2, 2, 2, 0}, {3, 3, 3, 0}});
  palette.SetIndex(5, 1, 2);
  auto part = CropBitmap(palette, {5, 1, 9, 2});
  ASSERT_TRUE(part);
  EXPECT_EQ(part->PixelFormat(), pf4bit);
  EXPECT_EQ(part->Palette(), palette.Palette());
  EXPECT_EQ(part->GetIndex(0, 0), 2);
}

TEST(Geometry, CropRefusesRectanglesOutsideThePicture) {
  const TBitmap source = Positions(5, 4);
  for (const TRect& rect :
       {TRect{-1, 0, 3, 3}, TRect{0, -1, 3, 3}, TRect{0, 0, 6, 4}, TRect{0, 0, 5, 5},
        TRect{3, 0, 2, 4}, TRect{0, 3, 5, 1}, TRect{2, 2, 2, 3}, TRect{2, 2, 3, 2}})
    EXPECT_FALSE(CropBitmap(source, rect))
        << rect.Left << "," << rect.Top << "," << rect.Right << "," << rect.Bottom;
  EXPECT_FALSE(CropBitmap(TBitmap(), {0, 0, 0, 0}));
  EXPECT_FALSE(CropBitmap(TBitmap(3, 0), {0, 0, 1, 0}));
}

} // namespace
} // namespace mirufo
