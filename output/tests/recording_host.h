// A save-run host for tests: answers every question with a scripted result
// and records what the run asked and reported.
#pragma once

#include "output/save_run.h"

#include <optional>
#include <string>
#include <vector>

namespace mirufo::test {

class TRecordingHost : public TSaveRunHost {
public:
  TDialogResult Ask(const TSaveMessage& message) override {
    asked.push_back(message.Text);
    return answer;
  }
  std::optional<std::vector<bool>>
  ChooseOverwrites(const std::vector<std::filesystem::path>& existing) override {
    listed = existing;
    if (cancelOverwrite)
      return std::nullopt;
    return ticks ? *ticks : std::vector<bool>(existing.size(), true);
  }
  void Progress(int position, int maximum, const std::string& label) override {
    progress.push_back(std::to_string(position) + "/" + std::to_string(maximum) + " " + label);
  }
  void ProgressDone() override { ++progressDone; }
  void SetClipboardText(const std::string& text) override { clipboard = text; }

  TDialogResult answer = TDialogResult::Yes;
  bool cancelOverwrite = false;
  std::optional<std::vector<bool>> ticks; // none: tick every listed file
  std::vector<std::string> asked;
  std::vector<std::filesystem::path> listed;
  std::vector<std::string> progress;
  int progressDone = 0;
  std::optional<std::string> clipboard;
};

} // namespace mirufo::test
