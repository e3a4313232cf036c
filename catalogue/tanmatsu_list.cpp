#include "catalogue/tanmatsu_list.h"

#include "platform/encoding.h"
#include "platform/text_file.h"
#include "platform/translate.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace mirufo {
namespace {

constexpr const char* kClassName = "TTanmatsuList";
constexpr std::size_t kTl2MinFields = 9;
const std::vector<std::string> kTl2Header = {
    "name", "format", "supportformats", "width", "height", "bit", "cachename", "cache", "bps"};

// The columns the reader knows; a header names them in any order.
enum class TColumn {
  Other,
  Name,
  Format,
  SupportFormats,
  Width,
  Height,
  Bit,
  CacheName,
  Cache,
  Bps,
  Series
};

TColumn ColumnOf(std::string_view name) {
  static constexpr std::pair<std::string_view, TColumn> kColumns[] = {
      {"name", TColumn::Name},
      {"format", TColumn::Format},
      {"supportformats", TColumn::SupportFormats},
      {"width", TColumn::Width},
      {"height", TColumn::Height},
      {"bit", TColumn::Bit},
      {"cachename", TColumn::CacheName},
      {"cache", TColumn::Cache},
      {"bps", TColumn::Bps},
      {"series", TColumn::Series}};
  for (const auto& [text, column] : kColumns)
    if (name == text)
      return column;
  return TColumn::Other;
}

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  return text;
}

// Reads the file's texts: what fails names the file and the line.
class TListReader {
public:
  TListReader(const std::filesystem::path& file, TListCheck check)
      : file_(file), strict_(check == TListCheck::Strict) {}

  bool Strict() const { return strict_; }

  [[noreturn]] void Fail(int line, const std::string& what) const {
    std::string message = file_.string();
    if (line > 0)
      message += TrFill("(%d行目)", {std::to_string(line)});
    message += "\n" + what;
    throw ETanmatsuListFileError(file_, line, message);
  }

  [[noreturn]] void FailNotANumber(int line, std::string_view column, std::string_view text) const {
    Fail(line, "\"" + std::string(text) + Tr("\" は有効な数値ではありません (列 \"") +
                   std::string(column) + "\")");
  }

  // A 32-bit integer as Delphi's StrToInt reads it: leading blanks, a sign,
  // decimal digits, or hexadecimal after "$" or "0x".
  std::int32_t Int(int line, std::string_view column, std::string_view text) const {
    std::string_view t = TrimLeft(text);
    bool negative = false;
    if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
      negative = t.front() == '-';
      t.remove_prefix(1);
    }
    int base = 10;
    if (!t.empty() && t.front() == '$') {
      base = 16;
      t.remove_prefix(1);
    } else if (t.size() > 1 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
      base = 16;
      t.remove_prefix(2);
    }
    std::int64_t value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value, base);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size())
      FailNotANumber(line, column, text);
    if (negative)
      value = -value;
    // Hexadecimal texts may give the full unsigned 32-bit range.
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > (base == 16 ? std::int64_t{0xFFFFFFFF} : std::numeric_limits<std::int32_t>::max()))
      FailNotANumber(line, column, text);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  }

  // In a strict reading, a value the field cannot hold as it is fails
  // instead of being stored by its low bits.
  std::int32_t Ranged(int line, std::string_view column, std::string_view text, std::int64_t low,
                      std::int64_t high) const {
    const std::int32_t value = Int(line, column, text);
    if (strict_ && (value < low || value > high))
      FailOutOfRange(line, column, text, std::to_string(low) + Tr("〜") + std::to_string(high));
    return value;
  }

  [[noreturn]] void FailOutOfRange(int line, std::string_view column, std::string_view text,
                                   const std::string& range) const {
    Fail(line, "\"" + std::string(text) + Tr("\" は範囲外です (列 \"") + std::string(column) +
                   Tr("\"、") + range + ")");
  }

  // A decimal number with a point as decimal separator, within the range of
  // the single-precision field it is stored in (a larger one would be kept
  // as infinity and written back as a text no reader accepts).
  float Float(int line, std::string_view column, std::string_view text) const {
    std::string_view t = TrimLeft(text);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
      t.remove_suffix(1);
    double value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size() ||
        !std::isfinite(static_cast<float>(value)))
      FailNotANumber(line, column, text);
    return static_cast<float>(value);
  }

  // A cache capacity in KB; in a strict reading it may not be negative. One
  // that is positive but shows and is written back as 0.0 (no limit) in the
  // list's one decimal is refused: the limit the user meant would silently
  // be lifted.
  float Capacity(int line, std::string_view column, std::string_view text) const {
    const float value = Float(line, column, text);
    if (strict_ && value < 0)
      FailOutOfRange(line, column, text, Tr("0 以上"));
    if (value > 0 && value < 0.05f)
      Fail(line, "\"" + std::string(text) + Tr("\" はキャッシュ容量として小さすぎます (列 \"") +
                     std::string(column) + Tr("\"、0 は制限なし、ほかは 0.1 以上の KB)"));
    return value;
  }

  // An image format code: 0 (GIF) to 5 (monochrome BMP).
  TImageFormat FormatCode(int line, std::string_view column, std::string_view text) const {
    const std::int32_t value = Int(line, column, text);
    if (value < ifGIF || value > ifBMP2)
      Fail(line, "\"" + std::string(text) + Tr("\" は画像形式の番号ではありません (列 \"") +
                     std::string(column) + Tr("\"、0 から 5)"));
    return static_cast<TImageFormat>(value);
  }

  TImageFormats Formats(int line, std::string_view text) const {
    std::uint8_t bits = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
      char c = text[k];
      if (c < '0' || c > '9')
        FailNotANumber(line, "supportformats", text);
      if (c != '0' && strict_ && k >= 6)
        FailOutOfRange(line, "supportformats", text, Tr("6 桁まで"));
      if (c != '0' && k < 8)
        bits = static_cast<std::uint8_t>(bits | (1u << k));
    }
    return TImageFormats(bits);
  }

  // Stores field by field the columns the reader knows into the buffer.
  void ReadRecord(int line, const std::vector<std::string>& header,
                  const std::vector<TColumn>& columns, const std::vector<std::string_view>& fields,
                  bool knowsCacheName, TTanmatsuRecord& record) const {
    if (fields.size() < header.size())
      Fail(line, Tr("項目が足りません (") + std::to_string(header.size()) + Tr(" 列のところ ") +
                     std::to_string(fields.size()) + Tr(" 項目)"));
    for (std::size_t i = 0; i < header.size(); ++i) {
      const std::string& column = header[i];
      const std::string_view field = fields[i];
      switch (columns[i]) {
      case TColumn::Name:
        record.SetName(field);
        break;
      case TColumn::Format:
        record.Format = FormatCode(line, column, field);
        break;
      case TColumn::SupportFormats:
        record.SupportFormats = Formats(line, field);
        break;
      case TColumn::Width:
        record.Width = static_cast<std::uint16_t>(Ranged(line, column, field, 1, 65535));
        break;
      case TColumn::Height:
        record.Height = static_cast<std::uint16_t>(Ranged(line, column, field, 1, 65535));
        break;
      case TColumn::Bit:
        record.Bit = static_cast<std::uint8_t>(Ranged(line, column, field, 1, 32));
        break;
      case TColumn::CacheName:
        if (knowsCacheName)
          record.SetCacheName(field);
        break;
      case TColumn::Cache:
        record.Cache = Capacity(line, column, field);
        break;
      case TColumn::Bps:
        record.Bps = Ranged(line, column, field, 0, std::numeric_limits<std::int32_t>::max());
        break;
      case TColumn::Series:
        record.SetSeries(field);
        break;
      case TColumn::Other:
        break;
      }
    }
    if (strict_ && record.Name.empty())
      Fail(line, Tr("端末名がありません"));
  }

private:
  std::filesystem::path file_;
  bool strict_ = false;
};

std::string FormatCapacity(float capacity) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.1f", static_cast<double>(capacity));
  return buffer;
}

std::string FormatsToText(TImageFormats formats) {
  std::string text;
  for (int code = 0; code < 6; ++code)
    text += formats.Contains(static_cast<TImageFormat>(code)) ? '1' : '0';
  return text;
}

} // namespace

void TTanmatsuList::CheckIndex(std::size_t index) const {
  if (index >= records_.size())
    throw ERangeError(kClassName);
}

void TTanmatsuList::CheckCacheIndex(std::size_t index) const {
  if (index >= caches_.size())
    throw ERangeError(kClassName);
}

std::size_t TTanmatsuList::Add(const TTanmatsuRecord& record) {
  records_.push_back(record);
  return records_.size() - 1;
}

TTanmatsuRecord TTanmatsuList::Get(std::size_t index) const {
  CheckIndex(index);
  TTanmatsuRecord record = records_[index];
  if (!record.CacheName.empty()) {
    int cache = FindCache(record.CacheName);
    if (cache >= 0)
      record.Cache = caches_[static_cast<std::size_t>(cache)].Capacity;
  }
  return record;
}

const TTanmatsuRecord& TTanmatsuList::Stored(std::size_t index) const {
  CheckIndex(index);
  return records_[index];
}

void TTanmatsuList::Replace(std::size_t index, const TTanmatsuRecord& record) {
  CheckIndex(index);
  records_[index] = record;
}

void TTanmatsuList::Delete(std::size_t index) {
  CheckIndex(index);
  records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TTanmatsuList::Clear() {
  records_.clear();
  caches_.clear();
}

void TTanmatsuList::AddCache(const TCacheCapacity& entry) {
  int existing = FindCache(entry.Name);
  if (existing >= 0)
    caches_[static_cast<std::size_t>(existing)].Capacity = entry.Capacity;
  else
    caches_.push_back(entry);
}

int TTanmatsuList::FindCache(std::string_view name) const {
  for (std::size_t i = 0; i < caches_.size(); ++i)
    if (caches_[i].Name == name)
      return static_cast<int>(i);
  return -1;
}

TCacheCapacity TTanmatsuList::GetCache(std::size_t index) const {
  CheckCacheIndex(index);
  return caches_[index];
}

void TTanmatsuList::SetCache(std::size_t index, const TCacheCapacity& entry) {
  CheckCacheIndex(index);
  caches_[index] = entry;
}

void TTanmatsuList::DeleteCache(std::size_t index) {
  CheckCacheIndex(index);
  caches_.erase(caches_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TTanmatsuList::AssignCaches(const TTanmatsuList& other) {
  if (&other != this)
    caches_ = other.caches_;
}

void TTanmatsuList::LoadFromFile(const std::filesystem::path& fileName, TListCheck check) {
  Clear();
  LoadFromLines(ReadCp932Lines(fileName), fileName, check);
}

void TTanmatsuList::LoadFromText(std::string_view text, const std::filesystem::path& fileName,
                                 TListCheck check) {
  Clear();
  LoadFromLines(Cp932TextToLines(text), fileName, check);
}

void TTanmatsuList::LoadFromLines(const std::vector<std::string>& lines,
                                  const std::filesystem::path& fileName, TListCheck check) {
  TListReader reader(fileName, check);

  const bool tl2 = !lines.empty() && lines[0] == "TL2";
  const bool tl1 = !lines.empty() && lines[0] == "TL1";
  if (lines.size() < 2 || !(tl1 || tl2))
    reader.Fail(0, Tr(std::string(kNotAListMessage)));

  const std::vector<std::string> header = SplitFields(lines[1], "\t");
  std::vector<TColumn> columns;
  columns.reserve(header.size());
  for (const std::string& name : header)
    columns.push_back(ColumnOf(name));
  std::vector<std::string_view> fields;
  records_.reserve(records_.size() + lines.size() - 2);
  TTanmatsuRecord record; // deliberately not reset between lines
  std::size_t i = 2;
  for (; i < lines.size(); ++i) {
    const int lineNumber = static_cast<int>(i) + 1;
    if (tl2 && lines[i] == "cache")
      break;
    SplitFieldViews(lines[i], "\t", fields);
    if (tl2 && fields.size() < kTl2MinFields) {
      // A strict reading skips blank lines only: a short line is a broken
      // record, not one to drop without a word.
      if (reader.Strict() && !TrimLeft(lines[i]).empty())
        reader.Fail(lineNumber, Tr("項目が足りません (") + std::to_string(kTl2MinFields) +
                                    Tr(" 項目のところ ") + std::to_string(fields.size()) +
                                    Tr(" 項目)"));
      continue;
    }
    if (tl1)
      record.CacheName.clear();
    reader.ReadRecord(lineNumber, header, columns, fields, tl2, record);
    Add(record);
  }
  for (; i < lines.size(); ++i) {
    SplitFieldViews(lines[i], "\t", fields);
    if (fields.size() < 2)
      continue;
    TCacheCapacity entry;
    entry.SetName(fields[0]);
    entry.Capacity = reader.Capacity(static_cast<int>(i) + 1, "cache", fields[1]);
    AddCache(entry);
  }
}

void TTanmatsuList::SaveToFile(const std::filesystem::path& fileName) const {
  WriteCp932Lines(fileName, SaveToLines());
}

std::string TTanmatsuList::SaveToText() const {
  return LinesToCp932Text(SaveToLines());
}

std::vector<std::string> TTanmatsuList::SaveToLines() const {
  std::vector<std::string> lines;
  lines.reserve(records_.size() + caches_.size() + 3);
  // The series is written only when some record has one, so that a list
  // without series keeps exactly the nine columns every reader knows.
  const bool withSeries = std::any_of(records_.begin(), records_.end(),
                                      [](const TTanmatsuRecord& r) { return !r.Series.empty(); });
  lines.push_back("TL2");
  std::vector<std::string> header = kTl2Header;
  if (withSeries)
    header.push_back("series");
  lines.push_back(JoinFields(header, "\t"));
  for (const TTanmatsuRecord& r : records_) {
    std::string& line = lines.emplace_back(r.Name);
    const auto put = [&line](std::string_view field) {
      line += '\t';
      line += field;
    };
    put(std::to_string(static_cast<int>(r.Format)));
    put(FormatsToText(r.SupportFormats));
    put(std::to_string(r.Width));
    put(std::to_string(r.Height));
    put(std::to_string(r.Bit));
    put(r.CacheName);
    put(FormatCapacity(r.Cache));
    put(std::to_string(r.Bps));
    if (withSeries)
      put(r.Series);
  }
  lines.push_back("cache");
  for (const TCacheCapacity& c : caches_)
    lines.push_back(c.Name + "\t" + FormatCapacity(c.Capacity));
  return lines;
}

} // namespace mirufo
