#include "engine/calendar_decorator.h"
#include "imaging/text_renderer.h"
#include "platform/errors.h"

#include <climits>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace mirufo {
namespace {

constexpr TColor kBlack = RGB(0, 0, 0);
constexpr TColor kWhite = RGB(255, 255, 255);
constexpr TColor kRed = RGB(255, 0, 0);
constexpr TColor kBlue = RGB(0, 0, 255);

TRect InkBox(const TBitmap& bitmap, TRect area, TColor background) {
  TRect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int y = std::max(0, area.Top); y < std::min(bitmap.Height(), area.Bottom); ++y)
    for (int x = std::max(0, area.Left); x < std::min(bitmap.Width(), area.Right); ++x)
      if (bitmap.GetPixel(x, y) != background) {
        box.Left = std::min(box.Left, x);
        box.Top = std::min(box.Top, y);
        box.Right = std::max(box.Right, x + 1);
        box.Bottom = std::max(box.Bottom, y + 1);
      }
  return box;
}

TCalendarFormat PlainFormat(int year, int month) {
  TCalendarFormat format;
  format.Date = EncodeCalendarDate(year, month, 15);
  format.LetterSpace = 6;
  format.LineSpace = 3;
  format.Alignment = 0;
  format.Layout = 0;
  format.Color = kWhite;
  format.SundayColor = kRed;
  format.OutlineColor = kBlue;
  format.Outline = false;
  return format;
}

// Geometry of the grid as the layout rules give it for a font.
struct TExpectedGrid {
  int A = 0;
  int CellH = 0;
  int HeaderH = 0;
  explicit TExpectedGrid(const TTextRenderer& font) {
    for (const char* digit : {"1", "2", "3"}) {
      A = std::max(A, font.TextWidth(digit));
      CellH = std::max(CellH, font.TextHeight(digit));
    }
    HeaderH = font.TextHeight("2004");
  }
  TRect Cell(const TCalendarFormat& format, int x0, int y0, int column, int row) const {
    int left = x0 + column * (2 * A + format.LetterSpace);
    int top = y0 + HeaderH + 4 + row * (CellH + format.LineSpace);
    return {left, top, left + 2 * A, top + CellH};
  }
};

TEST(CalendarDateTest, GregorianArithmetic) {
  EXPECT_EQ(EncodeCalendarDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeCalendarDate(2000, 1, 1), 36526.0);
  EXPECT_EQ(EncodeCalendarDate(1600, 3, 1) + 1, EncodeCalendarDate(1600, 3, 2));
  EXPECT_EQ(DayOfWeek(0), 6);                                    // a Saturday
  EXPECT_EQ(DayOfWeek(EncodeCalendarDate(2004, 2, 1)), 0);       // a Sunday
  EXPECT_EQ(DayOfWeek(EncodeCalendarDate(1752, 9, 14)), 4);      // proleptic: a Thursday
  EXPECT_EQ(DayOfWeek(EncodeCalendarDate(1800, 1, 1) - 0.5), 3); // the day, not the day before
  EXPECT_EQ(DaysInMonth(2004, 2), 29);
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(2005, 4), 30);
  for (double date : {-693593.0, -1.0, 0.0, 38018.75, 2958465.0}) {
    TCalendarDate d = DecodeCalendarDate(date);
    EXPECT_EQ(EncodeCalendarDate(d.Year, d.Month, d.Day), std::trunc(date)) << date;
  }
  TCalendarDate leap = DecodeCalendarDate(EncodeCalendarDate(2004, 2, 29) + 0.9);
  EXPECT_EQ(leap.Year, 2004);
  EXPECT_EQ(leap.Month, 2);
  EXPECT_EQ(leap.Day, 29);
  // Dates no calendar can show are taken as the nearest one it can.
  EXPECT_EQ(DecodeCalendarDate(1e300).Year, 9999);
  EXPECT_EQ(DecodeCalendarDate(-1e300).Year, 1);
  EXPECT_EQ(DecodeCalendarDate(std::numeric_limits<double>::quiet_NaN()).Year, 1899);
  EXPECT_EQ(DecodeCalendarDate(std::numeric_limits<double>::infinity()).Year, 9999);
}

TEST(CalendarDecoratorTest, MonthLabelsOfEveryStyle) {
  TCalendarFormat format;
  const std::pair<int, const char*> feb[] = {{0, "2"},    {1, "2月"}, {2, "February"}, {3, "Feb"},
                                             {4, "如月"}, {6, ""},    {255, ""}};
  for (auto [style, label] : feb) {
    format.MonthLabelStyle = static_cast<std::uint8_t>(style);
    EXPECT_EQ(TCalendarDecorator::MonthLabel(format, 2), label) << style;
  }
  format.MonthLabelStyle = 3;
  EXPECT_EQ(TCalendarDecorator::MonthLabel(format, 5), "May");
  EXPECT_EQ(TCalendarDecorator::MonthLabel(format, 9), "Sep");
  format.MonthLabelStyle = 4;
  EXPECT_EQ(TCalendarDecorator::MonthLabel(format, 12), "師走");
  format.MonthLabelStyle = 2;
  EXPECT_EQ(TCalendarDecorator::MonthLabel(format, 0), "");
  EXPECT_EQ(TCalendarDecorator::MonthLabel(format, 13), "");
  format.MonthLabelStyle = 5;
  format.MonthLabels[0] = "睦";
  format.MonthLabels[11] = "師";
  EXPECT_EQ(TCalendarDecorator::MonthLabel(format, 1), "睦");
  EXPECT_EQ(TCalendarDecorator::MonthLabel(format, 12), "師");
}

TEST(CalendarDecoratorTest, BlockSizeFollowsTheCalendarsOwnMonth) {
  TTextRenderer font("MS UI Gothic", 9);
  TExpectedGrid grid(font);
  // February 2004 starts on a Sunday and has 29 days: five rows.
  TCalendarFormat february = PlainFormat(2004, 2);
  TCalendarSize size = TCalendarDecorator::MeasureCalendar(font, february);
  EXPECT_EQ(size.Width, 14 * grid.A + 6 * february.LetterSpace);
  EXPECT_EQ(size.Height, grid.HeaderH + 5 * grid.CellH + 4 * february.LineSpace + 4);
  // October 2005 starts on a Saturday and has 31 days: six rows.
  TCalendarFormat october = PlainFormat(2005, 10);
  EXPECT_EQ(TCalendarDecorator::MeasureCalendar(font, october).Height,
            grid.HeaderH + 6 * grid.CellH + 5 * october.LineSpace + 4);
  // February 2009 starts on a Sunday and has 28 days: four rows.
  TCalendarFormat short4 = PlainFormat(2009, 2);
  EXPECT_EQ(TCalendarDecorator::MeasureCalendar(font, short4).Height,
            grid.HeaderH + 4 * grid.CellH + 3 * short4.LineSpace + 4);
}

TEST(CalendarDecoratorTest, DaysLandInTheirColumnsAndRows) {
  TTextRenderer font("MS UI Gothic", 9);
  TExpectedGrid grid(font);
  TCalendarFormat format = PlainFormat(2004, 2);
  TBitmap bitmap(240, 200, pf24bit);
  bitmap.Fill(kBlack);
  TCalendarDecorator::DrawCalendar(bitmap, font, 10, 20, format);
  // Sunday column: 1, 8, 15, 22, 29 in red; row 4 holds only day 29.
  for (int row = 0; row < 5; ++row) {
    TRect sunday = grid.Cell(format, 10, 20, 0, row);
    EXPECT_EQ(InkBox(bitmap, sunday, kBlack).IsEmpty(), false) << row;
    for (int y = sunday.Top; y < sunday.Bottom; ++y)
      for (int x = sunday.Left; x < sunday.Right; ++x)
        ASSERT_TRUE(bitmap.GetPixel(x, y) == kBlack || bitmap.GetPixel(x, y) == kRed);
  }
  for (int column = 1; column < 7; ++column)
    EXPECT_TRUE(InkBox(bitmap, grid.Cell(format, 10, 20, column, 4), kBlack).IsEmpty());
  EXPECT_FALSE(InkBox(bitmap, grid.Cell(format, 10, 20, 6, 3), kBlack).IsEmpty()); // the 28th
  // The rule spans the grid, one pixel high, two pixels under the header.
  const int ruleY = 20 + grid.HeaderH + 2;
  const int gridW = 14 * grid.A + 6 * format.LetterSpace;
  for (int x = 0; x < 240; ++x)
    EXPECT_EQ(bitmap.GetPixel(x, ruleY), x >= 10 && x < 10 + gridW ? kWhite : kBlack) << x;
  // The year ends with the grid.
  TRect header = InkBox(bitmap, TRect{0, 20, 240, 20 + grid.HeaderH}, kBlack);
  EXPECT_LE(header.Right, 10 + gridW + 1);
  EXPECT_GE(header.Right, 10 + gridW - font.TextWidth("4"));
}

TEST(CalendarDecoratorTest, RightAlignedNumbersEndWithTheirInkAtTheCellEdge) {
  for (int size : {6, 9, 12}) {
    TTextRenderer font("MS UI Gothic", size);
    TExpectedGrid grid(font);
    TCalendarFormat format = PlainFormat(2004, 2);
    format.Alignment = 1;
    format.Layout = 2;
    TBitmap bitmap(400, 300, pf24bit);
    bitmap.Fill(kBlack);
    TCalendarDecorator::DrawCalendar(bitmap, font, 5, 5, format);
    for (int day = 1; day <= 29; ++day) {
      TRect cell = grid.Cell(format, 5, 5, (day - 1) % 7, (day - 1) / 7);
      TRect area{cell.Left - 2, cell.Top, cell.Right + 2, cell.Bottom};
      EXPECT_EQ(InkBox(bitmap, area, kBlack).Right, cell.Right)
          << "size " << size << " day " << day;
    }
  }
}

TEST(CalendarDecoratorTest, CentredAndOutOfRangeCellPositions) {
  TTextRenderer font("MS UI Gothic", 9);
  TExpectedGrid grid(font);
  TCalendarFormat left = PlainFormat(2004, 2);
  TCalendarFormat centre = left;
  centre.Alignment = 2;
  TBitmap a(240, 200, pf24bit), b(240, 200, pf24bit);
  a.Fill(kBlack);
  b.Fill(kBlack);
  TCalendarDecorator::DrawCalendar(a, font, 10, 10, left);
  TCalendarDecorator::DrawCalendar(b, font, 10, 10, centre);
  for (int day : {1, 5, 10, 29}) {
    TRect cell = grid.Cell(left, 10, 10, (day - 1) % 7, (day - 1) / 7);
    int shift = (2 * grid.A - font.TextWidth(std::to_string(day))) / 2;
    EXPECT_EQ(InkBox(b, cell, kBlack).Left - InkBox(a, cell, kBlack).Left, shift) << day;
  }
  // Positions outside 0 to 2 put every number at the bitmap's edge.
  TCalendarFormat odd = left;
  odd.Alignment = 3;
  odd.Layout = 7;
  TBitmap c(240, 200, pf24bit);
  c.Fill(kBlack);
  TCalendarDecorator::DrawCalendar(c, font, 100, 100, odd);
  TRect corner = InkBox(c, TRect{0, 0, 240, 100}, kBlack);
  EXPECT_LE(corner.Right, 2 * grid.A + 1);
  EXPECT_LE(corner.Bottom, grid.CellH);
}

TEST(CalendarDecoratorTest, OutlineSurroundsTheText) {
  TTextRenderer font("MS UI Gothic", 9);
  TCalendarFormat format = PlainFormat(2004, 2);
  TBitmap plain(240, 200, pf24bit), outlined(240, 200, pf24bit);
  plain.Fill(kBlack);
  outlined.Fill(kBlack);
  TCalendarDecorator::DrawCalendar(plain, font, 10, 10, format);
  format.Outline = true;
  TCalendarDecorator::DrawCalendar(outlined, font, 10, 10, format);
  int outlinePixels = 0;
  for (int y = 1; y + 1 < 200; ++y)
    for (int x = 1; x + 1 < 240; ++x) {
      TColor p = plain.GetPixel(x, y);
      ASSERT_NE(p, kBlue);
      if (outlined.GetPixel(x, y) == kBlue)
        ++outlinePixels;
      // Text keeps its colour; every neighbour of a glyph pixel is inked.
      if (p == kRed) {
        ASSERT_EQ(outlined.GetPixel(x, y), kRed);
        for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
          ASSERT_NE(outlined.GetPixel(x + dx, y + dy), kBlack) << x << "," << y;
      }
    }
  EXPECT_GT(outlinePixels, 100);
}

TEST(CalendarDecoratorTest, BlockPositionsAndMargins) {
  TCalendarDecorator calendar;
  calendar.Calendar = PlainFormat(2004, 2);
  calendar.FontSize = 9;
  calendar.MarginX = 7;
  calendar.MarginY = 5;
  TTextRenderer font(calendar.FontName, calendar.FontSize);
  TExpectedGrid grid(font);
  const TCalendarSize size = TCalendarDecorator::MeasureCalendar(font, calendar.Calendar);
  const int width = 240, height = 321;
  for (int alignment = 0; alignment <= 3; ++alignment)
    for (int layout = 0; layout <= 3; ++layout) {
      calendar.Alignment = static_cast<std::uint8_t>(alignment);
      calendar.Layout = static_cast<std::uint8_t>(layout);
      TBitmap bitmap(width, height, pf24bit);
      bitmap.Fill(kBlack);
      calendar.Draw(bitmap);
      const int x0[] = {7, width - size.Width - 7, (width - size.Width) / 2, 0};
      const int y0[] = {5, height - size.Height - 5, (height - size.Height) / 2, 0};
      // The rule is the one full-width run of the text colour.
      const int ruleY = y0[layout] + grid.HeaderH + 2;
      EXPECT_EQ(bitmap.GetPixel(x0[alignment], ruleY), kWhite) << alignment << layout;
      EXPECT_EQ(bitmap.GetPixel(x0[alignment] + size.Width - 1, ruleY), kWhite);
      if (x0[alignment] > 0) {
        EXPECT_EQ(bitmap.GetPixel(x0[alignment] - 1, ruleY), kBlack);
      }
      EXPECT_EQ(bitmap.GetPixel(x0[alignment] + size.Width, ruleY), kBlack);
      EXPECT_NE(bitmap.GetPixel(x0[alignment] + size.Width / 2, ruleY - 1), kWhite);
    }
}

TEST(CalendarDecoratorTest, DisabledDrawsNothingAndOddBitmapsAreSafe) {
  TCalendarDecorator calendar;
  calendar.Calendar = PlainFormat(2004, 2);
  TBitmap bitmap(240, 320, pf24bit);
  bitmap.Fill(RGB(10, 20, 30));
  TBitmap before = bitmap;
  calendar.Enabled = false;
  calendar.Draw(bitmap);
  EXPECT_TRUE(bitmap.SamePixels(before));
  calendar.Enabled = true;
  calendar.MarginX = INT_MAX;
  calendar.MarginY = INT_MIN;
  calendar.Calendar.LetterSpace = INT_MAX; // sums beyond 32 bits must not wrap
  calendar.Calendar.LineSpace = INT_MIN;
  calendar.Draw(bitmap);
  EXPECT_TRUE(bitmap.SamePixels(before)); // all of it far outside
  TTextRenderer font(calendar.FontName, calendar.FontSize);
  EXPECT_GT(TCalendarDecorator::MeasureCalendar(font, calendar.Calendar).Width, 0);
  calendar.Calendar.LetterSpace = 6;
  calendar.Calendar.LineSpace = 2;
  TBitmap tiny(3, 2, pf24bit), empty;
  calendar.MarginX = 4;
  calendar.Draw(tiny);
  calendar.Draw(empty);
  TBitmap palette(20, 20, pf8bit);
  TBitmap paletteBefore = palette;
  calendar.Draw(palette);
  EXPECT_TRUE(palette.SamePixels(paletteBefore));
}

TEST(CalendarDecoratorTest, DigitRightGapsMatchTheInk) {
  TTextRenderer font("MS UI Gothic", 12);
  std::array<int, 10> gaps = TCalendarDecorator::DigitRightGaps(font);
  int width = 0;
  for (char d = '0'; d <= '9'; ++d)
    width = std::max(width, font.TextWidth(std::string(1, d)));
  for (int i = 0; i < 10; ++i) {
    std::string digit(1, static_cast<char>('0' + i));
    TBitmap bitmap(width + 20, 40, pf24bit);
    bitmap.Fill(kBlack);
    font.TextOut(bitmap, 10, 5, digit, kWhite);
    TRect ink = InkBox(bitmap, TRect{0, 0, width + 20, 40}, kBlack);
    EXPECT_EQ(gaps[static_cast<std::size_t>(i)], 10 + font.TextWidth(digit) - ink.Right) << i;
  }
}

class TOtherDecorator : public TStandbyImageDecorator {
public:
  void Draw(TBitmap&) override {}
  void AssignTo(TStandbyImageDecorator& dest) const override {
    if (auto* calendar = dynamic_cast<TCalendarDecorator*>(&dest))
      calendar->MarginX = 99;
  }
  std::shared_ptr<TStandbyImageDecorator> Clone() const override {
    return std::make_shared<TOtherDecorator>(*this);
  }
};

TEST(CalendarDecoratorTest, EqualsComparesWhatIsDrawn) {
  TCalendarDecorator a, b;
  a.Calendar = b.Calendar = PlainFormat(2004, 2);
  EXPECT_TRUE(a.Equals(b));
  auto differs = [&](auto change) {
    TCalendarDecorator c;
    c.Assign(a);
    change(c);
    return !a.Equals(c) && !c.Equals(a);
  };
  EXPECT_TRUE(differs([](TCalendarDecorator& c) { c.Calendar.Date += 0.5; }));
  EXPECT_TRUE(differs([](TCalendarDecorator& c) { c.Calendar.LetterSpace++; }));
  EXPECT_TRUE(differs([](TCalendarDecorator& c) { c.Calendar.SundayColor = 1; }));
  EXPECT_TRUE(differs([](TCalendarDecorator& c) { c.Calendar.Outline = true; }));
  EXPECT_TRUE(differs([](TCalendarDecorator& c) { c.Calendar.MonthLabelStyle = 5; }));
  EXPECT_TRUE(differs([](TCalendarDecorator& c) { c.Layout = 0; }));
  EXPECT_TRUE(differs([](TCalendarDecorator& c) { c.MarginY = 0; }));
  EXPECT_TRUE(differs([](TCalendarDecorator& c) { c.FontName = "ms ui gothic"; }));
  EXPECT_TRUE(differs([](TCalendarDecorator& c) { c.FontSize = 7; }));
  EXPECT_TRUE(differs([](TCalendarDecorator& c) { c.Enabled = false; }));
  // Settings that draw nothing different do not count.
  EXPECT_FALSE(differs([](TCalendarDecorator& c) { c.Calendar.OutlineColor = 1; }));
  EXPECT_FALSE(differs([](TCalendarDecorator& c) { c.Calendar.MonthLabels[3] = "x"; }));
  a.Calendar.Outline = true;
  EXPECT_TRUE(differs([](TCalendarDecorator& c) { c.Calendar.OutlineColor = 1; }));
  a.Calendar.MonthLabelStyle = 5;
  EXPECT_TRUE(differs([](TCalendarDecorator& c) { c.Calendar.MonthLabels[3] = "x"; }));

  // Two disabled calendars are equal whatever else they hold.
  TCalendarDecorator off1, off2;
  off1.Enabled = off2.Enabled = false;
  off2.FontSize = 40;
  off2.Calendar.Date = 12345;
  EXPECT_TRUE(off1.Equals(off2));
  TOtherDecorator other;
  other.Enabled = false;
  EXPECT_FALSE(off1.Equals(other));
  EXPECT_FALSE(other.Equals(off1));
}

TEST(CalendarDecoratorTest, AssignCopiesAllButEnabled) {
  TCalendarDecorator source;
  source.Calendar = PlainFormat(2005, 10);
  source.Calendar.MonthLabels[4] = "五";
  source.Alignment = 2;
  source.Layout = 0;
  source.MarginX = 11;
  source.MarginY = 12;
  source.FontName = "IPAGothic";
  source.FontSize = 10;
  source.Enabled = false;
  TCalendarDecorator dest;
  dest.Assign(source);
  EXPECT_TRUE(dest.Enabled);
  dest.Enabled = false;
  EXPECT_TRUE(dest.Equals(source));
  dest.Enabled = source.Enabled = true;
  EXPECT_TRUE(dest.Equals(source));
  EXPECT_EQ(dest.Calendar.MonthLabels[4], "五");
  // From a decorator of another class, the source decides.
  TOtherDecorator other;
  dest.Assign(other);
  EXPECT_EQ(dest.MarginX, 99);
}

TEST(DecoratorListTest, IndexedReferences) {
  TCalendarDecorator a, b;
  TStandbyImageDecoratorList list;
  EXPECT_EQ(list.Add(&a), 0);
  list.Insert(0, &b);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list[0], &b);
  EXPECT_EQ(list.Items(1), &a);
  EXPECT_EQ(list.IndexOf(&a), 1);
  EXPECT_THROW(list.Items(2), ERangeError);
  EXPECT_THROW(list.Items(-1), ERangeError);
  EXPECT_THROW(list.Insert(3, &a), ERangeError);
  EXPECT_EQ(list.Remove(&b), 0);
  EXPECT_EQ(list.Remove(&b), -1);
  EXPECT_EQ(list.Count(), 1);
}

} // namespace
} // namespace mirufo
