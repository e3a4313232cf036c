// The progress record that every image operation takes, and the callback
// shape that the maker also uses for its make run.
//
// Operations run on the user-interface thread, so after each report the
// event loop gets a turn through a hook that the desktop program installs;
// without it (tests, the command line) a report only calls the callback.
#pragma once

#include "imaging/bitmap.h"

#include <cstdint>
#include <functional>
#include <string>

namespace mirufo {

enum class TProgressStage : std::uint8_t { psStarting = 0, psRunning = 1, psEnding = 2 };
using enum TProgressStage;

// Sender, Stage, PercentDone (0..100), RedrawNow, R, Msg.
using TProgressEvent =
    std::function<void(const void* Sender, TProgressStage Stage, std::uint8_t PercentDone,
                       bool RedrawNow, const TRect& R, const std::string& Msg)>;

struct TProgressInfo {
  TProgressEvent OnProgress; // may be empty
  const void* Sender = nullptr;
  std::string Caption;
};

TProgressInfo MakeProgressInfo(const void* Sender, std::string Caption, TProgressEvent OnProgress);

// The message suffix of a stage: " 処理開始", " 処理中" or " 処理完了".
const char* ProgressStageSuffix(TProgressStage Stage);

// Calls OnProgress (when set) with RedrawNow false, an empty rectangle and
// Caption followed by the stage's suffix, then lets the event loop run.
void ReportProgress(const void* Sender, TProgressStage Stage, std::uint8_t PercentDone,
                    const std::string& Caption, const TProgressEvent& OnProgress);

// Row progress of an operation after its finished destination row y of
// height rows: stage running, y * 100 div height.
void ReportRowProgress(const TProgressInfo& Info, int y, int height);

// The event-loop step run after every report. The desktop program sets it to
// process pending messages; an empty hook does nothing.
void SetProcessMessagesHook(std::function<void()> hook);

} // namespace mirufo
