#include "platform/ini_file.h"

#include "platform/encoding.h"
#include "platform/errors.h"
#include "platform/folders.h"
#include "platform/limits.h"
#include "platform/text_file.h"
#include "platform/translate.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace mirufo {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
    s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
    s.remove_suffix(1);
  return s;
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  c = LowerAscii(c);
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return -1;
}

bool ParseInteger(std::string_view s, std::int32_t& out) {
  s = Trim(s);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    std::uint64_t value = 0;
    for (char c : s.substr(2)) {
      int digit = HexDigit(c);
      if (digit < 0)
        return false;
      value = value * 16 + static_cast<unsigned>(digit);
      if (value > 0xFFFFFFFFu)
        return false;
    }
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    if (negative)
      bits = 0u - bits;
    out = static_cast<std::int32_t>(bits);
    return true;
  }
  if (s.empty())
    return false;
  std::int64_t value = 0;
  for (char c : s) {
    if (c < '0' || c > '9')
      return false;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL)
      return false;
  }
  if (negative)
    value = -value;
  if (value > 2147483647LL)
    return false;
  out = static_cast<std::int32_t>(value);
  return true;
}

// A value is one line of the file: line breaks become blanks.
std::string OneLine(std::string_view value) {
  std::string text(value);
  std::replace(text.begin(), text.end(), '\r', ' ');
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

[[noreturn]] void FailRead(const std::filesystem::path& path, std::size_t lineNumber,
                           const char* what) {
  throw EInOutError(path.string() +
                    TrFill("\n設定ファイルを読めません: %d 行目", {std::to_string(lineNumber)}) +
                    what);
}

} // namespace

std::filesystem::path DefaultSettingsPath() {
  return DataFolder() / "mirufo.ini";
}

TIniFile::TIniFile(std::filesystem::path path) : path_(std::move(path)) {
  std::error_code ec;
  if (!std::filesystem::exists(path_, ec))
    return;
  Load(ReadFileBytes(path_, Limits().MaxTextFileBytes));
}

TIniFile::TIniFile(std::filesystem::path path, std::string_view text) : path_(std::move(path)) {
  Load(text);
}

void TIniFile::Load(std::string_view bytes) {
  std::vector<std::string> raw = SplitLines(bytes);
  std::vector<std::string> lines;
  lines.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i].find('\0') != std::string::npos)
      FailRead(path_, i + 1, "に NUL 文字があります (テキストファイルではありません)");
    std::string text = Cp932ToUtf8(raw[i]);
    // U+FFFD has no CP932 form, so it only appears for invalid bytes.
    if (text.find("\xEF\xBF\xBD") != std::string::npos)
      FailRead(path_, i + 1, "に Shift_JIS として正しくないバイトがあります");
    lines.push_back(std::move(text));
  }
  Parse(lines);
}

void TIniFile::Parse(const std::vector<std::string>& lines) {
  TSection* current = nullptr;
  for (const std::string& line : lines) {
    std::string_view text = Trim(line);
    if (text.empty())
      continue;
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
      std::string_view name = Trim(text.substr(1, text.size() - 2));
      current = FindSection(name);
      if (current == nullptr) {
        sections_.push_back(TSection{std::string(name), {}});
        current = &sections_.back();
      }
      continue;
    }
    if (current == nullptr) {
      preamble_.emplace_back(text);
      continue;
    }
    std::size_t eq = text.find('=');
    std::string_view key =
        eq == std::string_view::npos ? std::string_view() : Trim(text.substr(0, eq));
    if (text.front() == ';' || key.empty()) {
      current->Lines.push_back(TLine{{}, std::string(text), false});
      continue;
    }
    current->Lines.push_back(TLine{std::string(key), std::string(Trim(text.substr(eq + 1))), true});
  }
}

const TIniFile::TSection* TIniFile::FindSection(std::string_view name) const {
  for (const TSection& section : sections_)
    if (SameName(section.Name, name))
      return &section;
  return nullptr;
}

TIniFile::TSection* TIniFile::FindSection(std::string_view name) {
  return const_cast<TSection*>(std::as_const(*this).FindSection(name));
}

const TIniFile::TLine* TIniFile::FindKey(const TSection& section, std::string_view key) {
  for (const TLine& line : section.Lines)
    if (line.IsKey && SameName(line.Key, key))
      return &line;
  return nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
  const TSection* s = FindSection(section);
  const TLine* line = s == nullptr ? nullptr : FindKey(*s, key);
  return line == nullptr ? std::string(defaultValue) : line->Text;
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key,
                                   std::int32_t defaultValue) const {
  const TSection* s = FindSection(section);
  const TLine* line = s == nullptr ? nullptr : FindKey(*s, key);
  std::int32_t value = defaultValue;
  if (line == nullptr || !ParseInteger(line->Text, value))
    return defaultValue;
  return value;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  TSection* s = FindSection(section);
  if (s == nullptr) {
    sections_.push_back(TSection{std::string(section), {}});
    s = &sections_.back();
  }
  std::string text = OneLine(value);
  if (const TLine* line = FindKey(*s, key)) {
    const_cast<TLine*>(line)->Text = std::move(text);
    return;
  }
  s->Lines.push_back(TLine{std::string(key), std::move(text), true});
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::SectionExists(std::string_view section) const {
  return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  const TSection* s = FindSection(section);
  return s != nullptr && FindKey(*s, key) != nullptr;
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  TSection* s = FindSection(section);
  if (s == nullptr)
    return;
  std::erase_if(s->Lines, [&](const TLine& line) { return line.IsKey && SameName(line.Key, key); });
}

std::vector<std::string> TIniFile::Lines() const {
  std::vector<std::string> lines = preamble_;
  if (!lines.empty())
    lines.emplace_back();
  for (const TSection& section : sections_) {
    lines.push_back("[" + section.Name + "]");
    for (const TLine& line : section.Lines)
      lines.push_back(line.IsKey ? line.Key + "=" + line.Text : line.Text);
    lines.emplace_back();
  }
  return lines;
}

std::string TIniFile::Text() const {
  return LinesToCp932Text(Lines());
}

void TIniFile::UpdateFile() const {
  const std::vector<std::string> lines = Lines();
  std::filesystem::path folder = path_.parent_path();
  std::error_code ec;
  if (!folder.empty() && !std::filesystem::exists(folder, ec)) {
    std::filesystem::create_directories(folder, ec);
    if (ec)
      throw EInOutError(path_.string() + Tr("\nフォルダを作成できません: ") + ec.message());
  }
  WriteCp932Lines(path_, lines);
}

} // namespace mirufo
