// Writes that fail must leave the old file whole and say so.
#include "platform/errors.h"
#include "platform/text_file.h"
#include "test_support.h"

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mirufo {
namespace {

namespace fs = std::filesystem;

// Names in the folder left by an abandoned write (".mirufo-XXXXXX").
int TempFilesIn(const fs::path& folder) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().starts_with(".mirufo-"))
      ++count;
  return count;
}

// Runs body in a child process that cannot write where its user may not
// (root gives up its rights first); returns the child's exit status.
int RunUnprivileged(const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
      _exit(99);
    _exit(body());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

// Lowers the largest file this process may write, so that a write fails as
// it does on a full device (EFBIG instead of ENOSPC).
class TFullDevice {
public:
  explicit TFullDevice(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{bytes, saved_.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFullDevice() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, oldHandler_);
  }

private:
  rlimit saved_{};
  void (*oldHandler_)(int) = nullptr;
};

TEST(LostData, WriteThatRunsOutOfSpaceKeepsTheOldFileAndReports) {
  test::TempDir dir;
  const std::string old = "old content\r\n";
  test::WriteBytes(dir / "mirufo.ini", old);
  {
    TFullDevice full(64);
    EXPECT_THROW(WriteFileAtomic(dir / "mirufo.ini", std::string(4096, 'x')), EInOutError);
  }
  EXPECT_EQ(test::ReadBytes(dir / "mirufo.ini"), old);
  EXPECT_EQ(TempFilesIn(dir.Path()), 0);
}

TEST(LostData, DeviceIsNeverReplacedByARegularFile) {
  // /dev/full takes no bytes; replacing it by a renamed file would be worse.
  try {
    WriteFileAtomic("/dev/full", "data");
    ADD_FAILURE() << "a write to /dev/full was reported as done";
  } catch (const EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find("/dev/full"), std::string::npos);
  }
  struct stat st {};
  ASSERT_EQ(stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_EQ(TempFilesIn("/dev"), 0);
}

TEST(LostData, RenameOverAFolderFailsAndLeavesTheFolderAsItWas) {
  test::TempDir dir;
  fs::create_directory(dir / "makeset.txt");
  test::WriteBytes(dir / "makeset.txt" / "inside", "kept");
  try {
    WriteFileAtomic(dir / "makeset.txt", "MSET01\r\n");
    ADD_FAILURE() << "a file was written over a folder";
  } catch (const EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find("makeset.txt"), std::string::npos);
  }
  EXPECT_TRUE(fs::is_directory(dir / "makeset.txt"));
  EXPECT_EQ(test::ReadBytes(dir / "makeset.txt" / "inside"), "kept");
  EXPECT_EQ(TempFilesIn(dir.Path()), 0);
}

TEST(LostData, UnwritableFolderKeepsTheOldFileAndReports) {
  test::TempDir dir;
  const fs::path folder = dir / "locked";
  fs::create_directory(folder);
  test::WriteBytes(folder / "tanmatsu_user.lst", "TL2\r\nold\r\n");
  fs::permissions(dir.Path(), fs::perms(0755));
  fs::permissions(folder, fs::perms(0555));
  int status = RunUnprivileged([&] {
    try {
      WriteFileAtomic(folder / "tanmatsu_user.lst", "new");
    } catch (const EInOutError&) {
      return 0;
    }
    return 1;
  });
  fs::permissions(folder, fs::perms(0755));
  EXPECT_EQ(status, 0);
  EXPECT_EQ(test::ReadBytes(folder / "tanmatsu_user.lst"), "TL2\r\nold\r\n");
  EXPECT_EQ(TempFilesIn(folder), 0);

  // A folder that is really a file cannot take a new file either, not even
  // for root.
  EXPECT_THROW(WriteFileAtomic(folder / "tanmatsu_user.lst" / "x", "new"), EInOutError);
}

} // namespace
} // namespace mirufo
