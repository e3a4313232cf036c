#include "catalogue/tanmatsu_list.h"
#include "platform/encoding.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

namespace mirufo {
namespace {

class BuiltInCatalogue : public testing::Test {
protected:
  void SetUp() override { list.LoadBuiltIn(); }

  std::vector<TTanmatsuRecord> Find(const std::string& name, const std::string& screen = "*") {
    std::vector<TTanmatsuRecord> found;
    for (std::size_t i = 0; i < list.Count(); ++i) {
      TTanmatsuRecord r = list.Get(i);
      if (r.Name == name && (screen == "*" || r.Screen == screen))
        found.push_back(r);
    }
    return found;
  }

  TTanmatsuList list;
};

TEST_F(BuiltInCatalogue, CountsPerCarrierAndOrder) {
  ASSERT_EQ(list.Count(), 287u);
  std::map<TCarrier, int> perCarrier;
  TCarrier previous = crDoCoMo;
  for (std::size_t i = 0; i < list.Count(); ++i) {
    TTanmatsuRecord r = list.Stored(i);
    ++perCarrier[r.Carrier];
    EXPECT_GE(r.Carrier, previous) << "carriers stand in order";
    previous = r.Carrier;
    EXPECT_NE(r.Format, ifGIF) << r.Name;
    EXPECT_TRUE(r.SupportFormats.Contains(r.Format)) << r.Name;
    EXPECT_EQ(r.Cache, 0.0f) << r.Name;
    EXPECT_GE(list.FindCache(r.CacheName), 0) << r.Name;
    EXPECT_GT(r.Width, 0);
    EXPECT_GT(r.Height, 0);
    EXPECT_EQ(r.Series.empty(), r.Carrier == crTuKa) << r.Name;
  }
  EXPECT_EQ(perCarrier[crDoCoMo], 131);
  EXPECT_EQ(perCarrier[crAu], 92);
  EXPECT_EQ(perCarrier[crTuKa], 25);
  EXPECT_EQ(perCarrier[crVodafone], 39);

  TTanmatsuRecord first = list.Get(0);
  EXPECT_EQ(first.Name, "SH901iC");
  EXPECT_EQ(first.Series, "901i シリーズ");
  EXPECT_EQ(first.Width, 240);
  EXPECT_EQ(first.Height, 320);
  EXPECT_EQ(first.Bit, 18);
  EXPECT_EQ(first.Format, ifJPEG);
  EXPECT_EQ(first.SupportFormats, TImageFormats({ifGIF, ifJPEG}));
  EXPECT_EQ(first.Cache, 20.0f);
  EXPECT_EQ(first.Bps, 384000);
  TTanmatsuRecord last = list.Get(286);
  EXPECT_EQ(last.Name, "J-SA04");
  EXPECT_EQ(last.Series, "C3型");
  EXPECT_EQ(last.Cache, 6.0f);
  EXPECT_EQ(last.Bps, 9600);
}

TEST_F(BuiltInCatalogue, NamedCapacitiesInOrder) {
  ASSERT_EQ(list.CacheCount(), 13u);
  EXPECT_EQ(list.GetCache(0).Name, "DoCoMo 20KB（901i シリーズ）");
  EXPECT_EQ(list.GetCache(4).Name, "DoCoMo 10KB（504i 以前）");
  EXPECT_EQ(list.GetCache(7).Name, "DoCoMo 5KB");
  EXPECT_EQ(list.GetCache(10).Name, "au 7.5KB");
  EXPECT_EQ(list.GetCache(10).Capacity, 7.5f);
  EXPECT_EQ(list.GetCache(12).Name, "Vodafone 6KB（パケット非対応）");
  std::set<std::string> named;
  for (std::size_t i = 0; i < list.Count(); ++i)
    named.insert(list.Stored(i).CacheName);
  for (const char* unused : {"DoCoMo 15KB", "DoCoMo 8KB", "DoCoMo 5KB"}) {
    EXPECT_FALSE(named.contains(unused));
    EXPECT_GE(list.FindCache(unused), 0);
  }
  for (std::size_t i = 0; i < list.CacheCount(); ++i)
    EXPECT_LE(Cp932Length(list.GetCache(i).Name), 31u);
}

TEST_F(BuiltInCatalogue, MixedCapacitiesAndExceptions) {
  EXPECT_EQ(Find("N2001", "待受画面").at(0).Cache, 10.0f);
  EXPECT_EQ(Find("N2701").at(0).Cache, 20.0f);
  EXPECT_EQ(Find("A5301T").size(), 6u);
  EXPECT_EQ(Find("D505i").size(), 3u);
  EXPECT_EQ(Find("D505iS").size(), 3u);
  EXPECT_EQ(Find("SH900i").size(), 3u); // one in 700i, two screens in 900i
  EXPECT_EQ(Find("A5302CA").at(0).SupportFormats, TImageFormats({ifGIF, ifJPEG, ifPNG8, ifBMP2}));
  EXPECT_EQ(Find("A3014S").at(0).SupportFormats, TImageFormats({ifGIF, ifJPEG, ifPNG8}));
  TTanmatsuRecord c311 = Find("C311CA").at(0);
  EXPECT_EQ(c311.Format, ifBMP2);
  EXPECT_EQ(c311.SupportFormats, TImageFormats({ifBMP2}));
  EXPECT_EQ(c311.Bit, 1);
  EXPECT_EQ(c311.Cache, 7.5f);
  TTanmatsuRecord tt02 = Find("TT02").at(0);
  EXPECT_EQ(tt02.Bps, 9600);
  EXPECT_EQ(tt02.Carrier, crTuKa);
  EXPECT_EQ(Find("TT51").at(0).Bps, 28800);
  EXPECT_EQ(Find("W21CA").at(0).Height, 400);
  EXPECT_EQ(Find("W21CA").at(0).Bps, 2400000);
  EXPECT_EQ(Find("D253iWM(Music PORTER)").size(), 1u);
  EXPECT_EQ(Find("A5401CAⅡ").size(), 1u);
  EXPECT_EQ(Find("A5301T", "Cメール、おしゃべり、時刻アラーム").at(0).Width, 144);
}

TEST_F(BuiltInCatalogue, UserCapacitiesReplaceBuiltInOnes) {
  std::size_t au9 = static_cast<std::size_t>(list.FindCache("au 9KB"));
  list.SetCache(au9, {"au 9KB", 12});
  for (const char* name : {"A5509T", "A5407CA", "INFOBAR(A5307ST)", "C5001T", "A3015SA", "C3001H",
                           "A1404S", "A1301S", "A1101S"})
    EXPECT_EQ(Find(name).at(0).Cache, 12.0f) << name;
  EXPECT_EQ(Find("W21CA").at(0).Cache, 10.0f);
}

TEST_F(BuiltInCatalogue, EveryTextRoundTripsThroughCp932) {
  test::TempDir dir;
  list.SaveToFile(dir / "all.lst");
  TTanmatsuList back;
  back.LoadFromFile(dir / "all.lst");
  ASSERT_EQ(back.Count(), list.Count());
  for (std::size_t i = 0; i < list.Count(); ++i)
    EXPECT_EQ(back.Stored(i).Name, list.Stored(i).Name);
  for (std::size_t i = 0; i < list.CacheCount(); ++i)
    EXPECT_EQ(back.GetCache(i), list.GetCache(i));
}

} // namespace
} // namespace mirufo
