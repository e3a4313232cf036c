#include "color/color_lookup.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace mirufo {
namespace {

TEST(ReductionMethodForDepth, PicksMethodFromScreenDepth) {
  const struct {
    int bits;
    TReductionMethod method;
  } rows[] = {{0, cmOctree},        {1, cmMonochrome},    {2, cmFourGrays},
              {3, cmOctreeGrid332}, {7, cmOctreeGrid332}, {8, cmFixed332},
              {9, cmOctree},        {16, cmOctree},       {24, cmOctree}};
  for (const auto& row : rows)
    EXPECT_EQ(ReductionMethodForDepth(row.bits), row.method) << row.bits;
}

TEST(Fixed332Palette, RedOutermostBlueInnermost) {
  const TPalette palette = Fixed332Palette();
  ASSERT_EQ(palette.size(), 256u);
  EXPECT_EQ(palette[0], (TPaletteEntry{0, 0, 0}));
  EXPECT_EQ(palette[1], (TPaletteEntry{0, 0, 85}));
  EXPECT_EQ(palette[4], (TPaletteEntry{0, 36, 0}));
  EXPECT_EQ(palette[32], (TPaletteEntry{36, 0, 0}));
  EXPECT_EQ(palette[109], (TPaletteEntry{109, 109, 85}));
  EXPECT_EQ(palette[255], (TPaletteEntry{255, 255, 255}));
}

TEST(TFastColorLookup, NearestEntryByManhattanDistance) {
  TFastColorLookup lookup(Fixed332Palette());
  TPaletteEntry color;
  // 9 + 9 + 15: nearer than any other grid colour.
  EXPECT_EQ(lookup.FindColor(100, 100, 100, color), 109);
  EXPECT_EQ(color, (TPaletteEntry{109, 109, 85}));
  EXPECT_EQ(lookup.CachedIndex(TFastColorLookup::CellOf(100, 100, 100)), 109);
}

TEST(TFastColorLookup, FirstColourOfACellDecidesForTheWholeCell) {
  TFastColorLookup lookup({{0, 0, 0}, {20, 20, 20}});
  TPaletteEntry color;
  // (8, 8, 8) is nearer black; (15, 15, 15) alone would be nearer entry 1
  // but shares the cell, so it gets the cached answer.
  EXPECT_EQ(lookup.FindColor(8, 8, 8, color), 0);
  EXPECT_EQ(lookup.FindColor(15, 15, 15, color), 0);
  EXPECT_EQ(color, (TPaletteEntry{0, 0, 0}));

  // Looked up in the other order, the cell goes to entry 1.
  TFastColorLookup other({{0, 0, 0}, {20, 20, 20}});
  EXPECT_EQ(other.FindColor(15, 15, 15, color), 1);
  EXPECT_EQ(other.FindColor(8, 8, 8, color), 1);
}

TEST(TFastColorLookup, LowestIndexWinsCellsAndTies) {
  // Both entries lie in cell 0; the cell belongs to entry 0 even for an exact
  // match of entry 1.
  TFastColorLookup sameCell({{1, 1, 1}, {0, 0, 0}});
  TPaletteEntry color;
  EXPECT_EQ(sameCell.FindColor(0, 0, 0, color), 0);
  EXPECT_EQ(color, (TPaletteEntry{1, 1, 1}));

  // (20, 20, 0) is 20 away from both entries.
  TFastColorLookup tie({{40, 0, 0}, {0, 40, 0}});
  EXPECT_EQ(tie.FindColor(20, 20, 0, color), 0);

  // The same over a long palette, across groups of entries.
  TPalette longPalette(20, TPaletteEntry{250, 250, 250});
  longPalette[5] = {100, 0, 0};
  longPalette[12] = {0, 100, 0};
  longPalette[17] = {0, 0, 100};
  TFastColorLookup far(longPalette);
  EXPECT_EQ(far.FindColor(0, 0, 60, color), 17);
  EXPECT_EQ(far.FindColor(50, 50, 0, color), 5); // 5 and 12 both 100 away
  EXPECT_EQ(color, (TPaletteEntry{100, 0, 0}));

  // Duplicates of an entry are never chosen.
  TFastColorLookup copies({{0, 0, 0}, {200, 10, 10}, {200, 10, 10}, {200, 10, 10}});
  EXPECT_EQ(copies.FindColor(201, 11, 11, color), 1);
  EXPECT_EQ(copies.FindColor(120, 10, 10, color), 1);
}

TEST(TFastColorLookup, AgreesWithAPlainSearchOnRandomPalettes) {
  std::uint32_t seed = 99;
  auto next = [&seed](int range) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(range));
  };
  for (int trial = 0; trial < 300; ++trial) {
    TPalette palette(static_cast<std::size_t>(1 + next(256)));
    for (TPaletteEntry& e : palette) // few levels, so ties are common
      e = {static_cast<std::uint8_t>(next(5) * 60), static_cast<std::uint8_t>(next(5) * 60),
           static_cast<std::uint8_t>(next(5) * 60)};
    const auto r = static_cast<std::uint8_t>(next(256)), g = static_cast<std::uint8_t>(next(256)),
               b = static_cast<std::uint8_t>(next(256));
    int expected = -1;
    const int cell = TFastColorLookup::CellOf(r, g, b);
    for (std::size_t i = 0; i < palette.size() && expected < 0; ++i)
      if (TFastColorLookup::CellOf(palette[i].Red, palette[i].Green, palette[i].Blue) == cell)
        expected = static_cast<int>(i);
    if (expected < 0) {
      int best = 1 << 20;
      for (std::size_t i = 0; i < palette.size(); ++i) {
        int d = std::abs(palette[i].Red - r) + std::abs(palette[i].Green - g) +
                std::abs(palette[i].Blue - b);
        if (d < best) {
          best = d;
          expected = static_cast<int>(i);
        }
      }
    }
    TFastColorLookup lookup(palette);
    TPaletteEntry color;
    ASSERT_EQ(lookup.FindColor(r, g, b, color), expected) << trial;
    EXPECT_EQ(color, palette[static_cast<std::size_t>(expected)]);
  }
}

TEST(TFastColorLookup, EmptyPaletteAnswersEntryZero) {
  TFastColorLookup lookup(TPalette{});
  TPaletteEntry color{1, 2, 3};
  EXPECT_EQ(lookup.FindColor(50, 60, 70, color), 0);
  EXPECT_EQ(color, (TPaletteEntry{0, 0, 0}));
}

TEST(TMonochromeLookup, ThresholdIsStrictlyAboveHalf) {
  TMonochromeLookup lookup;
  TPaletteEntry color;
  EXPECT_EQ(lookup.FindColor(128, 128, 128, color), 1); // 32768
  EXPECT_EQ(color, (TPaletteEntry{255, 255, 255}));
  EXPECT_EQ(lookup.FindColor(127, 127, 127, color), 0); // 32512
  EXPECT_EQ(color, (TPaletteEntry{0, 0, 0}));
  // Green weighs most: pure green is white, pure red and blue are black.
  EXPECT_EQ(lookup.FindColor(0, 255, 0, color), 1);
  EXPECT_EQ(lookup.FindColor(255, 0, 0, color), 0);
  EXPECT_EQ(lookup.FindColor(0, 0, 255, color), 0);
}

} // namespace
} // namespace mirufo
