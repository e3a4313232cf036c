#include "platform/errors.h"
#include "platform/folders.h"
#include "test_support.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace mirufo {
namespace {

// Restores an environment variable when the test ends.
class EnvGuard {
public:
  explicit EnvGuard(const char* name) : name_(name) {
    const char* value = std::getenv(name);
    had_ = value != nullptr;
    if (had_)
      old_ = value;
  }
  ~EnvGuard() {
    if (had_)
      setenv(name_, old_.c_str(), 1);
    else
      unsetenv(name_);
  }

private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

TEST(Folders, ProgramFolderHoldsTheRunningExecutable) {
  EXPECT_TRUE(std::filesystem::exists(ProgramPath()));
  EXPECT_EQ(ProgramPath().parent_path(), ProgramFolder());
}

TEST(Folders, DataFolderFollowsMirufoHome) {
  EnvGuard guard("MIRUFO_HOME");
  test::TempDir dir;
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

} // namespace
} // namespace mirufo
