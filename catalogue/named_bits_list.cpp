#include "catalogue/named_bits_list.h"

#include "platform/errors.h"
#include "platform/text_file.h"
#include "platform/translate.h"

#include <algorithm>
#include <functional>
#include <system_error>

namespace mirufo {
namespace {

bool IsTrimmed(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

// Drops spaces and control characters from both ends.
std::string_view Trim(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsTrimmed(text[begin]))
    ++begin;
  while (end > begin && IsTrimmed(text[end - 1]))
    --end;
  return text.substr(begin, end - begin);
}

bool IsBlank(std::string_view text) {
  return Trim(text).empty();
}

// A set name as it can stand on a line of its own and be read back as the
// same set: cut at a line break, TABs made spaces, and a blank name given one
// full-width space so that it is not skipped as an empty line (which would
// hand the set's members to the set before it).
std::string NameLine(std::string_view name) {
  std::string line(name.substr(0, name.find_first_of("\r\n")));
  std::replace(line.begin(), line.end(), '\t', ' ');
  if (IsBlank(line))
    line = "　";
  return line;
}

std::string MemberLine(const TTanmatsuRecord& record) {
  std::string line;
  line.reserve(record.Name.size() + record.Series.size() + record.Screen.size() + 3);
  for (const std::string* field : {&record.Name, &record.Series, &record.Screen}) {
    line += '\t';
    line += *field;
  }
  return line;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

char32_t FoldCodePoint(char32_t cp) {
  if (cp >= U'A' && cp <= U'Z')
    return cp + 0x20;
  if (cp >= 0xFF21 && cp <= 0xFF3A) // full-width Latin capitals
    return cp + 0x20;
  if (cp >= 0x0391 && cp <= 0x03A9 && cp != 0x03A2) // Greek capitals
    return cp + 0x20;
  if (cp >= 0x0410 && cp <= 0x042F) // Cyrillic capitals
    return cp + 0x20;
  if (cp == 0x0401) // Ё
    return 0x0451;
  return cp;
}

} // namespace

void TBits::Set(std::size_t index, bool value) {
  if (index >= bits_.size()) {
    if (!value)
      return;
    bits_.resize(index + 1, false);
  }
  bits_[index] = value;
}

void TBits::DeletePosition(std::size_t index) {
  if (index < bits_.size())
    bits_.erase(bits_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::size_t TBits::CountTrue() const {
  return static_cast<std::size_t>(std::count(bits_.begin(), bits_.end(), true));
}

std::string FoldLetterCase(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    auto lead = static_cast<unsigned char>(utf8[i]);
    // Only two- and three-byte sequences hold letters with case in the
    // character set the files use; anything else is copied as it is.
    if (lead >= 0xC2 && lead <= 0xDF && i + 1 < utf8.size() &&
        (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
      char32_t cp = ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
      AppendUtf8(out, FoldCodePoint(cp));
      i += 2;
    } else if (lead >= 0xE0 && lead <= 0xEF && i + 2 < utf8.size() &&
               (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80 &&
               (static_cast<unsigned char>(utf8[i + 2]) & 0xC0) == 0x80) {
      char32_t cp = ((lead & 0x0Fu) << 12) |
                    ((static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) << 6) |
                    (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu);
      if (cp >= 0x800)
        AppendUtf8(out, FoldCodePoint(cp));
      else
        out.append(utf8.substr(i, 3));
      i += 3;
    } else {
      out += static_cast<char>(lead < 0x80 ? FoldCodePoint(lead) : lead);
      ++i;
    }
  }
  return out;
}

void TNamedBitsList::CheckIndex(std::size_t index) const {
  if (index >= sets_.size())
    throw ERangeError("TNamedBitsList");
}

std::size_t TNamedBitsList::Add(std::string_view name) {
  std::string stored(name.substr(0, name.find_first_of("\r\n")));
  std::replace(stored.begin(), stored.end(), '\t', ' ');
  sets_.push_back({std::move(stored), TBits()});
  return sets_.size() - 1;
}

void TNamedBitsList::Delete(std::size_t index) {
  CheckIndex(index);
  sets_.erase(sets_.begin() + static_cast<std::ptrdiff_t>(index));
}

const std::string& TNamedBitsList::GetName(std::size_t index) const {
  CheckIndex(index);
  return sets_[index].Name;
}

void TNamedBitsList::Rename(std::size_t index, std::string_view name) {
  CheckIndex(index);
  sets_[index].Name = std::string(name);
}

TBits& TNamedBitsList::GetFlags(std::size_t index) {
  CheckIndex(index);
  return sets_[index].Flags;
}

const TBits& TNamedBitsList::GetFlags(std::size_t index) const {
  CheckIndex(index);
  return sets_[index].Flags;
}

int TNamedBitsList::IndexOf(std::string_view name) const {
  std::string key = FoldLetterCase(name);
  for (std::size_t i = 0; i < sets_.size(); ++i)
    if (FoldLetterCase(sets_[i].Name) == key)
      return static_cast<int>(i);
  return -1;
}

std::size_t TNamedBitsList::MemberCount(std::size_t index) const {
  return GetFlags(index).CountTrue();
}

void TNamedBitsList::LoadOldFormat(const std::filesystem::path& fileName) {
  LoadOldFormatLines(ReadCp932Lines(fileName));
}

void TNamedBitsList::LoadOldFormatLines(const std::vector<std::string>& lines) {
  sets_.clear();
  for (const std::string& line : lines) {
    std::size_t tab = line.find('\t');
    if (tab == std::string::npos)
      continue;
    TBits& flags = sets_[Add(std::string_view(line).substr(0, tab))].Flags;
    std::string_view digits = std::string_view(line).substr(tab + 1);
    flags.SetSize(digits.size());
    for (std::size_t i = 0; i < digits.size(); ++i)
      flags.Set(i, digits[i] >= '1' && digits[i] <= '9');
  }
}

void TNamedBitsList::LoadFromFile(const std::filesystem::path& fileName,
                                  const TTanmatsuSelection& handsets) {
  LoadFromLines(ReadCp932Lines(fileName), handsets);
}

void TNamedBitsList::LoadFromLines(const std::vector<std::string>& lines,
                                   const TTanmatsuSelection& handsets) {
  sets_.clear();
  if (lines.size() < 2 || lines[0] != kMakeSetSignature)
    return;

  // Handsets sorted by the hash of their name, then catalogue order, so that a
  // member line looks only at the records that can match it, the first match
  // in catalogue order winning. Integer keys sort without comparing texts.
  // Made at the first member line: a file of set names alone needs none of it.
  std::size_t count = handsets.HandsetCount();
  std::vector<std::pair<std::size_t, std::size_t>> byHash;
  const std::hash<std::string_view> hashName;
  const auto indexHandsets = [&] {
    byHash.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
      byHash.emplace_back(hashName(handsets.StoredHandset(i).Name), i);
    std::sort(byHash.begin(), byHash.end());
  };

  TBits* current = nullptr;
  for (std::size_t n = 1; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    if (line.empty())
      continue;
    std::string_view trimmed = Trim(line);
    if (line[0] == '\t' && current != nullptr) {
      // Up to three key fields: name, series, screen. Fields the line does not
      // have are not compared.
      std::string_view fields[3];
      std::size_t fieldCount = 0;
      std::string_view rest = trimmed;
      while (fieldCount < 3) {
        std::size_t tab = rest.find('\t');
        fields[fieldCount++] = rest.substr(0, tab);
        if (tab == std::string_view::npos)
          break;
        rest.remove_prefix(tab + 1);
      }
      if (byHash.size() != count)
        indexHandsets();
      const std::size_t hash = hashName(fields[0]);
      auto match = std::lower_bound(byHash.begin(), byHash.end(),
                                    std::pair<std::size_t, std::size_t>(hash, 0));
      for (; match != byHash.end() && match->first == hash; ++match) {
        const TTanmatsuRecord& record = handsets.StoredHandset(match->second);
        if (record.Name != fields[0])
          continue;
        if (fieldCount >= 2 && record.Series != fields[1])
          continue;
        if (fieldCount >= 3 && record.Screen != fields[2])
          continue;
        current->Set(match->second, true);
        break;
      }
    } else if (!trimmed.empty()) {
      current = &sets_[Add(line)].Flags;
      current->SetSize(count);
    }
  }
}

void TNamedBitsList::SaveToFile(const std::filesystem::path& fileName,
                                const TTanmatsuSelection& handsets) const {
  WriteCp932Lines(fileName, SaveToLines(handsets));
}

std::vector<std::string> TNamedBitsList::SaveToLines(const TTanmatsuSelection& handsets) const {
  std::vector<std::string> lines{std::string(kMakeSetSignature)};
  std::size_t count = handsets.HandsetCount();
  for (const TNamedBits& set : sets_) {
    lines.push_back(NameLine(set.Name));
    std::size_t end = std::min(count, set.Flags.Size());
    for (std::size_t i = 0; i < end; ++i)
      if (set.Flags.Get(i))
        lines.push_back(MemberLine(handsets.StoredHandset(i)));
  }
  return lines;
}

TMakeSetsLoadResult LoadMakeSets(TNamedBitsList& sets, const std::filesystem::path& fileName,
                                 const TTanmatsuSelection& handsets) {
  TMakeSetsLoadResult result;
  std::vector<std::string> lines;
  std::error_code error;
  if (std::filesystem::exists(fileName, error)) {
    try {
      lines = ReadCp932Lines(fileName);
    } catch (const EInOutError& e) {
      lines.clear();
      result.FileRead = false;
      result.Message = e.what();
    }
  }
  LoadMakeSetsFromLines(sets, lines, handsets);
  return result;
}

void LoadMakeSetsFromLines(TNamedBitsList& sets, const std::vector<std::string>& lines,
                           const TTanmatsuSelection& handsets) {
  sets.Clear();
  if (!lines.empty() && lines[0].substr(0, kMakeSetSignature.size()) == kMakeSetSignature)
    sets.LoadFromLines(lines, handsets);
  else
    sets.LoadOldFormatLines(lines);
  if (sets.Count() == 0)
    sets.Add(kDefaultSetName);
  std::size_t count = handsets.HandsetCount();
  for (std::size_t i = 0; i < sets.Count(); ++i)
    sets.GetFlags(i).SetSize(count);
}

void SaveMakeSets(const TNamedBitsList& sets, const std::filesystem::path& fileName,
                  const TTanmatsuSelection& handsets) {
  sets.SaveToFile(fileName, handsets);
}

TMakeSetsLoadResult TMakeSets::Load(const std::filesystem::path& fileName) {
  TMakeSetsLoadResult result = LoadMakeSets(sets_, fileName, handsets_);
  current_ = 0;
  return result;
}

void TMakeSets::Save(const std::filesystem::path& fileName) const {
  SaveMakeSets(sets_, fileName, handsets_);
}

void TMakeSets::SetCurrentIndex(long long index) {
  if (index < 0 || static_cast<unsigned long long>(index) >= sets_.Count())
    index = 0;
  current_ = static_cast<std::size_t>(index);
}

void TMakeSets::SelectSet(std::size_t index) {
  if (index >= sets_.Count())
    throw ERangeError("TNamedBitsList");
  current_ = index;
  ApplyCurrent();
}

void TMakeSets::ApplyCurrent() {
  if (current_ >= sets_.Count())
    return;
  // A copy: the batch reports every tick back through SelectionChanged, which
  // writes into the very flags being applied.
  const TBits flags = sets_.GetFlags(current_);
  std::vector<bool> ticks(handsets_.HandsetCount());
  for (std::size_t i = 0; i < ticks.size(); ++i)
    ticks[i] = flags.Get(i);
  handsets_.ApplySelection(ticks);
}

void TMakeSets::SelectionChanged(std::size_t index, bool selected) {
  if (current_ < sets_.Count())
    sets_.GetFlags(current_).Set(index, selected);
}

void TMakeSets::HandsetAdded(std::size_t index) {
  for (std::size_t i = 0; i < sets_.Count(); ++i) {
    TBits& flags = sets_.GetFlags(i);
    if (flags.Size() <= index)
      flags.SetSize(index + 1);
    flags.Set(index, i == current_ && handsets_.IsSelected(index));
  }
}

void TMakeSets::HandsetDeleted(std::size_t index) {
  for (std::size_t i = 0; i < sets_.Count(); ++i)
    sets_.GetFlags(i).DeletePosition(index);
}

std::string TMakeSets::TabCaption(std::size_t index) const {
  return sets_.GetName(index) + "(" + std::to_string(sets_.MemberCount(index)) + ")";
}

std::size_t TMakeSets::NewSet() {
  std::string name;
  for (unsigned long long n = 1;; ++n) {
    name = "新しいセット" + std::to_string(n);
    if (sets_.IndexOf(name) < 0)
      break;
  }
  std::size_t index = sets_.Add(name);
  sets_.GetFlags(index).SetSize(handsets_.HandsetCount());
  SelectSet(index);
  return index;
}

std::size_t TMakeSets::CloneSet() {
  if (current_ >= sets_.Count())
    throw ERangeError("TNamedBitsList");
  TBits flags = sets_.GetFlags(current_);
  flags.SetSize(handsets_.HandsetCount());
  std::size_t index = sets_.Add("コピー ～ " + sets_.GetName(current_));
  sets_.GetFlags(index) = flags;
  SelectSet(index);
  return index;
}

TSetRenamePrompt TMakeSets::RenamePrompt() const {
  return {Tr("名前の変更"), Tr("新しい名前を入力してください"),
          current_ < sets_.Count() ? sets_.GetName(current_) : std::string()};
}

bool TMakeSets::RenameSet(std::string_view text) {
  if (IsBlank(text) || current_ >= sets_.Count())
    return false;
  sets_.Rename(current_, text);
  return true;
}

TSetMessage TMakeSets::DeleteSetMessage() const {
  if (!CanDeleteSet())
    return {smError,
            Tr("最低一つのセットが必要です。最後のセットは削除できません"),
            {Tr("勉強になりました")}};
  return {smQuestion,
          TrFill("%s を削除してもよろしいですか？", {sets_.GetName(current_)}),
          {Tr("いいと思う"), Tr("いや間違えた")}};
}

bool TMakeSets::DeleteCurrentSet() {
  if (!CanDeleteSet())
    return false;
  sets_.Delete(current_);
  if (current_ >= sets_.Count())
    current_ = sets_.Count() - 1;
  ApplyCurrent();
  return true;
}

} // namespace mirufo
