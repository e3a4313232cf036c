#include "platform/errors.h"
#include "platform/text_file.h"
#include "test_fifo.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

namespace mirufo {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(TextFile, LinesEndAtCrLfOrCrLf) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n"), std::vector<std::string>{"a"});
  EXPECT_EQ(SplitLines("a\n\nb"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitLines("a\r\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_TRUE(SplitLines("").empty());
  EXPECT_EQ(SplitLines("\n"), std::vector<std::string>{""});
}

TEST(TextFile, Cp932LinesRoundTripWithCrLf) {
  TempDir dir;
  WriteCp932Lines(dir / "t.txt", {"TL2", "ソ表\t～", ""});
  EXPECT_EQ(ReadBytes(dir / "t.txt"), "TL2\r\n\x83\x5C\x95\x5C\t\x81\x60\r\n\r\n");
  EXPECT_EQ(ReadCp932Lines(dir / "t.txt"), (std::vector<std::string>{"TL2", "ソ表\t～", ""}));
}

TEST(TextFile, ReadFailuresNameTheFile) {
  TempDir dir;
  try {
    ReadFileBytes(dir / "missing.txt");
    ADD_FAILURE();
  } catch (const EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find("missing.txt"), std::string::npos);
  }
  EXPECT_THROW(ReadFileBytes(dir.Path()), EInOutError);
  WriteBytes(dir / "big", std::string(100, 'x'));
  EXPECT_THROW(ReadFileBytes(dir / "big", 99), EInOutError);
  EXPECT_EQ(ReadFileBytes(dir / "big", 100).size(), 100u);
}

// Only regular files are read. A pipe, a device or a socket used to be
// opened like a file: a pipe without a writer hung the program for good.
TEST(TextFile, WhatIsNotARegularFileIsRefusedByName) {
  TempDir dir;
  test::TTestFifo fifo(dir / "pipe");
  ASSERT_TRUE(fifo.Created());
  int sock = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string sockPath = (dir / "sock").string();
  ASSERT_LT(sockPath.size(), sizeof(address.sun_path));
  sockPath.copy(address.sun_path, sockPath.size());
  ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);

  const std::string notFound = ": ファイルが見つかりません";
  const std::string notRegular = ": 通常のファイルではありません";
  const struct {
    std::filesystem::path Path;
    std::string Message;
  } cases[] = {
      {dir / "missing.txt", notFound}, {dir / "no/such/file", notFound}, {dir / "pipe", notRegular},
      {dir / "sock", notRegular},      {"/dev/null", notRegular},        {dir.Path(), notRegular},
  };
  for (const auto& c : cases) {
    try {
      ReadFileBytes(c.Path);
      ADD_FAILURE() << c.Path;
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.what(), c.Path.string() + c.Message);
    }
  }
  EXPECT_THROW(ReadCp932Lines(dir / "pipe"), EInOutError);
  close(sock);
}

TEST(TextFile, AtomicWriteReplacesWholeOrNothing) {
  TempDir dir;
  WriteBytes(dir / "keep.txt", "old content");
  chmod((dir / "keep.txt").c_str(), 0640);
  WriteFileAtomic(dir / "keep.txt", "new");
  EXPECT_EQ(ReadBytes(dir / "keep.txt"), "new");
  struct stat st {};
  stat((dir / "keep.txt").c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replaced file keeps its mode";

  // A target that is a folder cannot be replaced; the folder stays.
  std::filesystem::create_directory(dir / "folder");
  EXPECT_THROW(WriteFileAtomic(dir / "folder", "x"), EInOutError);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));

  // A missing folder fails before anything is written.
  EXPECT_THROW(WriteFileAtomic(dir / "no/such/file", "x"), EInOutError);

  // No temporary file is left behind by any of this.
  int entries = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.Path()))
    ++entries;
  EXPECT_EQ(entries, 2);
}

// A file that must not replace anything is put in place by a rename that
// refuses to replace, so that a file another program made after the
// existence check survives; the write fails naming the file.
TEST(TextFile, KeepingWriteNeverReplacesAFileThatAppeared) {
  TempDir dir;
  WriteBytes(dir / "taken.jpg", "theirs");
  try {
    WriteFileAtomic(dir / "taken.jpg", "ours", TExistingFile::Keep);
    ADD_FAILURE();
  } catch (const EFileExists& e) {
    EXPECT_EQ(e.what(), (dir / "taken.jpg").string() + ": 同名のファイルが既にあります");
  }
  EXPECT_EQ(ReadBytes(dir / "taken.jpg"), "theirs");
  WriteFileAtomic(dir / "new.jpg", "ours", TExistingFile::Keep);
  EXPECT_EQ(ReadBytes(dir / "new.jpg"), "ours");

  // The fallback for file systems without such a rename: a hard link, which
  // refuses an existing name just the same, then the old name goes.
  WriteBytes(dir / "temp", "linked");
  EXPECT_THROW(LinkWithoutReplacing(dir / "temp", dir / "taken.jpg"), EFileExists);
  EXPECT_EQ(ReadBytes(dir / "taken.jpg"), "theirs");
  LinkWithoutReplacing(dir / "temp", dir / "free.jpg");
  EXPECT_EQ(ReadBytes(dir / "free.jpg"), "linked");
  EXPECT_FALSE(std::filesystem::exists(dir / "temp"));

  int entries = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.Path()))
    ++entries;
  EXPECT_EQ(entries, 3) << "no temporary file is left behind";
}

// The temporary file's name is short, so the longest name the file system
// allows (255 bytes) can be written, replaced and kept.
TEST(TextFile, LongestFileNamesCanBeWritten) {
  TempDir dir;
  const std::filesystem::path longest = dir / std::string(255, 'n');
  WriteFileAtomic(longest, "one", TExistingFile::Keep);
  WriteFileAtomic(longest, "two");
  EXPECT_EQ(ReadBytes(longest), "two");
}

// The check ahead of a write answers as the write itself does, with the
// same message, for every kind of thing that can stand at the name.
TEST(TextFile, CheckAheadAnswersAsTheWrite) {
  TempDir dir;
  WriteBytes(dir / "file", "old");
  std::filesystem::create_directory(dir / "folder");
  test::TTestFifo fifo(dir / "pipe");
  ASSERT_TRUE(fifo.Created());
  struct TCase {
    std::filesystem::path Path;
    TExistingFile Existing;
    const char* Message; // nullptr: both go through
  };
  const TCase cases[] = {
      {dir / std::string(256, 'n'), TExistingFile::Replace, "File name too long"},
      {dir / "folder", TExistingFile::Replace, "同名のフォルダがあるので書き込めません"},
      {dir / "folder", TExistingFile::Keep, "同名のフォルダがあるので書き込めません"},
      {dir / "pipe", TExistingFile::Replace, "通常のファイルではないので書き込めません"},
      {dir / "file", TExistingFile::Keep, "同名のファイルが既にあります"},
      {dir / "file", TExistingFile::Replace, nullptr},
      {dir / "new", TExistingFile::Keep, nullptr},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Path.filename().string().substr(0, 10));
    std::string checked, written;
    try {
      CheckWriteTarget(c.Path, c.Existing);
    } catch (const EInOutError& e) {
      checked = e.what();
    }
    try {
      WriteFileAtomic(c.Path, "new", c.Existing);
    } catch (const EInOutError& e) {
      written = e.what();
    }
    EXPECT_EQ(checked, written);
    if (c.Message)
      EXPECT_NE(written.find(c.Message), std::string::npos) << written;
    else
      EXPECT_EQ(written, "");
  }
}

// A symbolic link at the name, live or dangling, is replaced by the file
// itself; what it points to is never written through it.
TEST(TextFile, ReplacingWriteReplacesALinkNotItsTarget) {
  TempDir dir;
  WriteBytes(dir / "target", "theirs");
  std::filesystem::create_symlink(dir / "target", dir / "live");
  std::filesystem::create_symlink(dir / "nowhere", dir / "dangling");
  for (const char* name : {"live", "dangling"}) {
    EXPECT_THROW(WriteFileAtomic(dir / name, "ours", TExistingFile::Keep), EFileExists) << name;
    WriteFileAtomic(dir / name, "ours");
    EXPECT_FALSE(std::filesystem::is_symlink(dir / name)) << name;
    EXPECT_EQ(ReadBytes(dir / name), "ours");
  }
  EXPECT_EQ(ReadBytes(dir / "target"), "theirs");
  EXPECT_FALSE(std::filesystem::exists(dir / "nowhere"));
}

TEST(TextFile, UnwritableFolderLeavesTheOldFile) {
  if (geteuid() == 0)
    GTEST_SKIP() << "root writes into read-only folders";
  TempDir dir;
  WriteBytes(dir / "f.txt", "old");
  chmod(dir.Path().c_str(), 0555);
  EXPECT_THROW(WriteFileAtomic(dir / "f.txt", "new"), EInOutError);
  chmod(dir.Path().c_str(), 0755);
  EXPECT_EQ(ReadBytes(dir / "f.txt"), "old");
}

} // namespace
} // namespace mirufo
