#include "imaging/text_renderer.h"

#include <climits>
#include <gtest/gtest.h>
#include <set>

namespace mirufo {
namespace {

// Columns and rows that hold a pixel other than the background.
TRect InkBox(const TBitmap& bitmap, TColor background) {
  TRect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if (bitmap.GetPixel(x, y) != background) {
        box.Left = std::min(box.Left, x);
        box.Top = std::min(box.Top, y);
        box.Right = std::max(box.Right, x + 1);
        box.Bottom = std::max(box.Bottom, y + 1);
      }
  return box;
}

TEST(TextRendererTest, SizesInPointsAt96DotsPerInch) {
  EXPECT_EQ(TTextRenderer("MS UI Gothic", 6).PixelSize(), 8);
  EXPECT_EQ(TTextRenderer("MS UI Gothic", 7).PixelSize(), 9);
  EXPECT_EQ(TTextRenderer("MS UI Gothic", 9).PixelSize(), 12);
  EXPECT_EQ(TTextRenderer("MS UI Gothic", 10).PixelSize(), 13);
  EXPECT_EQ(TTextRenderer("MS UI Gothic", -6).PixelSize(), 8);
  EXPECT_EQ(TTextRenderer("MS UI Gothic", 0).PixelSize(), 1);
  EXPECT_EQ(TTextRenderer("MS UI Gothic", INT_MIN).PixelSize(), TTextRenderer::kMaxTextPixelSize);
}

TEST(TextRendererTest, MissingFamiliesFallBackToAJapaneseFont) {
  for (const char* family : {"MS UI Gothic", "No Such Family 123", "", "DejaVu Sans"}) {
    TTextRenderer font(family, 9);
    EXPECT_FALSE(font.FontFile().empty()) << family;
    // Kana and kanji always have ink, whatever the matched family lacks.
    for (const char* text : {"あ", "如月"}) {
      TBitmap bitmap(40, 20, pf24bit);
      bitmap.Fill(RGB(0, 0, 0));
      font.TextOut(bitmap, 0, 0, text, RGB(255, 255, 255));
      EXPECT_FALSE(InkBox(bitmap, RGB(0, 0, 0)).IsEmpty()) << family << " " << text;
      EXPECT_GT(font.TextWidth(text), 0) << family << " " << text;
    }
  }
}

TEST(TextRendererTest, MetricsAddUpAndHeightIsTheLine) {
  TTextRenderer font("MS UI Gothic", 9);
  EXPECT_EQ(font.TextWidth(""), 0);
  EXPECT_EQ(font.TextWidth("123"), font.TextWidth("1") + font.TextWidth("2") + font.TextWidth("3"));
  EXPECT_EQ(font.TextHeight("1"), font.TextHeight("|"));
  EXPECT_GE(font.TextHeight("1"), font.PixelSize());
  // Digits keep their ink inside the line box below the drawing position.
  TBitmap bitmap(60, 40, pf24bit);
  bitmap.Fill(RGB(0, 0, 0));
  font.TextOut(bitmap, 10, 10, "0123456789", RGB(255, 255, 255));
  TRect ink = InkBox(bitmap, RGB(0, 0, 0));
  EXPECT_GE(ink.Top, 10);
  EXPECT_LE(ink.Bottom, 10 + font.TextHeight("0"));
  EXPECT_GE(ink.Left, 10);
  EXPECT_LE(ink.Right, 10 + font.TextWidth("0123456789") + 1);
}

TEST(TextRendererTest, CrispGlyphsUseOnlyTheTextColourAndSmoothOnesBlend) {
  auto colours = [](bool antialias) {
    TTextRenderer font("MS UI Gothic", 10, antialias);
    TBitmap bitmap(80, 20, pf24bit);
    bitmap.Fill(RGB(0, 0, 0));
    font.TextOut(bitmap, 1, 1, "2004 如月", RGB(255, 255, 255));
    std::set<TColor> seen;
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        seen.insert(bitmap.GetPixel(x, y));
    return seen;
  };
  EXPECT_EQ(colours(false), (std::set<TColor>{RGB(0, 0, 0), RGB(255, 255, 255)}));
  EXPECT_GT(colours(true).size(), 2u);
}

TEST(TextRendererTest, DrawingIsClippedToTheBitmap) {
  TTextRenderer font("MS UI Gothic", 10);
  TBitmap reference(30, 20, pf24bit);
  reference.Fill(RGB(0, 0, 0));
  font.TextOut(reference, 0, 0, "88", RGB(255, 255, 255));

  // Partly outside: what lands inside matches the same text drawn whole.
  TBitmap clipped(30, 20, pf24bit);
  clipped.Fill(RGB(0, 0, 0));
  font.TextOut(clipped, -4, -3, "88", RGB(255, 255, 255));
  for (int y = 0; y + 3 < 20; ++y)
    for (int x = 0; x + 4 < 30; ++x)
      ASSERT_EQ(clipped.GetPixel(x, y), reference.GetPixel(x + 4, y + 3)) << x << "," << y;

  // Far outside in every direction: nothing drawn, nothing touched.
  TBitmap untouched(30, 20, pf24bit);
  untouched.Fill(RGB(1, 2, 3));
  TBitmap before = untouched;
  for (auto [x, y] : {std::pair{INT_MIN, 0},
                      {INT_MAX, 0},
                      {0, INT_MIN},
                      {0, INT_MAX},
                      std::pair{-100, -100},
                      {30, 20}})
    font.TextOut(untouched, x, y, "88 あ", RGB(255, 255, 255));
  EXPECT_TRUE(untouched.SamePixels(before));

  TBitmap empty;
  font.TextOut(empty, 0, 0, "88", RGB(255, 255, 255));
  TBitmap palette(10, 10, pf8bit);
  TBitmap paletteBefore = palette;
  font.TextOut(palette, 0, 0, "88", RGB(255, 255, 255));
  EXPECT_TRUE(palette.SamePixels(paletteBefore));
}

TEST(TextRendererTest, InvalidUtf8IsDrawnNotRefused) {
  TTextRenderer font("MS UI Gothic", 9);
  TBitmap bitmap(40, 20, pf24bit);
  bitmap.Fill(RGB(0, 0, 0));
  const std::string text("1\xE3\x81", 3); // a character cut short
  EXPECT_GE(font.TextWidth(text), font.TextWidth("1"));
  font.TextOut(bitmap, 0, 0, text, RGB(255, 255, 255));
  EXPECT_FALSE(InkBox(bitmap, RGB(0, 0, 0)).IsEmpty());
}

} // namespace
} // namespace mirufo
