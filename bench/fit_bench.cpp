// The classic fit search against best fit over the whole built-in catalogue:
// the make run's wall time (best of three, each from scratch), the mean JPEG
// quality and palette colour count the searches end with, and how full they
// leave the caches (file size over cache, averaged over every screen with a
// cache). Best fit should cost at most twice the classic run.
#include "engine/standby_maker.h"
#include "platform/arith.h"
#include "tests/support/built_in_targets.h"
#include "tools/sample_picture.h"

#include <benchmark/benchmark.h>
#include <chrono>

namespace mirufo {
namespace {

struct TFitFigures {
  double Seconds = 0;
  double MeanQuality = 0; // JPEG screens with a cache
  double MeanColors = 0;  // GIF and PNG8 screens with a cache
  double MeanFill = 0;    // every screen with a cache
  double JpegFill = 0;
  int Over = 0;
};

TFitFigures MakeAllWith(const TBitmap& source, bool bestFit) {
  TFitFigures figures;
  for (int run = 0; run < 3; ++run) {
    TStandbyMaker maker;
    test::AddBuiltInTargets(maker, source, bestFit);
    const auto start = std::chrono::steady_clock::now();
    maker.MakeAll();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (run > 0 && seconds >= figures.Seconds)
      continue;
    figures = TFitFigures{seconds};
    int jpegs = 0, palettes = 0, limited = 0;
    for (int t = 0; t < maker.Count(); ++t) {
      const TStandbySpecification& target = *maker.Items(t);
      const std::int64_t limit = KilobytesToBytes(target.Handset().Cache);
      if (limit <= 0)
        continue;
      const double fill = static_cast<double>(target.FileSize()) / static_cast<double>(limit);
      const TFormatOptions& o = target.FormatOptions();
      ++limited;
      figures.MeanFill += fill;
      figures.Over += target.IsSizeOver() ? 1 : 0;
      if (o.Format == ifJPEG) {
        ++jpegs;
        figures.MeanQuality += o.JpegQuality;
        figures.JpegFill += fill;
      } else if (o.Format == ifGIF || o.Format == ifPNG8) {
        ++palettes;
        figures.MeanColors += PaletteColors(o, o.Bits);
      }
    }
    figures.MeanQuality /= jpegs > 0 ? jpegs : 1;
    figures.JpegFill /= jpegs > 0 ? jpegs : 1;
    figures.MeanColors /= palettes > 0 ? palettes : 1;
    figures.MeanFill /= limited > 0 ? limited : 1;
  }
  return figures;
}

void ClassicAgainstBestFit(benchmark::State& state) {
  const TBitmap source =
      MakeSamplePicture(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  TFitFigures classic, best;
  for (auto _ : state) {
    classic = MakeAllWith(source, false);
    best = MakeAllWith(source, true);
  }
  state.counters["classic_s"] = classic.Seconds;
  state.counters["best_s"] = best.Seconds;
  state.counters["time_ratio"] = best.Seconds / classic.Seconds;
  state.counters["classic_quality"] = classic.MeanQuality;
  state.counters["best_quality"] = best.MeanQuality;
  state.counters["classic_colors"] = classic.MeanColors;
  state.counters["best_colors"] = best.MeanColors;
  state.counters["classic_fill"] = classic.MeanFill;
  state.counters["best_fill"] = best.MeanFill;
  state.counters["classic_jpeg_fill"] = classic.JpegFill;
  state.counters["best_jpeg_fill"] = best.JpegFill;
  state.counters["classic_over"] = classic.Over;
  state.counters["best_over"] = best.Over;
}

BENCHMARK(ClassicAgainstBestFit)
    ->Args({1600, 1200})
    ->Args({4000, 3000})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace
} // namespace mirufo

BENCHMARK_MAIN();
