// Speed of the image operations that dominate a make run: resampling a
// photograph down to handset screens, enlarging a small picture, and the
// sharpening passes on a screen-sized picture.
#include "imaging/filters.h"
#include "imaging/resize.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <random>

namespace mirufo {
namespace {

// A picture with smooth gradients and some noise, like a photograph.
TBitmap TestPicture(int width, int height) {
  TBitmap picture(width, height);
  std::mt19937 random(42);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* p = picture.ScanLine(y);
    for (int x = 0; x < width; ++x, p += 3) {
      const unsigned noise = random() & 15;
      p[0] = static_cast<std::uint8_t>((x * 255 / width + noise) & 255);
      p[1] = static_cast<std::uint8_t>((y * 255 / height + noise) & 255);
      p[2] = static_cast<std::uint8_t>(((x + y) * 127 / (width + height) + noise) & 255);
    }
  }
  return picture;
}

const TProgressInfo kNoProgress = MakeProgressInfo(nullptr, "サイズ変更", nullptr);

void Resize(benchmark::State& state, TResampleMethod method) {
  const TBitmap source =
      TestPicture(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  TBitmap dest;
  for (auto _ : state) {
    const bool ok = ResizeBitmap(source, dest, static_cast<int>(state.range(2)),
                                 static_cast<int>(state.range(3)), method, kNoProgress);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(dest.ScanLine(0));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0) *
                          state.range(1) * 3);
}

void BM_AreaAverage(benchmark::State& state) {
  Resize(state, rsAreaAverage);
}
void BM_Bilinear(benchmark::State& state) {
  Resize(state, rsBilinear);
}
void BM_Nearest(benchmark::State& state) {
  Resize(state, rsNearest);
}

BENCHMARK(BM_AreaAverage)->Args({4000, 3000, 427, 320})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AreaAverage)->Args({1600, 1200, 240, 320})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bilinear)->Args({200, 300, 240, 360})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Nearest)->Args({4000, 3000, 427, 320})->Unit(benchmark::kMillisecond);

// Strength-2 sharpening of a 240 x 320 screen, once or several times.
void BM_Sharpen(benchmark::State& state) {
  const TBitmap source = TestPicture(240, 320);
  const int count = static_cast<int>(state.range(0));
  const TProgressInfo info = MakeProgressInfo(nullptr, "フィルタリング", nullptr);
  TBitmap dest;
  for (auto _ : state) {
    const bool ok = count == 1 ? FilterBitmap(source, dest, 2, info)
                               : FilterBitmapRepeated(source, dest, 2, info, count);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(dest.ScanLine(0));
  }
}

BENCHMARK(BM_Sharpen)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace mirufo

BENCHMARK_MAIN();
