#include "cli_runner.h"

#include "test_support.h"

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

namespace mirufo::test {
namespace {

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

} // namespace

TCliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& home,
                  const TCliPlace& place) {
  TempDir capture;
  std::string command;
  if (!place.WorkingFolder.empty())
    command = "cd " + Quote(place.WorkingFolder.string()) + " && ";
  if (!place.Locale.empty()) {
    command += "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG";
    for (const std::string& variable : place.Locale)
      command += " " + Quote(variable);
    command += " ";
  }
  command += "MIRUFO_HOME=" + Quote(home.string()) + " " + Quote(MIRUFO_CLI);
  for (const std::string& arg : args)
    command += " " + Quote(arg);
  const std::string stdoutTo = place.StdoutTo.empty() ? (capture / "out").string() : place.StdoutTo;
  command += " >" + Quote(stdoutTo) + " 2>" + Quote((capture / "err").string());
  int raw = std::system(command.c_str());
  TCliResult result;
  result.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  if (place.StdoutTo.empty())
    result.Out = ReadBytes(capture / "out");
  result.Err = ReadBytes(capture / "err");
  return result;
}

} // namespace mirufo::test
