// The one translation function. Every text a user sees (captions, messages,
// hints, the command line's own sentences) passes through Tr. The Japanese
// text is the message id, so the code reads as the program speaks; with no
// catalogue for the user's language Tr returns its argument unchanged.
//
// The language is chosen from the environment as gettext programs choose it
// (LANGUAGE, then LC_ALL, LC_MESSAGES, LANG), and the catalogue, a GNU .mo
// file of the domain "mirufo" under LocaleFolder(), is read by the program
// itself. So the choice works whether or not the system has the user's
// locale installed: glibc's own gettext would translate nothing for a locale
// that is missing, and most machines lack most locales.
#pragma once

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <unordered_map>

namespace mirufo {

// Returns the translation of a UTF-8 Japanese text, or the text itself. The
// pointer stays valid for the life of the program when `japanese` does.
const char* Tr(const char* japanese);
std::string Tr(const std::string& japanese);

// Marks a text kept in a table for the catalogue's extraction; it is
// translated where it is shown, through Tr.
constexpr const char* N_(const char* japanese) {
  return japanese;
}

// Translates a format, then fills its "%s" and "%d" in order with the given
// texts ("%%" is "%"), so that a translation may word a sentence around its
// values. Places beyond the values given stay empty.
std::string TrFill(const char* format, std::initializer_list<std::string> values);

// The language of the texts shown: the catalogue's language ("en", "en_GB")
// when one was chosen, "ja" when the program speaks its own Japanese.
std::string ShownLanguage();

// The catalogue's language for an environment (`getenv` answers a variable's
// value or nullptr) and a catalogue folder, or nothing for Japanese: the C
// and POSIX locales, a Japanese preference, and no catalogue that fits.
std::optional<std::string> ChooseLanguage(const std::function<const char*(const char*)>& getenv,
                                          const std::filesystem::path& localeFolder);

// The translations of one .mo file. A file that cannot be read or is not a
// well-formed catalogue holds no translations, so the program speaks
// Japanese rather than failing.
class TMessageCatalogue {
public:
  TMessageCatalogue() = default;
  explicit TMessageCatalogue(const std::filesystem::path& moFile);

  // The translation, or nullptr when the catalogue has none.
  const char* Find(const char* japanese) const;
  std::size_t Size() const { return texts_.size(); }

private:
  std::unordered_map<std::string, std::string> texts_;
};

} // namespace mirufo
