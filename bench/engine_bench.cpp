// The make run over the whole built-in catalogue: every handset screen made
// from one photograph-like picture, with the number of distinct stages of
// each kind, the peak memory of the process, and the cost of a format change
// of one target afterwards. The wall time is the best of three runs; the
// combined fingerprint of all output files must stay the same whatever is
// done to the speed of the run.
#include "catalogue/tanmatsu_list.h"
#include "engine/standby_maker.h"
#include "tests/support/output_digest.h"
#include "tools/sample_picture.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <set>
#include <sys/resource.h>

namespace mirufo {
namespace {

// CPU time of this process, user and system, in seconds. On a shared
// machine the wall time also counts other programs' turns.
double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU time of the calling thread alone. On a machine busy with other work
// the wall time says little; the make run cannot take less than the calling
// thread's own share, nor less than the whole CPU time over the cores.
double ThreadCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KB
}

void CountStages(const TImageBufferNode& node, int counts[kStageCount],
                 std::set<const TImageBufferNode*>* all) {
  for (const TImageBufferNode* child : node.Children()) {
    ++counts[KindOf(child->Params())];
    if (all)
      all->insert(child);
    CountStages(*child, counts, all);
  }
}

// The maker takes the picture over, as the command line does, so that the
// peak memory counts the source once.
void FillMaker(TStandbyMaker& maker, TBitmap source) {
  TTanmatsuList catalogue;
  catalogue.LoadBuiltIn();
  maker.SetLookAt({source.Width() / 2, source.Height() / 2});
  maker.SetSource(std::move(source));
  for (std::size_t i = 0; i < catalogue.Count(); ++i)
    maker.AddSpecification(catalogue.Get(i));
}

void MakeAllBuiltIn(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const double sourceMegabytes = static_cast<double>(width) * height * 3 / (1024.0 * 1024.0);
  double seconds = 0, cpuSeconds = 0, threadSeconds = 0, firstSeconds = 0, remakeSeconds = 0;
  int counts[kStageCount] = {};
  int targets = 0, newStages = 0;
  std::uint64_t digest = 0;
  for (auto _ : state) {
    TStandbyMaker maker;
    FillMaker(maker, MakeSamplePicture(width, height));
    for (int run = 0; run < 3; ++run) {
      maker.ResetAll();
      targets = maker.Count();
      const double cpuStart = CpuSeconds(), threadStart = ThreadCpuSeconds();
      const auto start = std::chrono::steady_clock::now();
      // How long the first made target keeps the user waiting.
      double runFirstSeconds = 0;
      maker.OnMade = [&](TStandbyMaker& sender, TStandbySpecification&) {
        if (sender.Made() == 1)
          runFirstSeconds =
              std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      };
      maker.MakeAll();
      maker.OnMade = nullptr;
      const double runSeconds =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      const double runCpuSeconds = CpuSeconds() - cpuStart;
      const double runThreadSeconds = ThreadCpuSeconds() - threadStart;
      if (run == 0 || runSeconds < seconds) {
        seconds = runSeconds;
        cpuSeconds = runCpuSeconds;
        threadSeconds = runThreadSeconds;
        firstSeconds = runFirstSeconds;
      }
      const std::uint64_t runDigest = test::CombinedDigest(test::OutputDigests(maker));
      if (run > 0 && runDigest != digest)
        std::printf("make run %dx%d: run %d gave other files than run 1\n", width, height, run + 1);
      digest = runDigest;
    }

    std::fill(counts, counts + kStageCount, 0);
    std::set<const TImageBufferNode*> before;
    CountStages(maker.SourceStage(), counts, &before);

    // A format change of one target remakes its format stage only.
    const auto start = std::chrono::steady_clock::now();
    TStandbySpecification& target = *maker.Items(0);
    TFormatOptions options = target.FormatOptions();
    options.Format = ifPNG24;
    target.SetFormatOptions(options);
    maker.MakeAll();
    remakeSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    int unused[kStageCount] = {};
    std::set<const TImageBufferNode*> after;
    CountStages(maker.SourceStage(), unused, &after);
    newStages = 0;
    for (const TImageBufferNode* stage : after)
      newStages += before.count(stage) == 0;
  }
  state.counters["targets"] = targets;
  state.counters["resize"] = counts[skResize];
  state.counters["canvas"] = counts[skCanvas];
  state.counters["sharpen"] = counts[skSharpen];
  state.counters["decorate"] = counts[skDecorate];
  state.counters["format"] = counts[skFormat];
  state.counters["peak_MB"] = PeakMegabytes();
  state.counters["make_s"] = seconds;
  state.counters["make_cpu_s"] = cpuSeconds;
  state.counters["make_thread_s"] = threadSeconds;
  state.counters["first_made_s"] = firstSeconds;
  std::printf(
      "make run %dx%d: %d targets in %.3f s best of 3 (%.3f s CPU, %.3f s on the calling thread, "
      "first target made after %.3f s); "
      "stages resize %d, canvas %d, "
      "sharpen %d, decorate %d, format %d; peak memory %.1f MB (source bitmap %.1f MB); format "
      "change of one target: %.3f s, %d new stage(s); files %016" PRIx64 "\n",
      width, height, targets, seconds, cpuSeconds, threadSeconds, firstSeconds, counts[skResize],
      counts[skCanvas], counts[skSharpen], counts[skDecorate], counts[skFormat], PeakMegabytes(),
      sourceMegabytes, remakeSeconds, newStages, digest);
}

// The smaller picture first, so that each peak figure belongs to its own run.
BENCHMARK(MakeAllBuiltIn)
    ->Args({1600, 1200})
    ->Args({4000, 3000})
    ->Args({12000, 9000})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace mirufo

BENCHMARK_MAIN();
