// The whole save run on a working set with made targets, against a real
// temporary folder.
#include "output/save_run.h"
#include "output/tanmatsu_option_list.h"
#include "platform/encoding.h"
#include "platform/errors.h"
#include "recording_host.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

using test::TRecordingHost;

TTanmatsuRecord Handset(const char* name, std::uint16_t width, const char* screen = "") {
  TTanmatsuRecord r;
  r.SetName(name);
  r.SetScreen(screen);
  r.Format = ifJPEG;
  r.SupportFormats = {ifJPEG};
  r.Width = width;
  r.Height = 20;
  r.Bit = 16;
  r.Cache = 20;
  return r;
}

class SaveRunPlan : public testing::Test {
protected:
  void SetUp() override {
    TBitmap picture(30, 30);
    picture.Fill(RGB(200, 100, 50));
    set.Maker().SetSource(picture);
    set.AddHandset(Handset("A", 20));
    set.AddHandset(Handset("B", 20, "背面"));
    set.AddHandset(Handset("C", 25));
    set.Maker().MakeAll();
    options.Folder = (dir / "out/nested").string();
    options.Template = "$tn";
  }

  TSaveOutcome Run() { return RunSave(set, options, host, report); }

  TempDir dir;
  TTanmatsuOptionList set;
  TSaveRunOptions options;
  TRecordingHost host;
  TSaveReport report;
};

TEST_F(SaveRunPlan, FoldedImagesOneFileManyLinks) {
  set.BuildSavePlan(false);
  options.Html.Save = true;
  options.Html.Title = "<i>t</i>";
  options.CopyFileNames = true;
  EXPECT_EQ(Run(), TSaveOutcome::Saved);
  ASSERT_EQ(host.asked.size(), 1u) << "only the folder question";
  EXPECT_TRUE(std::filesystem::exists(dir / "out/nested/a.jpg"));
  EXPECT_FALSE(std::filesystem::exists(dir / "out/nested/b.jpg"));
  EXPECT_TRUE(std::filesystem::exists(dir / "out/nested/c.jpg"));
  EXPECT_EQ(ReadBytes(dir / "out/nested/a.jpg").size(),
            static_cast<std::size_t>(set.TargetOf(0)->FileSize()));
  std::string html = Cp932ToUtf8(ReadBytes(dir / "out/nested/index.html"));
  EXPECT_NE(html.find("<li><a href=\"a.jpg\">A</a>"), std::string::npos);
  EXPECT_NE(html.find("<li><a href=\"a.jpg\">B(背面)</a>"), std::string::npos);
  EXPECT_NE(html.find("<li><a href=\"c.jpg\">C</a>"), std::string::npos);
  EXPECT_NE(html.find("\t\t<i>t</i><br>"), std::string::npos);
  EXPECT_EQ(host.clipboard, "a.jpg\r\nc.jpg");
  EXPECT_EQ(report.Written.size(), 3u);
  EXPECT_TRUE(report.HtmlWritten);
  EXPECT_EQ(host.progress, (std::vector<std::string>{"0/3 A", "1/3 C"}));
}

TEST_F(SaveRunPlan, ExistingFilesAreOfferedAndUntickedOnesKept) {
  set.BuildSavePlan(true);
  std::filesystem::create_directories(dir / "out/nested");
  WriteBytes(dir / "out/nested/b.jpg", "keep me");
  WriteBytes(dir / "out/nested/index.html", "old page");
  options.Html.Save = true;
  host.ticks = std::vector<bool>{true, false}; // b.jpg yes, index.html no
  EXPECT_EQ(Run(), TSaveOutcome::Saved);
  EXPECT_EQ(host.listed.size(), 2u);
  EXPECT_NE(ReadBytes(dir / "out/nested/b.jpg"), "keep me");
  EXPECT_EQ(ReadBytes(dir / "out/nested/index.html"), "old page");
  EXPECT_FALSE(report.HtmlWritten);

  // Now a, b, c and the page exist: keep b only.
  host.ticks = std::vector<bool>{true, false, true, true};
  WriteBytes(dir / "out/nested/b.jpg", "keep me");
  EXPECT_EQ(Run(), TSaveOutcome::Saved);
  EXPECT_EQ(ReadBytes(dir / "out/nested/b.jpg"), "keep me");
  EXPECT_EQ(report.Skipped, (std::vector<bool>{false, true, false}));
  EXPECT_NE(ReadBytes(dir / "out/nested/index.html"), "old page");
}

TEST_F(SaveRunPlan, CancelledOverwriteWritesNothingButCopiesNames) {
  set.BuildSavePlan(true);
  std::filesystem::create_directories(dir / "out/nested");
  WriteBytes(dir / "out/nested/a.jpg", "old");
  host.cancelOverwrite = true;
  options.CopyFileNames = true;
  options.SeparateTab = true;
  EXPECT_EQ(Run(), TSaveOutcome::Cancelled);
  EXPECT_EQ(ReadBytes(dir / "out/nested/a.jpg"), "old");
  EXPECT_FALSE(std::filesystem::exists(dir / "out/nested/b.jpg"));
  EXPECT_EQ(host.clipboard, "a.jpg\tb.jpg\tc.jpg");
}

TEST_F(SaveRunPlan, AWriteThatFailsStopsTheRunAndKeepsEarlierFiles) {
  set.BuildSavePlan(true);
  std::filesystem::create_directories(dir / "out/nested/b.jpg"); // a folder in the way
  host.ticks = std::vector<bool>{true};
  options.Html.Save = true;
  options.CopyFileNames = true;
  try {
    Run();
    ADD_FAILURE() << "the run should fail";
  } catch (const EMirufoError& e) {
    EXPECT_NE(std::string(e.what()).find("b.jpg"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "out/nested/a.jpg"));
  EXPECT_FALSE(std::filesystem::exists(dir / "out/nested/c.jpg"));
  EXPECT_FALSE(std::filesystem::exists(dir / "out/nested/index.html"));
  EXPECT_EQ(report.Written, std::vector<std::filesystem::path>{dir / "out/nested/a.jpg"});
  EXPECT_EQ(host.progressDone, 1);
  EXPECT_FALSE(host.clipboard);
}

TEST_F(SaveRunPlan, ChecksThatStopTheRunBeforeWriting) {
  // Nothing to save.
  TTanmatsuOptionList empty;
  EXPECT_EQ(RunSave(empty, options, host, report), TSaveOutcome::Stopped);
  EXPECT_EQ(host.asked.back(), "保存する待受画像がありません");

  // Clashing names.
  set.BuildSavePlan(true);
  options.Template = "same";
  EXPECT_EQ(Run(), TSaveOutcome::Stopped);
  EXPECT_EQ(host.asked.back(), "ファイル名がバッティングしています");

  // Unfinished targets: declining stops, accepting saves the made ones.
  options.Template = "$tn";
  set.SetSelected(2, false);
  set.SetSelected(2, true);
  set.BuildSavePlan(true);
  host.answer = TDialogResult::Cancel;
  EXPECT_EQ(Run(), TSaveOutcome::Stopped);
  EXPECT_EQ(host.asked.back(), "未完成の待受画像があります。完成済みの待受画像だけ保存しますか？");
  EXPECT_FALSE(std::filesystem::exists(dir / "out"));

  // Declining to create the folder.
  set.Maker().MakeAll();
  set.BuildSavePlan(true);
  EXPECT_EQ(Run(), TSaveOutcome::Stopped);
  EXPECT_FALSE(std::filesystem::exists(dir / "out"));
}

TEST(SaveRun, NamesThatWouldWriteToTheFolderItself) {
  EXPECT_FALSE(IsUsableFileName(""));
  EXPECT_FALSE(IsUsableFileName("."));
  EXPECT_FALSE(IsUsableFileName(". .."));
  EXPECT_TRUE(IsUsableFileName(".jpg"));
  EXPECT_TRUE(IsUsableFileName("a"));
}

} // namespace
} // namespace mirufo
