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
#include <vector>

namespace mirufo {

std::filesystem::path ProgramFolder();
std::filesystem::path ProgramPath();

// The folders that may hold data shipped with the program, in the order they
// are searched, only those that exist as folders: the program folder (a build
// tree or a portable copy) and the installed data folder beside it,
// ../share/mirufo.
std::vector<std::filesystem::path> ShippedDataFolders();

// The data folder as it stands now; it may not exist yet.
std::filesystem::path DataFolder();

// The data folder, created (with its parents) when missing. Raises
// EInOutError when it cannot be created.
std::filesystem::path EnsureDataFolder();

} // namespace mirufo
