// Format stages' fit searches and encodes computed ahead on other threads
// give exactly what the calling thread alone would give, and whatever the
// callbacks between targets do (cancel, delete a target whose work is in
// flight) and whatever fails on a worker, the run behaves as one on the
// calling thread alone.
#include "engine/encode_ahead.h"
#include "engine/standby_maker.h"
#include "output_digest.h"
#include "platform/errors.h"
#include "test_handset.h"
#include "tools/sample_picture.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

// Equal screens (shared stages), several formats, with and without a cache
// to fit into (the 6 KB ones need lower quality or fewer colours).
struct TScreen {
  std::uint16_t Width, Height;
  TImageFormat Format;
  float Cache;
};
const TScreen kScreens[] = {{120, 160, ifJPEG, 6}, {120, 160, ifJPEG, 6},  {120, 160, ifPNG8, 6},
                            {96, 72, ifJPEG, 0},   {240, 320, ifJPEG, 10}, {96, 72, ifPNG24, 0},
                            {120, 160, ifJPEG, 8}, {132, 176, ifGIF, 4},   {96, 72, ifJPEG, 0},
                            {240, 320, ifPNG8, 0}};

struct TRun {
  TStandbyMaker Maker;
  explicit TRun(int threads) {
    Maker.Threads = threads;
    Maker.SetSource(MakeSamplePicture(320, 240));
    Maker.SetLookAt({160, 120});
    for (const TScreen& screen : kScreens) {
      TTanmatsuRecord record = test::Handset("P902i", screen.Width, screen.Height, screen.Format);
      record.Cache = screen.Cache;
      Maker.AddSpecification(record);
    }
  }
  bool Bare(int index) const {
    for (int k = 0; k < kStageCount; ++k)
      if (Maker.Items(index)->Stages(k))
        return false;
    return true;
  }
};

std::vector<std::uint64_t> Without(std::vector<std::uint64_t> digests, int index) {
  digests.erase(digests.begin() + index);
  return digests;
}

TEST(EncodeAhead, WorkersGiveTheStagesOwnResults) {
  const TBitmap picture = MakeSamplePicture(120, 90);
  TFormatOptions jpeg;
  jpeg.AutoFit = false;
  TFormatOptions fitted = jpeg;
  fitted.AutoFit = true;
  TEncodeAhead ahead(3);
  ahead.AddFit(7, picture, fitted, 2000, {});
  ahead.AddEncode(7, picture, jpeg);
  ahead.AddEncode(7, picture, jpeg); // the same work once
  ahead.WaitUntilIdle();

  // The search ends where the calling thread's own search ends.
  TFormatOptions own = fitted;
  std::unique_ptr<TBitmap> reduced;
  std::unique_ptr<TEncodedGraphic> graphic;
  std::int32_t size = 0;
  EncodeImage(picture, reduced, graphic, 2000, false, "", own, size);
  ASSERT_LT(own.JpegQuality, 100);
  TFormatOptions found;
  ASSERT_TRUE(ahead.TakeFit(7, fitted, 2000, found));
  EXPECT_EQ(found, own);
  EXPECT_FALSE(ahead.TakeFit(8, fitted, 2000, found)); // another input stage

  // The encodes, the one after the search included, are the stage's own.
  TFormatOptions afterFit = own;
  afterFit.AutoFit = false;
  for (const TFormatOptions& options : {jpeg, afterFit}) {
    const TFormatResult direct = MakeFormatResult(picture, options);
    TFormatResult taken;
    ASSERT_TRUE(ahead.TakeEncode(7, options, taken));
    EXPECT_EQ(taken.Graphic->Data, direct.Graphic->Data);
    EXPECT_EQ(taken.FileSize, direct.FileSize);
    EXPECT_TRUE(taken.Reduced->SamePixels(*direct.Reduced));
    EXPECT_TRUE(taken.Preview.SamePixels(direct.Preview));
    EXPECT_FALSE(ahead.TakeEncode(7, options, taken)); // handed out once
  }
}

class EncodeAheadRun : public ::testing::TestWithParam<int> {
protected:
  static std::vector<std::uint64_t> OneThread() {
    TRun run(1);
    run.Maker.MakeAll();
    return test::OutputDigests(run.Maker);
  }
};

TEST_P(EncodeAheadRun, SameFilesAndFoundOptionsAsOneThread) {
  TRun one(1), many(GetParam());
  one.Maker.MakeAll();
  many.Maker.MakeAll();
  EXPECT_EQ(test::OutputDigests(many.Maker), test::OutputDigests(one.Maker));
  for (int i = 0; i < one.Maker.Count(); ++i)
    EXPECT_EQ(many.Maker.Items(i)->FormatOptions(), one.Maker.Items(i)->FormatOptions()) << i;
  // Shared as on one thread: equal screens use one format stage.
  EXPECT_TRUE(many.Maker.Items(0)->SameImage(*many.Maker.Items(1)));
}

TEST_P(EncodeAheadRun, CancelLeavesTheLaterTargetsUnmadeAndBare) {
  TRun run(GetParam());
  run.Maker.OnMade = [](TStandbyMaker& maker, TStandbySpecification&) {
    if (maker.Made() == 2)
      maker.Cancel();
  };
  run.Maker.MakeAll();
  for (int i = 0; i < run.Maker.Count(); ++i) {
    EXPECT_EQ(run.Maker.Items(i)->IsMade(), i < 2) << i;
    if (i >= 2) {
      EXPECT_TRUE(run.Bare(i)) << i;
    }
  }
  run.Maker.OnMade = nullptr;
  run.Maker.MakeAll();
  EXPECT_EQ(test::OutputDigests(run.Maker), OneThread());
}

TEST_P(EncodeAheadRun, TargetDeletedWhileItsWorkIsInFlight) {
  // Targets 4 (a search and an encode of its own) and then the last one go
  // while their work may run.
  TRun run(GetParam());
  run.Maker.OnMade = [](TStandbyMaker& maker, TStandbySpecification&) {
    if (maker.Made() == 1)
      maker.Delete(4);
    if (maker.Made() == 2)
      maker.Delete(maker.Count() - 1);
  };
  run.Maker.MakeAll();
  ASSERT_EQ(run.Maker.Count(), 8);
  const std::vector<std::uint64_t> expected = Without(Without(OneThread(), 9), 4);
  EXPECT_EQ(test::OutputDigests(run.Maker), expected);
}

// A format the run cannot encode, reached by the fit search (a cache) or by
// the encode (none).
class EncodeAheadFailure : public ::testing::TestWithParam<float> {};

struct TFailingRun {
  explicit TFailingRun(int threads, float cache) : Run(threads) {
    TStandbySpecification& bad = *Run.Maker.Items(3);
    TTanmatsuRecord handset = bad.Handset();
    handset.Cache = cache;
    bad.InitFromHandset(handset);
    TFormatOptions options = bad.FormatOptions();
    options.Format = static_cast<TImageFormat>(7);
    bad.SetFormatOptions(options);
    Run.Maker.OnMade = [this](TStandbyMaker& maker, TStandbySpecification& target) {
      Made.push_back(maker.IndexOf(&target));
    };
    try {
      Run.Maker.MakeAll();
    } catch (const EMirufoError& e) {
      Error = e.what();
    }
  }
  TRun Run;
  std::string Error = "no error";
  std::vector<int> Made;
};

TEST_P(EncodeAheadFailure, AWorkersErrorEndsTheRunAtItsTarget) {
  const TFailingRun one(1, GetParam()), many(3, GetParam());
  EXPECT_NE(one.Error, "no error");
  EXPECT_EQ(many.Error, one.Error);
  EXPECT_EQ(many.Made, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(test::OutputDigests(many.Run.Maker), test::OutputDigests(one.Run.Maker));
  // The failed target keeps the stages before the format stage; the later
  // ones hold none.
  EXPECT_NE(many.Run.Maker.Items(3)->Stages(skDecorate), nullptr);
  for (int i = 4; i < many.Run.Maker.Count(); ++i)
    EXPECT_TRUE(many.Run.Bare(i)) << i;
}

INSTANTIATE_TEST_SUITE_P(Threads, EncodeAheadRun, ::testing::Values(2, 4));
INSTANTIATE_TEST_SUITE_P(SearchOrEncode, EncodeAheadFailure, ::testing::Values(6.0f, 0.0f));

} // namespace
} // namespace mirufo
