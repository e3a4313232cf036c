#include "cli/cli.h"

#include <csignal>
#include <iostream>

int main(int argc, char** argv) {
  // A closed pipe on stdout should fail the write (and so the run, with
  // status 1) rather than end the program silently.
  std::signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> args(argv + 1, argv + argc);
  return mirufo::cli::Run(args, std::cout, std::cerr);
}
