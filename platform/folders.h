// Where the program finds its files.
//
// The program folder is the folder of the running executable. What the
// program ships (plug-ins, handset lists, the help page, translations) is
// looked up beside the executable first, so that a build tree and a portable
// copy work as they are, then in the standard install layout under the
// executable's own prefix (bin/ -> lib/mirufo/plugins, share/mirufo, ...), so
// that a package, an install under any prefix and a build tree all work
// without a path fixed at build time. The relative paths of that layout come
// from the build (GNUInstallDirs).
//
// The data folder holds what the program writes back at exit (the settings
// file, the user's handset list and the make sets): MIRUFO_HOME when set;
// otherwise the program folder when it is writable (a portable copy);
// otherwise $XDG_CONFIG_HOME/mirufo, by default ~/.config/mirufo.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

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

// The folders that may hold shipped data, in lookup order, only those that
// exist: the program folder, then <prefix>/share/mirufo.
std::vector<std::filesystem::path> ShippedDataFolders();

// The install prefix of the copy whose executables are in programFolder
// (the parent of bin/ in the standard layout).
std::filesystem::path InstallPrefix(const std::filesystem::path& programFolder);

// The user's own plug-in folder: $XDG_DATA_HOME/mirufo/plugins, by default
// ~/.local/share/mirufo/plugins. It may not exist.
std::filesystem::path UserPluginFolder();

// The plug-in folders in search order, only those that exist: the program
// folder, <prefix>/lib/mirufo/plugins, then the user's own folder.
std::vector<std::filesystem::path> PluginFolders(const std::filesystem::path& programFolder);
std::vector<std::filesystem::path> PluginFolders();

// The help page: beside the executable, else in <prefix>/share/doc/mirufo.
// When neither exists, the installed path (for the viewer to report).
std::filesystem::path HelpFile(const std::filesystem::path& programFolder,
                               const std::filesystem::path& name);

// The gettext catalogue folder: "locale" beside the executable, else
// <prefix>/share/locale. When neither exists, the installed one.
std::filesystem::path LocaleFolder(const std::filesystem::path& programFolder);

} // namespace mirufo
