#include "output/save_run.h"
#include "platform/encoding.h"
#include "recording_host.h"
#include "test_support.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace mirufo {
namespace {

using test::TempDir;

using TScriptedHost = test::TRecordingHost;

TEST(SaveRun, EnsureFolderAsksThenCreatesEveryLevel) {
  TempDir dir;
  TScriptedHost host;
  std::string folder = (dir / "a/b/c").string();
  EXPECT_TRUE(EnsureFolder(folder, host));
  ASSERT_EQ(host.asked.size(), 1u);
  EXPECT_EQ(host.asked[0], folder + "/\rこのフォルダは存在しません。新しく作成しますか？");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "a/b/c"));
  EXPECT_TRUE(EnsureFolder(folder, host)); // exists now: no question
  EXPECT_EQ(host.asked.size(), 1u);

  host.answer = TDialogResult::Cancel;
  EXPECT_FALSE(EnsureFolder((dir / "x").string(), host));
  EXPECT_FALSE(std::filesystem::exists(dir / "x"));
}

TEST(SaveRun, FolderThatCannotBeCreatedIsReported) {
  TempDir dir;
  test::WriteBytes(dir / "file", "x");
  TScriptedHost host;
  std::string folder = (dir / "file/sub").string();
  EXPECT_FALSE(EnsureFolder(folder, host));
  ASSERT_EQ(host.asked.size(), 2u);
  EXPECT_EQ(host.asked[1], "'" + folder + "/'\rフォルダの作成に失敗しました");
}

TEST(SaveRun, OverwriteChoicePerFile) {
  TempDir dir;
  test::WriteBytes(dir / "B.jpg", "old");
  test::WriteBytes(dir / "index.html", "old");
  std::vector<std::filesystem::path> paths = {dir / "a.jpg", dir / "B.jpg", dir / "c.jpg",
                                              dir / "index.html"};
  TScriptedHost host;
  host.ticks = std::vector<bool>{true, false}; // B.jpg ticked, index.html not
  auto write = DecideOverwrites(paths, host);
  ASSERT_TRUE(write);
  EXPECT_EQ(*write, (std::vector<bool>{true, true, true, false}));
  EXPECT_EQ(host.listed, (std::vector<std::filesystem::path>{dir / "B.jpg", dir / "index.html"}));

  host.cancelOverwrite = true;
  EXPECT_FALSE(DecideOverwrites(paths, host));

  TempDir empty;
  TScriptedHost silent;
  auto all = DecideOverwrites({empty / "x", empty / "y"}, silent);
  ASSERT_TRUE(all);
  EXPECT_EQ(*all, (std::vector<bool>{true, true}));
  EXPECT_TRUE(silent.listed.empty());
}

TEST(SaveRun, ClipboardText) {
  EXPECT_EQ(ClipboardText({"a.jpg", "b.png"}, true), "a.jpg\tb.png");
  EXPECT_EQ(ClipboardText({"a.jpg", "b.png"}, false), "a.jpg\r\nb.png");
  EXPECT_EQ(ClipboardText({}, false), "");
}

TEST(SaveRun, PathsShortenFolderByFolder) {
  // A width that never fits shows every form the path passes through.
  std::vector<std::string> forms;
  auto neverFits = [&forms](const std::string& s) {
    forms.push_back(s);
    return 1000;
  };
  const std::string path = "C:\\aaa\\bbb\\ccc\\file.png";
  EXPECT_EQ(ShortenPath(path, 10, neverFits, '\\'), "file.png");
  EXPECT_EQ(forms,
            (std::vector<std::string>{path, "C:\\...\\bbb\\ccc\\file.png", "C:\\...\\ccc\\file.png",
                                      "C:\\...\\file.png", "...\\file.png"}));
  auto width = [](const std::string& s) { return static_cast<int>(s.size()); };
  EXPECT_EQ(ShortenPath("/home/u/out/f.jpg", 14, width), "/.../out/f.jpg");
  EXPECT_EQ(ShortenPath("/home/u/out/f.jpg", 0, width), "f.jpg");
  EXPECT_EQ(ShortenPath("f.jpg", 0, width), "f.jpg");
}

// A link must open its file: a name that CP932 cannot hold (it would be
// written with "?") is linked percent-encoded from its UTF-8 bytes; other
// names are written as they are.
TEST(StandbyHTML, LinksToNamesThatCp932CannotHoldArePercentEncoded) {
  const struct {
    std::string Name;
    std::string Href;
  } cases[] = {
      {"emoji\xF0\x9F\x98\x80.jpg", "emoji%F0%9F%98%80.jpg"},
      {"bad\xFF name.jpg", "bad%FF%20name.jpg"},
      {"ソ表 100%.jpg", "ソ表 100%.jpg"},
      {"a b&c.jpg", "a b&c.jpg"},
  };
  for (const auto& c : cases) {
    TStandbyHTMLOption option;
    option.WriteGenerator = false;
    std::vector<std::string> lines = BuildStandbyHTML(option, {{"N", "", c.Name}}, "");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "\t\t\t<li><a href=\"" + c.Href + "\">N</a>"),
              lines.end())
        << c.Name;
  }
}

TEST(StandbyHTML, ExactBytesOfASmallPage) {
  TempDir dir;
  TStandbyHTMLOption option;
  option.Save = true;
  option.Title = "<b>待受</b>";
  std::vector<TStandbyHTMLItem> items = {{"F901iC", "メイン", "f901ic_000.jpg"},
                                         {"F901iC", "背面", std::nullopt},
                                         {"W21CA", "", "a.png"}};
  WriteStandbyHTML(dir / "index.html", option, items, "ミルフォ");
  const std::string expected = "<html>\r\n"
                               "\r\n"
                               "\t<head>\r\n"
                               "\t\t<meta http-equiv=\"content-type\" "
                               "content=\"text/html;charset=Shift_JIS\">\r\n"
                               "\t\t<meta name=\"generator\" content=\"ミルフォ\">\r\n"
                               "\t\t<title><b>待受</b></title>\r\n"
                               "\t</head>\r\n"
                               "\r\n"
                               "\t<body>\r\n"
                               "\t\t<b>待受</b><br>\r\n"
                               "\t\t<ul>\r\n"
                               "\t\t\t<li><a href=\"f901ic_000.jpg\">F901iC(メイン)</a>\r\n"
                               "\t\t\t<li>F901iC(背面)\r\n"
                               "\t\t\t<li><a href=\"a.png\">W21CA</a>\r\n"
                               "\t\t</ul>\r\n"
                               "\t</body>\r\n"
                               "\r\n"
                               "</html>\r\n";
  EXPECT_EQ(test::ReadBytes(dir / "index.html"), Utf8ToCp932(expected));

  option.Title.clear();
  option.WriteGenerator = false;
  auto lines = BuildStandbyHTML(option, {}, "ミルフォ");
  EXPECT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[4], "\t\t<title></title>");
  EXPECT_EQ(lines[8], "\t\t<ul>");
}

} // namespace
} // namespace mirufo
