#include "platform/help_page.h"

#include <cstdlib>

namespace mirufo {
namespace {

bool IsEnglish(std::string_view code) {
  // "en", "en_US", "en.UTF-8", "en@quot"; not "eng" or "enx".
  return code.substr(0, 2) == "en" &&
         (code.size() == 2 || code[2] == '_' || code[2] == '.' || code[2] == '@');
}

bool IsJapanese(std::string_view code) {
  return code.substr(0, 2) == "ja" &&
         (code.size() == 2 || code[2] == '_' || code[2] == '.' || code[2] == '@');
}

std::string_view Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

} // namespace

std::string HelpPageName(std::string_view language) {
  return IsEnglish(language) ? "mirufo.en.html" : "mirufo.html";
}

std::string EnvironmentLanguage() {
  std::string_view locale = Variable("LC_ALL");
  if (locale.empty())
    locale = Variable("LC_MESSAGES");
  if (locale.empty())
    locale = Variable("LANG");
  // gettext ignores LANGUAGE in the C locale, whose texts are the program's
  // own; an unset locale is the C locale.
  std::string_view list = Variable("LANGUAGE");
  if (!list.empty() && !locale.empty() && locale != "C" && locale != "POSIX") {
    // A list without either language falls back to the texts themselves,
    // not to the locale.
    while (!list.empty()) {
      const std::size_t colon = list.find(':');
      const std::string_view entry = list.substr(0, colon);
      if (IsEnglish(entry))
        return "en";
      if (IsJapanese(entry))
        return "ja";
      list = colon == std::string_view::npos ? "" : list.substr(colon + 1);
    }
    return "ja";
  }
  return IsEnglish(locale) ? "en" : "ja";
}

} // namespace mirufo
