#include "platform/translate.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <vector>

namespace mirufo {

// With no catalogue for the language, every text comes back as it was given,
// so the Japanese program works without any catalogue installed.
TEST(Translate, WithoutCatalogueReturnsTheJapaneseText) {
  EXPECT_STREQ(Tr("次へ(N) >"), "次へ(N) >");
  EXPECT_EQ(Tr(std::string("端末の選択")), "端末の選択");
  EXPECT_STREQ(Tr(""), "");
}

} // namespace mirufo

namespace mirufo {
namespace {

// A catalogue folder holding (empty) catalogues for the given languages:
// the choice only asks which catalogues exist.
struct TCatalogueFolder {
  test::TempDir Folder;
  explicit TCatalogueFolder(std::initializer_list<const char*> languages) {
    for (const char* language : languages) {
      auto dir = Folder.Path() / language / "LC_MESSAGES";
      std::filesystem::create_directories(dir);
      test::WriteBytes(dir / "mirufo.mo", "");
    }
  }
};

std::optional<std::string> Choose(std::map<std::string, std::string> env,
                                  const std::filesystem::path& folder) {
  return ChooseLanguage(
      [&](const char* name) -> const char* {
        auto found = env.find(name);
        return found == env.end() ? nullptr : found->second.c_str();
      },
      folder);
}

} // namespace

// The language follows gettext's order of variables, falls back to Japanese
// whenever no catalogue fits, and never needs the locale to be installed.
TEST(Translate, ChoosesTheLanguageAsGettextDoes) {
  TCatalogueFolder folder{"en", "en_GB"};
  const std::optional<std::string> ja;
  struct TCase {
    std::map<std::string, std::string> Env;
    std::optional<std::string> Want;
  };
  const std::vector<TCase> cases = {
      {{}, ja},
      {{{"LANG", "C"}}, ja},
      {{{"LANG", "POSIX"}}, ja},
      {{{"LANG", "C.UTF-8"}}, ja},
      {{{"LANG", "ja_JP.UTF-8"}}, ja},
      {{{"LANG", "en_US.UTF-8"}}, "en"},
      {{{"LANG", "en_GB.UTF-8"}}, "en_GB"},
      {{{"LANG", "en"}}, "en"},
      {{{"LANG", "en_US.UTF-8@euro"}}, "en"},
      {{{"LANG", "de_DE.UTF-8"}}, ja},
      // LC_ALL before LC_MESSAGES before LANG.
      {{{"LC_ALL", "ja_JP.UTF-8"}, {"LANG", "en_US.UTF-8"}}, ja},
      {{{"LC_MESSAGES", "en_US.UTF-8"}, {"LANG", "ja_JP.UTF-8"}}, "en"},
      {{{"LC_ALL", ""}, {"LC_MESSAGES", "ja_JP.UTF-8"}, {"LANG", "en_US.UTF-8"}}, ja},
      // LANGUAGE's list wins over the locale, first fitting entry first,
      // except in the C locale.
      {{{"LANGUAGE", "en"}, {"LANG", "ja_JP.UTF-8"}}, "en"},
      {{{"LANGUAGE", "de:fr:en_US"}, {"LANG", "ja_JP.UTF-8"}}, "en"},
      {{{"LANGUAGE", "ja:en"}, {"LANG", "en_US.UTF-8"}}, ja},
      {{{"LANGUAGE", "en"}, {"LANG", "C.UTF-8"}}, "en"},
      {{{"LANGUAGE", "en"}, {"LC_ALL", "C"}}, ja},
      {{{"LANGUAGE", "en"}}, ja},
      {{{"LANGUAGE", ":de:"}, {"LANG", "en_US.UTF-8"}}, ja},
  };
  for (const TCase& c : cases) {
    std::string env;
    for (const auto& [name, value] : c.Env)
      env += name + "=" + value + " ";
    EXPECT_EQ(Choose(c.Env, folder.Folder.Path()), c.Want) << env;
  }
  // No catalogue at all: Japanese for everyone.
  EXPECT_EQ(Choose({{"LANG", "en_US.UTF-8"}}, folder.Folder.Path() / "missing"), ja);
}

// The built catalogue reads back; texts it lacks, and files that are not
// catalogues, give no translation instead of failing.
TEST(Translate, ReadsCataloguesAndRefusesBrokenOnes) {
  const std::filesystem::path mo = MIRUFO_TEST_LOCALE "/en/LC_MESSAGES/mirufo.mo";
  TMessageCatalogue english(mo);
  ASSERT_GT(english.Size(), 100u);
  EXPECT_STREQ(english.Find("ファイル(&F)"), "&File");
  EXPECT_STREQ(english.Find("%s を削除してもよろしいですか？"),
               "Are you sure you want to delete %s?");
  EXPECT_EQ(english.Find("この文はカタログにありません"), nullptr);
  EXPECT_EQ(english.Find(""), nullptr);

  const std::string bytes = test::ReadBytes(mo);
  test::TempDir dir;
  const std::vector<std::string> broken = {
      "",
      "not a catalogue at all",
      bytes.substr(0, 24),
      bytes.substr(0, bytes.size() / 2),
      // Tables pointing far outside the file.
      bytes.substr(0, 12) + std::string("\xff\xff\xff\x7f\xff\xff\xff\x7f", 8) + bytes.substr(20),
  };
  for (std::size_t i = 0; i < broken.size(); ++i) {
    test::WriteBytes(dir.Path() / "broken.mo", broken[i]);
    EXPECT_EQ(TMessageCatalogue(dir.Path() / "broken.mo").Size(), 0u) << i;
  }
  EXPECT_EQ(TMessageCatalogue(dir.Path() / "absent.mo").Size(), 0u);
}

// Without a catalogue (the tests speak Japanese) TrFill fills in place.
TEST(Translate, FillsFormatsInOrder) {
  EXPECT_EQ(TrFill("%s を削除してもよろしいですか？", {"W21CA"}),
            "W21CA を削除してもよろしいですか？");
  EXPECT_EQ(TrFill("(%d行目) %s %%", {"3", "x"}), "(3行目) x %");
  EXPECT_EQ(TrFill("%d / %d", {"1"}), "1 / ");
  EXPECT_EQ(ShownLanguage(), "ja");
}

} // namespace mirufo
