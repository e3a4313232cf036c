#include "color/color_reducer.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

TEST(ReduceBitmapColors, SingleColourOctree) {
  TBitmap source(4, 3);
  source.Fill(RGB(10, 200, 30));
  TBitmap result = ReduceBitmapColors(source, cmOctree, 1, 8);
  ASSERT_EQ(result.PixelFormat(), pf8bit);
  ASSERT_EQ(result.Palette().size(), 256u);
  EXPECT_EQ(result.Palette()[0], (TRGBQuad{30, 200, 10, 0}));
}

} // namespace
} // namespace mirufo
