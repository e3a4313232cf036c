// The save page's rules without windows: its settings keys and defaults, the
// run options made from them, the folder text ("~", dropped paths, the
// default folder), the list rows and the text of a failed save.
#include "output/save_file_list.h"
#include "output/save_page_settings.h"
#include "output/tanmatsu_option_list.h"
#include "platform/ini_file.h"
#include "test_handset.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

using test::TempDir;

TEST(SavePageSettings, DefaultsAndRoundTrip) {
  TempDir dir;
  TIniFile ini(dir / "mirufo.ini");
  TSavePageSettings settings;
  settings.Load(ini, "/default/");
  EXPECT_EQ(settings.Folder, "/default/");
  EXPECT_EQ(settings.FileName, "$tn_$sn3");
  EXPECT_FALSE(settings.AllowDuplicate);
  EXPECT_FALSE(settings.HtmlSave);
  EXPECT_TRUE(settings.HtmlWriteGenerator);
  EXPECT_FALSE(settings.CopyFileNames);
  EXPECT_FALSE(settings.SeparateTab);

  settings = {"~/out", "$fn", true, true, "<題>", false, true, true};
  settings.Save(ini);
  EXPECT_EQ(ini.ReadString("Save", "HTML.WriteGenerator", ""), "0");
  EXPECT_EQ(ini.ReadString("Save", "HTML.Save", ""), "1");
  TSavePageSettings read;
  read.Load(ini, "/default/");
  EXPECT_EQ(read.Folder, "~/out");
  EXPECT_EQ(read.FileName, "$fn");
  EXPECT_EQ(read.HtmlTitle, "<題>");
  EXPECT_TRUE(read.AllowDuplicate && read.HtmlSave && read.CopyFileNames && read.SeparateTab);
  EXPECT_FALSE(read.HtmlWriteGenerator);

  // A present but empty template is kept empty, as typed.
  ini.WriteString("Save", "FileName", "");
  read.Load(ini, "/default/");
  EXPECT_EQ(read.FileName, "");
}

TEST(SavePageSettings, RunOptions) {
  TSavePageSettings settings{"~/pics", "$tn", false, true, "T", false, true, true};
  const TSaveRunOptions options = settings.RunOptions("/src/a.jpg", "ミルフォ", "/home/u");
  EXPECT_EQ(options.Folder, "/home/u/pics");
  EXPECT_EQ(options.Template, "$tn");
  EXPECT_EQ(options.SourceFileName, "/src/a.jpg");
  EXPECT_TRUE(options.Html.Save);
  EXPECT_EQ(options.Html.FileName, "index.html");
  EXPECT_EQ(options.Html.Title, "T");
  EXPECT_FALSE(options.Html.WriteGenerator);
  EXPECT_TRUE(options.CopyFileNames && options.SeparateTab);
  EXPECT_EQ(options.ApplicationTitle, "ミルフォ");
}

TEST(SavePageSettings, ExpandFolderText) {
  struct Row {
    const char* text;
    const char* home;
    const char* expected;
  };
  for (const Row& row : {
           Row{"~", "/home/u", "/home/u"},
           Row{"~/", "/home/u", "/home/u/"},
           Row{"~/a/b", "/home/u/", "/home/u/a/b"},
           Row{"~user/a", "/home/u", "~user/a"},
           Row{"/tmp/~/a", "/home/u", "/tmp/~/a"},
           Row{"a~", "/home/u", "a~"},
           Row{"~/a", "", "~/a"},
           Row{"", "/home/u", ""},
       })
    EXPECT_EQ(ExpandFolderText(row.text, row.home), row.expected) << row.text;
}

TEST(SavePageSettings, DroppedAndDefaultFolders) {
  TempDir dir;
  std::filesystem::create_directories(dir / "pics");
  test::WriteBytes(dir / "pics/a.jpg", "x");
  EXPECT_EQ(DroppedFolder(dir / "pics"), (dir / "pics").string());
  EXPECT_EQ(DroppedFolder(dir / "pics/a.jpg"), (dir / "pics").string());
  // Gone meanwhile: its folder, as for a file.
  EXPECT_EQ(DroppedFolder(dir / "pics/gone"), (dir / "pics").string());

  EXPECT_EQ(DefaultSaveFolder(dir.Path(), "/fallback"), dir.Path().string() + "/");
  EXPECT_EQ(DefaultSaveFolder(dir / "missing", "/fallback"), "/fallback/");
  EXPECT_EQ(DefaultSaveFolder("", "/fallback/"), "/fallback/");
}

TTanmatsuRecord Handset(const char* name, std::uint16_t width) {
  return test::Screen(name, width, 20, ifBMP, 24);
}

TEST(SaveFileList, RowsColourClashesRedAndEmptyNamesGrey) {
  TTanmatsuOptionList set;
  TBitmap picture(30, 30);
  picture.Fill(RGB(10, 20, 30));
  set.Maker().SetSource(picture);
  set.AddHandset(Handset("A", 20));
  set.AddHandset(Handset("B", 25));
  set.Maker().MakeAll();
  set.BuildSavePlan(true);

  set.MakeFileNames("$tn$ex", "");
  EXPECT_EQ(SaveFileRow(set, 0).Text, "a.bmp");
  EXPECT_EQ(SaveFileRow(set, 0).Color, scWindowText);
  set.MakeFileNames("x$ex", "");
  EXPECT_EQ(SaveFileRow(set, 1).Color, scClash);
  // Two empty names clash: red wins, the text says the name is empty.
  set.MakeFileNames("", "");
  EXPECT_EQ(SaveFileRow(set, 0).Text, "（ファイル名が空です）");
  EXPECT_EQ(SaveFileRow(set, 0).Color, scClash);
  set.SetSelected(1, false);
  set.BuildSavePlan(true);
  set.MakeFileNames("", "");
  EXPECT_EQ(SaveFileRow(set, 0).Color, scGrayText);
}

TEST(SaveFileList, FailureTextListsWhatWasWrittenOnce) {
  TSaveReport report;
  EXPECT_EQ(SaveFailureText("/o/a.bmp: full", report),
            "/o/a.bmp: full\n保存したファイルはありません");
  report.Written = {"/o/a.bmp", "/o/b.bmp"};
  EXPECT_EQ(SaveFailureText("/o/c.bmp: full", report),
            "/o/c.bmp: full\nそれまでに保存したファイル (2 個):\n/o/a.bmp\n/o/b.bmp");
  // A message that lists them already is shown as it is.
  const std::string listed = "/o/c.bmp: 保存できませんでした\nfull\nそれまでに保存したファイル "
                             "(2 個):\n/o/a.bmp\n/o/b.bmp";
  EXPECT_EQ(SaveFailureText(listed, report), listed);
  // A long list keeps its first lines and counts the rest.
  EXPECT_EQ(SaveFailureText(listed, report, 3),
            "/o/c.bmp: 保存できませんでした\nfull\nそれまでに保存したファイル (2 個):\n…ほか 2 個");
  EXPECT_EQ(SaveFailureText(listed, report, 4),
            "/o/c.bmp: 保存できませんでした\nfull\nそれまでに保存したファイル "
            "(2 個):\n/o/a.bmp\n…ほか 1 個");
  EXPECT_EQ(SaveFailureText(listed, report, 5), listed);
}

} // namespace
} // namespace mirufo
