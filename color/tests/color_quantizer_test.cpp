#include "color/color_quantizer.h"
#include "color/color_reducer.h"
#include "color/dib.h"
#include "platform/errors.h"

#include <array>
#include <gtest/gtest.h>
#include <set>

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

// A picture of pseudo-random colours. With spread 256 the colours fall in
// every octant; a smaller spread keeps them near the given corners.
TBitmap RandomPicture(int width, int height, std::uint32_t seed,
                      const std::vector<TColor>& corners = {}, int spread = 256) {
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>(seed >> 24);
  };
  TBitmap picture(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (corners.empty()) {
        picture.SetPixel(x, y, RGB(next(), next(), next()));
        continue;
      }
      const TColor c = corners[static_cast<std::size_t>(next()) % corners.size()];
      auto channel = [&](int value) {
        return static_cast<std::uint8_t>(value < 128 ? next() % spread : 255 - next() % spread);
      };
      picture.SetPixel(x, y,
                       RGB(channel(c & 0xFF), channel((c >> 8) & 0xFF), channel((c >> 16) & 0xFF)));
    }
  return picture;
}

// FNV-1a over the palette and every index of the reduced picture.
std::uint64_t Digest(const TBitmap& reduced) {
  std::uint64_t h = 14695981039346656037ull;
  auto add = [&h](std::uint8_t byte) {
    h ^= byte;
    h *= 1099511628211ull;
  };
  for (const TRGBQuad& q : reduced.Palette()) {
    add(q.Red);
    add(q.Green);
    add(q.Blue);
  }
  for (int y = 0; y < reduced.Height(); ++y)
    for (int x = 0; x < reduced.Width(); ++x)
      add(static_cast<std::uint8_t>(reduced.GetIndex(x, y)));
  return h;
}

std::set<std::uint32_t> ColoursUsed(const TBitmap& reduced) {
  std::set<std::uint32_t> used;
  for (int y = 0; y < reduced.Height(); ++y)
    for (int x = 0; x < reduced.Width(); ++x) {
      const TRGBQuad& q = reduced.Palette()[reduced.GetIndex(x, y)];
      used.insert(static_cast<std::uint32_t>(q.Red << 16 | q.Green << 8 | q.Blue));
    }
  return used;
}

// Whenever the octree never has to fold its root (more than four colours, or
// pictures whose colours lie in few enough octants), the palettes and
// pictures are exactly those the quantizer has always made.
TEST(TColorQuantizer, ResultsWithoutARootFoldAreUnchanged) {
  const TBitmap many = RandomPicture(61, 47, 11);
  const TBitmap twoCorners = RandomPicture(37, 29, 5, {RGB(0, 0, 0), RGB(255, 255, 255)}, 100);
  const TBitmap fourCorners =
      RandomPicture(37, 29, 9, {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)}, 100);
  std::uint64_t h = 0;
  for (TReductionMethod method : {cmOctree, cmOctreeGrid332})
    for (int dither : {0, 1, 2}) {
      for (int bits = 3; bits <= 8; ++bits)
        h = h * 31 + Digest(ReduceBitmapColors(many, method, dither, bits));
      h = h * 31 + Digest(ReduceBitmapColors(twoCorners, method, dither, 1));
      h = h * 31 + Digest(ReduceBitmapColors(fourCorners, method, dither, 2));
    }
  EXPECT_EQ(h, 4479135908573518232u);
}

// Four colours or fewer used to fold the root and give a flat picture.
TEST(TColorQuantizer, ManyColoursReduceToAsManyAsTheBitsAllow) {
  const TBitmap many = RandomPicture(64, 48, 3);
  for (TReductionMethod method : {cmOctree, cmOctreeGrid332})
    for (int dither : {0, 1})
      for (int bits : {1, 2}) {
        const TBitmap reduced = ReduceBitmapColors(many, method, dither, bits);
        EXPECT_EQ(ColoursUsed(reduced).size(), std::size_t{1} << bits)
            << static_cast<int>(method) << " " << dither << " " << bits;
      }
}

// When only the root's children are left, the two leaves that cost least to
// merge (pixel counts and mean colours) become one.
TEST(TColorQuantizer, MergesTheCheapestPairOfTopLeaves) {
  TColorQuantizer quantizer(2, 8);
  std::array<TPaletteEntry, 256> table{};
  // Dark red and black are close; white is far from both.
  ASSERT_EQ(
      Quantize(quantizer, {RGB(0, 0, 0), RGB(255, 255, 255), RGB(200, 0, 0), RGB(0, 0, 0)}, table),
      2);
  EXPECT_EQ(quantizer.LeafCount(), 2);
  EXPECT_EQ(table[0], (TPaletteEntry{66, 0, 0})); // (0 + 200 + 0) div 3
  EXPECT_EQ(table[1], (TPaletteEntry{255, 255, 255}));
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
