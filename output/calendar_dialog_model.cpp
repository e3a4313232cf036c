#include "output/calendar_dialog_model.h"

#include "engine/calendar_decorator.h"

#include <algorithm>
#include <array>
#include <tuple>

namespace mirufo {

namespace {

// Alignment by column (left, centre, right) and Layout by row (top, middle,
// bottom) in the decorator's encoding: 0 left/top, 1 right/bottom, 2 centre.
constexpr std::array<std::uint8_t, 3> kAxisValue = {0, 2, 1};

int AxisIndex(std::uint8_t value) {
  for (int i = 0; i < 3; ++i)
    if (kAxisValue[static_cast<std::size_t>(i)] == value)
      return i;
  return -1;
}

} // namespace

int PositionButton(std::uint8_t alignment, std::uint8_t layout) {
  const int column = AxisIndex(alignment);
  const int row = AxisIndex(layout);
  return column < 0 || row < 0 ? -1 : row * 3 + column;
}

std::pair<std::uint8_t, std::uint8_t> ButtonPosition(int button) {
  const int b = std::clamp(button, 0, 8);
  return {kAxisValue[static_cast<std::size_t>(b % 3)], kAxisValue[static_cast<std::size_t>(b / 3)]};
}

int CellChoice(std::uint8_t value) {
  return AxisIndex(value);
}

std::uint8_t CellValue(int choice) {
  return kAxisValue[static_cast<std::size_t>(std::clamp(choice, 0, 2))];
}

TCalendarDialogValues LoadCalendarValues(const TCalendarDecorator& d) {
  TCalendarDialogValues v;
  v.Button = PositionButton(d.Alignment, d.Layout);
  v.MarginX = std::clamp(d.MarginX, 0, kMaxSpace);
  v.MarginY = std::clamp(d.MarginY, 0, kMaxSpace);
  v.FontName = d.FontName;
  v.FontSize = std::clamp(d.FontSize, 1, kMaxFontSize);
  const TCalendarDate date = DecodeCalendarDate(d.Calendar.Date);
  v.Year = std::clamp(date.Year, kMinCalendarYear, kMaxCalendarYear);
  v.Month = date.Month;
  v.LetterSpace = std::clamp(d.Calendar.LetterSpace, 0, kMaxSpace);
  v.LineSpace = std::clamp(d.Calendar.LineSpace, 0, kMaxSpace);
  v.CellAlignment = CellChoice(d.Calendar.Alignment);
  v.CellLayout = CellChoice(d.Calendar.Layout);
  v.Color = d.Calendar.Color;
  v.SundayColor = d.Calendar.SundayColor;
  v.OutlineColor = d.Calendar.OutlineColor;
  v.Outline = d.Calendar.Outline;
  return v;
}

void ApplyCalendarValues(const TCalendarDialogValues& v, TCalendarDecorator& d) {
  if (v.Button >= 0 && v.Button <= 8)
    std::tie(d.Alignment, d.Layout) = ButtonPosition(v.Button);
  d.MarginX = std::clamp(v.MarginX, 0, kMaxSpace);
  d.MarginY = std::clamp(v.MarginY, 0, kMaxSpace);
  d.FontName = v.FontName;
  d.FontSize = std::clamp(v.FontSize, 1, kMaxFontSize);
  d.Calendar.Date = EncodeCalendarDate(std::clamp(v.Year, kMinCalendarYear, kMaxCalendarYear),
                                       std::clamp(v.Month, 1, 12), 1);
  d.Calendar.LetterSpace = std::clamp(v.LetterSpace, 0, kMaxSpace);
  d.Calendar.LineSpace = std::clamp(v.LineSpace, 0, kMaxSpace);
  if (v.CellAlignment >= 0)
    d.Calendar.Alignment = CellValue(v.CellAlignment);
  if (v.CellLayout >= 0)
    d.Calendar.Layout = CellValue(v.CellLayout);
  d.Calendar.Color = v.Color;
  d.Calendar.SundayColor = v.SundayColor;
  d.Calendar.OutlineColor = v.OutlineColor;
  d.Calendar.Outline = v.Outline;
}

} // namespace mirufo
