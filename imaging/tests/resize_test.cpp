#include "imaging/resize.h"
#include "platform/arith.h"
#include "platform/errors.h"
#include "test_picture.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace mirufo {
namespace {

using test::DirtyPadding;
using test::MakePicture;
using test::RandomPicture;
using test::UniformPicture;

const TProgressInfo kNoProgress = MakeProgressInfo(nullptr, "", nullptr);

// One row whose pixels carry the given blue values (green and red 0).
TBitmap BlueRow(const std::vector<int>& values) {
  return MakePicture(static_cast<int>(values.size()), 1, [&](int x, int) {
    return RGB(0, 0, static_cast<std::uint8_t>(values[static_cast<std::size_t>(x)]));
  });
}

std::vector<int> BlueValues(const TBitmap& b) {
  std::vector<int> values;
  for (int x = 0; x < b.Width(); ++x)
    values.push_back(GetBValue(b.GetPixel(x, 0)));
  return values;
}

// Area averaging written out directly from its definition, every weighted
// sum through extended precision; the library's version must agree bit for
// bit.
TBitmap ReferenceAreaAverage(const TBitmap& src, int newW, int newH) {
  const int w = src.Width(), h = src.Height();
  const float area = static_cast<float>(static_cast<long double>(w * h) / newW / newH);
  const double rx = static_cast<double>(static_cast<long double>(w) / newW);
  const double ry = static_cast<double>(static_cast<long double>(h) / newH);
  TBitmap dest(newW, newH);
  for (int y = 0; y < newH; ++y) {
    const double y0 = static_cast<double>(static_cast<long double>(y) * ry);
    const double y1 = static_cast<double>(static_cast<long double>(y + 1) * ry - 0.000001L);
    for (int x = 0; x < newW; ++x) {
      const double x0 = static_cast<double>(static_cast<long double>(x) * rx);
      const double x1 = static_cast<double>(static_cast<long double>(x + 1) * rx - 0.000001L);
      float sums[3] = {0, 0, 0};
      for (std::int64_t i = Floor(y0); i <= Floor(y1); ++i) {
        for (std::int64_t j = Floor(x0); j <= Floor(x1); ++j) {
          const double wy =
              static_cast<double>(std::min<long double>(i + 1, y1) - std::max<long double>(i, y0));
          const double wx =
              static_cast<double>(std::min<long double>(j + 1, x1) - std::max<long double>(j, x0));
          const std::uint8_t* p = src.ScanLine(static_cast<int>(i)) + j * 3;
          for (int c = 0; c < 3; ++c)
            sums[c] = static_cast<float>(sums[c] + static_cast<long double>(wx) * wy * p[c]);
        }
      }
      std::uint8_t* d = dest.ScanLine(y) + x * 3;
      for (int c = 0; c < 3; ++c)
        d[c] = static_cast<std::uint8_t>(Round(static_cast<long double>(sums[c]) / area));
    }
  }
  return dest;
}

TEST(Resize, SameSizeIsAnExactCopyForEveryMethodAndFormat) {
  TBitmap palette(3, 2, pf8bit);
  palette.SetPalette({{1, 2, 3, 0}, {4, 5, 6, 0}});
  palette.SetIndex(1, 1, 1);
  for (const TBitmap& source : {RandomPicture(3, 2, 1), palette, TBitmap()}) {
    for (auto method : {rsNearest, rsBilinear, rsAreaAverage, rsAuto}) {
      TBitmap dest(7, 7);
      EXPECT_TRUE(ResizeBitmap(source, dest, source.Width(), source.Height(), method, kNoProgress));
      EXPECT_TRUE(dest.SamePixels(source));
    }
  }
}

TEST(Resize, NearestMapsPixelCornersAndRoundsTiesToEven) {
  TBitmap dest;
  ASSERT_TRUE(ResizeNearest(BlueRow({0, 1, 2, 3}), dest, 8, 1, kNoProgress));
  EXPECT_EQ(BlueValues(dest), (std::vector<int>{0, 0, 1, 2, 2, 2, 3, 3}));
  ASSERT_TRUE(ResizeNearest(BlueRow({0, 1, 2, 3, 4, 5, 6, 7}), dest, 4, 1, kNoProgress));
  EXPECT_EQ(BlueValues(dest), (std::vector<int>{0, 2, 4, 6}));
  // Rows follow the same rule as columns.
  const TBitmap column = MakePicture(1, 4, [](int, int y) { return RGB(0, 0, 10 * y); });
  ASSERT_TRUE(ResizeNearest(column, dest, 1, 8, kNoProgress));
  std::vector<int> rows;
  for (int y = 0; y < 8; ++y)
    rows.push_back(GetBValue(dest.GetPixel(0, y)));
  EXPECT_EQ(rows, (std::vector<int>{0, 0, 10, 20, 20, 20, 30, 30}));
}

TEST(Resize, BilinearInterpolatesAndRepeatsTheLastColumn) {
  TBitmap dest;
  ASSERT_TRUE(ResizeBilinear(BlueRow({10, 11}), dest, 4, 1, kNoProgress));
  EXPECT_EQ(BlueValues(dest), (std::vector<int>{10, 10, 11, 11})); // 10.5 goes to even
  ASSERT_TRUE(ResizeBilinear(BlueRow({10, 20}), dest, 4, 1, kNoProgress));
  EXPECT_EQ(BlueValues(dest), (std::vector<int>{10, 15, 20, 20}));
  ASSERT_TRUE(ResizeBilinear(BlueRow({11, 12}), dest, 4, 1, kNoProgress));
  EXPECT_EQ(BlueValues(dest), (std::vector<int>{11, 12, 12, 12})); // 11.5 goes to even
  // 2 x 2 to 4 x 4: the inner pixel (1, 1) mixes all four corners equally.
  const TBitmap square = MakePicture(2, 2, [](int x, int y) { return RGB(0, 0, 40 * x + 80 * y); });
  ASSERT_TRUE(ResizeBilinear(square, dest, 4, 4, kNoProgress));
  EXPECT_EQ(GetBValue(dest.GetPixel(1, 1)), 60);
  EXPECT_EQ(GetBValue(dest.GetPixel(3, 3)), 120);
}

TEST(Resize, AreaAverageLeansDownward) {
  TBitmap dest;
  ASSERT_TRUE(ResizeAreaAverage(BlueRow({11, 12}), dest, 1, 1, kNoProgress));
  EXPECT_EQ(BlueValues(dest), (std::vector<int>{11})); // 11.49998, not 11.5
  ASSERT_TRUE(ResizeAreaAverage(BlueRow({12, 13}), dest, 1, 1, kNoProgress));
  EXPECT_EQ(BlueValues(dest), (std::vector<int>{12}));
  ASSERT_TRUE(ResizeAreaAverage(BlueRow({0, 10, 20, 30, 40, 50}), dest, 3, 1, kNoProgress));
  EXPECT_EQ(BlueValues(dest), (std::vector<int>{5, 25, 45}));
}

TEST(Resize, UniformColourStaysUniform) {
  for (TColor c : {RGB(255, 255, 255), RGB(0, 0, 0), RGB(1, 128, 254)}) {
    const TBitmap source = UniformPicture(37, 23, c);
    for (auto [w, h] : {std::pair{5, 7}, {36, 22}, {1, 1}, {37, 1}, {12, 23}}) {
      TBitmap dest;
      ASSERT_TRUE(ResizeAreaAverage(source, dest, w, h, kNoProgress));
      EXPECT_TRUE(dest.SamePixels(UniformPicture(w, h, c))) << w << "x" << h;
      ASSERT_TRUE(ResizeBilinear(source, dest, w * 3, h * 2, kNoProgress));
      EXPECT_TRUE(dest.SamePixels(UniformPicture(w * 3, h * 2, c)));
    }
  }
}

TEST(Resize, AreaAverageMatchesItsDefinitionBitForBit) {
  struct Case {
    int w, h, newW, newH;
  };
  for (const Case& c :
       {Case{53, 41, 7, 5}, Case{400, 300, 43, 32}, Case{160, 120, 24, 32}, Case{10, 10, 3, 3},
        Case{7, 5, 11, 9}, Case{100, 1, 99, 1}, Case{64, 48, 8, 6}, Case{1000, 7, 12, 2}}) {
    const TBitmap source = RandomPicture(c.w, c.h, static_cast<unsigned>(c.w * 31 + c.newW));
    TBitmap dest;
    ASSERT_TRUE(ResizeAreaAverage(source, dest, c.newW, c.newH, kNoProgress));
    EXPECT_TRUE(dest.SamePixels(ReferenceAreaAverage(source, c.newW, c.newH)))
        << c.w << "x" << c.h << " -> " << c.newW << "x" << c.newH;
  }
}

TEST(Resize, AutoChoosesAreaAverageUnlessTheTargetGrows) {
  const TBitmap tall = RandomPicture(100, 200, 7);
  TBitmap automatic, expected;
  ASSERT_TRUE(ResizeBitmap(tall, automatic, 100, 100, rsAuto, kNoProgress));
  ASSERT_TRUE(ResizeAreaAverage(tall, expected, 100, 100, kNoProgress));
  EXPECT_TRUE(automatic.SamePixels(expected));

  const TBitmap wide = RandomPicture(100, 50, 8);
  ASSERT_TRUE(ResizeBitmap(wide, automatic, 80, 100, rsAuto, kNoProgress));
  ASSERT_TRUE(ResizeBilinear(wide, expected, 80, 100, kNoProgress));
  EXPECT_TRUE(automatic.SamePixels(expected));
  ASSERT_TRUE(ResizeAreaAverage(wide, expected, 80, 100, kNoProgress));
  EXPECT_FALSE(automatic.SamePixels(expected));
}

TEST(Resize, PaddedRowsAndTinyPictures) {
  for (int width : {1, 2, 3, 5}) {
    TBitmap source = UniformPicture(width, 3, RGB(9, 99, 199));
    DirtyPadding(source, 0xFF);
    for (auto method : {rsNearest, rsBilinear, rsAreaAverage}) {
      for (auto [w, h] : {std::pair{1, 1}, {2, 5}, {3, 2}, {5, 7}}) {
        if (w == width && h == 3)
          continue;
        TBitmap dest;
        ASSERT_TRUE(ResizeBitmap(source, dest, w, h, method, kNoProgress));
        EXPECT_TRUE(dest.SamePixels(UniformPicture(w, h, RGB(9, 99, 199))))
            << width << " -> " << w << "x" << h << " method " << static_cast<int>(method);
      }
    }
  }
}

TEST(Resize, RefusesWhatItCannotResize) {
  const TBitmap sentinel = RandomPicture(2, 2, 3);
  TBitmap palette(4, 4, pf8bit);
  for (auto method : {rsNearest, rsBilinear, rsAreaAverage, rsAuto}) {
    TBitmap dest = sentinel;
    EXPECT_FALSE(ResizeBitmap(palette, dest, 2, 2, method, kNoProgress));
    EXPECT_FALSE(ResizeBitmap(RandomPicture(4, 4, 1), dest, 0, 3, method, kNoProgress));
    EXPECT_FALSE(ResizeBitmap(RandomPicture(4, 4, 1), dest, 3, -1, method, kNoProgress));
    EXPECT_FALSE(ResizeBitmap(TBitmap(), dest, 3, 3, method, kNoProgress));
    EXPECT_FALSE(ResizeBitmap(TBitmap(5, 0), dest, 3, 3, method, kNoProgress));
    EXPECT_TRUE(dest.SamePixels(sentinel));
  }
}

TEST(Resize, TooLargeATargetFailsCleanly) {
  const TBitmap source = RandomPicture(2, 2, 4);
  TBitmap dest = source;
  EXPECT_FALSE(ResizeAreaAverage(source, dest, 30001, 1, kNoProgress));
  EXPECT_THROW(EXPECT_FALSE(ResizeNearest(source, dest, 20000, 20000, kNoProgress)),
               EOutOfResources);
  EXPECT_THROW(EXPECT_FALSE(ResizeBilinear(source, dest, 1, 30001, kNoProgress)), EOutOfResources);
  EXPECT_TRUE(dest.SamePixels(source));
}

TEST(Resize, SourceMayAlsoBeTheDestination) {
  for (auto method : {rsNearest, rsBilinear, rsAreaAverage}) {
    TBitmap picture = RandomPicture(9, 7, 5);
    TBitmap expected;
    ASSERT_TRUE(ResizeBitmap(picture, expected, 4, 11, method, kNoProgress));
    ASSERT_TRUE(ResizeBitmap(picture, picture, 4, 11, method, kNoProgress));
    EXPECT_TRUE(picture.SamePixels(expected));
  }
}

TEST(Resize, ReportsProgressAfterEachRow) {
  std::vector<std::pair<int, std::string>> reports;
  int sender = 0;
  const TProgressInfo info =
      MakeProgressInfo(&sender, "サイズ変更",
                       [&](const void* s, TProgressStage stage, std::uint8_t percent, bool redraw,
                           const TRect& r, const std::string& msg) {
                         EXPECT_EQ(s, &sender);
                         EXPECT_EQ(stage, psRunning);
                         EXPECT_FALSE(redraw);
                         EXPECT_EQ(r, TRect{});
                         reports.emplace_back(percent, msg);
                       });
  for (auto method : {rsNearest, rsBilinear, rsAreaAverage}) {
    reports.clear();
    TBitmap dest;
    ASSERT_TRUE(ResizeBitmap(RandomPicture(5, 5, 2), dest, 2, 3, method, info));
    EXPECT_EQ(reports,
              (std::vector<std::pair<int, std::string>>{
                  {0, "サイズ変更 処理中"}, {33, "サイズ変更 処理中"}, {66, "サイズ変更 処理中"}}));
  }
}

} // namespace
} // namespace mirufo
