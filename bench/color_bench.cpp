// Colour reduction as the output formats run it: once per output and per
// fit-search attempt.
#include "color/color_reducer.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>

namespace {

using namespace mirufo;

// Smooth colour gradients and shapes with a little noise, so that the octree
// sees many thousands of colours as in a photograph.
TBitmap PhotoLike(int width, int height) {
  TBitmap picture(width, height);
  std::uint32_t seed = 12345;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* p = picture.ScanLine(y);
    for (int x = 0; x < width; ++x, p += 3) {
      seed = seed * 1664525u + 1013904223u;
      const int noise = static_cast<int>((seed >> 24) & 15) - 8;
      const double fx = static_cast<double>(x) / width, fy = static_cast<double>(y) / height;
      const double ring = std::sin((fx * fx + fy * fy) * 12.0);
      const int r = static_cast<int>(40 + 180 * fx + 30 * ring) + noise;
      const int g = static_cast<int>(60 + 150 * fy - 40 * ring) + noise;
      const int b = static_cast<int>(200 - 120 * fx * fy + 50 * std::cos(fx * 9.0)) + noise;
      p[0] = static_cast<std::uint8_t>(std::clamp(b, 0, 255));
      p[1] = static_cast<std::uint8_t>(std::clamp(g, 0, 255));
      p[2] = static_cast<std::uint8_t>(std::clamp(r, 0, 255));
    }
  }
  return picture;
}

void Reduce(benchmark::State& state, int width, int height, TReductionMethod method, int dither,
            int bits) {
  const TBitmap picture = PhotoLike(width, height);
  for (auto _ : state) {
    TBitmap result = ReduceBitmapColors(picture, method, dither, bits);
    benchmark::DoNotOptimize(result.ScanLine(0));
  }
  state.SetItemsProcessed(state.iterations() * width * height);
}

void BM_Octree8FloydSteinberg_240x320(benchmark::State& state) {
  Reduce(state, 240, 320, cmOctree, 1, 8);
}
void BM_Fixed332Stucki_240x320(benchmark::State& state) {
  Reduce(state, 240, 320, cmFixed332, 2, 8);
}
void BM_MonochromeFloydSteinberg_120x120(benchmark::State& state) {
  Reduce(state, 120, 120, cmMonochrome, 1, 1);
}
void BM_OctreeGrid332_5Bits_Burkes_240x320(benchmark::State& state) {
  Reduce(state, 240, 320, cmOctreeGrid332, 6, 5);
}

} // namespace

BENCHMARK(BM_Octree8FloydSteinberg_240x320)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fixed332Stucki_240x320)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonochromeFloydSteinberg_120x120)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OctreeGrid332_5Bits_Burkes_240x320)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
