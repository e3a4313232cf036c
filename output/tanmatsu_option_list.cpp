#include "output/tanmatsu_option_list.h"

#include "output/standby_file_name.h"
#include "platform/errors.h"
#include "platform/translate.h"

namespace mirufo {
namespace {

constexpr const char* kClassName = "TTanmatsuOptionList";

// Marker of a folded duplicate during BuildSavePlan: -10 - (first handset).
constexpr int kFoldBase = -10;

// The maker's index of a target, searched from the end. Targets are added in
// handset order, so when handsets go last first each target is found at once.
int MakerIndexOf(const TStandbyMaker& maker, const TStandbySpecification* target) {
  for (int i = maker.Count(); i-- > 0;)
    if (maker.Items(i) == target)
      return i;
  return -1;
}

} // namespace

TTanmatsuOptionList::TTanmatsuOptionList() = default;

TTanmatsuOptionList::~TTanmatsuOptionList() {
  // Hooks belong to windows that may be gone by now.
  SelectionChanged = nullptr;
  SelectionUpdated = nullptr;
  ClearHandsets();
}

int TTanmatsuOptionList::CompletedCount() const {
  int made = 0;
  for (int i = 0; i < maker_.Count(); ++i)
    if (maker_.Items(i)->IsMade())
      ++made;
  return made;
}

TStandbySpecification* TTanmatsuOptionList::TargetOf(std::size_t index) const {
  if (index >= static_cast<std::size_t>(targets_.Count()))
    throw ERangeError(kClassName);
  return targets_.Items(static_cast<int>(index));
}

int TTanmatsuOptionList::IndexOfTarget(const TStandbySpecification* target) const {
  return target ? targets_.IndexOf(target) : -1;
}

std::size_t TTanmatsuOptionList::AddHandset(const TTanmatsuRecord& record) {
  std::size_t index = handsets_.Add(record);
  targets_.Add(nullptr);
  SetSelected(index, true);
  return index;
}

void TTanmatsuOptionList::SetSelected(std::size_t index, bool on) {
  TStandbySpecification* target = TargetOf(index);
  if ((target != nullptr) == on)
    return;
  if (on) {
    int made = maker_.AddSpecification(GetHandset(index));
    targets_.SetItem(static_cast<int>(index), maker_.Items(made));
  } else {
    int inMaker = MakerIndexOf(maker_, target);
    if (inMaker >= 0)
      maker_.Delete(inMaker);
    targets_.SetItem(static_cast<int>(index), nullptr);
  }
}

void TTanmatsuOptionList::UpdateHandset(std::size_t index, const TTanmatsuRecord& record) {
  handsets_.Replace(index, record);
  TStandbySpecification* target = TargetOf(index);
  if (!target)
    return;
  const TTanmatsuRecord now = GetHandset(index);
  const TTanmatsuRecord& was = target->Handset();
  if (now.Format != was.Format || now.Width != was.Width || now.Height != was.Height ||
      now.Bit != was.Bit || now.Cache != was.Cache) {
    target->Reset();
    target->InitFromHandset(now);
  }
}

void TTanmatsuOptionList::DeleteHandset(std::size_t index) {
  SetSelected(index, false);
  handsets_.Delete(index);
  targets_.Delete(static_cast<int>(index));
  // The save plan refers to handset positions: it is stale now.
  saveList_.clear();
  saveMap_.clear();
  fileNames_.clear();
  clashes_.clear();
}

void TTanmatsuOptionList::ClearHandsets() {
  // Last first: no list then moves what follows the deleted entry, and each
  // target is at the maker's end, so clearing is linear in the handsets
  // (from the front it was quadratic: minutes for 370,000 user handsets).
  while (HandsetCount() > 0)
    DeleteHandset(HandsetCount() - 1);
}

std::size_t TTanmatsuOptionList::MergeList(const TTanmatsuList& list, bool userDefined,
                                           bool skipKnown, std::vector<std::size_t>* indexes) {
  for (std::size_t i = 0; i < list.CacheCount(); ++i)
    handsets_.AddCache(list.GetCache(i));
  std::size_t added = 0;
  for (std::size_t i = 0; i < list.Count(); ++i) {
    TTanmatsuRecord record = list.Get(i);
    if (userDefined)
      record.Carrier = crUser;
    const int known = skipKnown ? IndexOfStored(record) : -1;
    if (known >= 0) {
      if (indexes)
        indexes->push_back(static_cast<std::size_t>(known));
      continue;
    }
    const std::size_t index = AddHandset(record);
    if (indexes)
      indexes->push_back(index);
    ++added;
  }
  return added;
}

int TTanmatsuOptionList::IndexOfStored(const TTanmatsuRecord& record) const {
  for (std::size_t i = 0; i < handsets_.Count(); ++i)
    if (handsets_.Stored(i) == record)
      return static_cast<int>(i);
  return -1;
}

void TTanmatsuOptionList::ApplySelection(const std::vector<bool>& ticks) {
  // The targets to go are freed together: one by one, each would be looked
  // up in the maker's list and erased from it, quadratic in the handsets.
  std::vector<TStandbySpecification*> gone;
  for (std::size_t i = 0; i < HandsetCount(); ++i) {
    const bool on = i < ticks.size() && ticks[i];
    if (TStandbySpecification* target = TargetOf(i); target && !on) {
      gone.push_back(target);
      targets_.SetItem(static_cast<int>(i), nullptr);
    }
  }
  maker_.DeleteTargets(gone);
  for (std::size_t i = 0; i < HandsetCount(); ++i) {
    const bool on = i < ticks.size() && ticks[i];
    SetSelected(i, on);
    if (SelectionChanged)
      SelectionChanged(i, on);
  }
  if (SelectionUpdated)
    SelectionUpdated();
}

void TTanmatsuOptionList::BuildSavePlan(bool allowDuplicates) {
  const std::size_t count = HandsetCount();
  saveList_.clear();
  saveMap_.assign(count, -1);
  auto usable = [this](std::size_t i) {
    TStandbySpecification* target = TargetOf(i);
    return target != nullptr && target->IsMade();
  };
  if (allowDuplicates) {
    for (std::size_t i = 0; i < count; ++i) {
      if (usable(i)) {
        saveList_.push_back(static_cast<int>(i));
        saveMap_[i] = static_cast<int>(saveList_.size()) - 1;
      }
    }
  } else {
    for (std::size_t n = count; n-- > 0;) {
      if (!usable(n))
        continue;
      int first = -1;
      for (std::size_t i = 0; i < n && first < 0; ++i)
        if (usable(i) && TargetOf(i)->SameImage(*TargetOf(n)))
          first = static_cast<int>(i);
      if (first >= 0) {
        saveMap_[n] = kFoldBase - first;
        continue;
      }
      saveList_.insert(saveList_.begin(), static_cast<int>(n));
      for (int& entry : saveMap_)
        if (entry >= 0)
          ++entry;
      saveMap_[n] = 0;
    }
    for (std::size_t i = 0; i < count; ++i)
      if (saveMap_[i] <= kFoldBase)
        saveMap_[i] = saveMap_[static_cast<std::size_t>(kFoldBase - saveMap_[i])];
  }
  fileNames_.assign(saveList_.size(), std::string());
  clashes_.assign(saveList_.size(), false);
}

void TTanmatsuOptionList::MakeFileNames(std::string_view templateText,
                                        std::string_view sourceFileName) {
  MakeFileNames(TStandbyFileName::Parse(templateText), sourceFileName);
}

void TTanmatsuOptionList::MakeFileNames(const TStandbyFileName& parsed,
                                        std::string_view sourceFileName) {
  std::vector<std::string> names;
  names.reserve(saveList_.size());
  for (int s = 0; s < SaveCount(); ++s)
    names.push_back(parsed.Expand(sourceFileName, GetSaveTanmatsu(s), s, *GetSaveStandby(s)));
  TNamedBatch batch = FlagClashes(std::move(names));
  fileNames_ = std::move(batch.Names);
  clashes_ = std::move(batch.Clashes);
}

int TTanmatsuOptionList::SaveIndexOf(std::size_t index) const {
  if (index >= saveMap_.size())
    throw ERangeError(kClassName);
  return saveMap_[index];
}

const std::string& TTanmatsuOptionList::FileNameOf(int saveIndex) const {
  if (saveIndex < 0 || static_cast<std::size_t>(saveIndex) >= fileNames_.size())
    throw ERangeError(kClassName);
  return fileNames_[static_cast<std::size_t>(saveIndex)];
}

bool TTanmatsuOptionList::GetFileNameBattings(int saveIndex) const {
  if (saveIndex < 0 || static_cast<std::size_t>(saveIndex) >= clashes_.size())
    throw EMirufoError(std::string(kClassName) +
                       Tr(": インデックスが範囲を超えています（GetFileNameBattings）"));
  return clashes_[static_cast<std::size_t>(saveIndex)];
}

bool TTanmatsuOptionList::AnyClash() const {
  for (bool clash : clashes_)
    if (clash)
      return true;
  return false;
}

std::size_t TTanmatsuOptionList::CheckedSaveHandset(int saveIndex, const char* operation) const {
  if (saveIndex < 0 || static_cast<std::size_t>(saveIndex) >= saveList_.size() ||
      static_cast<std::size_t>(saveList_[static_cast<std::size_t>(saveIndex)]) >= HandsetCount())
    throw EMirufoError(std::string(kClassName) + Tr(": インデックスが範囲を超えています（") +
                       operation + Tr("）"));
  return static_cast<std::size_t>(saveList_[static_cast<std::size_t>(saveIndex)]);
}

TStandbySpecification* TTanmatsuOptionList::GetSaveStandby(int saveIndex) const {
  return TargetOf(CheckedSaveHandset(saveIndex, "GetSaveStandby"));
}

TTanmatsuRecord TTanmatsuOptionList::GetSaveTanmatsu(int saveIndex) const {
  return GetHandset(CheckedSaveHandset(saveIndex, "GetSaveTanmatsu"));
}

std::size_t TTanmatsuOptionList::SaveHandsetIndex(int saveIndex) const {
  return CheckedSaveHandset(saveIndex, "GetSaveTanmatsu");
}

std::int64_t TTanmatsuOptionList::TotalFileSize() const {
  std::int64_t total = 0;
  for (int s = 0; s < SaveCount(); ++s) {
    std::int32_t size = GetSaveStandby(s)->FileSize();
    if (size > 0)
      total += size;
  }
  return total;
}

} // namespace mirufo
