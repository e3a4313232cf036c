#include "imaging/progress.h"

#include "platform/arith.h"

#include <utility>

namespace mirufo {
namespace {

std::function<void()>& ProcessMessagesHook() {
  static std::function<void()> hook;
  return hook;
}

} // namespace

TProgressInfo MakeProgressInfo(const void* Sender, std::string Caption, TProgressEvent OnProgress) {
  TProgressInfo info;
  info.OnProgress = std::move(OnProgress);
  info.Sender = Sender;
  info.Caption = std::move(Caption);
  return info;
}

const char* ProgressStageSuffix(TProgressStage Stage) {
  switch (Stage) {
  case psStarting:
    return " 処理開始";
  case psRunning:
    return " 処理中";
  case psEnding:
    return " 処理完了";
  }
  return "";
}

void ReportProgress(const void* Sender, TProgressStage Stage, std::uint8_t PercentDone,
                    const std::string& Caption, const TProgressEvent& OnProgress) {
  if (!OnProgress)
    return;
  OnProgress(Sender, Stage, PercentDone, false, TRect{}, Caption + ProgressStageSuffix(Stage));
  if (const auto& hook = ProcessMessagesHook())
    hook();
}

void ReportRowProgress(const TProgressInfo& Info, int y, int height) {
  if (!Info.OnProgress || height <= 0)
    return;
  ReportProgress(Info.Sender, psRunning, static_cast<std::uint8_t>(Div(y * 100, height)),
                 Info.Caption, Info.OnProgress);
}

void SetProcessMessagesHook(std::function<void()> hook) {
  ProcessMessagesHook() = std::move(hook);
}

} // namespace mirufo
