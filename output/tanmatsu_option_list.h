// The working set: every handset known while the program runs (built-in and
// user-defined) in catalogue order, which of them are selected, the target
// each selected handset has in the maker, and the save plan built from the
// made targets. A handset is selected exactly when it has a target.
#pragma once

#include "catalogue/tanmatsu_list.h"
#include "catalogue/tanmatsu_selection.h"
#include "engine/standby_maker.h"
#include "engine/standby_specification_list.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mirufo {

class TStandbyFileName;

class TTanmatsuOptionList : public TTanmatsuSelection {
public:
  TTanmatsuOptionList();
  // Deletes every handset (so the maker frees every target).
  ~TTanmatsuOptionList() override;
  TTanmatsuOptionList(const TTanmatsuOptionList&) = delete;
  TTanmatsuOptionList& operator=(const TTanmatsuOptionList&) = delete;

  // Handsets and selection.
  std::size_t HandsetCount() const override { return handsets_.Count(); }
  int TargetCount() const { return maker_.Count(); }
  int CompletedCount() const;
  // Copy of handset i with its named capacity filled in.
  TTanmatsuRecord GetHandset(std::size_t index) const override { return handsets_.Get(index); }
  const TTanmatsuRecord& StoredHandset(std::size_t index) const override {
    return handsets_.Stored(index);
  }
  TStandbySpecification* TargetOf(std::size_t index) const;
  bool IsSelected(std::size_t index) const override { return TargetOf(index) != nullptr; }
  int IndexOfTarget(const TStandbySpecification* target) const;

  // Appends the handset and selects it; returns its index.
  std::size_t AddHandset(const TTanmatsuRecord& record);
  // Creates or deletes the handset's target; nothing when already so.
  void SetSelected(std::size_t index, bool on);
  // Replaces the record; a selected handset whose format, size, colour depth
  // or cache capacity changed gets its target reset and set up anew.
  void UpdateHandset(std::size_t index, const TTanmatsuRecord& record);
  void DeleteHandset(std::size_t index);
  void ClearHandsets();
  // Adds list's named capacities (replacing those of the same name), then
  // appends every record of list (read with list's own capacities), as
  // user-defined handsets when userDefined. With skipKnown, a record equal in
  // every field to a handset already in the working set (or to one appended
  // before it) is not appended again. Returns how many were appended; when
  // indexes is given, it receives per record of list the index of the
  // handset that now stands for it.
  std::size_t MergeList(const TTanmatsuList& list, bool userDefined, bool skipKnown = false,
                        std::vector<std::size_t>* indexes = nullptr);

  // Ticks exactly the handsets whose flag is set, reporting each change
  // through SelectionChanged and the end of the batch through
  // SelectionUpdated.
  void ApplySelection(const std::vector<bool>& ticks) override;
  std::function<void(std::size_t index, bool selected)> SelectionChanged;
  std::function<void()> SelectionUpdated;

  // The handset list itself (records as stored, and the named capacities).
  TTanmatsuList& Handsets() { return handsets_; }
  const TTanmatsuList& Handsets() const { return handsets_; }
  TStandbyMaker& Maker() { return maker_; }
  const TStandbyMaker& Maker() const { return maker_; }

  // The save plan: the made targets of the selected handsets in handset
  // order; unless allowDuplicates, targets with the same image are folded
  // into the entry of the first handset that has it.
  void BuildSavePlan(bool allowDuplicates);
  // Names every save entry from the template and flags clashing names.
  void MakeFileNames(std::string_view templateText, std::string_view sourceFileName);
  void MakeFileNames(const TStandbyFileName& fileName, std::string_view sourceFileName);

  int SaveCount() const { return static_cast<int>(saveList_.size()); }
  // The save entry that holds handset i's image, or -1.
  int SaveIndexOf(std::size_t index) const;
  const std::string& FileNameOf(int saveIndex) const;
  bool GetFileNameBattings(int saveIndex) const;
  bool AnyClash() const;
  TStandbySpecification* GetSaveStandby(int saveIndex) const;
  TTanmatsuRecord GetSaveTanmatsu(int saveIndex) const;
  // Handset index of a save entry.
  std::size_t SaveHandsetIndex(int saveIndex) const;
  // Sum of the encoded sizes of every save entry, in bytes.
  std::int64_t TotalFileSize() const;

private:
  // The first handset stored exactly as the record, or -1.
  int IndexOfStored(const TTanmatsuRecord& record) const;
  std::size_t CheckedSaveHandset(int saveIndex, const char* operation) const;

  TTanmatsuList handsets_;
  TStandbySpecificationList targets_;
  TStandbyMaker maker_;
  std::vector<int> saveList_;
  std::vector<int> saveMap_;
  std::vector<std::string> fileNames_;
  std::vector<bool> clashes_;
};

} // namespace mirufo
