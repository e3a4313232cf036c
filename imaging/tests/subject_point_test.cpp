#include "imaging/subject_point.h"
#include "tests/support/test_picture.h"

#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

namespace mirufo {
namespace {

using test::SharpSubjectPicture;

bool Inside(TSubjectPoint point, const TRect& rect) {
  return point.X >= rect.Left && point.X < rect.Right && point.Y >= rect.Top &&
         point.Y < rect.Bottom;
}

bool InsidePicture(TSubjectPoint point, const TBitmap& picture) {
  return Inside(point, {0, 0, picture.Width(), picture.Height()});
}

TEST(SubjectPoint, FindsTheSharpPatchWhereverItIs) {
  struct TCase {
    int Width, Height;
    TRect Patch;
  };
  const TCase cases[] = {
      // Small pictures are read pixel for pixel.
      {320, 240, {20, 20, 80, 70}},
      {320, 240, {250, 170, 310, 230}},
      {240, 320, {150, 30, 230, 110}},
      // Larger ones through the reduced copy, patches from a twelfth to a
      // third of the picture, off-centre, at edges and corners.
      {1280, 960, {100, 100, 420, 420}},
      {1280, 960, {900, 80, 1230, 380}},
      {1280, 960, {0, 700, 200, 960}},
      {1280, 960, {560, 420, 720, 540}},
      {960, 1280, {600, 150, 900, 450}},
      {1600, 600, {1350, 200, 1500, 350}},
      {700, 2100, {100, 1500, 400, 1800}},
  };
  for (const TCase& c : cases) {
    const TBitmap picture = SharpSubjectPicture(c.Width, c.Height, c.Patch);
    const TSubjectPoint point = FindSubjectPoint(picture, 1);
    EXPECT_TRUE(Inside(point, c.Patch))
        << c.Width << "x" << c.Height << " patch " << c.Patch.Left << "," << c.Patch.Top << "-"
        << c.Patch.Right << "," << c.Patch.Bottom << ": got " << point.X << "," << point.Y;
  }
}

TEST(SubjectPoint, TheLargerOfTwoPatchesWinsNotThePointBetweenThem) {
  const TRect big{60, 260, 360, 560}, small{1000, 100, 1120, 220};
  TBitmap picture = SharpSubjectPicture(1280, 960, big);
  const TBitmap other = SharpSubjectPicture(1280, 960, small);
  ASSERT_TRUE(picture.CopyRect(small.Left, small.Top, other, small));
  EXPECT_TRUE(Inside(FindSubjectPoint(picture, 1), big));
}

// A portrait drawn flat, without fine texture: a face (skin, eyes, mouth,
// hair) on a third line over a smooth background, so that only the colour
// cues can find it.
TEST(SubjectPoint, FindsAFaceOnAThirdLine) {
  for (const auto& [w, h, left] : {std::tuple{900, 1200, true}, {1200, 900, false}}) {
    const int cx = left ? w / 3 : w * 2 / 3, cy = h / 3, rx = w / 10, ry = h / 9;
    const TBitmap picture = test::MakePicture(w, h, [&](int x, int y) {
      const double dx = static_cast<double>(x - cx) / rx, dy = static_cast<double>(y - cy) / ry;
      const double eyeL = std::hypot(x - (cx - rx / 2.5), y - (cy - ry / 5.0));
      const double eyeR = std::hypot(x - (cx + rx / 2.5), y - (cy - ry / 5.0));
      if (dx * dx + dy * dy < 1) {
        if (eyeL < rx / 8.0 || eyeR < rx / 8.0)
          return RGB(40, 30, 25);
        if (std::abs(dx) < 0.3 && std::abs(dy - 0.5) < 0.08)
          return RGB(170, 70, 70);
        return RGB(225, 172, 140);
      }
      if (dx * dx + (dy + 0.3) * (dy + 0.3) < 1.4)
        return RGB(60, 40, 30); // hair
      return RGB(static_cast<std::uint8_t>(90 + x * 60 / w), static_cast<std::uint8_t>(120),
                 static_cast<std::uint8_t>(150 - y * 50 / h));
    });
    const TSubjectPoint point = FindSubjectPoint(picture, 1);
    EXPECT_TRUE(Inside(point, {cx - rx, cy - ry * 3 / 2, cx + rx, cy + ry}))
        << w << "x" << h << ": " << point.X << "," << point.Y;
  }
}

TEST(SubjectPoint, NothingThatStandsOutKeepsTheCentre) {
  for (const auto& [w, h] : {std::pair{1, 1}, {2, 2}, {7, 3}, {640, 480}, {3000, 17}})
    for (TColor colour : {RGB(0, 0, 0), RGB(255, 255, 255), RGB(230, 180, 150), RGB(0, 0, 255)}) {
      const TSubjectPoint point = FindSubjectPoint(test::UniformPicture(w, h, colour), 1);
      EXPECT_EQ(point, (TSubjectPoint{w / 2, h / 2})) << w << "x" << h << " colour " << colour;
    }
  // The out-of-focus background alone, and a palette picture of one colour.
  EXPECT_EQ(FindSubjectPoint(SharpSubjectPicture(800, 600, {}), 1), (TSubjectPoint{400, 300}));
  TBitmap palette(9, 5, pf8bit);
  palette.SetPalette({TRGBQuad{10, 20, 30, 0}});
  EXPECT_EQ(FindSubjectPoint(palette, 1), (TSubjectPoint{4, 2}));
  EXPECT_EQ(FindSubjectPoint(TBitmap(), 1), (TSubjectPoint{}));
}

TEST(SubjectPoint, ThePointIsAlwaysInsideThePicture) {
  const TBitmap pictures[] = {
      test::RandomPicture(1, 1, 1),
      test::RandomPicture(1, 900, 2),
      test::RandomPicture(900, 1, 3),
      test::RandomPicture(2, 3, 4),
      test::RandomPicture(513, 2, 5),
      test::RandomPicture(640, 480, 6),
      // A lone bright pixel at the far corner.
      test::MakePicture(600, 400,
                        [](int x, int y) { return x == 599 && y == 399 ? 0xFFFFFFu : 0u; }),
      SharpSubjectPicture(900, 700, {880, 680, 900, 700}),
      // The longest sides the limits allow.
      SharpSubjectPicture(static_cast<int>(Limits().MaxSide), 2, {29000, 0, 30000, 2}),
      SharpSubjectPicture(2, static_cast<int>(Limits().MaxSide), {0, 0, 2, 500}),
  };
  for (const TBitmap& picture : pictures) {
    const TSubjectPoint point = FindSubjectPoint(picture, 1);
    EXPECT_TRUE(InsidePicture(point, picture))
        << picture.Width() << "x" << picture.Height() << ": " << point.X << "," << point.Y;
  }
}

TEST(SubjectPoint, TheThreadCountDoesNotChangeTheResult) {
  const TBitmap pictures[] = {
      SharpSubjectPicture(1700, 1100, {1100, 200, 1500, 600}),
      test::RandomPicture(1300, 900, 9),
      SharpSubjectPicture(1024, 1030, {0, 0, 300, 1030}),
  };
  for (const TBitmap& picture : pictures) {
    const TSubjectPoint one = FindSubjectPoint(picture, 1);
    for (int threads : {0, 2, 3, 8, 1000})
      EXPECT_EQ(FindSubjectPoint(picture, threads), one) << threads << " threads";
  }
}

} // namespace
} // namespace mirufo
