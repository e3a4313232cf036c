#include "platform/folders.h"

#include "platform/errors.h"
#include "platform/translate.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace mirufo {

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
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    return std::filesystem::path(xdg) / "mirufo";
  const char* userHome = std::getenv("HOME");
  return std::filesystem::path(userHome && *userHome ? userHome : ".") / ".config" / "mirufo";
}

std::filesystem::path EnsureDataFolder() {
  auto folder = DataFolder();
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec)
    throw EInOutError(folder.string() + "\nフォルダを作成できません: " + ec.message());
  return folder;
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
