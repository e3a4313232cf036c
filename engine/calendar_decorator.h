// The month calendar drawn over every standby image: a header with the month
// label and the year, a rule, and the day numbers in a seven-column grid with
// Sunday first, placed in a corner, at an edge or in the centre.
#pragma once

#include "engine/standby_image_decorator.h"
#include "imaging/bitmap.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace mirufo {

class TIniFile;
class TTextRenderer;

// Where a block goes across and down: the codes that the settings file
// keeps for the calendar's place in the image and a number's place in its
// cell.
enum TCalendarAlign : std::uint8_t { cxLeft = 0, cxRight = 1, cxCenter = 2 };
enum TCalendarLayout : std::uint8_t { cyTop = 0, cyBottom = 1, cyMiddle = 2 };

// The look of the month grid. Alignment and Layout place a number in its
// cell (TCalendarAlign, TCalendarLayout codes; others draw at the cell's
// corner).
struct TCalendarFormat {
  double Date = 0; // a day of the month shown, in days since 1899-12-30
  std::int32_t LetterSpace = 0;
  std::int32_t LineSpace = 0;
  std::uint8_t Alignment = 0;
  std::uint8_t Layout = 0;
  TColor Color = 0;
  TColor SundayColor = 0;
  TColor OutlineColor = 0;
  bool Outline = false;
  std::uint8_t MonthLabelStyle = 0;
  std::array<std::string, 12> MonthLabels; // for style 5; [0] is January

  // Two formats draw the same grid: the outline colour counts only when both
  // draw an outline, the month labels only under style 5.
  bool Equals(const TCalendarFormat& other) const;
};

struct TCalendarSize {
  int Width = 0;
  int Height = 0;
  friend bool operator==(const TCalendarSize&, const TCalendarSize&) = default;
};

// Longest month label the settings keep, in CP932 bytes.
inline constexpr std::size_t kMaxMonthLabelBytes = 255;

class TCalendarDecorator : public TStandbyImageDecorator {
public:
  TCalendarFormat Calendar;
  // Block position in the image (TCalendarAlign, TCalendarLayout codes).
  // Margins apply to the edges only.
  std::uint8_t Alignment = cxRight;
  std::uint8_t Layout = cyBottom;
  std::int32_t MarginX = 4;
  std::int32_t MarginY = 4;
  std::string FontName = "MS UI Gothic";
  std::int32_t FontSize = 6;

  void Draw(TBitmap& bitmap) override;
  // Copies everything but Enabled from another calendar decorator.
  void Assign(const TStandbyImageDecorator& source) override;
  // Two disabled calendars are equal whatever their settings.
  bool Equals(const TStandbyImageDecorator& other) const override;
  std::shared_ptr<TStandbyImageDecorator> Clone() const override {
    return std::make_shared<TCalendarDecorator>(*this);
  }

  // Keys are prefix + ".Draw", ".Alignment", ..., and prefix + ".Calen." for
  // the grid's look. Every key is read with the current value (or the grid's
  // usual look) as its default.
  void LoadFromIni(const TIniFile& file, std::string_view section, std::string_view prefix);
  void SaveToIni(TIniFile& file, std::string_view section, std::string_view prefix) const;

  // Size of the calendar block for the format's month in the given font.
  static TCalendarSize MeasureCalendar(const TTextRenderer& font, const TCalendarFormat& format);
  // Draws the block with its top-left corner at (x0, y0), no background.
  static void DrawCalendar(TBitmap& bitmap, const TTextRenderer& font, int x0, int y0,
                           const TCalendarFormat& format);
  // The header label of month m (1 to 12) in the format's style.
  static std::string MonthLabel(const TCalendarFormat& format, int m);
  // Blank columns right of the ink of each digit '0' to '9', so that right
  // aligned numbers can end with their ink at the same column.
  static std::array<int, 10> DigitRightGaps(const TTextRenderer& font);

private:
  const TTextRenderer& Font();

  // The last font used, kept while FontName and FontSize stay the same.
  std::shared_ptr<TTextRenderer> font_;
  std::string fontName_;
  std::int32_t fontSize_ = 0;
};

// Gregorian calendar on dates counted in days since 1899-12-30 (day 0).
// Dates outside the years 1 to 9999 are taken as the nearest day inside.
struct TCalendarDate {
  int Year = 1899;
  int Month = 12;
  int Day = 30;
};
TCalendarDate DecodeCalendarDate(double date);
double EncodeCalendarDate(int year, int month, int day);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// 0 for Sunday to 6 for Saturday.
int DayOfWeek(double date);
// Today's local date, without the time of day.
double TodayDate();

} // namespace mirufo
