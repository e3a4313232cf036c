// Writes the manual page or the bash completion script of mirufo-cli, made
// from its option tables, for the build to install:
//   mirufo-cli-docs man|bash-completion FILE
#include "cli/doc_writers.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: mirufo-cli-docs man|bash-completion FILE\n";
    return 2;
  }
  const std::string kind = argv[1];
  std::ofstream out(argv[2], std::ios::binary);
  if (kind == "man")
    mirufo::cli::WriteManPage(mirufo::cli::CommandDocs(), out);
  else if (kind == "bash-completion")
    mirufo::cli::WriteBashCompletion(mirufo::cli::CommandDocs(), out);
  else
    return 2;
  out.close();
  if (!out) {
    std::cerr << "mirufo-cli-docs: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
