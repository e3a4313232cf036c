// mirufo-cli: the program's jobs from the command line. Each command reads
// the same files as the desktop program, from the same data folder.
#pragma once

#include "catalogue/tanmatsu_list.h"
#include "output/tanmatsu_option_list.h"
#include "platform/ini_file.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace mirufo::cli {

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;
inline constexpr int kExitUsage = 2;
// Saved, but some file is larger than its handset's cache.
inline constexpr int kExitOverCache = 3;

// A mistake in the command line: the message is printed with a hint to
// --help, and the program ends with kExitUsage.
class EUsageError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Runs the command line (without the program name) and returns the exit
// status. Output goes to out, messages to err.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Fills an empty working set as the desktop program does at start-up: the
// built-in handsets, then those of the user's list file in dataFolder (when
// it exists) as user-defined handsets; the file's named capacities replace
// built-in ones of the same name. A user list that fails to load raises its
// error. Every handset ends up selected.
// Returns why the data folder could not be read (after warning about it
// on warnings, when given), or nothing.
std::optional<std::string> LoadWorkingSet(TTanmatsuOptionList& set,
                                          const std::filesystem::path& dataFolder,
                                          std::ostream* warnings = nullptr);
// What the errors "no such handset" and "no such make set" add when the
// data folder was not read.
std::string UnreadDataFolderNote(const std::optional<std::string>& problem);

// Then merges each list file, in order, as the desktop program's import does
// (a record equal to a handset already there is not added twice), telling
// how many were added to messages unless that is null. A bad list raises its
// error naming the file and the line. Returns the working-set indexes of the
// handsets the files stand for, in file order.
std::vector<std::size_t> ImportHandsetLists(TTanmatsuOptionList& set,
                                            const std::vector<std::string>& lists,
                                            std::ostream* messages);

// The settings file "mirufo.ini" of the data folder. The command line never
// writes it back, so one it cannot read is only a warning (printed to
// warnings unless that is null) and its defaults are used.
TIniFile ReadSettings(const std::filesystem::path& dataFolder, std::ostream* warnings);

// The user's handset list file name.
inline constexpr const char* kUserListFileName = "tanmatsu_user.lst";

int RunList(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunMake(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace mirufo::cli
