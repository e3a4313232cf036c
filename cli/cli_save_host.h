// The save run's questions answered the way a command line can: creating the
// folder and saving what is made are what the command asked for; every
// other message is a refusal, printed and kept for the report.
#pragma once

#include "output/save_run.h"

#include <iosfwd>

namespace mirufo::cli {

class TCliSaveHost : public TSaveRunHost {
public:
  TCliSaveHost(std::ostream& err, bool overwrite) : err_(err), overwrite_(overwrite) {}

  TDialogResult Ask(const TSaveMessage& message) override;
  std::optional<std::vector<bool>>
  ChooseOverwrites(const std::vector<std::filesystem::path>& existing) override;

  // Prints a refusal and keeps it (the first one) for the report.
  void Refuse(const std::string& text);
  const std::optional<std::string>& Refusal() const { return refusal_; }

private:
  std::ostream& err_;
  bool overwrite_;
  std::optional<std::string> refusal_;
};

} // namespace mirufo::cli
