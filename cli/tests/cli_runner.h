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

TCliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& home);

} // namespace mirufo::test
