#include "imaging/filters.h"
#include "test_picture.h"

#include <gtest/gtest.h>
#include <vector>

namespace mirufo {
namespace {

using test::DirtyPadding;
using test::MakePicture;
using test::RandomPicture;
using test::UniformPicture;

const TProgressInfo kNoProgress = MakeProgressInfo(nullptr, "", nullptr);

// A black 5 x 5 picture with one pixel at (x, y) whose blue is value.
TBitmap OneBrightPixel(int x, int y, std::uint8_t value) {
  TBitmap b = UniformPicture(5, 5, RGB(0, 0, 0));
  b.SetPixel(x, y, RGB(0, 0, value));
  return b;
}

int Blue(const TBitmap& b, int x, int y) {
  return GetBValue(b.GetPixel(x, y));
}

TEST(Filters, FlatPicturesKeepTheirColourUpToTheBorders) {
  for (int width : {1, 2, 3, 5}) {
    TBitmap source = UniformPicture(width, 4, RGB(10, 200, 255));
    DirtyPadding(source, 0xFF);
    for (int strength : {1, 2, 3}) {
      TBitmap dest;
      ASSERT_TRUE(FilterBitmap(source, dest, strength, kNoProgress));
      EXPECT_TRUE(dest.SamePixels(source)) << width << " strength " << strength;
    }
  }
  const TBitmap single = UniformPicture(1, 1, RGB(3, 140, 250));
  for (int strength : {1, 2, 3}) {
    TBitmap dest;
    ASSERT_TRUE(FilterBitmap(single, dest, strength, kNoProgress));
    EXPECT_TRUE(dest.SamePixels(single));
  }
}

TEST(Filters, SingleBrightPixel) {
  TBitmap dest;
  ASSERT_TRUE(FilterBitmap(OneBrightPixel(2, 2, 100), dest, 3, kNoProgress));
  EXPECT_EQ(dest.GetPixel(2, 2), RGB(0, 0, 255)); // 500 clamped
  for (auto [x, y] : {std::pair{1, 2}, {3, 2}, {2, 1}, {2, 3}, {1, 1}, {3, 3}})
    EXPECT_EQ(dest.GetPixel(x, y), RGB(0, 0, 0));

  ASSERT_TRUE(FilterBitmap(OneBrightPixel(2, 2, 100), dest, 1, kNoProgress));
  EXPECT_EQ(Blue(dest, 2, 2), 150); // 24 * 100 div 16
  for (int y = 1; y <= 3; ++y)
    for (int x = 1; x <= 3; ++x) {
      if (x != 2 || y != 2) {
        EXPECT_EQ(Blue(dest, x, y), 0);
      }
    }

  ASSERT_TRUE(FilterBitmap(OneBrightPixel(2, 2, 100), dest, 2, kNoProgress));
  EXPECT_EQ(Blue(dest, 2, 2), 200);
}

TEST(Filters, BordersRepeatOutward) {
  // At the corner four of the nine taps read the bright pixel itself.
  struct Case {
    int strength, expected;
  };
  for (auto [strength, expected] : {Case{1, 65}, Case{2, 81}, Case{3, 150}}) {
    TBitmap dest;
    ASSERT_TRUE(FilterBitmap(OneBrightPixel(0, 0, 50), dest, strength, kNoProgress));
    EXPECT_EQ(Blue(dest, 0, 0), expected) << strength; // 21*50/16, 13*50/8, 3*50
    EXPECT_EQ(Blue(dest, 1, 0), 0);
  }
  // Along an edge: the bright pixel at (2, 0) is read by three taps.
  TBitmap dest;
  ASSERT_TRUE(FilterBitmap(OneBrightPixel(2, 0, 50), dest, 3, kNoProgress));
  EXPECT_EQ(Blue(dest, 2, 0), 200); // (5 - 1) * 50
}

TEST(Filters, AnyKernelConvolves) {
  // A box blur: the bright pixel spreads as 90 div 9 over its neighbours.
  const TKernel box{{1, 1, 1, 1, 1, 1, 1, 1, 1}, 9};
  TBitmap dest;
  ASSERT_TRUE(Convolve3x3(OneBrightPixel(2, 2, 90), dest, box, kNoProgress));
  EXPECT_EQ(Blue(dest, 1, 1), 10);
  EXPECT_EQ(Blue(dest, 2, 2), 10);
  EXPECT_EQ(Blue(dest, 0, 0), 0);
  // Weights whose sums leave 32 bits still give the identity.
  const TKernel huge{{0, 0, 0, 0, 1 << 30, 0, 0, 0, 0}, 1 << 30};
  const TBitmap source = RandomPicture(4, 3, 5);
  ASSERT_TRUE(Convolve3x3(source, dest, huge, kNoProgress));
  EXPECT_TRUE(dest.SamePixels(source));
  // A negative divisor truncates toward zero: -1 * 100 div -16 = 6.
  const TKernel negative{{0, 0, 0, 0, -1, 0, 0, 0, 0}, -16};
  ASSERT_TRUE(Convolve3x3(OneBrightPixel(2, 2, 100), dest, negative, kNoProgress));
  EXPECT_EQ(Blue(dest, 2, 2), 6);
}

TEST(Filters, RepeatedPassesEqualSinglePassesInTurn) {
  const TBitmap source = RandomPicture(13, 9, 11);
  for (int strength : {1, 2, 3}) {
    TBitmap expected = source;
    for (int count = 1; count <= 3; ++count) {
      TBitmap next;
      ASSERT_TRUE(FilterBitmap(expected, next, strength, kNoProgress));
      expected = next;
      if (count < 2)
        continue;
      TBitmap dest;
      ASSERT_TRUE(FilterBitmapRepeated(source, dest, strength, kNoProgress, count));
      EXPECT_TRUE(dest.SamePixels(expected)) << strength << " x" << count;
    }
  }
}

TEST(Filters, RefusalsLeaveTheDestinationAlone) {
  const TBitmap sentinel = RandomPicture(3, 3, 1);
  TBitmap palette(4, 4, pf8bit);
  TBitmap dest = sentinel;
  EXPECT_FALSE(FilterBitmap(palette, dest, 2, kNoProgress));
  EXPECT_FALSE(FilterBitmapRepeated(palette, dest, 2, kNoProgress, 3));
  EXPECT_FALSE(FilterBitmap(RandomPicture(4, 4, 2), dest, 0, kNoProgress));
  EXPECT_FALSE(FilterBitmap(RandomPicture(4, 4, 2), dest, 4, kNoProgress));
  EXPECT_FALSE(FilterBitmapRepeated(RandomPicture(4, 4, 2), dest, 2, kNoProgress, 0));
  EXPECT_FALSE(Convolve3x3(RandomPicture(4, 4, 2), dest, TKernel{{0, 0, 0, 0, 1, 0, 0, 0, 0}, 0},
                           kNoProgress));
  EXPECT_TRUE(dest.SamePixels(sentinel));
}

TEST(Filters, SourceMayAlsoBeTheDestination) {
  TBitmap picture = RandomPicture(6, 5, 9);
  TBitmap expected;
  ASSERT_TRUE(FilterBitmapRepeated(picture, expected, 2, kNoProgress, 2));
  ASSERT_TRUE(FilterBitmapRepeated(picture, picture, 2, kNoProgress, 2));
  EXPECT_TRUE(picture.SamePixels(expected));
  ASSERT_TRUE(FilterBitmap(expected, expected, 3, kNoProgress));
}

struct Report {
  const void* sender;
  TProgressStage stage;
  int percent;
  std::string msg;
  friend bool operator==(const Report&, const Report&) = default;
};

TEST(Filters, RepeatedPassesReportAsOneSequence) {
  std::vector<Report> reports;
  int sender = 0;
  const TProgressInfo info =
      MakeProgressInfo(&sender, "フィルタリング",
                       [&](const void* s, TProgressStage stage, std::uint8_t percent, bool,
                           const TRect&, const std::string& msg) {
                         reports.push_back({s, stage, percent, msg});
                       });
  TBitmap dest;
  ASSERT_TRUE(FilterBitmapRepeated(RandomPicture(3, 2, 4), dest, 1, info, 2));
  // The new sequencer has neither callback nor sender of its own: its start
  // report goes nowhere, and every later report comes from no sender.
  const std::string running = "先鋭化フィルタ（弱）(2回) 処理中";
  const std::vector<Report> expected = {
      {nullptr, psRunning, 0, running},
      {nullptr, psRunning, 0, running},
      {nullptr, psRunning, 25, running},
      {nullptr, psRunning, 50, running},
      {nullptr, psRunning, 50, running},
      {nullptr, psRunning, 50, running},
      {nullptr, psRunning, 75, running},
      {nullptr, psRunning, 100, running},
      {nullptr, psEnding, 100, "先鋭化フィルタ（弱）(2回) 処理完了"},
  };
  EXPECT_EQ(reports, expected);

  reports.clear();
  ASSERT_TRUE(FilterBitmapRepeated(RandomPicture(3, 1, 4), dest, 3, info, 3));
  EXPECT_EQ(reports.back().msg, "先鋭化フィルタ（強）(3回) 処理完了");
  // share = 33.333334 as a single: the second step starts at Round(33.333334).
  EXPECT_EQ(reports[3].percent, 33);
  EXPECT_EQ(reports[4].percent, 33);
}

// A step that counts its runs and answers a fixed result.
class TFixedStep : public TImageProcessor {
public:
  explicit TFixedStep(bool result) : result_(result) {}
  std::string GetName() const override { return "step"; }
  bool Execute() override {
    ++runs;
    return result_;
  }
  int runs = 0;

private:
  bool result_;
};

TEST(Filters, SequenceStopsAfterTheFirstFailure) {
  TFixedStep first(true), failing(false), never(true);
  TImageSequencer sequencer;
  EXPECT_FALSE(RunSequence(sequencer, {&first, &failing, &never}, "seq"));
  EXPECT_EQ(first.runs, 1);
  EXPECT_EQ(failing.runs, 1);
  EXPECT_EQ(never.runs, 0);
  EXPECT_EQ(sequencer.StepIndex, 3);

  std::vector<Report> reports;
  TFixedStep only(true);
  only.OnProgress = [&](const void* s, TProgressStage stage, std::uint8_t percent, bool,
                        const TRect&, const std::string& msg) {
    reports.push_back({s, stage, percent, msg});
  };
  EXPECT_TRUE(RunStep(only));
  EXPECT_EQ(reports, (std::vector<Report>{{nullptr, psStarting, 0, "step 処理開始"},
                                          {nullptr, psEnding, 100, "step 処理完了"}}));
}

TEST(Filters, FiltererNamesItsKernel) {
  EXPECT_EQ(TImageFilterer(1).GetName(), "先鋭化フィルタ（弱）");
  EXPECT_EQ(TImageFilterer(2).GetName(), "先鋭化フィルタ（中）");
  EXPECT_EQ(TImageFilterer(3).GetName(), "先鋭化フィルタ（強）");
  TImageFilterer noSource(2);
  EXPECT_FALSE(noSource.Execute());
}

} // namespace
} // namespace mirufo
