#include "platform/errors.h"
#include "platform/text_file.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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
