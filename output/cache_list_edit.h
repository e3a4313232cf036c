// The cache capacity dialog "キャッシュ容量リスト" without its widgets: the
// slider's scale, the checks on a new entry's name, adding an entry, and what
// confirming the edited list does to the working set.
#pragma once

#include "catalogue/tanmatsu_list.h"

#include <optional>
#include <string>
#include <string_view>

namespace mirufo {

class TTanmatsuOptionList;

inline constexpr int kCacheSliderMin = 10;
inline constexpr int kCacheSliderMax = 1000;

// The slider position of a capacity: tenths of a KB, truncated, kept within
// the slider (so no limit, 0, shows at the left end).
int CacheSliderPosition(float capacity);
// The capacity a slider position stands for, in KB.
float CacheSliderCapacity(int position);

// Why a new entry's name is refused ("名前を入力して下さい。" or
// "名前 %s は既に使われています。"), or nothing. The whole answer is compared,
// as typed.
std::optional<std::string> CheckNewCacheName(const TTanmatsuList& caches, std::string_view answer);
// Adds the entry (its name cut to 31 bytes) with the slider's capacity; a cut
// name equal to an existing entry's sets that entry's capacity instead.
void AddCacheEntry(TTanmatsuList& caches, std::string_view answer, int sliderPosition);

// OK: every edited entry goes into the working set's list (new names
// appended, existing names take the edited capacity), and entries deleted in
// the dialog leave it; a handset that named a deleted entry keeps the
// capacity it had, as a fixed value. Then every handset is written back with
// its named capacity filled in, so that a selected handset whose capacity
// changed has its target reset.
void ConfirmCacheList(TTanmatsuOptionList& workingSet, const TTanmatsuList& edited);

} // namespace mirufo
