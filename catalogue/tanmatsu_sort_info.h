// The handset list of the handset page without its drawing: the eleven
// columns (captions, widths and their limits, alignment), the text each
// column shows for a handset, the sort order chosen by header clicks with
// its stable comparison, the page's settings keys, and the shortening of a
// text that does not fit its column.
#pragma once

#include "catalogue/tanmatsu_record.h"
#include "catalogue/tanmatsu_selection.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mirufo {

class TIniFile;

inline constexpr int kTanmatsuColumnCount = 11;

enum TColumnAlignment : std::uint8_t { caLeft, caCenter, caRight };

inline constexpr int kMaxColumnWidth = 2048;
// Room left free on either side of a column's text.
inline constexpr int kColumnTextInset = 5;

struct TTanmatsuColumn {
  const char* Caption;
  int Width;    // initial width in pixels
  int MinWidth; // the initial width: a column never gets narrower
  int MaxWidth;
  TColumnAlignment Alignment;
};

// The columns in order: 作成, 端末名, スクリーン, JPEG, PNG8, BMP2, 幅, 高さ, 色数,
// キャッシュ, 通信速度.
const std::array<TTanmatsuColumn, kTanmatsuColumnCount>& TanmatsuColumns();
// A width kept within the column's limits; an unknown column gives the width.
int ClampColumnWidth(int column, int width);
// The width a column takes to show a text contentWidth pixels wide, with
// the insets, within the column's limits.
int FittingColumnWidth(int column, int contentWidth);

// "-" when the handset does not accept the format, "◎" when it is the
// standard format, "○" otherwise.
std::string FormatMark(const TTanmatsuRecord& record, TImageFormat format);
// The text of a column for a handset (with its named capacity filled in);
// column 0 (the tick) and unknown columns give "".
std::string TanmatsuColumnText(const TTanmatsuRecord& record, int column);
// 2 to the power bits in decimal, for any bit count.
std::string ColorCountText(unsigned bits);

// The sort order of the list: columns most significant first, and one
// direction (1 or -1) per column.
class TTanmatsuSortInfo {
public:
  TTanmatsuSortInfo();

  std::array<int, kTanmatsuColumnCount> Priorities;
  std::array<int, kTanmatsuColumnCount> Directions;

  // A header click: the column's direction flips and the column moves to the
  // front of the priorities; those before it move back one place.
  void ClickHeader(int column);

  // Negative when a comes first. A priority outside the columns adds nothing.
  int Compare(const TTanmatsuRecord& a, bool aTicked, const TTanmatsuRecord& b, bool bTicked) const;

  // Sorts the listed handset indexes stably: rows that compare equal keep
  // their order.
  void Sort(std::vector<std::size_t>& listed, const TTanmatsuSelection& handsets) const;
};

// A column width not chosen yet: the column takes its content's width.
inline constexpr int kFitColumnWidth = 0;

// The keys of the section "TanmatsuList".
struct TTanmatsuListSettings {
  TTanmatsuListSettings();

  int LeftPaneWidth = 153;
  // kFitColumnWidth for a column whose width the file does not hold.
  std::array<int, kTanmatsuColumnCount> Widths;
  TTanmatsuSortInfo SortInfo;
  int SetIndex = 0;

  // Widths read back are kept within their limits; a missing width reads as
  // kFitColumnWidth and is not written. A stored direction other than -1
  // reads as 1.
  void Load(const TIniFile& file);
  void Save(TIniFile& file) const;
};

inline constexpr std::string_view kTanmatsuListSection = "TanmatsuList";
inline constexpr std::string_view kEllipsis = "...";

// The text as it fits: itself when fits accepts it, otherwise the text cut
// from the end one character at a time (never inside a character) until,
// followed by "...", it fits; "..." alone when nothing fits.
std::string ShortenText(std::string_view text, const std::function<bool(std::string_view)>& fits);

} // namespace mirufo
