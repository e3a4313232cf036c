#include "platform/folders.h"

#include "platform/errors.h"
#include "platform/translate.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

// The install layout relative to the prefix, as the build configured it; the
// defaults are GNUInstallDirs' own.
#ifndef MIRUFO_BIN_TO_PREFIX
#define MIRUFO_BIN_TO_PREFIX ".."
#endif
#ifndef MIRUFO_PLUGIN_DIR
#define MIRUFO_PLUGIN_DIR "lib/mirufo/plugins"
#endif
#ifndef MIRUFO_DOC_DIR
#define MIRUFO_DOC_DIR "share/doc/mirufo"
#endif
#ifndef MIRUFO_LOCALE_DIR
#define MIRUFO_LOCALE_DIR "share/locale"
#endif

namespace mirufo {
namespace {

bool IsFolder(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

bool IsFile(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

std::filesystem::path UnderPrefix(const std::filesystem::path& programFolder,
                                  const char* relative) {
  return (InstallPrefix(programFolder) / relative).lexically_normal();
}

std::filesystem::path FromEnvironment(const char* name, const char* homeRelative) {
  if (const char* value = std::getenv(name); value && *value)
    return std::filesystem::path(value);
  const char* userHome = std::getenv("HOME");
  return std::filesystem::path(userHome && *userHome ? userHome : ".") / homeRelative;
}

} // namespace

std::filesystem::path ProgramPath() {
  std::error_code ec;
  auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec)
    return std::filesystem::current_path() / "mirufo";
  return path;
}

std::filesystem::path ProgramFolder() {
  return ProgramPath().parent_path();
}

std::filesystem::path DataFolder() {
  if (const char* home = std::getenv("MIRUFO_HOME"); home && *home)
    return std::filesystem::path(home);
  auto program = ProgramFolder();
  if (access(program.c_str(), W_OK) == 0)
    return program;
  return FromEnvironment("XDG_CONFIG_HOME", ".config") / "mirufo";
}

std::filesystem::path EnsureDataFolder() {
  auto folder = DataFolder();
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec)
    throw EInOutError(folder.string() + Tr("\nフォルダを作成できません: ") + ec.message());
  return folder;
}

std::vector<std::filesystem::path> ShippedDataFolders() {
  std::vector<std::filesystem::path> folders;
  for (auto folder :
       {ProgramFolder(), (ProgramFolder() / ".." / "share" / "mirufo").lexically_normal()})
    if (IsFolder(folder))
      folders.push_back(folder);
  return folders;
}

std::filesystem::path InstallPrefix(const std::filesystem::path& programFolder) {
  auto prefix = (programFolder / MIRUFO_BIN_TO_PREFIX).lexically_normal();
  // "bin/.." normalises to "prefix/": the prefix is named without the slash.
  if (!prefix.has_filename() && prefix.has_relative_path())
    prefix = prefix.parent_path();
  return prefix;
}

std::filesystem::path UserPluginFolder() {
  return FromEnvironment("XDG_DATA_HOME", ".local/share") / "mirufo" / "plugins";
}

std::vector<std::filesystem::path> PluginFolders(const std::filesystem::path& programFolder) {
  std::vector<std::filesystem::path> folders;
  for (auto folder :
       {programFolder, UnderPrefix(programFolder, MIRUFO_PLUGIN_DIR), UserPluginFolder()})
    if (IsFolder(folder))
      folders.push_back(folder);
  return folders;
}

std::vector<std::filesystem::path> PluginFolders() {
  return PluginFolders(ProgramFolder());
}

std::filesystem::path HelpFile(const std::filesystem::path& programFolder,
                               const std::filesystem::path& name) {
  auto beside = programFolder / name;
  return IsFile(beside) ? beside : UnderPrefix(programFolder, MIRUFO_DOC_DIR) / name;
}

std::filesystem::path LocaleFolder(const std::filesystem::path& programFolder) {
  auto beside = programFolder / "locale";
  return IsFolder(beside) ? beside : UnderPrefix(programFolder, MIRUFO_LOCALE_DIR);
}

std::optional<std::string> DataFolderProblem(const std::filesystem::path& folder) {
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0) {
    if (errno == ENOENT)
      return std::nullopt;
    return folder.string() + ": " + std::strerror(errno);
  }
  if (!S_ISDIR(info.st_mode))
    return folder.string() + ": " + Tr("フォルダではありません");
  if (access(folder.c_str(), R_OK | X_OK) != 0)
    return folder.string() + ": " + std::strerror(errno);
  return std::nullopt;
}

} // namespace mirufo
