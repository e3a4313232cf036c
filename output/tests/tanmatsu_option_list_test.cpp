#include "output/tanmatsu_option_list.h"
#include "platform/errors.h"
#include "test_picture.h"
#include "tests/support/test_handset.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

using test::Handset;

TBitmap Picture() {
  return test::MakePicture(40, 30, [](int x, int y) {
    return RGB(static_cast<std::uint8_t>(x * 6), static_cast<std::uint8_t>(y * 8), 90);
  });
}

class WorkingSet : public testing::Test {
protected:
  void SetUp() override { set.Maker().SetSource(Picture()); }

  std::vector<int> SaveMap() const {
    std::vector<int> map;
    for (std::size_t i = 0; i < set.HandsetCount(); ++i)
      map.push_back(set.SaveIndexOf(i));
    return map;
  }

  TTanmatsuOptionList set;
};

TEST_F(WorkingSet, EveryAddedHandsetStartsSelected) {
  set.AddHandset(Handset("A"));
  set.AddHandset(Handset("B"));
  EXPECT_EQ(set.HandsetCount(), 2u);
  EXPECT_EQ(set.TargetCount(), 2);
  EXPECT_TRUE(set.IsSelected(1));
  EXPECT_EQ(set.IndexOfTarget(set.TargetOf(1)), 1);
  EXPECT_EQ(set.IndexOfTarget(nullptr), -1);

  set.SetSelected(0, false);
  set.SetSelected(0, false); // deselecting twice changes nothing
  EXPECT_EQ(set.TargetCount(), 1);
  EXPECT_EQ(set.TargetOf(0), nullptr);
  TStandbySpecification* b = set.TargetOf(1);
  set.SetSelected(1, true); // already selected: the same target stays
  EXPECT_EQ(set.TargetOf(1), b);
  EXPECT_THROW(set.TargetOf(2), ERangeError);
}

TEST_F(WorkingSet, FoldingIdenticalImages) {
  for (const char* name : {"A", "B", "C"})
    set.AddHandset(Handset(name));
  set.Maker().MakeAll();
  ASSERT_EQ(set.CompletedCount(), 3);
  set.BuildSavePlan(false);
  EXPECT_EQ(set.SaveCount(), 1);
  EXPECT_EQ(SaveMap(), (std::vector<int>{0, 0, 0}));
  set.BuildSavePlan(true);
  EXPECT_EQ(set.SaveCount(), 3);
  EXPECT_EQ(SaveMap(), (std::vector<int>{0, 1, 2}));
}

TEST_F(WorkingSet, UnselectedAndUnmadeHandsetsStayOutOfThePlan) {
  set.AddHandset(Handset("A"));
  set.AddHandset(Handset("B", 30, 30));
  set.AddHandset(Handset("C"));
  set.AddHandset(Handset("D", 30, 30));
  set.AddHandset(Handset("E", 20, 20));
  set.Maker().MakeAll();
  set.TargetOf(1)->Reset(); // B selected but not made
  set.SetSelected(4, false);
  set.BuildSavePlan(false);
  EXPECT_EQ(SaveMap(), (std::vector<int>{0, -1, 0, 1, -1}));
  ASSERT_EQ(set.SaveCount(), 2);
  EXPECT_EQ(set.GetSaveTanmatsu(1).Name, "D");
  EXPECT_EQ(set.GetSaveStandby(0), set.TargetOf(0));
  EXPECT_EQ(set.TotalFileSize(), set.TargetOf(0)->FileSize() + set.TargetOf(3)->FileSize());
  set.BuildSavePlan(true);
  EXPECT_EQ(SaveMap(), (std::vector<int>{0, -1, 1, 2, -1}));
}

TEST_F(WorkingSet, NamesAndClashes) {
  set.AddHandset(Handset("A"));
  set.AddHandset(Handset("a", 30, 30));
  set.AddHandset(Handset("Z", 20, 20, ifPNG8));
  set.Maker().MakeAll();
  set.BuildSavePlan(true);
  set.MakeFileNames("$tn_$sn3$ex", "/pic/flower.jpg");
  EXPECT_EQ(set.FileNameOf(0), "a_000.jpg");
  EXPECT_EQ(set.FileNameOf(2), "z_002.png");
  set.MakeFileNames("$tn$ex", "");
  EXPECT_TRUE(set.GetFileNameBattings(0));
  EXPECT_TRUE(set.GetFileNameBattings(1));
  EXPECT_FALSE(set.GetFileNameBattings(2));
  EXPECT_TRUE(set.AnyClash());
  try {
    set.GetFileNameBattings(3);
    ADD_FAILURE();
  } catch (const EMirufoError& e) {
    EXPECT_STREQ(e.what(),
                 "TTanmatsuOptionList: インデックスが範囲を超えています（GetFileNameBattings）");
  }
  EXPECT_THROW(set.GetSaveStandby(3), EMirufoError);
  EXPECT_THROW(set.GetSaveTanmatsu(-1), EMirufoError);
}

TEST_F(WorkingSet, UpdateHandsetKeepsOrResetsTheTarget) {
  set.AddHandset(Handset("A"));
  set.Maker().MakeAll();
  TTanmatsuRecord renamed = Handset("Renamed");
  set.UpdateHandset(0, renamed);
  EXPECT_TRUE(set.TargetOf(0)->IsMade());
  EXPECT_EQ(set.GetHandset(0).Name, "Renamed");

  TTanmatsuRecord smaller = renamed;
  smaller.Cache = 5;
  set.UpdateHandset(0, smaller);
  EXPECT_FALSE(set.TargetOf(0)->IsMade());
  EXPECT_EQ(set.TargetOf(0)->Handset().Cache, 5.0f);

  // A named capacity counts as the capacity the handset reads.
  set.Maker().MakeAll();
  TTanmatsuRecord named = smaller;
  named.SetCacheName("named");
  set.Handsets().AddCache({"named", 5});
  set.UpdateHandset(0, named);
  EXPECT_TRUE(set.TargetOf(0)->IsMade());
  TTanmatsuRecord wider = named;
  wider.Width = 25;
  set.UpdateHandset(0, wider);
  EXPECT_FALSE(set.TargetOf(0)->IsMade());
  EXPECT_EQ(set.TargetOf(0)->ScreenWidth(), 25);
}

TEST_F(WorkingSet, MergeListAndDelete) {
  TTanmatsuList user;
  user.Add(Handset("U1"));
  TTanmatsuRecord named = Handset("U2");
  named.SetCacheName("mine");
  user.Add(named);
  user.AddCache({"mine", 3});
  set.AddHandset(Handset("Built-in"));
  set.MergeList(user, true);
  ASSERT_EQ(set.HandsetCount(), 3u);
  EXPECT_EQ(set.GetHandset(1).Carrier, crUser);
  EXPECT_EQ(set.GetHandset(2).Cache, 3.0f);
  EXPECT_EQ(user.Get(0).Carrier, crDoCoMo) << "the merged list itself is unchanged";
  EXPECT_EQ(set.Handsets().FindCache("mine"), 0);
  EXPECT_EQ(set.TargetCount(), 3);

  set.DeleteHandset(1);
  EXPECT_EQ(set.HandsetCount(), 2u);
  EXPECT_EQ(set.TargetCount(), 2);
  EXPECT_EQ(set.GetHandset(1).Name, "U2");
  EXPECT_EQ(set.TargetOf(1)->Handset().Name, "U2");
  set.ClearHandsets();
  EXPECT_EQ(set.TargetCount(), 0);
}

TEST_F(WorkingSet, ApplySelectionIsOneBatch) {
  for (const char* name : {"A", "B", "C"})
    set.AddHandset(Handset(name));
  std::vector<std::pair<std::size_t, bool>> changes;
  int updates = 0;
  set.SelectionChanged = [&](std::size_t i, bool on) { changes.emplace_back(i, on); };
  set.SelectionUpdated = [&] { ++updates; };
  set.ApplySelection({false, true});
  EXPECT_EQ(changes,
            (std::vector<std::pair<std::size_t, bool>>{{0, false}, {1, true}, {2, false}}));
  EXPECT_EQ(updates, 1);
  EXPECT_EQ(set.TargetCount(), 1);

  // Deselecting many at once (in one pass) leaves the maker holding exactly
  // the selected handsets' targets, in handset order, each its own.
  for (const char* name : {"D", "E", "F", "G"})
    set.AddHandset(Handset(name));
  set.ApplySelection({true, false, true, false, true, false, true});
  ASSERT_EQ(set.TargetCount(), 4);
  std::vector<std::string> kept;
  for (int t = 0; t < set.Maker().Count(); ++t)
    kept.push_back(set.Maker().Items(t)->Handset().Name);
  // The maker appends newly selected targets after the ones it kept.
  EXPECT_EQ(kept, (std::vector<std::string>{"E", "G", "A", "C"}));
  for (std::size_t i = 0; i < set.HandsetCount(); ++i)
    if (set.IsSelected(i)) {
      EXPECT_EQ(set.TargetOf(i)->Handset().Name, set.GetHandset(i).Name);
    }
}

} // namespace
} // namespace mirufo
