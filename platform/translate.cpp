// Tr over a catalogue read once, on first use, for the language the
// environment asks for.
#include "platform/translate.h"

#include "platform/folders.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

namespace mirufo {
namespace {

constexpr const char* kDomain = "mirufo";
constexpr std::uint32_t kMoMagic = 0x950412de;
// A catalogue is a few hundred kilobytes; anything far larger is not ours.
constexpr std::size_t kMaxMoBytes = 16u << 20;

std::filesystem::path CatalogueFile(const std::filesystem::path& localeFolder,
                                    const std::string& language) {
  return localeFolder / language / "LC_MESSAGES" / (std::string(kDomain) + ".mo");
}

// The names gettext tries for one locale name, most specific first:
// "en_GB.UTF-8@euro" gives en_GB@euro, en_GB, en@euro, en (the codeset does
// not name a catalogue).
std::vector<std::string> LanguageVariants(const std::string& name) {
  std::string modifier;
  std::string rest = name;
  if (auto at = rest.find('@'); at != std::string::npos) {
    modifier = rest.substr(at);
    rest.erase(at);
  }
  if (auto dot = rest.find('.'); dot != std::string::npos)
    rest.erase(dot);
  std::string language = rest.substr(0, rest.find('_'));
  std::vector<std::string> variants;
  auto add = [&](const std::string& v) {
    if (!v.empty() && (variants.empty() || variants.back() != v))
      variants.push_back(v);
  };
  if (!modifier.empty())
    add(rest + modifier);
  add(rest);
  if (!modifier.empty())
    add(language + modifier);
  add(language);
  return variants;
}

bool SpeaksJapanese(const std::string& name) {
  return name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0 || name.rfind("ja", 0) == 0;
}

std::uint32_t ReadWord(const std::string& bytes, std::size_t at, bool swapped) {
  std::uint32_t w = 0;
  std::memcpy(&w, bytes.data() + at, 4);
  return swapped ? __builtin_bswap32(w) : w;
}

struct TChosenCatalogue {
  std::string Language = "ja";
  TMessageCatalogue Catalogue;
};

const TChosenCatalogue& Chosen() {
  static TChosenCatalogue chosen;
  static std::once_flag once;
  std::call_once(once, [] {
    auto folder = LocaleFolder(ProgramFolder());
    if (auto language = ChooseLanguage([](const char* v) { return std::getenv(v); }, folder)) {
      chosen.Catalogue = TMessageCatalogue(CatalogueFile(folder, *language));
      if (chosen.Catalogue.Size() > 0)
        chosen.Language = *language;
    }
  });
  return chosen;
}

} // namespace

std::optional<std::string> ChooseLanguage(const std::function<const char*(const char*)>& getenv,
                                          const std::filesystem::path& localeFolder) {
  auto value = [&](const char* name) -> std::string {
    const char* v = getenv(name);
    return v ? v : "";
  };
  // The locale of messages, as setlocale would take it from the environment.
  std::string locale = value("LC_ALL");
  if (locale.empty())
    locale = value("LC_MESSAGES");
  if (locale.empty())
    locale = value("LANG");
  // As in gettext, LANGUAGE is not heeded in the C locale, whose output
  // scripts rely on; here that output is the program's own Japanese.
  if (locale.empty() || locale == "C" || locale == "POSIX")
    return std::nullopt;
  std::vector<std::string> preferences;
  std::string list = value("LANGUAGE");
  if (list.empty())
    list = locale;
  for (std::size_t start = 0; start <= list.size();) {
    std::size_t end = list.find(':', start);
    if (end == std::string::npos)
      end = list.size();
    if (end > start)
      preferences.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  for (const std::string& preference : preferences) {
    if (SpeaksJapanese(preference))
      return std::nullopt;
    for (const std::string& variant : LanguageVariants(preference)) {
      std::error_code error;
      if (std::filesystem::is_regular_file(CatalogueFile(localeFolder, variant), error))
        return variant;
    }
  }
  return std::nullopt;
}

TMessageCatalogue::TMessageCatalogue(const std::filesystem::path& moFile) {
  std::ifstream in(moFile, std::ios::binary);
  if (!in)
    return;
  std::string bytes;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > kMaxMoBytes)
      return;
  }
  if (bytes.size() < 20)
    return;
  bool swapped = false;
  if (ReadWord(bytes, 0, false) != kMoMagic) {
    if (ReadWord(bytes, 0, true) != kMoMagic)
      return;
    swapped = true;
  }
  const std::uint32_t revision = ReadWord(bytes, 4, swapped);
  const std::uint64_t count = ReadWord(bytes, 8, swapped);
  const std::uint64_t originals = ReadWord(bytes, 12, swapped);
  const std::uint64_t translations = ReadWord(bytes, 16, swapped);
  if ((revision >> 16) != 0 || originals + count * 8 > bytes.size() ||
      translations + count * 8 > bytes.size())
    return;
  // One string of the file: length and offset from its table entry; the
  // length excludes the NUL that must follow it.
  auto text = [&](std::uint64_t table, std::uint64_t i, std::string& out) {
    const std::uint64_t length = ReadWord(bytes, table + i * 8, swapped);
    const std::uint64_t offset = ReadWord(bytes, table + i * 8 + 4, swapped);
    if (offset + length >= bytes.size() || bytes[offset + length] != '\0')
      return false;
    out.assign(bytes, offset, length);
    return true;
  };
  std::unordered_map<std::string, std::string> texts;
  std::string original;
  std::string translation;
  for (std::uint64_t i = 0; i < count; ++i) {
    if (!text(originals, i, original) || !text(translations, i, translation))
      return;
    // The header (empty id), texts with context or plural forms, and empty
    // translations are not looked up by Tr.
    if (original.empty() || translation.empty() || original.find('\0') != std::string::npos ||
        original.find('\x04') != std::string::npos)
      continue;
    texts.emplace(original, translation);
  }
  texts_ = std::move(texts);
}

const char* TMessageCatalogue::Find(const char* japanese) const {
  auto found = texts_.find(japanese);
  return found == texts_.end() ? nullptr : found->second.c_str();
}

const char* Tr(const char* japanese) {
  if (japanese == nullptr || *japanese == '\0')
    return japanese;
  const char* translated = Chosen().Catalogue.Find(japanese);
  return translated ? translated : japanese;
}

std::string Tr(const std::string& japanese) {
  return Tr(japanese.c_str());
}

std::string TrFill(const char* format, std::initializer_list<std::string> values) {
  const std::string translated = Tr(format);
  std::string text;
  auto next = values.begin();
  for (std::size_t i = 0; i < translated.size(); ++i) {
    const char kind = i + 1 < translated.size() && translated[i] == '%' ? translated[i + 1] : '\0';
    if (kind == '%') {
      text += '%';
      ++i;
    } else if (kind == 'd' || kind == 's') {
      if (next != values.end())
        text += *next++;
      ++i;
    } else {
      text += translated[i];
    }
  }
  return text;
}

std::string ShownLanguage() {
  return Chosen().Language;
}

} // namespace mirufo
