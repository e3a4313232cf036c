#include "color/dither_engine.h"
#include "platform/errors.h"

#include <gtest/gtest.h>
#include <vector>

namespace mirufo {
namespace {

// Passes every question on to another lookup and remembers the red value it
// was asked about, so a test sees the adjusted values a ditherer computed.
class TRecordingLookup : public TColorLookup {
public:
  explicit TRecordingLookup(TColorLookup& inner)
      : TColorLookup(inner.ColorCount()), inner_(inner) {}
  int FindColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                TPaletteEntry& color) override {
    asked.push_back(red);
    return inner_.FindColor(red, green, blue, color);
  }
  std::vector<int> asked;

private:
  TColorLookup& inner_;
};

// Answers a fixed sequence of grey palette colours, whatever is asked; an
// answer of -1 gives back the grey asked for, so that pixel's error is 0.
class TScriptedLookup : public TColorLookup {
public:
  explicit TScriptedLookup(std::vector<int> answers)
      : TColorLookup(256), answers_(std::move(answers)) {}
  int FindColor(std::uint8_t red, std::uint8_t, std::uint8_t, TPaletteEntry& color) override {
    asked.push_back(red);
    int answer = answers_[next_++ % answers_.size()];
    auto v = static_cast<std::uint8_t>(answer < 0 ? red : answer);
    color = {v, v, v};
    return v;
  }
  std::vector<int> asked;

private:
  std::vector<int> answers_;
  std::size_t next_ = 0;
};

// Runs grey rows through a ditherer in its scan order; returns the indices
// laid out by column.
std::vector<std::vector<int>> DriveRows(TDitherEngine& ditherer,
                                        const std::vector<std::vector<std::uint8_t>>& rows) {
  std::vector<std::vector<int>> result;
  for (const auto& row : rows) {
    std::vector<int> indices(row.size(), -1);
    TPaletteEntry color;
    for (int x = ditherer.Column(); x >= 0 && x < ditherer.Width(); x = ditherer.Column()) {
      std::uint8_t v = row[static_cast<std::size_t>(x)];
      indices[static_cast<std::size_t>(x)] = ditherer.MapPixel(v, v, v, color);
    }
    ditherer.EndRow();
    result.push_back(indices);
  }
  return result;
}

TEST(TDitherEngine, EveryChoiceScansRowsInASerpentine) {
  TMonochromeLookup lookup;
  for (int code = 0; code < kDitherKindCount; ++code) {
    auto ditherer = CreateDitherer(code, 3, lookup);
    TPaletteEntry color;
    std::vector<int> columns;
    for (int row = 0; row < 3; ++row) {
      while (ditherer->Column() >= 0 && ditherer->Column() < 3) {
        columns.push_back(ditherer->Column());
        ditherer->MapPixel(0, 0, 0, color);
      }
      ditherer->EndRow();
    }
    EXPECT_EQ(columns, (std::vector<int>{0, 1, 2, 2, 1, 0, 0, 1, 2})) << code;
    // A row already finished has no pixel left to map.
    ditherer->EndRow();
    ditherer->MapPixel(0, 0, 0, color);
    ditherer->MapPixel(0, 0, 0, color);
    ditherer->MapPixel(0, 0, 0, color);
    EXPECT_THROW(ditherer->MapPixel(0, 0, 0, color), ERangeError) << code;
  }
}

TEST(TDitherEngine, UnknownDitherCodeIsRefused) {
  TMonochromeLookup lookup;
  EXPECT_THROW(CreateDitherer(7, 4, lookup), EMirufoError);
  EXPECT_THROW(CreateDitherer(-1, 4, lookup), EMirufoError);
}

TEST(TFloydSteinbergDitherer, HandComputedThreeByTwo) {
  TMonochromeLookup mono;
  TRecordingLookup lookup(mono);
  TFloydSteinbergDitherer ditherer(3, lookup);
  // Row 0, left to right, slots 0..2:
  //   100 -> black, err 100: E[0] = 300, belowPrev 500, below 100, cur 700
  //   200 + (700 + 8) div 16 = 244 -> white, err -11: E[1] = 467, belowPrev 45
  //   50 + (-77 + 8) div 16 = 46 -> black, err 46: E[2] = 183, belowPrev 219
  //   end of row: E[3] = 219.
  // Row 1, right to left, column c reads slot c + 2:
  //   220 + (E[4] = 0 + 8) div 16 = 220 -> white, err -35: belowPrev -175, cur -245
  //   90 + (E[3] = 219 - 245 + 8) div 16 = 89 -> black, err 89: cur 623
  //   150 + (E[2] = 183 + 623 + 8) div 16 = 200 -> white.
  auto indices = DriveRows(ditherer, {{100, 200, 50}, {150, 90, 220}});
  EXPECT_EQ(lookup.asked, (std::vector<int>{100, 244, 46, 220, 89, 200}));
  EXPECT_EQ(indices, (std::vector<std::vector<int>>{{0, 1, 0}, {1, 0, 1}}));
}

TEST(TFloydSteinbergDitherer, ZeroErrorKeepsTheSlotAndCarries) {
  const int echo = -1;
  TScriptedLookup lookup({0, echo, 0, echo, echo, echo});
  TFloydSteinbergDitherer ditherer(3, lookup);
  DriveRows(ditherer, {{16, 0, 32}, {0, 0, 0}});
  // Row 0: 16 -> err 16 (E[0] = 48, belowPrev 80, below 16, cur 112);
  //   (112 + 8) div 16 = 7 is exact: E[1], below and belowPrev stay;
  //   32 -> err 32 (E[2] = 80 + 96 = 176, belowPrev 16 + 160); end: E[3] = 176.
  // Row 1 from the right reads slots 4, 3, 2. Had the exact pixel shifted the
  // carries, E[2] would hold 16 + 96 and the last value would be 7.
  EXPECT_EQ(lookup.asked, (std::vector<int>{16, 7, 32, 0, 11, 11}));
}

TEST(TFloydSteinbergDitherer, ClampsBeforeTheLookupAndCarriesTheClampedError) {
  // Black asked for, white answered: -255 is carried as -1785 to the next
  // pixel, which clamps 50 - 111 to 0. Black answered for that 0 is exact, so
  // nothing is carried to the third pixel; had the unclamped -61 been carried
  // it would arrive as 100 - 26.
  TScriptedLookup lookup({255, 0, 0});
  TFloydSteinbergDitherer ditherer(3, lookup);
  DriveRows(ditherer, {{0, 50, 100}});
  EXPECT_EQ(lookup.asked, (std::vector<int>{0, 0, 100}));

  // A large positive error clamps at 255.
  TScriptedLookup black({0});
  TFloydSteinbergDitherer up(4, black);
  DriveRows(up, {{255, 255, 255, 255}, {255, 255, 255, 255}});
  for (int v : black.asked)
    EXPECT_EQ(v, 255);
}

TEST(ErrorRowDitherers, ClampLargeCarriedErrors) {
  for (int code = 2; code < kDitherKindCount; ++code) {
    TScriptedLookup lookup({255, 0, 0});
    auto ditherer = CreateDitherer(code, 3, lookup);
    DriveRows(*ditherer, {{0, 10, 100}, {0, 0, 0}});
    for (int v : lookup.asked) {
      EXPECT_GE(v, 0) << code;
      EXPECT_LE(v, 255) << code;
    }
    // The -255 from the first pixel drives the second below zero.
    // SteveArche skips the neighbour: its first weight is at +2.
    if (code != 5) {
      EXPECT_EQ(lookup.asked[1], 0) << code;
    }
  }
}

TEST(ErrorRowDitherers, HandComputedThreeByTwoStucki) {
  TScriptedLookup lookup({0});
  TStuckiDitherer ditherer(3, lookup);
  // Every answer is 0, so each error is the adjusted value itself.
  // Row 0: 42 -> err 42: row0 +1 += 336, +2 += 168; row1 c-2..c+2 += 84,
  //   168, 336, 168, 84 (slots 0..4).
  //   c1: 0 + (336 + 21) div 42 = 8 -> row0 +1 (c2) += 64; row1 slots 1..5
  //   += 16, 32, 64, 32, 16.
  //   c2: 0 + (168 + 64 + 21) div 42 = 6 -> row1 slots 2..6 += 12, 24, 48,
  //   24, 12.
  // Row 1 (right to left), row1 now 84, 184, 380, 256, 164, 40, 12:
  //   c2 reads slot 4: (164 + 21) div 42 = 4 -> slot 3 += 32, slot 2 += 16;
  //   c1 reads slot 3: (256 + 32 + 21) div 42 = 7 -> slot 2 += 56;
  //   c0 reads slot 2: (380 + 16 + 56 + 21) div 42 = 11.
  DriveRows(ditherer, {{42, 0, 0}, {0, 0, 0}});
  EXPECT_EQ(lookup.asked, (std::vector<int>{42, 8, 6, 4, 7, 11}));
}

// One pixel of value divisor is answered with 0 and every other pixel
// exactly, so only that pixel's error spreads, and each later pixel is asked
// about 0 + (weight * divisor + rounding) div divisor = its weight.
TEST(ErrorRowDitherers, WeightTablesAroundOnePixel) {
  const struct {
    int code;
    int divisor;
    std::vector<std::vector<int>> weights; // rows 0..3 from the pixel's row, columns 0..6
  } cases[] = {
      {2,
       42,
       {{0, 0, 0, 42, 8, 4, 0},
        {0, 2, 4, 8, 4, 2, 0},
        {0, 1, 2, 4, 2, 1, 0},
        {0, 0, 0, 0, 0, 0, 0}}},
      {3,
       32,
       {{0, 0, 0, 32, 5, 3, 0},
        {0, 2, 4, 5, 4, 2, 0},
        {0, 0, 2, 3, 2, 0, 0},
        {0, 0, 0, 0, 0, 0, 0}}},
      {4,
       48,
       {{0, 0, 0, 48, 7, 5, 0},
        {0, 3, 5, 7, 5, 3, 0},
        {0, 1, 3, 5, 3, 1, 0},
        {0, 0, 0, 0, 0, 0, 0}}},
      {5,
       200,
       {{0, 0, 0, 200, 0, 32, 0},
        {12, 0, 26, 0, 30, 0, 16},
        {0, 12, 0, 26, 0, 12, 0},
        {5, 0, 12, 0, 12, 0, 5}}},
      {6,
       32,
       {{0, 0, 0, 32, 8, 4, 0},
        {0, 2, 4, 8, 4, 2, 0},
        {0, 0, 0, 0, 0, 0, 0},
        {0, 0, 0, 0, 0, 0, 0}}},
  };
  for (const auto& c : cases) {
    std::vector<int> answers(28, -1);
    answers[3] = 0;
    TScriptedLookup lookup(answers);
    auto ditherer = CreateDitherer(c.code, 7, lookup);
    std::vector<std::vector<std::uint8_t>> picture(4, std::vector<std::uint8_t>(7, 0));
    picture[0][3] = static_cast<std::uint8_t>(c.divisor);
    DriveRows(*ditherer, picture);
    // Lay the asked values out by column; odd rows run right to left.
    std::vector<std::vector<int>> seen(4, std::vector<int>(7));
    for (int i = 0; i < 28; ++i) {
      const int row = i / 7, k = i % 7;
      seen[static_cast<std::size_t>(row)][static_cast<std::size_t>(row % 2 ? 6 - k : k)] =
          lookup.asked[static_cast<std::size_t>(i)];
    }
    EXPECT_EQ(seen, c.weights) << c.code;
  }
}

TEST(TFloydSteinbergDitherer, ExactPixelsAfterAnErrorLeaveTheCarriesUnshifted) {
  // Same probe as above: 16 -> err 16 leaves E[3] = 48, belowPrev 80, cur 112;
  // the next pixel is asked (112 + 8) div 16 = 7 and is exact, so the carries
  // stay until the end of the row puts belowPrev 80 into slot 7. The next row
  // reads slot c + 2: column 5 gets (80 + 8) div 16, column 1 (48 + 8) div 16.
  std::vector<int> answers(14, -1);
  answers[3] = 0;
  TScriptedLookup lookup(answers);
  TFloydSteinbergDitherer ditherer(7, lookup);
  DriveRows(ditherer, {{0, 0, 0, 16, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0}});
  EXPECT_EQ(lookup.asked, (std::vector<int>{0, 0, 0, 16, 7, 0, 0, 0, 5, 0, 0, 0, 3, 0}));
}

TEST(OnePixelWide, EveryRowTurnsRoundAndSpareSlotsTakeTheSideways) {
  TMonochromeLookup lookup;
  const std::vector<std::vector<std::uint8_t>> column(8, std::vector<std::uint8_t>{128});
  for (int code = 0; code < kDitherKindCount; ++code) {
    auto ditherer = CreateDitherer(code, 1, lookup);
    auto indices = DriveRows(*ditherer, column);
    for (const auto& row : indices)
      EXPECT_NE(row[0], -1) << code;
    EXPECT_EQ(ditherer->Direction(), 1) << code; // eight rows: back to the start
    EXPECT_EQ(ditherer->Column(), 0) << code;
  }
  // Burkes: only offset 0 of the row below reaches the next pixel (weight 8).
  // 128 -> white, err -127 -> -1016; 128 + (-1000) div 32 = 97 -> black,
  // err 97 -> 776; 128 + 792 div 32 = 152 -> white ...
  TBurkesDitherer burkes(1, lookup);
  auto b = DriveRows(burkes, std::vector<std::vector<std::uint8_t>>(4, {128}));
  EXPECT_EQ(b, (std::vector<std::vector<int>>{{1}, {0}, {1}, {0}}));
  // SteveArche: only offset 0 two rows down (weight 26). Rows 0 and 1 are
  // white and carry -3302 each; 128 + (-3202) div 200 = 112 is black twice;
  // then 128 + (2912 + 100) div 200 = 143 is white again.
  TSteveArcheDitherer steve(1, lookup);
  auto s = DriveRows(steve, std::vector<std::vector<std::uint8_t>>(6, {128}));
  EXPECT_EQ(s, (std::vector<std::vector<int>>{{1}, {1}, {0}, {0}, {1}, {1}}));
}

} // namespace
} // namespace mirufo
