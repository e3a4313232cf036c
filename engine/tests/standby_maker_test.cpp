// The maker and the stage tree: sharing, forking and release of stages, the
// make run with its progress, cancelling, and failures inside a run.
#include "engine/format_buffer.h"
#include "engine/standby_image_decorator.h"
#include "engine/standby_maker.h"
#include "platform/errors.h"
#include "test_handset.h"
#include "test_picture.h"

#include <gtest/gtest.h>
#include <set>

namespace mirufo {
namespace {

TTanmatsuRecord Handset(int width, int height, TImageFormat format = ifJPEG) {
  return test::Screen("W21CA", width, height, format);
}

TBitmap Picture(int width, int height) {
  return test::MakePicture(width, height, [](int x, int y) {
    return RGB(static_cast<std::uint8_t>(x * 2), static_cast<std::uint8_t>(y),
               static_cast<std::uint8_t>(x ^ y));
  });
}

// Paints one pixel; equal to another marker of the same Enabled.
class TMarker : public TStandbyImageDecorator {
public:
  void Draw(TBitmap& bitmap) override {
    if (Enabled)
      bitmap.SetPixel(0, 0, RGB(255, 0, 255));
  }
  std::shared_ptr<TStandbyImageDecorator> Clone() const override {
    return std::make_shared<TMarker>(*this);
  }
};

int CountStages(const TImageBufferNode& node) {
  int n = 0;
  for (const TImageBufferNode* child : node.Children())
    n += 1 + CountStages(*child);
  return n;
}

struct Fixture {
  TStandbyMaker Maker;
  Fixture() {
    Maker.SetSource(Picture(160, 120));
    Maker.SetLookAt({80, 60});
  }
  TStandbySpecification& Add(const TTanmatsuRecord& record) {
    return *Maker.Items(Maker.AddSpecification(record));
  }
};

TEST(StageTree, EqualTargetsShareEveryStage) {
  Fixture f;
  TStandbySpecification& a = f.Add(Handset(64, 48));
  TStandbySpecification& b = f.Add(Handset(64, 48));
  TStandbySpecification& c = f.Add(Handset(64, 48, ifPNG24));
  EXPECT_TRUE(a.SameImage(b)); // both not made
  f.Maker.MakeAll();
  for (int k = 0; k < kStageCount; ++k)
    EXPECT_EQ(a.Stages(k), b.Stages(k)) << k;
  EXPECT_TRUE(a.SameImage(b));
  for (int k = 0; k < skFormat; ++k)
    EXPECT_EQ(a.Stages(k), c.Stages(k)) << k;
  EXPECT_NE(a.Stages(skFormat), c.Stages(skFormat));
  EXPECT_FALSE(a.SameImage(c));
  EXPECT_EQ(a.Stages(skResize)->Users().Count(), 3);
  EXPECT_EQ(CountStages(f.Maker.SourceStage()), 6);
  c.Reset();
  EXPECT_FALSE(a.SameImage(c)); // made and not made
  EXPECT_EQ(CountStages(f.Maker.SourceStage()), 5);
}

TEST(StageTree, AlignmentChangeForksTheLaterStages) {
  Fixture f;
  // The 160 x 120 source scales to 64 x 48, wider than the 48-wide screen.
  TStandbySpecification& a = f.Add(Handset(48, 48));
  TStandbySpecification& b = f.Add(Handset(48, 48));
  f.Maker.MakeAll();
  TImageBufferNode* before[kStageCount];
  for (int k = 0; k < kStageCount; ++k)
    before[k] = b.Stages(k);
  TLayout layout = a.Layout();
  layout.HorzAlign = haLeft;
  a.SetLayout(layout);
  EXPECT_EQ(a.Stages(skResize), b.Stages(skResize));
  for (int k = skCanvas; k < kStageCount; ++k)
    EXPECT_NE(a.Stages(k), b.Stages(k)) << k;
  for (int k = 0; k < kStageCount; ++k)
    EXPECT_EQ(b.Stages(k), before[k]) << k;
  EXPECT_EQ(b.Stages(skCanvas)->Users().Count(), 1);
  EXPECT_EQ(CountStages(f.Maker.SourceStage()), 9);
  // Back to the shared layout: the two join again in the existing stages.
  layout.HorzAlign = haLookAt;
  layout.OffsetX = b.Layout().OffsetX;
  a.SetLayout(layout);
  for (int k = 0; k < kStageCount; ++k)
    EXPECT_EQ(a.Stages(k), b.Stages(k)) << k;
  EXPECT_EQ(CountStages(f.Maker.SourceStage()), 5);
}

TEST(StageTree, LastUserTakesTheSubtreeAlong) {
  Fixture f;
  TStandbySpecification& a = f.Add(Handset(64, 48));
  TStandbySpecification& b = f.Add(Handset(64, 48));
  f.Maker.MakeAll();
  TLayout layout = b.Layout();
  layout.VertAlign = vaTop;
  b.SetLayout(layout);
  // The resize stage has users a and b; b's resize and canvas go with a new
  // resize size; a keeps everything.
  b.SetResize(rzCustom, 100, 80, false);
  EXPECT_EQ(f.Maker.SourceStage().Children().size(), 2u);
  EXPECT_TRUE(a.IsMade());
  // Resetting the only user of a resize stage destroys its whole subtree.
  b.Reset();
  EXPECT_EQ(f.Maker.SourceStage().Children().size(), 1u);
  EXPECT_EQ(CountStages(f.Maker.SourceStage()), 5);
  for (int k = 0; k < kStageCount; ++k)
    EXPECT_EQ(b.Stages(k), nullptr);
  // ResetAll empties the whole tree.
  f.Maker.ResetAll();
  EXPECT_TRUE(f.Maker.SourceStage().Children().empty());
  for (int k = 0; k < kStageCount; ++k)
    EXPECT_EQ(a.Stages(k), nullptr);
}

TEST(StageTree, DestroyingAStageEmptiesTheSlotsOfItsUsers) {
  Fixture f;
  TStandbySpecification& a = f.Add(Handset(64, 48));
  TStandbySpecification& b = f.Add(Handset(64, 48));
  f.Maker.MakeAll();
  // FreeChildren destroys stages that targets still hold: every slot that
  // pointed into the tree is emptied, nothing dangles.
  f.Maker.SourceStage().FreeChildren();
  for (int k = 0; k < kStageCount; ++k) {
    EXPECT_EQ(a.Stages(k), nullptr);
    EXPECT_EQ(b.Stages(k), nullptr);
  }
  f.Maker.MakeAll();
  EXPECT_TRUE(a.IsMade() && b.IsMade());
}

TEST(StageTree, ANewSourceOrLookAtReleasesEveryStage) {
  Fixture f;
  TStandbySpecification& a = f.Add(Handset(64, 48));
  f.Maker.MakeAll();
  // The same point again changes nothing.
  f.Maker.SetLookAt(f.Maker.GetLookAt());
  EXPECT_TRUE(a.IsMade());
  f.Maker.SetLookAt({10, 10});
  EXPECT_FALSE(a.IsMade());
  EXPECT_TRUE(f.Maker.SourceStage().Children().empty());
  f.Maker.MakeAll();
  EXPECT_EQ(a.Stages(skResize)->LookAt, (TLookAtPoint{4, 4})); // 10 * 64 div 160, 10 * 48 div 120
  f.Maker.SetSource(Picture(80, 60));
  EXPECT_FALSE(a.IsMade());
  EXPECT_TRUE(f.Maker.SourceStage().Children().empty());
}

TEST(StageTree, DecoratorListsShareByEquals) {
  Fixture f;
  TMarker m1, m2;
  TStandbyImageDecoratorList one, other;
  one.Add(&m1);
  other.Add(&m2);
  TStandbySpecification& a = f.Add(Handset(64, 48));
  TStandbySpecification& b = f.Add(Handset(64, 48));
  TStandbySpecification& c = f.Add(Handset(64, 48));
  a.SetDecorators(&one);
  b.SetDecorators(&other);
  f.Maker.MakeAll();
  EXPECT_EQ(a.Stages(skDecorate), b.Stages(skDecorate)); // equal markers
  EXPECT_NE(a.Stages(skDecorate), c.Stages(skDecorate)); // present vs absent
  EXPECT_EQ(a.Stages(skDecorate)->Bitmap.GetPixel(0, 0), RGB(255, 0, 255));
  EXPECT_NE(c.Stages(skDecorate)->Bitmap.GetPixel(0, 0), RGB(255, 0, 255));
  // A stage keeps the decorators as they were: an edit is seen when the
  // target is decorated again.
  m2.Enabled = false;
  EXPECT_EQ(b.Stages(skDecorate)->Bitmap.GetPixel(0, 0), RGB(255, 0, 255));
  b.ReleaseFrom(skDecorate);
  b.Redecorate();
  EXPECT_NE(a.Stages(skDecorate), b.Stages(skDecorate));
  EXPECT_EQ(a.Stages(skSharpen), b.Stages(skSharpen));
}

struct ProgressLog {
  std::vector<std::pair<TProgressStage, int>> Reports;
  std::vector<std::string> Messages;
  void Attach(TStandbyMaker& maker) {
    maker.OnProgress = [this](const void*, TProgressStage stage, std::uint8_t percent, bool,
                              const TRect&, const std::string& message) {
      Reports.emplace_back(stage, percent);
      Messages.push_back(message);
    };
  }
};

TEST(MakeRun, ProgressCoversTheTargetsInOrder) {
  Fixture f;
  f.Add(Handset(64, 48));
  f.Add(Handset(32, 24));
  ProgressLog log;
  log.Attach(f.Maker);
  std::vector<int> made;
  f.Maker.OnMade = [&](TStandbyMaker& maker, TStandbySpecification& target) {
    made.push_back(maker.IndexOf(&target));
    EXPECT_EQ(maker.ToMake(), 2);
    EXPECT_EQ(maker.Made(), static_cast<int>(made.size()));
  };
  f.Maker.MakeAll();
  const std::vector<std::pair<TProgressStage, int>> expected = {
      {psStarting, 0},                                                     //
      {psRunning, 0},  {psRunning, 10},  {psRunning, 20}, {psRunning, 30}, //
      {psRunning, 40}, {psRunning, 50},                                    //
      {psRunning, 50}, {psRunning, 60},  {psRunning, 70}, {psRunning, 80}, //
      {psRunning, 90}, {psRunning, 100},                                   //
      {psEnding, 100}};
  EXPECT_EQ(log.Reports, expected);
  EXPECT_EQ(log.Messages[1], "W21CA");
  EXPECT_EQ(log.Messages.front(), "");
  EXPECT_EQ(made, (std::vector<int>{0, 1}));
  EXPECT_EQ(f.Maker.ToMake(), 0);

  // A remake by a setter outside a run reports nothing.
  log.Reports.clear();
  f.Maker.Items(0)->SetSharpen(shHigh, 3);
  EXPECT_TRUE(log.Reports.empty());

  // Everything made: only starting and ending, no OnMade.
  made.clear();
  f.Maker.MakeAll();
  EXPECT_EQ(log.Reports,
            (std::vector<std::pair<TProgressStage, int>>{{psStarting, 0}, {psEnding, 100}}));
  EXPECT_TRUE(made.empty());
}

TEST(MakeRun, CancelStopsAfterTheCurrentTarget) {
  Fixture f;
  for (int i = 0; i < 5; ++i)
    f.Add(Handset(40 + i, 30));
  int processed = 0;
  f.Maker.ProcessMessages = [&] {
    // The cancel button is pressed in the event-loop turn after the second
    // target.
    if (++processed == 2)
      f.Maker.Cancel();
  };
  f.Maker.MakeAll();
  int madeCount = 0;
  for (int i = 0; i < 5; ++i)
    madeCount += f.Maker.Items(i)->IsMade();
  EXPECT_EQ(madeCount, 2);
  EXPECT_TRUE(f.Maker.Items(1)->IsMade());
  EXPECT_FALSE(f.Maker.Items(2)->IsMade());

  f.Maker.ProcessMessages = nullptr;
  f.Maker.OnMade = [&](TStandbyMaker& maker, TStandbySpecification&) {
    EXPECT_EQ(maker.ToMake(), 3);
    EXPECT_FALSE(maker.Cancelled());
  };
  f.Maker.MakeAll();
  for (int i = 0; i < 5; ++i)
    EXPECT_TRUE(f.Maker.Items(i)->IsMade());
}

TEST(MakeRun, CancelDuringTheThirdOfFiveLeavesThreeMade) {
  Fixture f;
  for (int i = 0; i < 5; ++i)
    f.Add(Handset(40 + i, 30));
  ProgressLog log;
  f.Maker.OnProgress = [&](const void*, TProgressStage, std::uint8_t percent, bool, const TRect&,
                           const std::string&) {
    // 40 % of the run is where the third target begins.
    if (percent > 40 && f.Maker.Made() == 2)
      f.Maker.Cancel();
  };
  f.Maker.MakeAll();
  int made = 0;
  for (int i = 0; i < 5; ++i)
    made += f.Maker.Items(i)->IsMade();
  EXPECT_EQ(made, 3);
  std::vector<int> second;
  f.Maker.OnProgress = nullptr;
  f.Maker.OnMade = [&](TStandbyMaker& maker, TStandbySpecification& t) {
    second.push_back(maker.IndexOf(&t));
  };
  f.Maker.MakeAll();
  EXPECT_EQ(second, (std::vector<int>{3, 4}));
}

TEST(MakeRun, EventLoopMayDeleteTargetsOrAskForAnotherRun) {
  Fixture f;
  for (int i = 0; i < 4; ++i)
    f.Add(Handset(40 + i, 30));
  int turns = 0;
  f.Maker.ProcessMessages = [&] {
    ++turns;
    f.Maker.MakeAll(); // ignored while the run goes on
    if (turns == 1)
      f.Maker.Delete(0); // the target just made goes away
  };
  f.Maker.MakeAll();
  EXPECT_EQ(turns, 4);
  ASSERT_EQ(f.Maker.Count(), 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(f.Maker.Items(i)->IsMade()) << i;
}

TEST(MakeRun, AFailingTargetLeavesNoHalfBuiltStage) {
  Fixture f;
  TStandbySpecification& good = f.Add(Handset(64, 48));
  TStandbySpecification& bad = f.Add(Handset(64, 48));
  TStandbySpecification& later = f.Add(Handset(32, 24));
  TFormatOptions options = bad.FormatOptions();
  options.Format = static_cast<TImageFormat>(7); // a list file can hold any code
  bad.SetFormatOptions(options);
  EXPECT_THROW(f.Maker.MakeAll(), EMirufoError);
  EXPECT_TRUE(good.IsMade());
  EXPECT_FALSE(bad.IsMade());
  EXPECT_FALSE(later.IsMade());
  EXPECT_EQ(f.Maker.ToMake(), 0);
  // The earlier stages stay; the format stage that failed is not in the tree.
  ASSERT_NE(bad.Stages(skDecorate), nullptr);
  EXPECT_EQ(bad.Stages(skDecorate), good.Stages(skDecorate));
  EXPECT_EQ(bad.Stages(skDecorate)->Children().size(), 1u);
  EXPECT_EQ(bad.Stages(skDecorate)->Users().Count(), 2);
  // Mended, the next run makes the rest.
  options.Format = ifPNG24;
  bad.SetFormatOptions(options);
  f.Maker.MakeAll();
  EXPECT_TRUE(bad.IsMade() && later.IsMade());
}

// Told to keep going, a run makes every target it can; each one it cannot
// make keeps a message naming the handset, the sizes and the limit.
TEST(MakeRun, KeepingGoingMakesTheOthersAndKeepsEachError) {
  struct TCase {
    int PictureW, PictureH, ScreenW, ScreenH;
    const char* Wanted;
  };
  const TCase cases[] = {
      {640, 1, 240, 320, "一辺 204800 画素"},
      {1, 640, 320, 240, "一辺 204800 画素"},
      {160, 120, 34463, 34463, "一辺 45951 画素"},
      {160, 120, 20000, 20000, "26667×20000"}, // sides fit, the pixels do not
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Wanted);
    Fixture f;
    f.Maker.SetSource(Picture(c.PictureW, c.PictureH));
    f.Maker.KeepGoing = true;
    TStandbySpecification& good = f.Add(Handset(40, 40));
    TStandbySpecification& bad = f.Add(Handset(c.ScreenW, c.ScreenH));
    TStandbySpecification& later = f.Add(Handset(20, 20));
    int told = 0;
    f.Maker.OnMade = [&](TStandbyMaker&, TStandbySpecification&) { ++told; };
    f.Maker.MakeAll();
    EXPECT_EQ(told, 3);
    EXPECT_TRUE(good.IsMade() && later.IsMade());
    EXPECT_TRUE(good.MakeError().empty());
    EXPECT_FALSE(bad.IsMade());
    const std::string& error = bad.MakeError();
    for (const std::string& part : {std::string("W21CA: 拡大後の画像が大きすぎます"),
                                    std::to_string(c.PictureW) + "×" + std::to_string(c.PictureH),
                                    std::to_string(c.ScreenW) + "×" + std::to_string(c.ScreenH),
                                    std::string(c.Wanted), std::string("上限は 一辺 30000 画素")})
      EXPECT_NE(error.find(part), std::string::npos) << part << " in " << error;
  }
}

TEST(MakeRun, AFailedSharpenIsAnErrorAndJoinsNoStage) {
  // A palette source of the screen's size is copied, not resampled, so the
  // sharpen stage gets a picture the filter refuses.
  Fixture f;
  f.Maker.SetSource(TBitmap(64, 48, pf8bit));
  TStandbySpecification& target = f.Add(Handset(64, 48));
  ASSERT_NE(target.Sharpness(), shNone);
  EXPECT_THROW(f.Maker.MakeAll(), EMirufoError);
  EXPECT_FALSE(target.IsMade());
  ASSERT_NE(target.Stages(skCanvas), nullptr);
  EXPECT_EQ(target.Stages(skSharpen), nullptr);
  EXPECT_TRUE(target.Stages(skCanvas)->Children().empty());
}

TEST(MakeRun, ZeroScreenOrEmptySourceFailsWithAMessage) {
  Fixture f;
  TStandbySpecification& zero = f.Add(Handset(0, 48));
  try {
    f.Maker.MakeAll();
    FAIL();
  } catch (const EMirufoError& e) {
    EXPECT_NE(std::string(e.what()).find("画面サイズが0"), std::string::npos);
  }
  EXPECT_FALSE(zero.IsMade());
  EXPECT_TRUE(f.Maker.SourceStage().Children().empty());
  f.Maker.Delete(0);

  f.Add(Handset(64, 48));
  f.Maker.SetSource(TBitmap());
  EXPECT_THROW(f.Maker.MakeAll(), EMirufoError);
  EXPECT_TRUE(f.Maker.SourceStage().Children().empty());
}

TEST(Maker, TargetsComeAndGo) {
  Fixture f;
  TStandbySpecification& a = f.Add(Handset(64, 48));
  f.Add(Handset(32, 24));
  EXPECT_EQ(f.Maker.Count(), 2);
  EXPECT_EQ(f.Maker.IndexOf(&a), 0);
  EXPECT_EQ(a.Source(), &f.Maker.SourceStage());
  f.Maker.MakeAll();
  f.Maker.Delete(0);
  EXPECT_EQ(f.Maker.Count(), 1);
  EXPECT_EQ(CountStages(f.Maker.SourceStage()), 5);
  EXPECT_THROW(f.Maker.Delete(3), ERangeError);
  EXPECT_THROW(f.Maker.Items(-1), ERangeError);
  f.Maker.Clear();
  EXPECT_EQ(f.Maker.Count(), 0);
  EXPECT_TRUE(f.Maker.SourceStage().Children().empty());
  EXPECT_EQ(f.Maker.GetLookAt(), (TLookAtPoint{80, 60}));
}

} // namespace
} // namespace mirufo

namespace mirufo {
namespace {

// A run that keeps only the files: stages nothing reads again give up their
// pixels, a target changed afterwards remakes them to the same bytes, and a
// cache limit's fit search still finds what a run keeping every picture
// finds.
TEST(FilesOnlyRun, DroppedStagesAreRemadeToTheSameBytes) {
  auto makeAll = [](bool keepPictures, TStandbyMaker& maker) {
    maker.KeepPictures = keepPictures;
    maker.Threads = 2;
    maker.SetSource(Picture(90, 70));
    maker.SetLookAt({45, 35});
    maker.AddSpecification(Handset(40, 30));
    maker.AddSpecification(Handset(40, 30, ifPNG8));
    maker.AddSpecification(test::Handset("F901iC", 24, 32)); // 20 KB cache
    maker.AddSpecification(Handset(32, 30));
    maker.MakeAll();
  };
  TStandbyMaker kept, lean;
  makeAll(true, kept);
  makeAll(false, lean);
  for (int i = 0; i < kept.Count(); ++i) {
    const auto* a = static_cast<const TFormatBuffer*>(kept.Items(i)->Stages(skFormat));
    const auto* b = static_cast<const TFormatBuffer*>(lean.Items(i)->Stages(skFormat));
    EXPECT_EQ(a->FileBytes(), b->FileBytes()) << i;
    EXPECT_EQ(kept.Items(i)->FormatOptions(), lean.Items(i)->FormatOptions()) << i;
    EXPECT_TRUE(lean.Items(i)->Stages(skCanvas)->PixelsDropped()) << i;
    EXPECT_EQ(lean.Items(i)->FinalBitmap(), nullptr);
    EXPECT_EQ(lean.Items(i)->FinalWidth(), kept.Items(i)->FinalBitmap()->Width());
  }
  // A setter remakes from the sharpen stage, whose input has no pixels.
  for (TStandbyMaker* maker : {&kept, &lean})
    maker->Items(0)->SetSharpen(shHigh, 2);
  const auto* a = static_cast<const TFormatBuffer*>(kept.Items(0)->Stages(skFormat));
  const auto* b = static_cast<const TFormatBuffer*>(lean.Items(0)->Stages(skFormat));
  EXPECT_EQ(a->FileBytes(), b->FileBytes());
  EXPECT_FALSE(lean.Items(0)->IsEnlarged());
}

} // namespace
} // namespace mirufo
