// Resizes computed ahead on the second thread must be exactly the resizes
// the stages would compute themselves, and must never outlive their source.
#include "engine/resize_ahead.h"
#include "engine/standby_maker.h"
#include "test_handset.h"
#include "test_picture.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

TBitmap Picture(int width, int height, int seed) {
  return test::MakePicture(width, height, [seed](int x, int y) {
    return RGB(static_cast<std::uint8_t>(x * seed), static_cast<std::uint8_t>(y + seed),
               static_cast<std::uint8_t>((x * y) >> 3));
  });
}

TResizeParams Size(int width, int height, bool fast = false) {
  return TResizeParams{width, height, fast};
}

TBitmap Direct(const TBitmap& source, const TResizeParams& params) {
  TBitmap result;
  EXPECT_TRUE(ResizeForStage(source, params, result));
  return result;
}

// One worker, and several that share the plan.
class ResizeAheadWorkers : public ::testing::TestWithParam<int> {};

TEST_P(ResizeAheadWorkers, ResultsAreTheStagesOwnResizes) {
  const TBitmap source = Picture(300, 200, 3);
  const std::vector<TResizeParams> plan = {Size(120, 80), Size(301, 150), Size(64, 64, true),
                                           Size(90, 45)};
  TResizeAhead ahead(source, plan, GetParam());
  // Once the workers are through, every planned size must be delivered.
  ahead.WaitForWorker();
  for (const TResizeParams& params : plan) {
    TBitmap taken;
    ASSERT_TRUE(ahead.Take(params, taken));
    EXPECT_TRUE(taken.SamePixels(Direct(source, params)));
    // Each result is handed out once.
    TBitmap again;
    EXPECT_FALSE(ahead.Take(params, again));
  }
  TBitmap other;
  EXPECT_FALSE(ahead.Take(Size(10, 10), other));
  EXPECT_TRUE(other.Empty());
}

TEST_P(ResizeAheadWorkers, StoppingEarlyWaitsForTheWorkers) {
  const TBitmap source = Picture(400, 300, 5);
  std::vector<TResizeParams> plan;
  for (int w = 50; w < 90; ++w)
    plan.push_back(Size(w, 60));
  auto ahead = std::make_unique<TResizeAhead>(source, plan, GetParam());
  // The workers start from the end of the plan: taking a size waits for it
  // once begun; it may not have begun yet, and then the stage would compute
  // it itself.
  for (std::size_t i : {plan.size() - 1, plan.size() - 2, std::size_t{0}}) {
    TBitmap taken;
    if (ahead->Take(plan[i], taken)) {
      EXPECT_TRUE(taken.SamePixels(Direct(source, plan[i])));
    }
  }
  ahead.reset(); // joins; must not hang or touch freed memory
}

INSTANTIATE_TEST_SUITE_P(Counts, ResizeAheadWorkers, ::testing::Values(1, 3));

TTanmatsuRecord Handset(int width, int height) {
  return test::Screen("N901iS", width, height, ifPNG24, 24);
}

TEST(ResizeAhead, MakeRunGivesTheSameStagesAsResizingInPlace) {
  const TBitmap first = Picture(320, 240, 7), second = Picture(320, 240, 11);
  TStandbyMaker maker;
  maker.SetSource(first);
  for (int w : {96, 120, 128, 132, 176, 240})
    maker.AddSpecification(Handset(w, w * 4 / 3));
  maker.MakeAll();
  for (int i = 0; i < maker.Count(); ++i) {
    const TImageBufferNode* resized = maker.Items(i)->Stages(skResize);
    ASSERT_NE(resized, nullptr);
    EXPECT_TRUE(resized->Bitmap.SamePixels(Direct(first, resized->ParamsOf<TResizeParams>()))) << i;
  }

  // A new picture arriving between two targets: the later targets are made
  // from it, never from resizes of the old one, and the target made from
  // the old one gives its stages back.
  maker.ResetAll();
  maker.ProcessMessages = [&] {
    if (maker.Made() == 1)
      maker.SetSource(TBitmap(second)); // moved in, while the worker may read the old one
  };
  maker.MakeAll();
  EXPECT_FALSE(maker.Items(0)->IsMade());
  EXPECT_EQ(maker.Items(0)->Stages(skResize), nullptr);
  for (int i = 1; i < maker.Count(); ++i) {
    const TImageBufferNode* resized = maker.Items(i)->Stages(skResize);
    ASSERT_NE(resized, nullptr) << i;
    EXPECT_TRUE(resized->Bitmap.SamePixels(Direct(second, resized->ParamsOf<TResizeParams>())))
        << i;
  }
}

} // namespace
} // namespace mirufo
