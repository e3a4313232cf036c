// Writes the manual page or the bash completion script of mirufo-cli, made
// from its option tables, for the build to install:
//   mirufo-cli-docs man FILE [en|ja]
//   mirufo-cli-docs bash-completion FILE
// The manual page is written in the language given (Japanese by default):
// its texts pass through the same translations as the program's --help, so
// the English page says what the English program says.
#include "cli/doc_writers.h"

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <iostream>

namespace {

// Runs the rest of the program in the language as a user's environment
// would: English through the "en" catalogue, Japanese as the texts stand.
void UseLanguage(const std::string& language) {
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
    unsetenv(name);
  if (language != "en") {
    setenv("LC_ALL", "C", 1);
    std::setlocale(LC_ALL, "");
    return;
  }
  setenv("LANGUAGE", "en", 1);
  setenv("LC_ALL", "en_US.UTF-8", 1);
  // Where no English locale is installed (a build machine often has none),
  // gettext still reads LANGUAGE under C.UTF-8, which glibc always has; the
  // environment keeps naming English for whatever reads it.
  if (!std::setlocale(LC_ALL, ""))
    std::setlocale(LC_ALL, "C.UTF-8");
}

} // namespace

int main(int argc, char** argv) {
  const std::string kind = argc > 1 ? argv[1] : "";
  const std::string language = argc > 3 ? argv[3] : "ja";
  const bool valid = (kind == "man" && argc <= 4 && (language == "en" || language == "ja")) ||
                     (kind == "bash-completion" && argc == 3);
  if (argc < 3 || !valid) {
    std::cerr << "usage: mirufo-cli-docs man FILE [en|ja] | bash-completion FILE\n";
    return 2;
  }
  UseLanguage(language);
  std::ofstream out(argv[2], std::ios::binary);
  if (kind == "man")
    mirufo::cli::WriteManPage(mirufo::cli::CommandDocs(), out);
  else
    mirufo::cli::WriteBashCompletion(mirufo::cli::CommandDocs(), out);
  out.close();
  if (!out) {
    std::cerr << "mirufo-cli-docs: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
