#include "engine/calendar_decorator.h"
#include "output/calendar_dialog_model.h"
#include "output/format_dialog_model.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

TFormatOptions Options(TImageFormat format, std::uint8_t bits) {
  TFormatOptions o;
  o.Format = format;
  o.Bits = bits;
  o.Reduction = cmOctreeGrid332;
  o.JpegQuality = 70;
  return o;
}

TEST(FormatDialogModel, LoadingPicksThePageAndTheListItems) {
  TFormatDialogValues v = LoadFormatValues(Options(ifJPEG, 24));
  EXPECT_EQ(v.Page, fpJPEG);
  EXPECT_EQ(v.Quality, "70");
  EXPECT_EQ(v.Png8Colors, 0);   // not listed: "256"
  EXPECT_EQ(v.BmpColors, 0);    // "なし"
  EXPECT_EQ(v.GifColors, -1);   // not listed: none
  EXPECT_EQ(v.Compression, 10); // level 9

  v = LoadFormatValues(Options(ifPNG8, 4));
  EXPECT_EQ(v.Page, fpPNG8);
  EXPECT_STREQ(kColorCountItems[static_cast<std::size_t>(v.Png8Colors)], "16");
  EXPECT_STREQ(kColorCountItems[static_cast<std::size_t>(v.GifColors)], "16");
  EXPECT_STREQ(kBmpColorItems[static_cast<std::size_t>(v.BmpColors)], "16");

  TFormatOptions odd = Options(ifGIF, 4);
  odd.Dither = static_cast<TDitherKind>(9); // a code no list holds
  odd.PngCompressLevel = -1;
  odd.GifCompression = 1;
  v = LoadFormatValues(odd);
  EXPECT_EQ(v.Page, fpGIF);
  EXPECT_EQ(v.Png8Dither, -1);
  EXPECT_EQ(v.Compression, 0);
  EXPECT_FALSE(v.GifLzw);
}

TEST(FormatDialogModel, ReadingSetsWhatTheActivePageOwns) {
  const TFormatOptions base = Options(ifJPEG, 24);
  TFormatDialogValues v = LoadFormatValues(base);
  v.Quality = "300"; // keeps the low byte
  v.Progressive = true;
  TFormatOptions o = ReadFormatValues(v, base, cmFixed332);
  EXPECT_EQ(o.JpegQuality, 44);
  EXPECT_TRUE(o.Interlace);
  EXPECT_EQ(o.Reduction, cmFixed332);

  v.Page = fpPNG24;
  v.Interlace = false;
  v.Compression = 0;
  o = ReadFormatValues(v, base, cmFixed332);
  EXPECT_EQ(o.Format, ifPNG24);
  EXPECT_EQ(o.Bits, 24);
  EXPECT_EQ(o.PngCompressLevel, -1);
  EXPECT_EQ(o.JpegQuality, 70); // not this page's

  v.Page = fpBMP;
  v.BmpColors = 1; // "256"
  EXPECT_EQ(ReadFormatValues(v, base, cmOctree).Bits, 8);
  v.BmpColors = 0;
  EXPECT_EQ(ReadFormatValues(v, base, cmOctree).Bits, 24);
  v.Page = fpBMP2;
  EXPECT_EQ(ReadFormatValues(v, base, cmOctree).Bits, 2);
  v.Page = fpGIF;
  v.GifColors = 7;
  v.GifLzw = false;
  o = ReadFormatValues(v, base, cmOctree);
  EXPECT_EQ(o.Format, ifGIF);
  EXPECT_EQ(o.Bits, 1);
  EXPECT_EQ(o.GifCompression, 1);

  // The best-fit box is one value for every page, loaded and read back.
  TFormatOptions best = base;
  best.BestFit = true;
  v = LoadFormatValues(best);
  EXPECT_TRUE(v.BestFit);
  EXPECT_TRUE(ReadFormatValues(v, base, cmOctree).BestFit);
  v.BestFit = false;
  EXPECT_FALSE(ReadFormatValues(v, best, cmOctree).BestFit);
}

TEST(FormatDialogModel, ANonNumericQualityIsRefused) {
  TFormatDialogValues v = LoadFormatValues(Options(ifJPEG, 24));
  for (const char* text : {"", "abc", "7x", "99999999999"}) {
    v.Quality = text;
    EXPECT_THROW(ReadFormatValues(v, Options(ifJPEG, 24), cmOctree), EConvertError) << text;
  }
  EXPECT_EQ(ParseInteger(" -5"), -5);
  try {
    ParseInteger("abc");
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' は有効な整数値ではありません");
  }
}

TEST(CalendarDialogModel, PositionButtonsAndCellChoices) {
  struct {
    std::uint8_t alignment, layout;
    int button;
  } rows[] = {{0, 0, 0}, {2, 0, 1}, {1, 0, 2}, {0, 2, 3}, {2, 2, 4},
              {1, 2, 5}, {0, 1, 6}, {2, 1, 7}, {1, 1, 8}};
  for (const auto& r : rows) {
    EXPECT_EQ(PositionButton(r.alignment, r.layout), r.button);
    EXPECT_EQ(ButtonPosition(r.button), std::make_pair(r.alignment, r.layout));
  }
  EXPECT_EQ(PositionButton(3, 0), -1);
  EXPECT_EQ(CellChoice(1), 2); // right: the third choice
  EXPECT_EQ(CellValue(1), 2);  // "中央"
  EXPECT_EQ(CellChoice(7), -1);
}

TEST(CalendarDialogModel, DefaultDecoratorRoundTrips) {
  TCalendarDecorator decorator;
  decorator.Calendar.Date = EncodeCalendarDate(2004, 2, 17);
  decorator.Calendar.Alignment = 1;
  decorator.Calendar.Layout = 2;
  decorator.MarginX = 500;
  TCalendarDialogValues v = LoadCalendarValues(decorator);
  EXPECT_EQ(v.Button, 8);
  EXPECT_EQ(v.CellAlignment, 2);
  EXPECT_EQ(v.CellLayout, 1);
  EXPECT_EQ(v.MarginX, 100);
  EXPECT_EQ(v.Year, 2004);
  EXPECT_EQ(v.Month, 2);

  v.Button = 4;
  v.Month = 3;
  v.CellAlignment = 0;
  TCalendarDecorator copy;
  ApplyCalendarValues(v, copy);
  EXPECT_EQ(copy.Alignment, 2);
  EXPECT_EQ(copy.Layout, 2);
  EXPECT_EQ(copy.Calendar.Date, EncodeCalendarDate(2004, 3, 1));
  EXPECT_EQ(copy.Calendar.Alignment, 0);
  EXPECT_EQ(copy.Calendar.Layout, 2);
  v.Button = -1; // no button down: the block stays
  copy.Alignment = 0;
  ApplyCalendarValues(v, copy);
  EXPECT_EQ(copy.Alignment, 0);
}

} // namespace
} // namespace mirufo
