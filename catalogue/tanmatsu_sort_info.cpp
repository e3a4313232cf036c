#include "catalogue/tanmatsu_sort_info.h"

#include "platform/arith.h"
#include "platform/encoding.h"
#include "platform/ini_file.h"
#include "platform/translate.h"

#include <algorithm>
#include <numeric>

namespace mirufo {
namespace {

// The initial widths are the narrowest a column gets; the user may widen
// any column up to kMaxColumnWidth.
constexpr std::array<TTanmatsuColumn, kTanmatsuColumnCount> kColumns{{
    {N_("作成"), 40, 40, kMaxColumnWidth, caCenter},
    {N_("端末名"), 70, 70, kMaxColumnWidth, caLeft},
    {N_("スクリーン"), 70, 70, kMaxColumnWidth, caLeft},
    {"JPEG", 48, 48, kMaxColumnWidth, caCenter},
    {"PNG8", 48, 48, kMaxColumnWidth, caCenter},
    {"BMP2", 48, 48, kMaxColumnWidth, caCenter},
    {N_("幅"), 64, 64, kMaxColumnWidth, caRight},
    {N_("高さ"), 64, 64, kMaxColumnWidth, caRight},
    {N_("色数"), 64, 64, kMaxColumnWidth, caRight},
    {N_("キャッシュ"), 64, 64, kMaxColumnWidth, caLeft},
    {N_("通信速度"), 64, 64, kMaxColumnWidth, caRight},
}};

constexpr TImageFormat kMarkedFormats[] = {ifJPEG, ifPNG8, ifBMP2};

int FormatScore(const TTanmatsuRecord& record, TImageFormat format) {
  if (!record.SupportFormats.Contains(format))
    return 0;
  return record.Format == format ? 2 : 1;
}

// What the comparison reads of one handset; the texts in the byte order of
// the stored (CP932) form.
struct TSortKey {
  std::size_t Index = 0;
  bool Ticked = false;
  std::string Name;
  std::string Screen;
  std::array<int, 3> Scores{};
  int Width = 0;
  int Height = 0;
  int Bit = 0;
  std::int64_t Cache = 0;
  std::int32_t Bps = 0;
};

TSortKey KeyOf(const TTanmatsuRecord& record, bool ticked) {
  TSortKey key;
  key.Ticked = ticked;
  key.Name = Utf8ToCp932(record.Name);
  key.Screen = Utf8ToCp932(record.Screen);
  for (int f = 0; f < 3; ++f)
    key.Scores[static_cast<std::size_t>(f)] = FormatScore(record, kMarkedFormats[f]);
  key.Width = record.Width;
  key.Height = record.Height;
  key.Bit = record.Bit;
  key.Cache = Trunc(static_cast<long double>(record.Cache) * 1000);
  key.Bps = record.Bps;
  return key;
}

template <typename T> int Order(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Negative puts a first: texts run A to Z, numbers and scores large to small,
// ticked before unticked.
int CompareColumn(int column, const TSortKey& a, const TSortKey& b) {
  switch (column) {
  case 0:
    return Order(b.Ticked, a.Ticked);
  case 1:
    return a.Name.compare(b.Name) < 0 ? -1 : (a.Name == b.Name ? 0 : 1);
  case 2:
    return a.Screen.compare(b.Screen) < 0 ? -1 : (a.Screen == b.Screen ? 0 : 1);
  case 3:
  case 4:
  case 5: {
    const auto f = static_cast<std::size_t>(column - 3);
    return Order(b.Scores[f], a.Scores[f]);
  }
  case 6:
    return Order(b.Width, a.Width);
  case 7:
    return Order(b.Height, a.Height);
  case 8:
    return Order(b.Bit, a.Bit);
  case 9:
    return Order(b.Cache, a.Cache);
  case 10:
    return Order(b.Bps, a.Bps);
  default:
    return 0;
  }
}

int CompareKeys(const TTanmatsuSortInfo& info, const TSortKey& a, const TSortKey& b) {
  for (int column : info.Priorities) {
    int r = CompareColumn(column, a, b);
    if (r == 0)
      continue;
    if (column >= 0 && column < kTanmatsuColumnCount &&
        info.Directions[static_cast<std::size_t>(column)] == -1)
      r = -r;
    return r;
  }
  return 0;
}

std::string ColumnKey(const char* head, int n, const char* tail) {
  return head + std::to_string(n) + tail;
}

} // namespace

const std::array<TTanmatsuColumn, kTanmatsuColumnCount>& TanmatsuColumns() {
  return kColumns;
}

int ClampColumnWidth(int column, int width) {
  if (column < 0 || column >= kTanmatsuColumnCount)
    return width;
  const TTanmatsuColumn& c = kColumns[static_cast<std::size_t>(column)];
  return std::clamp(width, c.MinWidth, c.MaxWidth);
}

int FittingColumnWidth(int column, int contentWidth) {
  return ClampColumnWidth(column, contentWidth + 2 * kColumnTextInset);
}

std::string FormatMark(const TTanmatsuRecord& record, TImageFormat format) {
  static const char* const kMarks[] = {"-", "○", "◎"};
  return kMarks[FormatScore(record, format)];
}

std::string ColorCountText(unsigned bits) {
  // Decimal digits, least significant first, doubled bits times.
  std::string digits = "1";
  for (unsigned i = 0; i < bits; ++i) {
    int carry = 0;
    for (char& d : digits) {
      const int v = (d - '0') * 2 + carry;
      d = static_cast<char>('0' + v % 10);
      carry = v / 10;
    }
    if (carry)
      digits.push_back(static_cast<char>('0' + carry));
  }
  return {digits.rbegin(), digits.rend()};
}

std::string TanmatsuColumnText(const TTanmatsuRecord& record, int column) {
  switch (column) {
  case 1:
    return record.Name;
  case 2:
    return record.Screen;
  case 3:
  case 4:
  case 5:
    return FormatMark(record, kMarkedFormats[column - 3]);
  case 6:
    return std::to_string(record.Width);
  case 7:
    return std::to_string(record.Height);
  case 8:
    return ColorCountText(record.Bit);
  case 9:
    return record.CacheName.empty() ? CacheToStr(record.Cache) : record.CacheName;
  case 10:
    return BpsToStr(record.Bps);
  default:
    return "";
  }
}

TTanmatsuSortInfo::TTanmatsuSortInfo() {
  std::iota(Priorities.begin(), Priorities.end(), 0);
  Directions.fill(1);
}

void TTanmatsuSortInfo::ClickHeader(int column) {
  if (column < 0 || column >= kTanmatsuColumnCount)
    return;
  int& direction = Directions[static_cast<std::size_t>(column)];
  direction = direction == 1 ? -1 : 1;
  // A column missing from stored priorities takes the last place's slot.
  auto at = std::find(Priorities.begin(), Priorities.end(), column);
  if (at == Priorities.end()) {
    at = Priorities.end() - 1;
    *at = column;
  }
  std::rotate(Priorities.begin(), at, at + 1);
}

int TTanmatsuSortInfo::Compare(const TTanmatsuRecord& a, bool aTicked, const TTanmatsuRecord& b,
                               bool bTicked) const {
  return CompareKeys(*this, KeyOf(a, aTicked), KeyOf(b, bTicked));
}

void TTanmatsuSortInfo::Sort(std::vector<std::size_t>& listed,
                             const TTanmatsuSelection& handsets) const {
  std::vector<TSortKey> keys;
  keys.reserve(listed.size());
  for (std::size_t index : listed) {
    keys.push_back(KeyOf(handsets.GetHandset(index), handsets.IsSelected(index)));
    keys.back().Index = index;
  }
  std::stable_sort(keys.begin(), keys.end(), [this](const TSortKey& a, const TSortKey& b) {
    return CompareKeys(*this, a, b) < 0;
  });
  for (std::size_t i = 0; i < keys.size(); ++i)
    listed[i] = keys[i].Index;
}

TTanmatsuListSettings::TTanmatsuListSettings() {
  Widths.fill(kFitColumnWidth);
}

void TTanmatsuListSettings::Load(const TIniFile& file) {
  const std::string_view s = kTanmatsuListSection;
  LeftPaneWidth = file.ReadInteger(s, "LeftPaneWidth", 153);
  for (int n = 0; n < kTanmatsuColumnCount; ++n) {
    const auto i = static_cast<std::size_t>(n);
    const std::string widthKey = ColumnKey("Headers[", n, "].Width");
    Widths[i] = file.ValueExists(s, widthKey)
                    ? ClampColumnWidth(n, file.ReadInteger(s, widthKey, kColumns[i].Width))
                    : kFitColumnWidth;
    SortInfo.Priorities[i] = file.ReadInteger(s, ColumnKey("SortInfo.Priorities[", n, "]"), n);
    SortInfo.Directions[i] =
        file.ReadInteger(s, ColumnKey("SortInfo.Directions[", n, "]"), 1) == -1 ? -1 : 1;
  }
  SetIndex = file.ReadInteger(s, "SetIndex", 0);
}

void TTanmatsuListSettings::Save(TIniFile& file) const {
  const std::string_view s = kTanmatsuListSection;
  file.WriteInteger(s, "LeftPaneWidth", LeftPaneWidth);
  for (int n = 0; n < kTanmatsuColumnCount; ++n) {
    const auto i = static_cast<std::size_t>(n);
    // A column never laid out keeps its key unwritten, so that it fits its
    // content next time too.
    if (Widths[i] != kFitColumnWidth)
      file.WriteInteger(s, ColumnKey("Headers[", n, "].Width"), ClampColumnWidth(n, Widths[i]));
    file.WriteInteger(s, ColumnKey("SortInfo.Priorities[", n, "]"), SortInfo.Priorities[i]);
    file.WriteInteger(s, ColumnKey("SortInfo.Directions[", n, "]"), SortInfo.Directions[i]);
  }
  file.WriteInteger(s, "SetIndex", SetIndex);
}

std::string ShortenText(std::string_view text, const std::function<bool(std::string_view)>& fits) {
  if (fits(text))
    return std::string(text);
  std::string cut(text);
  while (!cut.empty()) {
    // Drop the last character: its continuation bytes, then its lead byte.
    std::size_t end = cut.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(cut[end]) & 0xC0) == 0x80)
      --end;
    cut.erase(end);
    const std::string candidate = cut + std::string(kEllipsis);
    if (fits(candidate))
      return candidate;
  }
  return std::string(kEllipsis);
}

} // namespace mirufo
