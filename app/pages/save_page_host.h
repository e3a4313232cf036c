// The save run as the desktop program shows it: questions and refusals in
// the message box, the overwrite dialog, progress in the progress window,
// and the list of names on the clipboard.
#pragma once

#include "output/save_run.h"

namespace mirufo {

class TForm1;

class TSavePageHost : public TSaveRunHost {
public:
  explicit TSavePageHost(TForm1& form) : form_(form) {}
  // Hides the progress window if the run left it showing.
  ~TSavePageHost() override;
  TSavePageHost(const TSavePageHost&) = delete;
  TSavePageHost& operator=(const TSavePageHost&) = delete;

  TDialogResult Ask(const TSaveMessage& message) override;
  std::optional<std::vector<bool>>
  ChooseOverwrites(const std::vector<std::filesystem::path>& existing) override;
  void Progress(int position, int maximum, const std::string& label) override;
  void ProgressDone() override;
  void SetClipboardText(const std::string& text) override;

private:
  TForm1& form_;
  bool progressShown_ = false;
};

} // namespace mirufo
