// The recent-files list: the order rules and its life in the settings file.
#include "platform/ini_file.h"
#include "platform/recent_files.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

using TItems = std::vector<std::string>;

TRecentFiles Listed(const TItems& oldestFirst) {
  TRecentFiles files;
  for (const std::string& path : oldestFirst)
    files.Add(path);
  return files;
}

TEST(RecentFiles, OrderRules) {
  struct Case {
    const char* name;
    TItems added;
    TItems expected;
  } cases[] = {
      {"new paths go first", {"/a", "/b"}, {"/b", "/a"}},
      {"third of four swaps with the first",
       {"/4", "/3", "/2", "/1", "/3"},
       {"/3", "/2", "/1", "/4"}},
      {"the first again changes nothing", {"/2", "/1", "/1"}, {"/1", "/2"}},
      {"letter case is ignored, the new spelling kept",
       {"/x/A.jpg", "/b", "/x/a.JPG"},
       {"/x/a.JPG", "/b"}},
      {"cut to eight",
       {"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8", "/9"},
       {"/9", "/8", "/7", "/6", "/5", "/4", "/3", "/2"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Listed(c.added).Items(), c.expected) << c.name;
}

TEST(RecentFiles, RemoveKeepsTheOthersInOrder) {
  TRecentFiles files = Listed({"/c", "/b", "/a"});
  files.Remove(1);
  files.Remove(7);
  EXPECT_EQ(files.Items(), (TItems{"/a", "/c"}));
}

TEST(RecentFiles, SettingsRoundTripAndDamagedCounts) {
  test::TempDir dir;
  const auto path = dir / "mirufo.ini";
  {
    TIniFile ini(path);
    Listed({"/old/1", "/old/2", "/old/3"}).Save(ini, "SourceImage", "RecentFiles");
    Listed({"/写真/ソ.jpg", "/b"}).Save(ini, "SourceImage", "RecentFiles");
    ini.UpdateFile();
  }
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("SourceImage", "RecentFiles.Count", ""), "2");
  EXPECT_EQ(ini.ReadString("SourceImage", "RecentFiles.Items[0]", ""), "/b");
  EXPECT_FALSE(ini.ValueExists("SourceImage", "RecentFiles.Items[2]"));
  TRecentFiles files;
  files.Load(ini, "SourceImage", "RecentFiles");
  EXPECT_EQ(files.Items(), (TItems{"/b", "/写真/ソ.jpg"}));

  struct Case {
    const char* count;
    std::size_t expected;
  } cases[] = {{"2147483647", 2}, {"-3", 0}, {"x", 0}};
  for (const Case& c : cases) {
    ini.WriteString("SourceImage", "RecentFiles.Count", c.count);
    files.Load(ini, "SourceImage", "RecentFiles");
    EXPECT_EQ(files.Count(), c.expected) << c.count;
  }
  ini.DeleteKey("SourceImage", "RecentFiles.Count");
  files.Load(ini, "SourceImage", "RecentFiles");
  EXPECT_EQ(files.Count(), 0u);
}

} // namespace
} // namespace mirufo
