// The command line in English and in Japanese: what it prints follows the
// user's locale, what it writes into files never does.
#include "cli_runner.h"
#include "picture_files.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

using test::RunCli;
using test::TCliPlace;
using test::TCliResult;
using test::TempDir;

const std::vector<std::string> kEnglish = {"LANG=en_US.UTF-8"};
// Locale settings that all keep today's Japanese: a Japanese locale (not
// installed here), English asked for only in the C locale, and none at all.
const std::vector<std::vector<std::string>> kJapanese = {
    {"LANG=ja_JP.UTF-8"}, {"LANGUAGE=en", "LC_ALL=C"}, {"LANG=C"}, {"LANG=C.UTF-8"}};

// A 24-bit BMP of 64 x 48 pixels with a gradient (rows of 192 bytes).
std::string Gradient() {
  test::BmpSpec bmp;
  bmp.Width = 64;
  bmp.Height = 48;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x)
      bmp.Pixels += {static_cast<char>(x * 4), static_cast<char>(y * 5), static_cast<char>(x + y)};
  return test::MakeBmp(bmp);
}

bool HasJapanese(const std::string& text) {
  // Every Japanese character in UTF-8 starts with a byte of 0xE3 to 0xE9.
  for (unsigned char c : text)
    if (c >= 0xE3 && c <= 0xE9)
      return true;
  return false;
}

class CliLanguage : public testing::Test {
protected:
  TempDir home;
  std::string picture = (home.Path() / "photo.bmp").string();
  void SetUp() override { test::WriteBytes(picture, Gradient()); }

  TCliResult Run(const std::vector<std::string>& args, const std::vector<std::string>& locale,
                 const std::string& stdoutTo = "") {
    TCliPlace place;
    place.WorkingFolder = home.Path();
    place.Locale = locale;
    place.StdoutTo = stdoutTo;
    return RunCli(args, home.Path(), place);
  }
};

// The commands a user runs first, in English and in every Japanese setting:
// English has no Japanese left in it, the exit status does not change, and
// Japanese is byte for byte what the program prints with no locale.
TEST_F(CliLanguage, ShownTextsFollowTheLocale) {
  const std::vector<std::vector<std::string>> commands = {
      {"make", "--help"},
      {"--help"},
      {"list", "--help"},
      {"--version"},
      {"make", "missing.jpg", "--all"},
      {"make", picture, "--handsets", "SH901iC,W21CA", "--dry-run"},
      {"make", picture, "--handsets", "NoSuchPhone"},
      {"make", picture, "--quality"},
      {"frobnicate"},
  };
  for (const auto& args : commands) {
    std::string shown;
    for (const std::string& a : args)
      shown += a + " ";
    const TCliResult none = Run(args, {"LANGUAGE="});
    const TCliResult english = Run(args, kEnglish);
    EXPECT_EQ(english.Status, none.Status) << shown;
    EXPECT_FALSE(HasJapanese(english.Out)) << shown << english.Out;
    EXPECT_FALSE(HasJapanese(english.Err)) << shown << english.Err;
    if (args[0] != "--version") {
      EXPECT_NE(english.Out + english.Err, none.Out + none.Err) << shown;
    }
    for (const auto& locale : kJapanese) {
      const TCliResult japanese = Run(args, locale);
      EXPECT_EQ(japanese.Status, none.Status) << shown << locale[0];
      EXPECT_EQ(japanese.Out, none.Out) << shown << locale[0];
      EXPECT_EQ(japanese.Err, none.Err) << shown << locale[0];
    }
  }
  // A few of the English texts themselves.
  EXPECT_NE(Run({"make", "--help"}, kEnglish).Out.find("Usage: mirufo-cli make PICTURE [OPTIONS]"),
            std::string::npos);
  const TCliResult missing = Run({"make", "missing.jpg", "--all"}, kEnglish);
  EXPECT_EQ(missing.Status, 1);
  EXPECT_NE(missing.Err.find("missing.jpg: file not found"), std::string::npos) << missing.Err;
  // Data stays as it is: handset names and screens are not translated.
  const TCliResult dry =
      Run({"make", picture, "--handsets", "SH901iC", "--dry-run"}, {"LANGUAGE=en", "LANG=C.UTF-8"});
  EXPECT_EQ(dry.Status, 0) << dry.Err;
  EXPECT_NE(dry.Out.find("SH901iC"), std::string::npos) << dry.Out;
}

// What the program writes (the images with their comment, index.html) has
// the same bytes whatever language the run speaks.
TEST_F(CliLanguage, WrittenFilesDoNotDependOnTheLanguage) {
  auto make = [&](const std::string& folder, const std::vector<std::string>& locale) {
    const TCliResult r = Run({"make", picture, "--handsets", "SH901iC,W21CA,F901iC", "--out",
                              folder, "--html", "--calendar", "on", "--comment", "テスト"},
                             locale);
    EXPECT_EQ(r.Status, 0) << r.Err;
  };
  make("ja", {"LANG=ja_JP.UTF-8"});
  make("en", kEnglish);
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(home.Path() / "ja")) {
    const auto name = entry.path().filename();
    EXPECT_EQ(test::ReadBytes(home.Path() / "en" / name), test::ReadBytes(entry.path())) << name;
    ++files;
  }
  EXPECT_GE(files, 3u);
  EXPECT_TRUE(std::filesystem::exists(home.Path() / "en" / "index.html"));
}

} // namespace
} // namespace mirufo
