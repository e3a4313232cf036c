// The working set with a very large user handset list: 400,000 user handsets
// merged in (every one selected, so the maker holds as many targets) and the
// whole set torn down again, as every command does at its end. Both must
// stay linear in the number of handsets.
#include "catalogue/tanmatsu_list.h"
#include "output/tanmatsu_option_list.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

namespace mirufo {
namespace {

TTanmatsuList UserHandsets(int count) {
  TTanmatsuList list;
  TTanmatsuRecord record;
  record.Carrier = crUser;
  record.Format = ifJPEG;
  record.SupportFormats = TImageFormats{ifJPEG};
  record.Bit = 16;
  record.Cache = 100;
  for (int i = 0; i < count; ++i) {
    record.SetName("user" + std::to_string(i));
    record.Width = static_cast<std::uint16_t>(120 + i % 200);
    record.Height = static_cast<std::uint16_t>(160 + i % 300);
    list.Add(record);
  }
  return list;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BuildAndTearDown(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const TTanmatsuList list = UserHandsets(count);
  double merge = 0, teardown = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    auto set = std::make_unique<TTanmatsuOptionList>();
    set->MergeList(list, true);
    merge = SecondsSince(start);
    start = std::chrono::steady_clock::now();
    set.reset();
    teardown = SecondsSince(start);
  }
  state.counters["merge_s"] = merge;
  state.counters["teardown_s"] = teardown;
  std::printf("%d user handsets: merged in %.3f s, torn down in %.3f s\n", count, merge, teardown);
}

// Loading the user list and choosing two handsets of it, as the command
// line's --handsets does: every other handset is deselected at once.
void LoadAndSelectTwo(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const TTanmatsuList list = UserHandsets(count);
  double merge = 0, select = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    TTanmatsuOptionList set;
    set.MergeList(list, true);
    merge = SecondsSince(start);
    start = std::chrono::steady_clock::now();
    std::vector<bool> ticks(set.HandsetCount(), false);
    ticks[1] = ticks[ticks.size() - 2] = true;
    set.ApplySelection(ticks);
    select = SecondsSince(start);
    if (set.TargetCount() != 2)
      state.SkipWithError("the selection did not leave two targets");
  }
  state.counters["merge_s"] = merge;
  state.counters["select_s"] = select;
  std::printf("%d user handsets: merged in %.3f s, two selected in %.3f s\n", count, merge, select);
}

BENCHMARK(LoadAndSelectTwo)->Arg(400000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildAndTearDown)->Arg(400000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace mirufo

BENCHMARK_MAIN();
