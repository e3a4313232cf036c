// Runs the built mirufo-cli as a user would, in a chosen data folder, and
// captures what it prints.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace mirufo::test {

struct TCliResult {
  int Status = -1;
  std::string Out;
  std::string Err;
};

// Where and how the program runs: the working folder (the test's own when
// empty) and, when set, a file that takes stdout instead of the capture.
struct TCliPlace {
  std::filesystem::path WorkingFolder;
  std::string StdoutTo;
  // Locale variables for the run ("LANG=en_US.UTF-8"); when any is given,
  // the others of LANGUAGE, LC_ALL, LC_MESSAGES and LANG are unset.
  std::vector<std::string> Locale;
};

TCliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& home,
                  const TCliPlace& place = {});

} // namespace mirufo::test
