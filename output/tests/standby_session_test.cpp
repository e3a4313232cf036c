// The main window's state without windows: the order in which pages hear of
// changes, the settings every target carries, the main window's keys, the
// make run's refusals, cancel and errors, and the page button rules.
#include "output/standby_box_list.h"
#include "output/standby_session.h"
#include "output/tanmatsu_option_list.h"
#include "platform/errors.h"
#include "platform/ini_file.h"
#include "test_handset.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

TTanmatsuRecord Handset(const char* name, int width = 120) {
  TTanmatsuRecord r = test::Screen(name, width, 80, ifBMP, 24);
  r.Carrier = crUser;
  return r;
}

// Three handsets, all selected; the last one's screen has no width when
// asked, so that making it fails.
void Fill(TStandbySession& session, bool brokenLast = false) {
  TTanmatsuList list;
  list.Add(Handset("A"));
  list.Add(Handset("B"));
  list.Add(Handset("C", brokenLast ? 0 : 120));
  session.WorkingSet().MergeList(list, true);
}

TBitmap Picture() {
  TBitmap b(64, 48);
  b.Fill(0x00336699);
  return b;
}

// Records every hook call as "<page>:<hook>".
class TRecorder : public TSessionHooks {
public:
  TRecorder(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
  void SelectionChanged(std::size_t index, bool selected) override {
    log_.push_back(name_ + ":changed " + std::to_string(index) + (selected ? "+" : "-"));
  }
  void SelectionUpdated() override { log_.push_back(name_ + ":updated"); }
  void SourceImageChanged() override { log_.push_back(name_ + ":source"); }
  void TargetMade(int index) override {
    log_.push_back(name_ + ":made " + std::to_string(index));
    if (OnMade)
      OnMade();
  }
  std::function<void()> OnMade;

private:
  std::string name_;
  std::vector<std::string>& log_;
};

struct TSessionTest : testing::Test {
  TStandbySession session;
  std::vector<std::string> log;
  TRecorder first{"1", log};
  TRecorder second{"2", log};
  void SetUp() override {
    Fill(session);
    session.AddHooks(&first);
    session.AddHooks(&second);
  }
};

TEST_F(TSessionTest, PagesHearOfSelectionInTheirOrder) {
  session.SelectHandset(1, false);
  EXPECT_EQ(log,
            (std::vector<std::string>{"1:changed 1-", "1:updated", "2:changed 1-", "2:updated"}));
  EXPECT_FALSE(session.IsSelected(1));
  log.clear();
  session.SelectHandsets({1, 0}, true);
  EXPECT_EQ(log, (std::vector<std::string>{"1:changed 1+", "2:changed 1+", "1:changed 0+",
                                           "2:changed 0+", "1:updated", "2:updated"}));
  log.clear();
  // Unchanged handsets are reported too.
  session.ApplySelection({true, false});
  EXPECT_EQ(
      log, (std::vector<std::string>{"1:changed 0+", "2:changed 0+", "1:changed 1-", "2:changed 1-",
                                     "1:changed 2-", "2:changed 2-", "1:updated", "2:updated"}));
  EXPECT_EQ(session.WorkingSet().TargetCount(), 1);
}

TEST_F(TSessionTest, SelectedTargetsCarryTheSharedSettings) {
  session.SelectHandset(0, false);
  session.SetComment(std::string(300, 'x'));
  session.SetKDDICopyright(false);
  session.SelectHandset(0, true);
  for (int t = 0; t < session.WorkingSet().TargetCount(); ++t) {
    const TStandbySpecification& target = *session.WorkingSet().Maker().Items(t);
    EXPECT_EQ(target.FormatOptions().Comment, std::string(255, 'x'));
    EXPECT_FALSE(target.FormatOptions().Copyright);
  }
  EXPECT_EQ(session.WorkingSet().TargetOf(0)->Decorators(), &session.Decorators());
  EXPECT_EQ(session.CommentText().size(), 300u) << "the session keeps the whole text";
}

TEST(StandbySession, SettingsKeysAndDefaults) {
  test::TempDir dir;
  {
    TStandbySession session;
    TIniFile empty(dir / "none.ini");
    session.LoadSettings(empty);
    EXPECT_EQ(session.CommentText(), "powered by ミルフォ");
    EXPECT_TRUE(session.KDDICopyright());
    EXPECT_FALSE(session.BestFit());
    EXPECT_EQ(session.SourceFileName(), "");
  }
  test::WriteBytes(dir / "a.ini", "[standby]\r\nComment=\r\nKDDICopyright=0x0\r\nBestFit=1\r\n"
                                  "[SourceImage]\r\nFileName=/p/photo.jpg\r\n");
  TStandbySession session;
  Fill(session);
  session.LoadSettings(TIniFile(dir / "a.ini"));
  EXPECT_EQ(session.CommentText(), "");
  EXPECT_FALSE(session.KDDICopyright());
  EXPECT_EQ(session.SourceFileName(), "/p/photo.jpg");
  EXPECT_FALSE(session.WorkingSet().Maker().Items(2)->FormatOptions().Copyright);
  EXPECT_TRUE(session.WorkingSet().Maker().Items(2)->FormatOptions().BestFit);

  session.SetComment("こんにちは");
  session.SetKDDICopyright(true);
  TIniFile out(dir / "a.ini");
  session.SaveSettings(out);
  EXPECT_EQ(out.ReadString("Standby", "Comment", "?"), "こんにちは");
  EXPECT_EQ(out.ReadString("Standby", "KDDICopyright", "?"), "1");
  EXPECT_EQ(out.ReadString("Standby", "BestFit", "?"), "1");
  EXPECT_TRUE(out.ValueExists("Standby", "Calendar.Draw"));
}

TEST_F(TSessionTest, SourceChangesReachEveryPage) {
  EXPECT_TRUE(session.IsSourceEmpty());
  session.SetSourceImage(Picture());
  session.SetLookAtPoint({3, 4});
  EXPECT_FALSE(session.IsSourceEmpty());
  EXPECT_EQ(session.LookAtPoint(), (TLookAtPoint{3, 4}));
  EXPECT_EQ(log, (std::vector<std::string>{"1:source", "2:source", "1:source", "2:source"}));
}

TEST_F(TSessionTest, MakeRunRefusals) {
  auto refusal = session.CheckMakeAll();
  ASSERT_TRUE(refusal);
  EXPECT_STREQ(refusal->Message, "元画像が用意されていません");
  EXPECT_STREQ(refusal->Caption, "すいません");
  session.SetSourceImage(Picture());
  session.ApplySelection({});
  refusal = session.CheckMakeAll();
  ASSERT_TRUE(refusal);
  EXPECT_STREQ(refusal->Message, "作成する待受画像がありません");
  EXPECT_STREQ(refusal->Caption, "そりゃ失礼");
  session.SelectHandset(0, true);
  EXPECT_FALSE(session.CheckMakeAll());
}

TEST_F(TSessionTest, CancelAfterTheFirstTargetKeepsItMade) {
  session.SetSourceImage(Picture());
  log.clear();
  int nestedRuns = 0;
  first.OnMade = [&] {
    EXPECT_TRUE(session.IsMaking());
    session.MakeAll(nullptr, [&] { ++nestedRuns; }); // refused while running
    session.SelectHandset(2, false);
    session.ApplySelection({});
    session.SelectHandsets({1}, false);
    session.SetSourceImage(TBitmap(8, 8));
    session.SetLookAtPoint({1, 1});
    session.AbortMaking();
  };
  int lastPercent = -1;
  session.MakeAll([&](int percent, const std::string&) { lastPercent = percent; }, nullptr);
  EXPECT_FALSE(session.IsMaking());
  EXPECT_EQ(nestedRuns, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"1:made 0", "2:made 0"}));
  EXPECT_EQ(session.WorkingSet().CompletedCount(), 1);
  EXPECT_EQ(session.WorkingSet().TargetCount(), 3) << "no selection change during the run";
  EXPECT_EQ(session.SourceBitmap().Width(), Picture().Width()) << "nor a new picture";
  EXPECT_NE(session.LookAtPoint().X, 1);
  EXPECT_EQ(lastPercent, 100);
  first.OnMade = nullptr;
  session.MakeAll(nullptr, nullptr);
  EXPECT_EQ(session.WorkingSet().CompletedCount(), 3);
}

TEST(StandbySession, ATargetThatCannotBeMadeKeepsItsErrorAndTheRunGoesOn) {
  TStandbySession session;
  Fill(session, true);
  session.WorkingSet().AddHandset(Handset("D")); // after the broken one
  session.SetSourceImage(Picture());
  try {
    session.MakeAll(nullptr, nullptr);
    ADD_FAILURE() << "the run tells of the target it could not make";
  } catch (const EMirufoError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("C: 画面サイズが0", 0), 0u) << e.what();
  }
  EXPECT_FALSE(session.IsMaking());
  EXPECT_EQ(session.WorkingSet().CompletedCount(), 3);
  const TStandbySpecification& broken = *session.WorkingSet().TargetOf(2);
  EXPECT_FALSE(broken.IsMade());
  EXPECT_NE(broken.MakeError().find("C: 画面サイズが0"), std::string::npos) << broken.MakeError();
  EXPECT_EQ(StandbyBoxErrorTexts(broken).front(), "作成できませんでした");
  EXPECT_FALSE(session.WorkingSet().Maker().OnMade) << "no handler outlives the run";
}

TEST(StandbySession, PageButtonRules) {
  EXPECT_FALSE(CanGoBack(-1));
  EXPECT_FALSE(CanGoBack(0));
  EXPECT_TRUE(CanGoBack(3));
  EXPECT_TRUE(CanGoForward(0, 4, true));
  EXPECT_FALSE(CanGoForward(0, 4, false));
  EXPECT_FALSE(CanGoForward(3, 4, true)) << "the last page";
  EXPECT_FALSE(CanGoForward(-1, 4, true));
  EXPECT_EQ(FrameTitle("ミルフォ", "保存"), "ミルフォ - 保存");
  EXPECT_EQ(FrameTitle("ミルフォ", ""), "ミルフォ");
}

} // namespace
} // namespace mirufo
