#include "platform/errors.h"
#include "platform/folders.h"
#include "test_support.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace mirufo {
namespace {

using test::EnvGuard;
using test::TempDir;

TEST(Folders, ProgramFolderHoldsTheRunningExecutable) {
  EXPECT_TRUE(std::filesystem::exists(ProgramPath()));
  EXPECT_EQ(ProgramPath().parent_path(), ProgramFolder());
}

TEST(Folders, DataFolderFollowsMirufoHome) {
  EnvGuard guard("MIRUFO_HOME");
  TempDir dir;
  setenv("MIRUFO_HOME", (dir / "nested/home").c_str(), 1);
  EXPECT_EQ(DataFolder(), dir / "nested/home");
  EXPECT_EQ(EnsureDataFolder(), dir / "nested/home");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "nested/home"));

  test::WriteBytes(dir / "file", "x");
  setenv("MIRUFO_HOME", (dir / "file/sub").c_str(), 1);
  EXPECT_THROW(EnsureDataFolder(), EInOutError);
}

TEST(Folders, WithoutMirufoHomeTheWritableProgramFolderIsUsed) {
  EnvGuard guard("MIRUFO_HOME");
  unsetenv("MIRUFO_HOME");
  // The test executable's folder is writable in the build tree.
  EXPECT_EQ(DataFolder(), ProgramFolder());
}

// A copy installed under a prefix finds what it ships relative to its own
// bin/, beside-the-executable copies first; folders that do not exist are
// left out so that a build tree only sees itself.
TEST(Folders, InstalledLayoutIsFoundFromTheExecutablesPrefix) {
  EnvGuard guard("XDG_DATA_HOME");
  TempDir dir;
  const auto prefix = dir / "opt/mirufo";
  const auto bin = prefix / "bin";
  const auto xdg = dir / "xdg";
  setenv("XDG_DATA_HOME", xdg.c_str(), 1);
  std::filesystem::create_directories(bin);
  EXPECT_EQ(InstallPrefix(bin), prefix);
  EXPECT_EQ(InstallPrefix("/bin"), "/");
  EXPECT_EQ(PluginFolders(bin), std::vector<std::filesystem::path>{bin});

  std::filesystem::create_directories(prefix / "lib/mirufo/plugins");
  std::filesystem::create_directories(xdg / "mirufo/plugins");
  EXPECT_EQ(PluginFolders(bin), (std::vector<std::filesystem::path>{
                                    bin, prefix / "lib/mirufo/plugins", xdg / "mirufo/plugins"}));

  // Neither installed nor beside: the installed path, for the viewer to report.
  EXPECT_EQ(HelpFile(bin, "mirufo.html"), prefix / "share/doc/mirufo/mirufo.html");
  EXPECT_EQ(LocaleFolder(bin), prefix / "share/locale");
  test::WriteBytes(bin / "mirufo.html", "<html>");
  std::filesystem::create_directories(bin / "locale");
  EXPECT_EQ(HelpFile(bin, "mirufo.html"), bin / "mirufo.html");
  EXPECT_EQ(LocaleFolder(bin), bin / "locale");
  // A folder by the help page's name is not the help page.
  std::filesystem::create_directories(bin / "other.html");
  EXPECT_EQ(HelpFile(bin, "other.html"), prefix / "share/doc/mirufo/other.html");
}

TEST(Folders, UserPluginFolderFollowsXdgDataHome) {
  EnvGuard xdgGuard("XDG_DATA_HOME");
  EnvGuard homeGuard("HOME");
  setenv("HOME", "/home/user", 1);
  setenv("XDG_DATA_HOME", "/data", 1);
  EXPECT_EQ(UserPluginFolder(), "/data/mirufo/plugins");
  // Empty counts as unset.
  setenv("XDG_DATA_HOME", "", 1);
  EXPECT_EQ(UserPluginFolder(), "/home/user/.local/share/mirufo/plugins");
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(UserPluginFolder(), "/home/user/.local/share/mirufo/plugins");
}

TEST(Folders, ShippedDataStartsBesideTheExecutable) {
  auto folders = ShippedDataFolders();
  ASSERT_FALSE(folders.empty());
  EXPECT_EQ(folders.front(), ProgramFolder());
}

} // namespace
} // namespace mirufo
