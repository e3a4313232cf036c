// The whole save run on a working set with made targets, against a real
// temporary folder.
#include "output/save_run.h"
#include "output/tanmatsu_option_list.h"
#include "platform/encoding.h"
#include "platform/errors.h"
#include "platform/interrupt.h"
#include "recording_host.h"
#include "test_handset.h"
#include "test_support.h"

#include <csignal>
#include <gtest/gtest.h>

namespace mirufo {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

using test::TRecordingHost;

TTanmatsuRecord Handset(const char* name, std::uint16_t width, const char* screen = "") {
  TTanmatsuRecord r = test::Screen(name, width, 20);
  r.SetScreen(screen);
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
  // The error names the file that failed and every file written before it.
  const std::string a = (dir / "out/nested/a.jpg").string();
  const std::string b = (dir / "out/nested/b.jpg").string();
  try {
    Run();
    ADD_FAILURE() << "the run should fail";
  } catch (const ESaveFailed& e) {
    const std::string message = e.what();
    EXPECT_EQ(message.rfind(b + ": 保存できませんでした\n", 0), 0u) << message;
    EXPECT_NE(message.find("\nそれまでに保存したファイル (1 個):\n" + a), std::string::npos)
        << message;
    EXPECT_EQ(e.Failed(), dir / "out/nested/b.jpg");
    EXPECT_EQ(e.Written(), std::vector<std::filesystem::path>{a});
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "out/nested/a.jpg"));
  EXPECT_FALSE(std::filesystem::exists(dir / "out/nested/c.jpg"));
  EXPECT_FALSE(std::filesystem::exists(dir / "out/nested/index.html"));
  EXPECT_EQ(report.Written, std::vector<std::filesystem::path>{a});
  EXPECT_EQ(report.Failed, dir / "out/nested/b.jpg");
  EXPECT_EQ(host.progressDone, 1);
  EXPECT_FALSE(host.clipboard);

  // Failing at the first file says that nothing was written.
  std::filesystem::remove(dir / "out/nested/a.jpg");
  std::filesystem::create_directories(dir / "out/nested/a.jpg");
  host.ticks = std::vector<bool>{true, true};
  try {
    Run();
    ADD_FAILURE() << "the run should fail";
  } catch (const ESaveFailed& e) {
    EXPECT_NE(std::string(e.what()).find("\n保存したファイルはありません"), std::string::npos)
        << e.what();
    EXPECT_TRUE(e.Written().empty());
  }
}

// Another program that takes a name after the overwrite check (here: just
// before the run writes it) keeps its file; the run stops there, naming it,
// and reports as written only the files whose bytes are in place.
TEST_F(SaveRunPlan, NameTakenDuringTheRunIsNeverReplaced) {
  struct TRacingHost : TRecordingHost {
    void Progress(int position, int maximum, const std::string& label) override {
      TRecordingHost::Progress(position, maximum, label);
      if (label == "B")
        WriteBytes(racer, "theirs");
    }
    std::filesystem::path racer;
  } racing;
  racing.racer = dir / "out/nested/b.jpg";
  set.BuildSavePlan(true);
  try {
    RunSave(set, options, racing, report);
    ADD_FAILURE() << "the run should stop at b.jpg";
  } catch (const ESaveFailed& e) {
    EXPECT_EQ(e.Failed(), racing.racer);
    EXPECT_NE(std::string(e.what()).find("同名のファイルが既にあります"), std::string::npos)
        << e.what();
  }
  EXPECT_EQ(ReadBytes(racing.racer), "theirs");
  EXPECT_EQ(report.Written, std::vector<std::filesystem::path>{dir / "out/nested/a.jpg"});
  EXPECT_FALSE(std::filesystem::exists(dir / "out/nested/c.jpg"));

  // Asked to replace every file, the run replaces the one that appeared too
  // and goes on to the end.
  std::filesystem::remove(racing.racer);
  options.ReplaceFilesThatAppear = true;
  EXPECT_EQ(RunSave(set, options, racing, report), TSaveOutcome::Saved);
  EXPECT_NE(ReadBytes(racing.racer), "theirs");
  EXPECT_EQ(report.Written.size(), 3u);
}

// A signal while the files are written: the run stops before the next file
// (or drops the one being written), the files written stay, no temporary
// file is left, and nothing else is written.
TEST_F(SaveRunPlan, ASignalStopsTheRunBetweenFiles) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    std::filesystem::remove_all(dir / "out");
    struct TSignallingHost : TRecordingHost {
      void Progress(int position, int maximum, const std::string& label) override {
        TRecordingHost::Progress(position, maximum, label);
        if (label == "B")
          raise(Signal);
      }
      int Signal = 0;
    } signalling;
    signalling.Signal = signal;
    set.BuildSavePlan(true);
    options.Html.Save = true;
    TInterruptGuard guard;
    try {
      RunSave(set, options, signalling, report);
      ADD_FAILURE() << "the run should stop";
    } catch (const EInterrupted& e) {
      EXPECT_EQ(e.ExitStatus(), 128 + signal);
    }
    EXPECT_EQ(report.Written, std::vector<std::filesystem::path>{dir / "out/nested/a.jpg"});
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "out/nested"))
      names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"a.jpg"});
    EXPECT_EQ(signalling.progressDone, 1);
  }
}

// A symbolic link at a name, dangling or live, stands there like a file: it
// is listed for the overwrite question, and overwriting replaces the link
// itself, never the file it points to. The dry run judges it alike.
TEST_F(SaveRunPlan, LinksAtANameAreReplacedNotWrittenThrough) {
  set.BuildSavePlan(true);
  std::filesystem::create_directories(dir / "out/nested");
  WriteBytes(dir / "elsewhere", "theirs");
  std::filesystem::create_symlink(dir / "nowhere", dir / "out/nested/a.jpg");
  std::filesystem::create_symlink(dir / "elsewhere", dir / "out/nested/b.jpg");
  host.cancelOverwrite = true;
  EXPECT_EQ(CheckSave(set, options, host), TSaveOutcome::Cancelled);
  EXPECT_EQ(host.listed.size(), 2u);
  host.cancelOverwrite = false;
  EXPECT_EQ(CheckSave(set, options, host), TSaveOutcome::Saved);
  EXPECT_EQ(Run(), TSaveOutcome::Saved);
  for (const char* name : {"a.jpg", "b.jpg"})
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "out/nested" / name)) << name;
  EXPECT_EQ(ReadBytes(dir / "elsewhere"), "theirs");
  EXPECT_FALSE(std::filesystem::exists(dir / "nowhere"));
}

// The extension element follows whatever the user typed, also a template
// that ends in "$" (which used to swallow the "$" of "$ex").
TEST_F(SaveRunPlan, EveryNameEndsInTheExtension) {
  set.BuildSavePlan(true);
  options.Folder = dir.Path().string();
  for (const char* templ : {"$tn$", "$tn$$$"}) {
    options.Template = templ;
    host.ticks = std::vector<bool>{true, true, true};
    EXPECT_EQ(Run(), TSaveOutcome::Saved);
    for (int s = 0; s < set.SaveCount(); ++s) {
      const std::string& name = set.FileNameOf(s);
      EXPECT_TRUE(name.ends_with(".jpg")) << templ << " gave " << name;
      EXPECT_TRUE(std::filesystem::exists(dir / name)) << name;
    }
  }
  EXPECT_EQ(set.FileNameOf(0), "a$$.jpg");
}

// An empty folder text meant the root folder; it is refused before anything
// is written.
TEST_F(SaveRunPlan, EmptyFolderIsRefused) {
  TRecordingHost refusing;
  EXPECT_FALSE(EnsureFolder("", refusing));
  ASSERT_EQ(refusing.asked.size(), 1u);
  EXPECT_EQ(refusing.asked[0], "保存先フォルダが指定されていません");

  // Should the run get as far as writing, the host stops it there.
  struct TNoWriteHost : TRecordingHost {
    void Progress(int, int, const std::string& label) override {
      throw EMirufoError("would write " + label);
    }
  } noWrite;
  set.BuildSavePlan(true);
  options.Folder = "";
  options.Html.Save = true;
  EXPECT_EQ(RunSave(set, options, noWrite, report), TSaveOutcome::Stopped);
  EXPECT_EQ(noWrite.asked, std::vector<std::string>{"保存先フォルダが指定されていません"});
  EXPECT_TRUE(report.Written.empty());
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
