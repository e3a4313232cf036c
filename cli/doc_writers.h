// The texts made from the option tables: --help of the program and of each
// command, the manual page mirufo-cli(1) and the bash completion script.
#pragma once

#include "cli/option_table.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace mirufo::cli {

// Every command's texts, in the order the program lists them.
std::vector<TCommandDoc> CommandDocs();
TCommandDoc ListCommandDoc();

// The version of the program, as the build set it.
std::string ProgramVersion();

void WriteProgramHelp(const std::vector<TCommandDoc>& commands, std::ostream& out);
void WriteCommandHelp(const TCommandDoc& command, std::ostream& out);

// The manual page in man(7) markup, UTF-8.
void WriteManPage(const std::vector<TCommandDoc>& commands, std::ostream& out);

// A bash completion script for the commands, their options, the fixed
// values of options, and handset and make-set names, which it asks of
// "mirufo-cli list --names" when it runs.
void WriteBashCompletion(const std::vector<TCommandDoc>& commands, std::ostream& out);

// Columns a UTF-8 text takes on a terminal: two for CJK and full-width
// characters, one for others.
std::size_t DisplayWidth(const std::string& text);

} // namespace mirufo::cli
