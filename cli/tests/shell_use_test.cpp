// mirufo-cli make as scripts and pipelines use it: the dry run answers as
// the real run would, nothing lands where it was not asked to, messages
// name what is wrong, and the output stays valid and quiet.
#include "cli/option_table.h"
#include "cli_runner.h"
#include "picture_files.h"
#include "platform/text_file.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace mirufo {
namespace {

using test::ReadBytes;
using test::RunCli;
using test::TempDir;
using test::WriteBytes;
using TJson = nlohmann::json;

// A 24-bit 8 x 6 BMP of one colour.
std::string SmallBmp() {
  test::BmpSpec bmp;
  bmp.Width = 8;
  bmp.Height = 6;
  for (int i = 0; i < 8 * 6; ++i)
    bmp.Pixels += "\x40\x80\xC0";
  return test::MakeBmp(bmp);
}

// The folder's entries, to tell whether a run wrote anything.
std::vector<std::string> Listing(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ec))
    names.push_back(entry.path().string());
  std::sort(names.begin(), names.end());
  return names;
}

class CliShell : public testing::Test {
protected:
  void SetUp() override {
    WriteBytes(home / "src.bmp", SmallBmp());
    std::filesystem::create_directory(home / "out");
  }
  test::TCliResult Make(std::vector<std::string> args, const test::TCliPlace& place = {}) {
    args.insert(args.begin(), "make");
    return RunCli(args, home.Path(), place);
  }
  std::string Src() const { return (home / "src.bmp").string(); }
  std::string Out() const { return (home / "out").string(); }

  TempDir home;
};

TEST_F(CliShell, DryRunAnswersAsTheRealRun) {
  WriteCp932Lines(home / "tanmatsu_user.lst",
                  {"TL2", "name\tformat\tsupportformats\twidth\theight\tbit\tcachename\tcache\tbps",
                   "Tiny\t1\t010000\t200\t200\t24\t\t0.5\t9600", "cache"});
  WriteBytes(home / "file", "x");
  WriteBytes(home / "out/taken.jpg", "mine");
  struct TCase {
    const char* What;
    std::vector<std::string> Args;
    int Status;
    const char* Message; // in the error of both runs
  };
  const TCase cases[] = {
      {"saves", {"--handsets", "SH901iC"}, 0, nullptr},
      {"over the cache", {"--handsets", "Tiny"}, 3, nullptr},
      {"existing file", {"--handsets", "SH901iC", "--template", "taken"}, 1, "taken.jpg"},
      {"names clash", {"--handsets", "SH901iC,W21CA", "--template", "same"}, 1, nullptr},
      {"folder blocked",
       {"--handsets", "SH901iC", "--out", (home / "file/sub").string()},
       1,
       "フォルダの作成に失敗しました"},
      {"folder to be made",
       {"--handsets", "SH901iC", "--out", (home / "new/deep").string()},
       0,
       nullptr},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    std::vector<std::string> args = {Src(), "--out", Out(), "--json"};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    const std::vector<std::string> before = Listing(home.Path());
    args.push_back("--dry-run");
    const auto dry = Make(args);
    EXPECT_EQ(Listing(home.Path()), before) << "a dry run writes nothing";
    args.pop_back();
    const auto real = Make(args);
    EXPECT_EQ(dry.Status, c.Status) << dry.Err;
    EXPECT_EQ(real.Status, c.Status) << real.Err;
    const TJson dryJson = TJson::parse(dry.Out), realJson = TJson::parse(real.Out);
    EXPECT_EQ(dryJson.contains("error"), c.Status == 1);
    EXPECT_EQ(dryJson.value("error", ""), realJson.value("error", ""));
    if (c.Message) {
      EXPECT_NE(dryJson.value("error", "").find(c.Message), std::string::npos) << dry.Out;
    }
    EXPECT_EQ(dry.Err, real.Err);
  }
  // What stands at a name, and the name's length, as the write judges them:
  // the dry run fails where the real run fails, naming the same file.
  std::filesystem::create_symlink(home / "nowhere", home / "out/dangling.jpg");
  std::filesystem::create_directory(home / "out/folder.jpg");
  std::filesystem::create_directory(home / "out/index.html");
  const TCase failing[] = {
      {"name too long", {"--template", std::string(300, 'n')}, 1, "File name too long"},
      {"dangling link kept", {"--template", "dangling"}, 1, "dangling.jpg"},
      {"folder at the name", {"--template", "folder", "--overwrite"}, 1, "同名のフォルダ"},
      {"page is a folder", {"--template", "page", "--html", "--overwrite"}, 1, "index.html"},
  };
  for (const TCase& c : failing) {
    SCOPED_TRACE(c.What);
    std::vector<std::string> args = {Src(), "--out", Out(), "--json", "--handsets", "SH901iC"};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    args.push_back("--dry-run");
    const auto dry = Make(args);
    args.pop_back();
    const auto real = Make(args);
    EXPECT_EQ(dry.Status, 1) << dry.Out;
    EXPECT_EQ(real.Status, 1) << real.Out;
    // The same file and reason; only the list of files written differs.
    const std::string dryError = TJson::parse(dry.Out).value("error", "");
    const std::string realError = TJson::parse(real.Out).value("error", "");
    EXPECT_NE(dryError.find(c.Message), std::string::npos) << dryError;
    EXPECT_EQ(dryError.substr(0, dryError.find("\n", dryError.find("\n") + 1)),
              realError.substr(0, realError.find("\n", realError.find("\n") + 1)));
  }
  EXPECT_TRUE(std::filesystem::is_symlink(home / "out/dangling.jpg"));
  std::filesystem::remove(home / "out/page.jpg");

  // The fields that explain a refusal.
  auto clash = Make({Src(), "--out", Out(), "--json", "--dry-run", "--handsets", "SH901iC,W21CA",
                     "--template", "taken"});
  const TJson j = TJson::parse(clash.Out);
  EXPECT_EQ(j["html"], nullptr);
  for (const TJson& entry : j["entries"]) {
    EXPECT_EQ(entry["clash"], true);
    EXPECT_EQ(entry["exists"], true);
    EXPECT_EQ(entry["written"], false);
  }
  EXPECT_EQ(ReadBytes(home / "out/taken.jpg"), "mine");

  // A template ending in a lone "$" still names a file with the extension,
  // in the preview as in the real run.
  for (const char* run : {"--dry-run", "--overwrite"}) {
    const TJson odd = TJson::parse(
        Make({Src(), "--out", Out(), "--json", run, "--handsets", "SH901iC", "--template", "odd$"})
            .Out);
    const std::string file = odd["entries"][0]["file"];
    EXPECT_TRUE(file.ends_with(".jpg")) << run << ": " << file;
  }
}

TEST_F(CliShell, FilesGoToOutOrTheWorkingFolder) {
  WriteCp932Lines(home / "mirufo.ini", {"[Save]", "Folder=" + (home / "saved").string() + "/"});
  std::filesystem::create_directory(home / "work");
  auto r = Make({Src(), "--handsets", "SH901iC"}, {home / "work", "", {}});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_TRUE(std::filesystem::exists(home / "work/sh901ic_000.jpg"));
  EXPECT_FALSE(std::filesystem::exists(home / "saved"));

  // An empty folder name is refused before anything is made or written.
  r = Make({Src(), "--handsets", "SH901iC", "--out", "", "--template", "cli-empty-out"},
           {home / "work", "", {}});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("--out"), std::string::npos) << r.Err;
  EXPECT_FALSE(std::filesystem::exists("/cli-empty-out.jpg"));
}

TEST_F(CliShell, WriteFailingHalfWayListsWhatWasWritten) {
  // The second file's name is taken by a folder that cannot be replaced.
  std::filesystem::create_directory(home / "out/w21ca_001.jpg");
  WriteBytes(home / "out/w21ca_001.jpg/inside", "x");
  auto r = Make({Src(), "--handsets", "SH901iC,W21CA", "--out", Out(), "--overwrite", "--json"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("w21ca_001.jpg"), std::string::npos) << r.Err;
  // Every file written before is listed, once.
  const std::string saved = Out() + "/sh901ic_000.jpg";
  const std::string listed = "それまでに保存したファイル (1 個):\n" + saved;
  EXPECT_NE(r.Err.find(listed), std::string::npos) << r.Err;
  EXPECT_EQ(r.Err.find(saved), r.Err.rfind(saved)) << r.Err;
  const TJson j = TJson::parse(r.Out);
  EXPECT_NE(j["error"].get<std::string>().find(listed), std::string::npos);
  EXPECT_EQ(j["saved"], 1);
  EXPECT_EQ(j["entries"][0]["written"], true);
  EXPECT_EQ(j["entries"][1]["written"], false);
  EXPECT_TRUE(std::filesystem::exists(home / "out/sh901ic_000.jpg"));
}

// A handset the picture cannot be made for is reported with its sizes and
// the limit; the others are made and saved, and the status says that not
// everything was.
TEST_F(CliShell, OneTargetThatCannotBeMadeSinksOnlyItself) {
  WriteCp932Lines(home / "tanmatsu_user.lst",
                  {"TL2", "name\tformat\tsupportformats\twidth\theight\tbit\tcachename\tcache\tbps",
                   "Huge\t1\t010000\t34463\t34463\t24\t\t0\t9600", "cache"});
  const std::vector<std::string> args = {Src(), "--handsets", "SH901iC,Huge", "--out", Out()};
  std::vector<std::string> json = args;
  json.push_back("--json");
  const auto r = Make(json);
  EXPECT_EQ(r.Status, 1) << r.Err;
  EXPECT_TRUE(std::filesystem::exists(home / "out/sh901ic_000.jpg"));
  const TJson j = TJson::parse(r.Out);
  EXPECT_EQ(j["saved"], 1);
  ASSERT_EQ(j["failed"].size(), 1u) << r.Out;
  EXPECT_EQ(j["failed"][0]["name"], "Huge");
  const std::string error = j["failed"][0]["error"];
  for (const char* part : {"Huge: 拡大後の画像が大きすぎます", "8×6", "34463×34463", "30000"})
    EXPECT_NE(error.find(part), std::string::npos) << part << " in " << error;
  EXPECT_TRUE(j.contains("error"));
  EXPECT_NE(r.Err.find(error), std::string::npos) << r.Err;

  std::vector<std::string> again = args;
  again.push_back("--overwrite");
  const auto text = Make(again);
  EXPECT_EQ(text.Status, 1);
  EXPECT_NE(text.Out.find("Huge\t(作成できませんでした) " + error), std::string::npos) << text.Out;
}

// Whatever stops a run before the save, --json still prints one object that
// says why, so that a script never reads an empty document.
TEST_F(CliShell, JsonRunsAlwaysPrintOneObject) {
  WriteBytes(home / "bad.png", "not a picture");
  const std::string list = (home / "tanmatsu_user.lst").string();
  struct TCase {
    const char* What;
    std::vector<std::string> Args;
    const char* Message;
  };
  const TCase cases[] = {
      {"bad picture", {(home / "bad.png").string(), "--handsets", "SH901iC"}, "bad.png"},
      {"unknown handset", {Src(), "--handsets", "NOSUCH"}, "NOSUCH"},
      {"bad list", {Src(), "--handsets", "SH901iC"}, "tanmatsu_user.lst(3行目)"},
      {"bad option", {Src(), "--no-such-option"}, "--no-such-option"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    if (std::string(c.What) == "bad list")
      WriteCp932Lines(
          list, {"TL2", "name\tformat\tsupportformats\twidth\theight\tbit\tcachename\tcache\tbps",
                 "Odd\t6\t010000\t20\t20\t24\t\t0\t9600"});
    std::vector<std::string> args = c.Args;
    args.push_back("--json");
    const auto r = Make(args);
    EXPECT_NE(r.Status, 0);
    const TJson j = TJson::parse(r.Out);
    EXPECT_NE(j.value("error", "").find(c.Message), std::string::npos) << r.Out;
  }
}

// Control characters from a template reach the terminal escaped; the file
// keeps its real name.
TEST_F(CliShell, ControlCharactersAreShownNotSent) {
  const auto r = Make({Src(), "--handsets", "SH901iC", "--out", Out(), "--template", "a\x1b[2Jb"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_TRUE(std::filesystem::exists(home / "out/a\x1b[2Jb.jpg"));
  EXPECT_EQ(r.Out.find('\x1b'), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("a\\x1b[2Jb.jpg"), std::string::npos) << r.Out;
  const auto again =
      Make({Src(), "--handsets", "SH901iC", "--out", Out(), "--template", "a\x1b[2Jb"});
  EXPECT_EQ(again.Status, 1);
  EXPECT_EQ(again.Err.find('\x1b'), std::string::npos) << again.Err;

  // A handset name from the user's list, in every form of the listing.
  WriteCp932Lines(home / "tanmatsu_user.lst",
                  {"TL2", "name\tformat\tsupportformats\twidth\theight\tbit\tcachename\tcache\tbps",
                   "x\x1b[31my\t1\t010000\t200\t200\t24\t\t0\t9600"});
  for (const char* form : {"--tsv", "--names", ""}) {
    std::vector<std::string> args = {"list"};
    if (*form)
      args.push_back(form);
    const auto listed = RunCli(args, home.Path());
    EXPECT_EQ(listed.Status, 0) << form;
    EXPECT_EQ(listed.Out.find('\x1b'), std::string::npos) << form;
    EXPECT_NE(listed.Out.find("x\\x1b[31my"), std::string::npos) << form;
  }
}

// A data folder that is not a folder is warned about once, and the errors
// that it explains say so.
TEST_F(CliShell, UnreadableDataFolderIsNamed) {
  WriteBytes(home / "plain", "x");
  struct TCase {
    std::vector<std::string> Args;
    const char* Error;
  };
  const TCase cases[] = {
      {{"make", Src(), "--set", "S", "--out", Out()}, "そのような作成セットはありません: S ("},
      {{"make", Src(), "--handsets", "MINE", "--out", Out()}, "そのような端末はありません: MINE ("},
      {{"list"}, nullptr},
  };
  const std::string warning = "データフォルダを読めません: " + (home / "plain").string();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Args[0]);
    const auto r = RunCli(c.Args, home / "plain");
    EXPECT_NE(r.Err.find(warning), std::string::npos) << r.Err;
    EXPECT_EQ(r.Err.find(warning), r.Err.rfind(warning)) << "warned once: " << r.Err;
    if (c.Error) {
      EXPECT_EQ(r.Status, 2);
      EXPECT_NE(r.Err.find(c.Error), std::string::npos) << r.Err;
    }
  }
}

// The report names the page only when it was written.
TEST_F(CliShell, PageThatFailedIsNotReportedAsWritten) {
  std::filesystem::create_directory(home / "out/index.html");
  const auto r =
      Make({Src(), "--handsets", "SH901iC", "--out", Out(), "--html", "--json", "--overwrite"});
  EXPECT_EQ(r.Status, 1);
  const TJson j = TJson::parse(r.Out);
  EXPECT_EQ(j["html"], nullptr) << r.Out;
  EXPECT_EQ(j["saved"], 1);
  const TJson dry = TJson::parse(Make({Src(), "--handsets", "SH901iC", "--out", Out() + "/new",
                                       "--html", "--json", "--dry-run"})
                                     .Out);
  EXPECT_EQ(dry["html"], Out() + "/new/index.html");
}

TEST_F(CliShell, MessagesSayWhatIsWrong) {
  const std::string missing = (home / "nothing.png").string();
  auto r = Make({missing, "--all", "--out", Out()});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "mirufo-cli: " + missing + ": ファイルが見つかりません\n");

  r = Make({(home / "out").string(), "--all", "--out", Out()});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("out: 通常のファイルではありません"), std::string::npos) << r.Err;

  WriteBytes(home / "picture.xyz", "not a picture");
  r = Make({(home / "picture.xyz").string(), "--all", "--out", Out()});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("picture.xyz"), std::string::npos) << r.Err;

  // No handsets chosen and no make set saved.
  r = Make({Src(), "--out", Out()});
  EXPECT_EQ(r.Status, 2);
  for (const char* hint : {"--all", "--set", "--handsets"})
    EXPECT_NE(r.Err.find(hint), std::string::npos) << r.Err;
  EXPECT_EQ(Listing(home / "out"), std::vector<std::string>{});
}

TEST_F(CliShell, UnreadableSettingsAreAWarning) {
  const std::string settings("[Save]\r\nFileName=x\0y\r\n", 22); // a NUL byte
  WriteBytes(home / "mirufo.ini", settings);
  auto r = Make({Src(), "--handsets", "SH901iC", "--out", Out()});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Err.find("警告"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("mirufo.ini"), std::string::npos) << r.Err;
  EXPECT_TRUE(std::filesystem::exists(home / "out/sh901ic_000.jpg")) << "the default template";
  EXPECT_EQ(ReadBytes(home / "mirufo.ini"), settings);

  r = Make({Src(), "--handsets", "SH901iC", "--out", Out(), "--overwrite", "--quiet"});
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Err, "");
}

TEST_F(CliShell, JsonIsValidUtf8ForAnyFileName) {
  const std::string source = (home / "bad\xFF名.bmp").string();
  WriteBytes(source, SmallBmp());
  auto r = Make({source, "--handsets", "SH901iC", "--out", Out(), "--template", "$fn", "--json"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const TJson j = TJson::parse(r.Out); // throws on invalid UTF-8
  EXPECT_EQ(j["entries"][0]["file"], "bad\xEF\xBF\xBD名.jpg");
  EXPECT_TRUE(std::filesystem::exists(home / "out/bad\xFF名.jpg")) << "the name keeps its byte";
}

TEST(CliNumbers, DecimalDigitsWithAnOptionalSignOnly) {
  for (const char* good : {"7", "+7", "-2", "007", "100"})
    EXPECT_NO_THROW(cli::StrictInteger("--n", good, -5, 100)) << good;
  EXPECT_EQ(cli::StrictInteger("--n", "+42", 0, 100), 42);
  EXPECT_EQ(cli::StrictInteger("--n", "-3", -5, 100), -3);
  for (const char* bad : {"", " 7", "7 ", "+", "-", "+-7", "--7", "7a", "0x10", "1e2", "7.0", "101",
                          "-6", "99999999999999999999", "\xEF\xBC\x97"})
    EXPECT_THROW(cli::StrictInteger("--n", bad, -5, 100), cli::EUsageError) << bad;
}

TEST_F(CliShell, NumbersAreParsedAlikeForEveryOption) {
  for (std::vector<std::string> args : {std::vector<std::string>{"--quality", " 50"},
                                        {"--sharpen-count", "2 "},
                                        {"--png-level", "0x3"},
                                        {"--colors", "+16x"},
                                        {"--lookat", "1, 2"}}) {
    args.insert(args.begin(), {Src(), "--handsets", "SH901iC", "--dry-run"});
    auto r = Make(args);
    EXPECT_EQ(r.Status, 2) << args[4];
    EXPECT_NE(r.Err.find(args[4]), std::string::npos) << r.Err;
  }
  EXPECT_EQ(Make({Src(), "--handsets", "SH901iC", "--dry-run", "--quality=+50", "--lookat", "+1,2"})
                .Status,
            0);
}

TEST_F(CliShell, QuietPipes) {
  // stderr is a file here, not a terminal: no progress.
  auto r = Make({Src(), "--handsets", "SH901iC,W21CA", "--out", Out()});
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Err, "");
  EXPECT_NE(r.Out.find("sh901ic_000.jpg\t"), std::string::npos);

  r = Make({Src(), "--handsets", "SH901iC,W21CA", "--out", Out(), "--overwrite", "--progress"});
  EXPECT_NE(r.Err.find("作成 1/2"), std::string::npos) << r.Err;

  r = Make({Src(), "--handsets", "SH901iC", "--out", Out(), "--overwrite", "--quiet", "--time"});
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Out + r.Err, "");

  // Errors still show under --quiet.
  r = Make({Src(), "--handsets", "SH901iC", "--out", Out(), "--quiet"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("sh901ic_000.jpg"), std::string::npos);

  // Output that cannot be written fails the run.
  r = Make({Src(), "--handsets", "SH901iC", "--dry-run", "--json"}, {{}, "/dev/full", {}});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("標準出力"), std::string::npos) << r.Err;
  EXPECT_EQ(RunCli({"list"}, home.Path(), {{}, "/dev/full", {}}).Status, 1);
}

} // namespace
} // namespace mirufo
