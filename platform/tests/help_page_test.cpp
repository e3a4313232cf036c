#include "platform/help_page.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

using test::EnvGuard;

TEST(HelpPage, EnglishCodesGetTheEnglishPage) {
  for (const char* code : {"en", "en_US", "en_GB.UTF-8", "en@quot", "en.UTF-8"})
    EXPECT_EQ(HelpPageName(code), "mirufo.en.html") << code;
  for (const char* code : {"", "ja", "ja_JP.UTF-8", "C", "POSIX", "C.UTF-8", "eng", "fr_FR", "e"})
    EXPECT_EQ(HelpPageName(code), "mirufo.html") << code;
}

// The environment as gettext reads it. Each row: LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG (nullptr: unset) and the language shown.
TEST(HelpPage, LanguageFollowsTheEnvironmentAsGettextReadsIt) {
  EnvGuard language("LANGUAGE"), all("LC_ALL"), messages("LC_MESSAGES"), lang("LANG");
  struct TRow {
    const char* Language;
    const char* All;
    const char* Messages;
    const char* Lang;
    const char* Expected;
  };
  const TRow rows[] = {
      {nullptr, nullptr, nullptr, nullptr, "ja"},
      {nullptr, nullptr, nullptr, "en_US.UTF-8", "en"},
      {nullptr, nullptr, nullptr, "ja_JP.UTF-8", "ja"},
      {nullptr, nullptr, nullptr, "C", "ja"},
      {nullptr, nullptr, nullptr, "de_DE.UTF-8", "ja"},
      // LC_ALL over LC_MESSAGES over LANG; an empty one does not count.
      {nullptr, "ja_JP.UTF-8", "en_US.UTF-8", "en_US.UTF-8", "ja"},
      {nullptr, "", "en_GB.UTF-8", "ja_JP.UTF-8", "en"},
      {nullptr, nullptr, "C", "en_US.UTF-8", "ja"},
      // LANGUAGE comes first, its first entry with texts decides;
      {"en", nullptr, nullptr, "ja_JP.UTF-8", "en"},
      {"ja:en", nullptr, nullptr, "en_US.UTF-8", "ja"},
      {"fr:en_GB", nullptr, nullptr, "fr_FR.UTF-8", "en"},
      // A list with neither gives the program's own texts, whatever LANG says.
      {"fr", nullptr, nullptr, "en_US.UTF-8", "ja"},
      {"::en", nullptr, nullptr, "C.UTF-8", "en"},
      // ...except in the C locale, where gettext ignores it.
      {"en", nullptr, nullptr, nullptr, "ja"},
      {"en", "C", nullptr, "en_US.UTF-8", "ja"},
      {"en", "POSIX", nullptr, nullptr, "ja"},
  };
  for (const TRow& row : rows) {
    const std::pair<const char*, const char*> variables[] = {{"LANGUAGE", row.Language},
                                                             {"LC_ALL", row.All},
                                                             {"LC_MESSAGES", row.Messages},
                                                             {"LANG", row.Lang}};
    for (const auto& [name, value] : variables)
      value ? setenv(name, value, 1) : unsetenv(name);
    EXPECT_EQ(EnvironmentLanguage(), row.Expected)
        << (row.Language ? row.Language : "-") << " " << (row.All ? row.All : "-") << " "
        << (row.Messages ? row.Messages : "-") << " " << (row.Lang ? row.Lang : "-");
  }
}

} // namespace
} // namespace mirufo
