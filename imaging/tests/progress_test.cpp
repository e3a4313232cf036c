#include "imaging/progress.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace mirufo {
namespace {

TEST(Progress, ReportsCarryTheStageSuffixAndThenLetTheEventLoopRun) {
  std::vector<std::string> events;
  SetProcessMessagesHook([&] { events.push_back("loop"); });
  const TProgressEvent callback = [&](const void*, TProgressStage, std::uint8_t percent, bool,
                                      const TRect&, const std::string& msg) {
    events.push_back(msg + " " + std::to_string(percent));
  };
  ReportProgress(nullptr, psStarting, 0, "作業", callback);
  ReportProgress(nullptr, psRunning, 42, "作業", callback);
  ReportProgress(nullptr, psEnding, 100, "", callback);
  // Without a callback nothing happens, not even the event-loop step.
  ReportProgress(nullptr, psRunning, 50, "作業", nullptr);
  SetProcessMessagesHook(nullptr);
  ReportProgress(nullptr, psRunning, 7, "作業", callback);
  EXPECT_EQ(events, (std::vector<std::string>{"作業 処理開始 0", "loop", "作業 処理中 42", "loop",
                                              " 処理完了 100", "loop", "作業 処理中 7"}));
}

TEST(Progress, RowProgressCountsFinishedRows) {
  std::vector<int> percents;
  const TProgressInfo info =
      MakeProgressInfo(nullptr, "x",
                       [&](const void*, TProgressStage, std::uint8_t percent, bool, const TRect&,
                           const std::string&) { percents.push_back(percent); });
  for (int y = 0; y < 7; ++y)
    ReportRowProgress(info, y, 7);
  EXPECT_EQ(percents, (std::vector<int>{0, 14, 28, 42, 57, 71, 85}));
}

} // namespace
} // namespace mirufo
