// Where the program finds its files.
//
// The program folder is the folder of the running executable: plug-ins and
// shipped data are read from there. The data folder holds what the program
// writes back at exit (the settings file, the user's handset list and the
// make sets): MIRUFO_HOME when set; otherwise the program folder when it is
// writable (a portable copy); otherwise $XDG_CONFIG_HOME/mirufo, by default
// ~/.config/mirufo.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace mirufo {

std::filesystem::path ProgramFolder();
std::filesystem::path ProgramPath();

// The data folder as it stands now; it may not exist yet.
std::filesystem::path DataFolder();

// Why the data folder cannot be read, or nothing when it can or does not
// exist yet: a path that is not a folder, or a folder that cannot be listed
// or read. Such a folder's files are ignored, so the user must be told.
std::optional<std::string> DataFolderProblem(const std::filesystem::path& folder);

// The data folder, created (with its parents) when missing. Raises
// EInOutError when it cannot be created.
std::filesystem::path EnsureDataFolder();

} // namespace mirufo
