#include "color/color_quantizer.h"
#include "color/dib.h"
#include "platform/errors.h"

#include <array>
#include <gtest/gtest.h>

namespace mirufo {
namespace {

// Feeds the colours, one pixel each, as a one-row picture.
int Quantize(TColorQuantizer& quantizer, const std::vector<TColor>& colors,
             std::array<TPaletteEntry, 256>& table) {
  TBitmap picture(static_cast<int>(colors.size()), 1);
  for (std::size_t i = 0; i < colors.size(); ++i)
    picture.SetPixel(static_cast<int>(i), 0, colors[i]);
  TDIBReader reader(picture);
  quantizer.CountColors(reader);
  return quantizer.CollectPalette(table);
}

TEST(TColorQuantizer, RefusesMoreThanEightColourBits) {
  try {
    TColorQuantizer quantizer(256, 9);
    FAIL();
  } catch (const EMirufoError& e) {
    EXPECT_STREQ(e.what(), "ColorBits must be 8 or less");
  }
}

TEST(TColorQuantizer, LeavesCollectInChildOrderNotInsertionOrder) {
  TColorQuantizer quantizer(2, 8);
  std::array<TPaletteEntry, 256> table{};
  ASSERT_EQ(Quantize(quantizer, {RGB(255, 255, 255), RGB(255, 255, 255), RGB(0, 0, 0)}, table), 2);
  EXPECT_EQ(table[0], (TPaletteEntry{0, 0, 0}));
  EXPECT_EQ(table[1], (TPaletteEntry{255, 255, 255}));
}

TEST(TColorQuantizer, FoldsNewestNodeOfDeepestLevelAndAveragesItsPixels) {
  TColorQuantizer quantizer(2, 8);
  std::array<TPaletteEntry, 256> table{};
  // 254 and 255 share every node down to level 7; white's level-7 node is the
  // newest there, so it is folded: (254 + 255 + 255) div 3 = 254 in red,
  // green 255 throughout, blue (0 + 0 + 1) div 3 = 0.
  ASSERT_EQ(Quantize(quantizer,
                     {RGB(0, 0, 0), RGB(255, 255, 0), RGB(254, 255, 0), RGB(255, 255, 1)}, table),
            2);
  EXPECT_EQ(quantizer.LeafCount(), 2);
  EXPECT_EQ(table[0], (TPaletteEntry{0, 0, 0}));
  EXPECT_EQ(table[1], (TPaletteEntry{254, 255, 0}));
}

TEST(TColorQuantizer, FoldsUpToTheRootWhenOneColourIsWanted) {
  TColorQuantizer quantizer(1, 8);
  std::array<TPaletteEntry, 256> table{};
  ASSERT_EQ(Quantize(quantizer, {RGB(0, 0, 0), RGB(255, 255, 255), RGB(30, 60, 90)}, table), 1);
  EXPECT_EQ(table[0], (TPaletteEntry{95, 105, 115}));
  // Nothing is left to fold once the root is a leaf.
  EXPECT_FALSE(quantizer.FoldDeepestNode());
}

TEST(TColorQuantizer, NeverHoldsMoreLeavesThanColours) {
  TColorQuantizer quantizer(16, 8);
  std::vector<TColor> colors;
  for (int i = 0; i < 500; ++i)
    colors.push_back(RGB(static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(i * 11),
                         static_cast<std::uint8_t>(i * 5)));
  std::array<TPaletteEntry, 256> table{};
  EXPECT_LE(Quantize(quantizer, colors, table), 16);
  EXPECT_LE(quantizer.LeafCount(), 16);
}

TEST(TColorQuantizerRGB332, SecondLeafWantingTheSameGridColourGetsTheNextNearest) {
  TColorQuantizerRGB332 quantizer(256, 8);
  std::array<TPaletteEntry, 256> table{};
  ASSERT_EQ(Quantize(quantizer, {RGB(101, 101, 101), RGB(100, 100, 100)}, table), 2);
  // Both are nearest (109, 109, 85). (100, 100, 100) is collected first and
  // gets it; (101, 101, 101) is then 1104 away from both (73, 109, 85) and
  // (109, 73, 85), and the lower red level comes first in grid order.
  EXPECT_EQ(table[0], (TPaletteEntry{109, 109, 85}));
  EXPECT_EQ(table[1], (TPaletteEntry{73, 109, 85}));
  EXPECT_EQ(quantizer.HandedOut().size(), 2u);
}

TEST(TColorQuantizerRGB332, GridColoursStayWhereTheyAre) {
  TColorQuantizerRGB332 quantizer(256, 8);
  EXPECT_EQ(quantizer.SnapToGrid332({146, 36, 170}), (TPaletteEntry{146, 36, 170}));
  // Taken now: the same colour moves to a neighbour.
  EXPECT_NE(quantizer.SnapToGrid332({146, 36, 170}), (TPaletteEntry{146, 36, 170}));
}

} // namespace
} // namespace mirufo
