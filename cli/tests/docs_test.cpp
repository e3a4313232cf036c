// The texts made from the option tables: the manual page renders with man,
// and the bash completion offers commands, options, values and the
// handsets of the catalogue (the user's included).
#include "cli/doc_writers.h"
#include "cli_runner.h"
#include "platform/text_file.h"
#include "test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace mirufo {
namespace {

using test::ReadBytes;
using test::TempDir;

// Runs a shell command; returns its status with stdout and stderr.
test::TCliResult Shell(const std::string& command) {
  TempDir capture;
  const int raw = std::system(
      (command + " >" + (capture / "out").string() + " 2>" + (capture / "err").string()).c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(capture / "out"),
          ReadBytes(capture / "err")};
}

// The manual page in both languages, each made from the option tables.
const char* const kManPages[] = {MIRUFO_CLI_MAN_EN, MIRUFO_CLI_MAN_JA};

TEST(CliDocs, ManualPagesRenderEveryOption) {
  for (const char* page : kManPages) {
    SCOPED_TRACE(page);
    const auto r = Shell(std::string("LANG=C.UTF-8 MANWIDTH=80 man -l ") + page);
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err, "") << "troff warnings";
    for (const cli::TCommandDoc& command : cli::CommandDocs()) {
      EXPECT_NE(r.Out.find("mirufo-cli " + command.Name), std::string::npos) << command.Name;
      for (const cli::TOptionInfo& option : command.Options)
        EXPECT_NE(r.Out.find(option.Name), std::string::npos) << option.Name;
    }
    EXPECT_NE(r.Out.find("MIRUFO_HOME"), std::string::npos);
    // groff's own strictest reading, at its standard width of 78 columns.
    const auto strict = Shell(std::string("groff -man -k -Tutf8 -ww -z ") + page);
    EXPECT_EQ(strict.Status, 0);
    EXPECT_EQ(strict.Err, "") << "groff warnings";
  }
}

// whatis and apropos find each page by its name line.
TEST(CliDocs, ManualPageNameLineIsIndexed) {
  for (const char* page : kManPages) {
    const auto r = Shell(std::string("lexgrog ") + page);
    ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
    EXPECT_NE(r.Out.find("\"mirufo-cli - "), std::string::npos) << r.Out;
  }
}

// The English page has no Japanese left outside its examples' command lines
// (whose handset and set names are data), and uses man's English headings.
// It can only be English once the sources hold the English catalogue.
#ifdef MIRUFO_CLI_MAN_EN_TRANSLATED
TEST(CliDocs, EnglishManualPageIsEnglish) {
  const std::vector<std::string> lines = SplitLines(ReadBytes(MIRUFO_CLI_MAN_EN));
  bool example = false;
  for (const std::string& line : lines) {
    example = line == ".nf" || (example && line != ".fi");
    if (example)
      continue;
    // U+3000 and up: Japanese punctuation, kana, kanji and full-width forms.
    EXPECT_TRUE(std::none_of(line.begin(), line.end(), [](char c) {
      return static_cast<unsigned char>(c) >= 0xE3;
    })) << line;
  }
  for (const char* heading : {".SH NAME", ".SH SYNOPSIS", ".SH DESCRIPTION"})
    EXPECT_NE(std::find(lines.begin(), lines.end(), heading), lines.end()) << heading;
}
#endif

TEST(CliDocs, ReadmeDescribesEveryOption) {
  const std::string readme = ReadBytes(MIRUFO_CLI_README);
  for (const cli::TCommandDoc& command : cli::CommandDocs()) {
    EXPECT_NE(readme.find("### mirufo-cli " + command.Name), std::string::npos) << command.Name;
    for (const cli::TOptionInfo& option : command.Options)
      EXPECT_NE(readme.find("| `" + option.Name), std::string::npos) << option.Name;
  }
}

class CliCompletion : public testing::Test {
protected:
  // The completion's candidates for the words as typed, the last being the
  // one under the cursor.
  std::vector<std::string> Complete(const std::vector<std::string>& words) {
    std::string script = "export MIRUFO_HOME='" + home.Path().string() + "'; source '" +
                         MIRUFO_CLI_COMPLETION + "'; COMP_WORDS=('" + MIRUFO_CLI + "'";
    for (const std::string& word : words)
      script += " '" + word + "'";
    script += "); COMP_CWORD=" + std::to_string(words.size()) +
              "; _mirufo_cli; printf '%s\\n' \"${COMPREPLY[@]}\"";
    test::WriteBytes(home / "complete.sh", script);
    const auto r = Shell("bash " + (home / "complete.sh").string());
    EXPECT_EQ(r.Status, 0) << r.Err;
    std::vector<std::string> lines = SplitLines(r.Out);
    if (lines.size() == 1 && lines[0].empty())
      lines.clear();
    return lines;
  }

  TempDir home;
};

TEST_F(CliCompletion, CommandsOptionsAndValues) {
  using TList = std::vector<std::string>;
  EXPECT_EQ(Complete({"ma"}), TList{"make"});
  EXPECT_EQ(Complete({"--v"}), TList{"--version"});
  EXPECT_EQ(Complete({"make", "--ha"}), (TList{"--handsets", "--halign"}));
  EXPECT_EQ(Complete({"list", "--n"}), TList{"--names"});
  EXPECT_EQ(Complete({"make", "pic.jpg", "--format", "png"}), (TList{"png8", "png24"}));
  // "--format=p" reaches the completion as "--format", "=", "p".
  EXPECT_EQ(Complete({"make", "--format", "=", "b"}), (TList{"bmp", "bmp2"}));
  EXPECT_EQ(Complete({"make", "--quality", ""}), TList{});
}

TEST_F(CliCompletion, HandsetAndSetNames) {
  WriteCp932Lines(home / "tanmatsu_user.lst",
                  {"TL2", "name\tformat\tsupportformats\twidth\theight\tbit\tcachename\tcache\tbps",
                   "SH9自作\t1\t010000\t30\t20\t24\t\t0.0\t9600", "cache"});
  WriteCp932Lines(home / "makeset.txt", {"MSET01", "友だち", "\tSH901iC", "仕事"});
  using TList = std::vector<std::string>;
  EXPECT_EQ(Complete({"make", "--handsets", "SH90"}), (TList{"SH901iC", "SH900i"}));
  EXPECT_EQ(Complete({"make", "--handsets", "SH9"}), (TList{"SH901iC", "SH900i", "SH9自作"}));
  // Only the list's last item is completed; the items before it stay.
  EXPECT_EQ(Complete({"make", "--handsets", "W21CA,SH90"}),
            (TList{"W21CA,SH901iC", "W21CA,SH900i"}));
  EXPECT_EQ(Complete({"make", "--set", "友"}), TList{"友だち"});
}

TEST(CliDocs, HelpAndVersion) {
  TempDir home;
  auto r = test::RunCli({"--version"}, home.Path());
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Out, "mirufo-cli " + cli::ProgramVersion() + "\n");
  EXPECT_NE(cli::ProgramVersion(), "0") << "the version comes from the build";
  r = test::RunCli({"make", "--help"}, home.Path());
  EXPECT_EQ(r.Status, 0);
  EXPECT_NE(r.Out.find("--dry-run は実際に保存したときと同じ終了コード (3 も)"), std::string::npos);
}

} // namespace
} // namespace mirufo
