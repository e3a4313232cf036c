// Measures and draws the month calendar, reads and writes its settings, and
// does the Gregorian arithmetic it needs.
#include "engine/calendar_decorator.h"

#include "imaging/text_renderer.h"
#include "platform/arith.h"
#include "platform/encoding.h"
#include "platform/ini_file.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <typeinfo>

namespace mirufo {
namespace {

// Day numbers of 0001-01-01 and 9999-12-31, and of 1970-01-01.
constexpr long long kFirstDate = -693593;
constexpr long long kLastDate = 2958465;
constexpr long long kUnixEpochDate = 25569;

long long DayNumber(double date) {
  if (std::isnan(date))
    return 0;
  long double clamped = std::clamp<long double>(date, kFirstDate, kLastDate);
  return Trunc(clamped);
}

TCalendarDate CivilFromDays(long long z) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const long long day = doy - (153 * mp + 2) / 5 + 1;
  const long long month = mp < 10 ? mp + 3 : mp - 9;
  const long long year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  return {static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)};
}

long long DaysFromCivil(long long year, long long month, long long day) {
  year -= month <= 2 ? 1 : 0;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const long long yoe = year - era * 400;
  const long long doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

constexpr const char* kEnglishMonths[12] = {"January",   "February", "March",    "April",
                                            "May",       "June",     "July",     "August",
                                            "September", "October",  "November", "December"};
constexpr const char* kJapaneseMonths[12] = {"睦月", "如月", "弥生", "卯月",   "皐月", "水無月",
                                             "文月", "葉月", "長月", "神無月", "霜月", "師走"};

// Layout arithmetic runs in 64 bits: spacings and margins come from the
// settings file as any 32-bit value, and sums of them must not overflow.
// Anything this far off a bitmap is off every bitmap, so coordinates are
// narrowed to this range only when drawing.
constexpr long long kFarOff = 1LL << 30;

int Narrow(long long v) {
  return static_cast<int>(std::clamp(v, -kFarOff, kFarOff));
}

// Draws a text, with a one-pixel outline around it when the format asks.
void DrawText(TBitmap& bitmap, const TTextRenderer& font, long long wideX, long long wideY,
              const std::string& text, TColor color, const TCalendarFormat& format) {
  const int x = Narrow(wideX);
  const int y = Narrow(wideY);
  if (format.Outline) {
    font.TextOut(bitmap, x - 1, y, text, format.OutlineColor);
    font.TextOut(bitmap, x + 1, y, text, format.OutlineColor);
    font.TextOut(bitmap, x, y - 1, text, format.OutlineColor);
    font.TextOut(bitmap, x, y + 1, text, format.OutlineColor);
  }
  font.TextOut(bitmap, x, y, text, color);
}

// The layout shared by measuring and drawing.
struct TGrid {
  int A = 0;     // widest of "1", "2", "3"; a cell is 2A wide
  int CellH = 0; // tallest of "1", "2", "3"
  int Year = 0;
  int Month = 0;
  int FirstColumn = 0; // day of the week of the 1st, 0 = Sunday
  int Days = 0;
  int Rows = 0;
  std::string Label;
  std::string YearText;
  int HeaderH = 0;
  long long Width = 0; // of the block, as measured
  long long Height = 0;
};

TGrid GridOf(const TTextRenderer& font, const TCalendarFormat& format) {
  TGrid grid;
  for (const char* digit : {"1", "2", "3"}) {
    grid.A = std::max(grid.A, font.TextWidth(digit));
    grid.CellH = std::max(grid.CellH, font.TextHeight(digit));
  }
  const TCalendarDate date = DecodeCalendarDate(format.Date);
  grid.Year = date.Year;
  grid.Month = date.Month;
  grid.FirstColumn = DayOfWeek(EncodeCalendarDate(date.Year, date.Month, 1));
  grid.Days = DaysInMonth(date.Year, date.Month);
  grid.Rows = Div(grid.FirstColumn + grid.Days - 1, 7) + 1;
  grid.Label = TCalendarDecorator::MonthLabel(format, date.Month);
  grid.YearText = std::to_string(date.Year);
  grid.HeaderH = std::max(font.TextHeight(grid.Label), font.TextHeight(grid.YearText));
  grid.Width = 2LL * grid.A * 7 + 6LL * format.LetterSpace;
  grid.Height = grid.HeaderH + static_cast<long long>(grid.Rows) * grid.CellH +
                (grid.Rows - 1LL) * format.LineSpace + 4;
  return grid;
}

std::int32_t DateToSettings(double date) {
  return static_cast<std::int32_t>(DayNumber(date));
}

} // namespace

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  month = std::clamp(month, 1, 12);
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

TCalendarDate DecodeCalendarDate(double date) {
  return CivilFromDays(DayNumber(date) - kUnixEpochDate);
}

double EncodeCalendarDate(int year, int month, int day) {
  year = std::clamp(year, 1, 9999);
  month = std::clamp(month, 1, 12);
  day = std::clamp(day, 1, DaysInMonth(year, month));
  return static_cast<double>(DaysFromCivil(year, month, day) + kUnixEpochDate);
}

int DayOfWeek(double date) {
  // 1970-01-01 was a Thursday.
  const long long z = DayNumber(date) - kUnixEpochDate;
  return static_cast<int>(((z % 7) + 7 + 4) % 7);
}

double TodayDate() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return EncodeCalendarDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

bool TCalendarFormat::Equals(const TCalendarFormat& other) const {
  if (Date != other.Date || LetterSpace != other.LetterSpace || LineSpace != other.LineSpace ||
      Alignment != other.Alignment || Layout != other.Layout || Color != other.Color ||
      SundayColor != other.SundayColor || Outline != other.Outline ||
      MonthLabelStyle != other.MonthLabelStyle)
    return false;
  if (Outline && OutlineColor != other.OutlineColor)
    return false;
  return MonthLabelStyle != 5 || MonthLabels == other.MonthLabels;
}

std::string TCalendarDecorator::MonthLabel(const TCalendarFormat& format, int m) {
  if (m < 1 || m > 12)
    return {};
  switch (format.MonthLabelStyle) {
  case 0:
    return std::to_string(m);
  case 1:
    return std::to_string(m) + "月";
  case 2:
    return kEnglishMonths[m - 1];
  case 3:
    return std::string(kEnglishMonths[m - 1], 3);
  case 4:
    return kJapaneseMonths[m - 1];
  case 5:
    return format.MonthLabels[static_cast<std::size_t>(m - 1)];
  default:
    return {};
  }
}

std::array<int, 10> TCalendarDecorator::DigitRightGaps(const TTextRenderer& font) {
  std::array<int, 10> gaps{};
  int width = 0;
  for (char digit = '0'; digit <= '9'; ++digit)
    width = std::max(width, font.TextWidth(std::string(1, digit)));
  const int height = font.TextHeight("|");
  if (width <= 0 || height <= 0)
    return gaps;
  TBitmap scratch(width, height, pf24bit);
  const TColor white = RGB(255, 255, 255);
  for (int i = 0; i < 10; ++i) {
    const std::string digit(1, static_cast<char>('0' + i));
    scratch.Fill(white);
    font.TextOut(scratch, width - font.TextWidth(digit), 0, digit, RGB(0, 0, 0));
    for (int column = width - 1; column >= 0; --column) {
      bool ink = false;
      for (int y = 0; y < height && !ink; ++y)
        ink = scratch.GetPixel(column, y) != white;
      if (ink) {
        gaps[static_cast<std::size_t>(i)] = width - column - 1;
        break;
      }
    }
  }
  return gaps;
}

namespace {

void DrawGrid(TBitmap& bitmap, const TTextRenderer& font, const TGrid& grid, long long x0,
              long long y0, const TCalendarFormat& format) {
  if (bitmap.PixelFormat() != pf24bit && bitmap.PixelFormat() != pf32bit)
    return;
  const long long cellW = 2LL * grid.A;
  const long long gridW = grid.Width;

  DrawText(bitmap, font, x0, y0, grid.Label, format.Color, format);
  DrawText(bitmap, font, x0 + gridW - font.TextWidth(grid.YearText), y0, grid.YearText,
           format.Color, format);
  long long y = y0 + grid.HeaderH + 2;
  bitmap.FillRect(TRect{Narrow(x0), Narrow(y), Narrow(x0 + gridW), Narrow(y + 1)},
                  format.Color & 0x00FFFFFF);
  y += 2;

  std::array<int, 10> gaps{};
  if (format.Alignment == cxRight)
    gaps = TCalendarDecorator::DigitRightGaps(font);
  for (int day = 1; day <= grid.Days; ++day) {
    const int index = grid.FirstColumn + day - 1;
    const int column = index % 7;
    const int row = Div(index, 7);
    const long long cellLeft = x0 + column * (cellW + format.LetterSpace);
    const long long cellTop = y + row * (static_cast<long long>(grid.CellH) + format.LineSpace);
    const std::string text = std::to_string(day);
    const int textW = font.TextWidth(text);
    const int textH = font.TextHeight(text);
    long long x = 0;
    switch (format.Alignment) {
    case cxLeft:
      x = cellLeft;
      break;
    case cxRight:
      x = cellLeft + cellW - textW + gaps[static_cast<std::size_t>(text.back() - '0')];
      break;
    case cxCenter:
      x = cellLeft + Div(cellW - textW, 2LL);
      break;
    default:
      break;
    }
    long long top = 0;
    switch (format.Layout) {
    case cyTop:
      top = cellTop;
      break;
    case cyBottom:
      top = cellTop + grid.CellH - textH;
      break;
    case cyMiddle:
      top = cellTop + Div(grid.CellH - textH, 2);
      break;
    default:
      break;
    }
    DrawText(bitmap, font, x, top, text, column == 0 ? format.SundayColor : format.Color, format);
  }
}

} // namespace

TCalendarSize TCalendarDecorator::MeasureCalendar(const TTextRenderer& font,
                                                  const TCalendarFormat& format) {
  const TGrid grid = GridOf(font, format);
  return {Narrow(grid.Width), Narrow(grid.Height)};
}

void TCalendarDecorator::DrawCalendar(TBitmap& bitmap, const TTextRenderer& font, int x0, int y0,
                                      const TCalendarFormat& format) {
  DrawGrid(bitmap, font, GridOf(font, format), x0, y0, format);
}

const TTextRenderer& TCalendarDecorator::Font() {
  if (!font_ || fontName_ != FontName || fontSize_ != FontSize) {
    font_ = std::make_shared<TTextRenderer>(FontName, FontSize);
    fontName_ = FontName;
    fontSize_ = FontSize;
  }
  return *font_;
}

void TCalendarDecorator::Draw(TBitmap& bitmap) {
  if (!Enabled)
    return;
  const TTextRenderer& font = Font();
  const TGrid grid = GridOf(font, Calendar);
  long long x = 0;
  switch (Alignment) {
  case cxLeft:
    x = MarginX;
    break;
  case cxRight:
    x = bitmap.Width() - grid.Width - MarginX;
    break;
  case cxCenter:
    x = Div(bitmap.Width() - grid.Width, 2LL);
    break;
  default:
    break;
  }
  long long y = 0;
  switch (Layout) {
  case cyTop:
    y = MarginY;
    break;
  case cyBottom:
    y = bitmap.Height() - grid.Height - MarginY;
    break;
  case cyMiddle:
    y = Div(bitmap.Height() - grid.Height, 2LL);
    break;
  default:
    break;
  }
  DrawGrid(bitmap, font, grid, x, y, Calendar);
}

void TCalendarDecorator::Assign(const TStandbyImageDecorator& source) {
  const auto* calendar = dynamic_cast<const TCalendarDecorator*>(&source);
  if (calendar == nullptr) {
    source.AssignTo(*this);
    return;
  }
  if (calendar == this)
    return;
  Calendar = calendar->Calendar;
  Alignment = calendar->Alignment;
  Layout = calendar->Layout;
  MarginX = calendar->MarginX;
  MarginY = calendar->MarginY;
  FontName = calendar->FontName;
  FontSize = calendar->FontSize;
}

bool TCalendarDecorator::Equals(const TStandbyImageDecorator& other) const {
  if (!TStandbyImageDecorator::Equals(other))
    return false;
  if (!Enabled)
    return true;
  const auto& calendar = static_cast<const TCalendarDecorator&>(other);
  return Calendar.Equals(calendar.Calendar) && Alignment == calendar.Alignment &&
         Layout == calendar.Layout && MarginX == calendar.MarginX && MarginY == calendar.MarginY &&
         FontName == calendar.FontName && FontSize == calendar.FontSize;
}

void TCalendarDecorator::LoadFromIni(const TIniFile& file, std::string_view section,
                                     std::string_view prefix) {
  const std::string p(prefix);
  auto byte = [&](const std::string& key, int defaultValue) {
    return static_cast<std::uint8_t>(file.ReadInteger(section, key, defaultValue));
  };
  Enabled = file.ReadBool(section, p + ".Draw", Enabled);
  Alignment = byte(p + ".Alignment", Alignment);
  Layout = byte(p + ".Layout", Layout);
  MarginX = file.ReadInteger(section, p + ".MarginX", MarginX);
  MarginY = file.ReadInteger(section, p + ".MarginY", MarginY);
  FontName = file.ReadString(section, p + ".FontName", FontName);
  FontSize = file.ReadInteger(section, p + ".FontSize", FontSize);

  const std::string c = p + ".Calen";
  Calendar.Date = file.ReadInteger(section, c + ".Date", DateToSettings(TodayDate()));
  Calendar.LetterSpace = file.ReadInteger(section, c + ".LetterSpace", 6);
  Calendar.LineSpace = file.ReadInteger(section, c + ".LineSpace", 2);
  Calendar.Alignment = byte(c + ".Alignment", cxRight);
  Calendar.Layout = byte(c + ".Layout", cyMiddle);
  Calendar.Color = static_cast<TColor>(file.ReadInteger(section, c + ".Color", 16777215));
  Calendar.SundayColor = static_cast<TColor>(file.ReadInteger(section, c + ".SundayColor", 255));
  Calendar.Outline = file.ReadBool(section, c + ".Outline", true);
  Calendar.OutlineColor = static_cast<TColor>(file.ReadInteger(section, c + ".OutlineColor", 0));
  Calendar.MonthLabelStyle = byte(c + ".MonthLabelStyle", 0);
  for (int i = 0; i < 12; ++i) {
    std::string label = file.ReadString(section, c + ".MonthLabels[" + std::to_string(i) + "]",
                                        std::to_string(i + 1));
    Calendar.MonthLabels[static_cast<std::size_t>(i)] = CutToCp932Bytes(label, kMaxMonthLabelBytes);
  }
}

void TCalendarDecorator::SaveToIni(TIniFile& file, std::string_view section,
                                   std::string_view prefix) const {
  const std::string p(prefix);
  file.WriteBool(section, p + ".Draw", Enabled);
  file.WriteInteger(section, p + ".Alignment", Alignment);
  file.WriteInteger(section, p + ".Layout", Layout);
  file.WriteInteger(section, p + ".MarginX", MarginX);
  file.WriteInteger(section, p + ".MarginY", MarginY);
  file.WriteString(section, p + ".FontName", FontName);
  file.WriteInteger(section, p + ".FontSize", FontSize);

  const std::string c = p + ".Calen";
  file.WriteInteger(section, c + ".Date", DateToSettings(Calendar.Date));
  file.WriteInteger(section, c + ".LetterSpace", Calendar.LetterSpace);
  file.WriteInteger(section, c + ".LineSpace", Calendar.LineSpace);
  file.WriteInteger(section, c + ".Alignment", Calendar.Alignment);
  file.WriteInteger(section, c + ".Layout", Calendar.Layout);
  file.WriteInteger(section, c + ".Color", static_cast<std::int32_t>(Calendar.Color));
  file.WriteInteger(section, c + ".SundayColor", static_cast<std::int32_t>(Calendar.SundayColor));
  file.WriteBool(section, c + ".Outline", Calendar.Outline);
  file.WriteInteger(section, c + ".OutlineColor", static_cast<std::int32_t>(Calendar.OutlineColor));
  file.WriteInteger(section, c + ".MonthLabelStyle", Calendar.MonthLabelStyle);
  for (int i = 0; i < 12; ++i)
    file.WriteString(section, c + ".MonthLabels[" + std::to_string(i) + "]",
                     Calendar.MonthLabels[static_cast<std::size_t>(i)]);
}

} // namespace mirufo
