#include "cli/cli.h"

#include <iostream>

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  int status = mirufo::cli::Run(args, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
