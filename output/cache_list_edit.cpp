#include "output/cache_list_edit.h"

#include "output/page_texts.h"
#include "output/tanmatsu_option_list.h"
#include "platform/arith.h"
#include "platform/translate.h"

#include <algorithm>
#include <vector>

namespace mirufo {

int CacheSliderPosition(float capacity) {
  const long double tenths = static_cast<long double>(capacity) * 10;
  if (!(tenths >= kCacheSliderMin))
    return kCacheSliderMin;
  if (tenths >= kCacheSliderMax)
    return kCacheSliderMax;
  return static_cast<int>(Trunc(tenths));
}

float CacheSliderCapacity(int position) {
  return static_cast<float>(position) / 10.0f;
}

std::optional<std::string> CheckNewCacheName(const TTanmatsuList& caches, std::string_view answer) {
  if (answer.empty())
    return std::string(Tr("名前を入力して下さい。"));
  for (std::size_t i = 0; i < caches.CacheCount(); ++i)
    if (caches.GetCache(i).Name == answer)
      return FillFormat(Tr("名前 %s は既に使われています。"), {std::string(answer)});
  return std::nullopt;
}

void AddCacheEntry(TTanmatsuList& caches, std::string_view answer, int sliderPosition) {
  TCacheCapacity entry;
  entry.SetName(answer);
  entry.Capacity = CacheSliderCapacity(sliderPosition);
  caches.AddCache(entry);
}

void ConfirmCacheList(TTanmatsuOptionList& workingSet, const TTanmatsuList& edited) {
  TTanmatsuList& list = workingSet.Handsets();
  // Every handset as it reads now, before any entry changes.
  std::vector<TTanmatsuRecord> records;
  records.reserve(workingSet.HandsetCount());
  for (std::size_t i = 0; i < workingSet.HandsetCount(); ++i)
    records.push_back(workingSet.GetHandset(i));

  std::vector<std::string> removed;
  for (std::size_t i = list.CacheCount(); i-- > 0;) {
    const std::string name = list.GetCache(i).Name;
    if (edited.FindCache(name) < 0) {
      removed.push_back(name);
      list.DeleteCache(i);
    }
  }
  for (std::size_t i = 0; i < edited.CacheCount(); ++i)
    list.AddCache(edited.GetCache(i));

  for (std::size_t i = 0; i < records.size(); ++i) {
    TTanmatsuRecord record = records[i];
    if (std::find(removed.begin(), removed.end(), record.CacheName) != removed.end())
      record.CacheName.clear();
    // Read back with the new capacities filled in.
    workingSet.UpdateHandset(i, record);
    workingSet.UpdateHandset(i, workingSet.GetHandset(i));
  }
}

} // namespace mirufo
