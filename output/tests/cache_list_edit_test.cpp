// The cache capacity dialog's rules: the slider scale, refused names, adding
// an entry, and confirming into the working set.
#include "output/cache_list_edit.h"
#include "output/tanmatsu_option_list.h"
#include "test_handset.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

TTanmatsuRecord Named(const char* name, const char* cacheName, float cache = 0) {
  TTanmatsuRecord r = test::Screen(name, 24, 32);
  r.Carrier = crUser;
  r.SetCacheName(cacheName);
  r.Cache = cache;
  return r;
}

TEST(CacheListEdit, SliderScale) {
  EXPECT_EQ(CacheSliderPosition(7.5f), 75);
  EXPECT_EQ(CacheSliderPosition(0), 10) << "no limit shows at the left end";
  EXPECT_EQ(CacheSliderPosition(500), 1000);
  EXPECT_EQ(CacheSliderPosition(8.06f), 80) << "truncated";
  EXPECT_FLOAT_EQ(CacheSliderCapacity(80), 8.0f);
}

TEST(CacheListEdit, NamesAreCheckedAsTyped) {
  TTanmatsuList caches;
  caches.AddCache({"DoCoMo 8KB", 8});
  EXPECT_EQ(CheckNewCacheName(caches, ""), "名前を入力して下さい。");
  EXPECT_EQ(CheckNewCacheName(caches, "DoCoMo 8KB"), "名前 DoCoMo 8KB は既に使われています。");
  EXPECT_EQ(CheckNewCacheName(caches, "docomo 8KB"), std::nullopt);
  EXPECT_EQ(CheckNewCacheName(caches, " DoCoMo 8KB"), std::nullopt) << "not trimmed";

  // A 40-byte answer whose first 31 bytes name an entry sets that entry.
  const std::string longName = "abcdefghijklmnopqrstuvwxyz01234" + std::string("567890123");
  caches.AddCache({"abcdefghijklmnopqrstuvwxyz01234", 5});
  ASSERT_EQ(CheckNewCacheName(caches, longName), std::nullopt);
  AddCacheEntry(caches, longName, 120);
  EXPECT_EQ(caches.CacheCount(), 2u);
  EXPECT_FLOAT_EQ(caches.GetCache(1).Capacity, 12.0f);
  AddCacheEntry(caches, "new", 33);
  EXPECT_EQ(caches.CacheCount(), 3u);
  EXPECT_FLOAT_EQ(caches.GetCache(2).Capacity, 3.3f);
}

TEST(CacheListEdit, ConfirmMergesAndResetsChangedTargets) {
  TTanmatsuOptionList set;
  set.Handsets().AddCache({"au 7.5KB", 7.5f});
  set.Handsets().AddCache({"gone", 3});
  set.AddHandset(Named("A", "au 7.5KB"));
  set.AddHandset(Named("B", "gone"));
  set.AddHandset(Named("C", "", 12));
  TStandbySpecification* a = set.TargetOf(0);
  TStandbySpecification* c = set.TargetOf(2);
  ASSERT_NE(a, nullptr);

  TTanmatsuList edited;
  edited.AddCache({"au 7.5KB", 8});
  edited.AddCache({"added", 50});
  ConfirmCacheList(set, edited);

  EXPECT_EQ(set.Handsets().CacheCount(), 2u);
  EXPECT_EQ(set.Handsets().FindCache("gone"), -1) << "a deleted entry leaves the working set";
  EXPECT_FLOAT_EQ(set.GetHandset(0).Cache, 8.0f);
  EXPECT_FLOAT_EQ(set.Handsets().Stored(0).Cache, 8.0f) << "the looked-up capacity is kept";
  EXPECT_FLOAT_EQ(set.TargetOf(0)->Handset().Cache, 8.0f) << "the target follows";
  // The handset that named the deleted entry keeps its capacity as a fixed value.
  EXPECT_EQ(set.GetHandset(1).CacheName, "");
  EXPECT_FLOAT_EQ(set.GetHandset(1).Cache, 3.0f);
  EXPECT_EQ(set.TargetOf(2), c);
  EXPECT_FLOAT_EQ(set.GetHandset(2).Cache, 12.0f);
  EXPECT_EQ(set.TargetOf(0), a) << "the target is reset, not replaced";
}

} // namespace
} // namespace mirufo
