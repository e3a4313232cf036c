// What the calendar dialog shows for a calendar decorator and what its
// controls mean, without the widgets: the nine position buttons, the cell
// choices, the ranges of the number fields, and the mapping both ways.
#pragma once

#include "imaging/bitmap.h"

#include <cstdint>
#include <string>
#include <utility>

namespace mirufo {

class TCalendarDecorator;

// The position buttons in a 3 × 3 grid, row by row from the top left:
// button = row * 3 + column, rows top, middle, bottom; columns left, centre,
// right. -1 for a block position that has no button.
int PositionButton(std::uint8_t alignment, std::uint8_t layout);
// The block's (Alignment, Layout) of a button 0 to 8.
std::pair<std::uint8_t, std::uint8_t> ButtonPosition(int button);

// The cell choices in their order on screen: "左揃え", "中央", "右揃え" and
// "上揃え", "中央", "下揃え"; the calendar stores 0 left/top, 1 right/bottom,
// 2 centre/middle. -1 for a value with no choice.
int CellChoice(std::uint8_t value);
std::uint8_t CellValue(int choice);

// The ranges of the number fields.
inline constexpr int kMinCalendarYear = 1900;
inline constexpr int kMaxCalendarYear = 3000;
inline constexpr int kMaxSpace = 100;    // letter and line space, margins
inline constexpr int kMaxFontSize = 100; // from 1

// The controls' state.
struct TCalendarDialogValues {
  int Button = -1; // the button that is down, or -1
  int MarginX = 0;
  int MarginY = 0;
  std::string FontName;
  int FontSize = 1;
  int Year = kMinCalendarYear;
  int Month = 1;
  int LetterSpace = 0;
  int LineSpace = 0;
  int CellAlignment = -1;
  int CellLayout = -1;
  TColor Color = 0;
  TColor SundayColor = 0;
  TColor OutlineColor = 0;
  bool Outline = false;
};

// The controls for a decorator; numbers are brought into their ranges as
// the fields would.
TCalendarDialogValues LoadCalendarValues(const TCalendarDecorator& decorator);
// Gives the decorator the controls' values: the date becomes the 1st of the
// chosen month; with no button down the block position stays, and a cell
// choice of -1 keeps the cell position.
void ApplyCalendarValues(const TCalendarDialogValues& values, TCalendarDecorator& decorator);

} // namespace mirufo
