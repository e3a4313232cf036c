// Importing a handset list file into the working set, and the lists shipped
// with the program.
#include "catalogue/tanmatsu_list.h"
#include "output/handset_list_import.h"
#include "output/tanmatsu_option_list.h"
#include "platform/encoding.h"
#include "platform/errors.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace mirufo {
namespace {

namespace fs = std::filesystem;

const std::string kHeader = "TL2\r\nname\tformat\tsupportformats\twidth\theight\tbit\tcachename\t"
                            "cache\tbps\tseries\r\n";

// A TL2 file of the given data lines (and cache lines after "cache").
fs::path WriteList(const test::TempDir& dir, const char* name, const std::string& body) {
  const fs::path path = dir / name;
  test::WriteBytes(path, Utf8ToCp932(kHeader + body));
  return path;
}

class Import : public testing::Test {
protected:
  Import() {
    TTanmatsuList builtIn;
    builtIn.LoadBuiltIn();
    set.MergeList(builtIn, false);
    builtInCount = set.HandsetCount();
    builtInCaches = set.Handsets().CacheCount();
  }
  test::TempDir dir;
  TTanmatsuOptionList set;
  std::size_t builtInCount = 0;
  std::size_t builtInCaches = 0;
};

TEST_F(Import, AddsNewHandsetsAsSelectedUserHandsetsWithTheirSeries) {
  const fs::path file =
      WriteList(dir, "a.lst",
                "Apple iPhone 16\t1\t010100\t1179\t2556\t24\t\t0.0\t0\tApple\r\n"
                "Google Pixel 9\t1\t010100\t1080\t2424\t24\t\t0.0\t0\tGoogle\r\n");
  const THandsetListImport result = ImportHandsetList(set, file);
  EXPECT_EQ(result.Added, 2u);
  EXPECT_EQ(result.AlreadyThere, 0u);
  EXPECT_EQ(result.Handsets, (std::vector<std::size_t>{builtInCount, builtInCount + 1}));
  ASSERT_EQ(set.HandsetCount(), builtInCount + 2);
  const TTanmatsuRecord r = set.GetHandset(builtInCount);
  EXPECT_EQ(r.Carrier, crUser);
  EXPECT_EQ(r.Series, "Apple");
  EXPECT_EQ(r.Width, 1179);
  EXPECT_EQ(r.Height, 2556);
  EXPECT_EQ(r.Bps, 0);
  EXPECT_TRUE(set.IsSelected(builtInCount + 1));
  EXPECT_EQ(HandsetListImportText(file, result),
            "a.lst から 2 個の端末を追加しました（0 個は登録済みでした）");
}

TEST_F(Import, DoesNotAddARecordEqualInEveryFieldTwice) {
  const std::string line = "X\t1\t010000\t100\t200\t24\t\t0.0\t0\tM\r\n";
  // The same record twice in one file, and a near twin differing in one field.
  const fs::path file =
      WriteList(dir, "a.lst", line + line + "X\t1\t010000\t100\t201\t24\t\t0.0\t0\tM\r\n");
  THandsetListImport first = ImportHandsetList(set, file);
  EXPECT_EQ(first.Added, 2u);
  EXPECT_EQ(first.AlreadyThere, 1u);
  EXPECT_EQ(first.Handsets[0], first.Handsets[1]);
  THandsetListImport again = ImportHandsetList(set, file);
  EXPECT_EQ(again.Added, 0u);
  EXPECT_EQ(again.AlreadyThere, 3u);
  EXPECT_EQ(again.Handsets, first.Handsets);
  EXPECT_EQ(set.HandsetCount(), builtInCount + 2);
}

TEST_F(Import, MergesNamedCachesAsStartUpDoes) {
  const std::string builtInName = set.Handsets().GetCache(0).Name;
  const fs::path file = WriteList(dir, "a.lst",
                                  "Y\t1\t010000\t100\t200\t24\t自前\t5.0\t0\t\r\n"
                                  "cache\r\n" +
                                      builtInName + "\t12.5\r\n自前\t30.0\r\n");
  ImportHandsetList(set, file);
  EXPECT_EQ(set.Handsets().CacheCount(), builtInCaches + 1);
  EXPECT_FLOAT_EQ(set.Handsets().GetCache(0).Capacity, 12.5f);
  // The record is read with the file's capacity of its name.
  EXPECT_FLOAT_EQ(set.GetHandset(builtInCount).Cache, 30.0f);
}

struct TBadList {
  const char* what;
  std::string bytes;
  int line; // 0: the file as a whole
};

TEST_F(Import, ABadFileAddsNothingAndNamesFileAndLine) {
  const std::string good = "G\t1\t010000\t100\t200\t24\t\t0.0\t0\t\r\n";
  const std::vector<TBadList> cases = {
      {"not a list", "TL3\r\nname\r\n", 0},
      {"empty file", "", 0},
      {"short line", kHeader + good + "H\t1\t010000\t100\r\n", 4},
      {"not a number", kHeader + good + "H\t1\t010000\tabc\t200\t24\t\t0.0\t0\t\r\n", 4},
      {"width 0", kHeader + good + "H\t1\t010000\t0\t200\t24\t\t0.0\t0\t\r\n", 4},
      {"height 65536", kHeader + good + "H\t1\t010000\t10\t65536\t24\t\t0.0\t0\t\r\n", 4},
      {"format 6", kHeader + "H\t6\t010000\t10\t20\t24\t\t0.0\t0\t\r\n", 3},
      {"bit 0", kHeader + "H\t1\t010000\t10\t20\t0\t\t0.0\t0\t\r\n", 3},
      {"negative cache", kHeader + "H\t1\t010000\t10\t20\t24\t\t-1.0\t0\t\r\n", 3},
      {"negative speed", kHeader + "H\t1\t010000\t10\t20\t24\t\t0.0\t-1\t\r\n", 3},
      {"unused format bit", kHeader + "H\t1\t0100001\t10\t20\t24\t\t0.0\t0\t\r\n", 3},
      {"empty name", kHeader + "\t1\t010000\t10\t20\t24\t\t0.0\t0\t\r\n", 3},
      {"bad cache line", kHeader + good + "cache\r\nC\tmuch\r\n", 5},
  };
  for (const TBadList& c : cases) {
    const fs::path file = dir / "bad.lst";
    test::WriteBytes(file, c.bytes);
    try {
      ImportHandsetList(set, file);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const ETanmatsuListFileError& e) {
      EXPECT_EQ(e.Line, c.line) << c.what;
      EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << c.what;
      if (c.line > 0) {
        EXPECT_NE(std::string(e.what()).find("(" + std::to_string(c.line) + "行目)"),
                  std::string::npos)
            << c.what << ": " << e.what();
      }
    }
    EXPECT_EQ(set.HandsetCount(), builtInCount) << c.what;
    EXPECT_EQ(set.Handsets().CacheCount(), builtInCaches) << c.what;
  }
}

TEST_F(Import, RefusesWhatIsNotARegularFile) {
  fs::create_directory(dir / "folder.lst");
  for (const fs::path& path : {dir / "folder.lst", dir / "missing.lst"}) {
    EXPECT_THROW(ImportHandsetList(set, path), ETanmatsuListFileError) << path;
    EXPECT_EQ(set.HandsetCount(), builtInCount);
  }
  const fs::path unreadable = WriteList(dir, "locked.lst", "");
  fs::permissions(unreadable, fs::perms::none);
  if (geteuid() != 0) { // root reads it anyway
    EXPECT_THROW(ImportHandsetList(set, unreadable), EMirufoError);
  }
  EXPECT_EQ(set.HandsetCount(), builtInCount);
}

TEST(HandsetListFile, SeriesIsWrittenOnlyWhenSomeRecordHasOne) {
  TTanmatsuList list;
  TTanmatsuRecord r;
  r.SetName("A");
  r.Width = r.Height = 10;
  r.Bit = 24;
  list.Add(r);
  const std::string plain = list.SaveToText();
  EXPECT_EQ(plain.substr(0, plain.find("\r\nA")),
            "TL2\r\nname\tformat\tsupportformats\twidth\theight\tbit\tcachename\tcache\tbps");
  r.SetSeries("Maker");
  list.Add(r);
  TTanmatsuList back;
  back.LoadFromText(list.SaveToText(), "x.lst", TListCheck::Strict);
  ASSERT_EQ(back.Count(), 2u);
  EXPECT_EQ(back.Get(0).Series, "");
  EXPECT_EQ(back.Get(1).Series, "Maker");
}

// The shipped lists, read from the source tree.
struct TShippedList {
  const char* file;
  bool landscape;
  std::size_t atLeast;
};

TEST(ShippedLists, LoadStrictlyWithSourcedPlausibleRows) {
  for (const TShippedList& l :
       {TShippedList{"phones.lst", false, 45}, TShippedList{"tablets.lst", false, 5},
        TShippedList{"desktops.lst", true, 11}}) {
    const fs::path path = fs::path(MIRUFO_LISTS_DIR) / l.file;
    TTanmatsuList list;
    ASSERT_NO_THROW(list.LoadFromFile(path, TListCheck::Strict)) << l.file;
    EXPECT_GE(list.Count(), l.atLeast) << l.file;
    // Every row must be named in the README with its source.
    const std::string readme = test::ReadBytes(fs::path(MIRUFO_LISTS_DIR) / "README.md");
    for (std::size_t i = 0; i < list.Count(); ++i) {
      const TTanmatsuRecord r = list.Get(i);
      EXPECT_GT(r.Width, 0) << r.Name;
      EXPECT_EQ(r.Width > r.Height, l.landscape) << r.Name;
      EXPECT_FALSE(r.Series.empty()) << r.Name;
      EXPECT_EQ(r.Format, ifJPEG) << r.Name;
      EXPECT_EQ(r.SupportFormats, (TImageFormats{ifJPEG, ifPNG24})) << r.Name;
      EXPECT_EQ(r.Bit, 24) << r.Name;
      EXPECT_EQ(r.Cache, 0.0f) << r.Name;
      EXPECT_EQ(r.Bps, 0) << r.Name;
      EXPECT_NE(readme.find("| " + r.Name + " | " + std::to_string(r.Width) + " × " +
                            std::to_string(r.Height) + " | http"),
                std::string::npos)
          << r.Name << " has no sourced row in the README";
    }
  }
}

} // namespace
} // namespace mirufo
