// A stand-in for the working set in catalogue tests: handsets from a
// TTanmatsuList, a tick per handset, and a batch that reports each change to
// an optional listener the way the main window tells the pages.
#pragma once

#include "catalogue/tanmatsu_list.h"
#include "catalogue/tanmatsu_selection.h"
#include "test_handset.h"

#include <functional>
#include <vector>

namespace mirufo::test {

class FakeSelection : public TTanmatsuSelection {
public:
  FakeSelection() = default;
  explicit FakeSelection(const TTanmatsuList& list) : list_(list), ticks_(list.Count(), true) {}

  static FakeSelection BuiltIn() {
    TTanmatsuList list;
    list.LoadBuiltIn();
    return FakeSelection(list);
  }

  std::size_t HandsetCount() const override { return list_.Count(); }
  TTanmatsuRecord GetHandset(std::size_t index) const override { return list_.Get(index); }
  const TTanmatsuRecord& StoredHandset(std::size_t index) const override {
    return list_.Stored(index);
  }
  bool IsSelected(std::size_t index) const override { return ticks_.at(index); }
  void ApplySelection(const std::vector<bool>& ticks) override {
    ++batches;
    for (std::size_t i = 0; i < ticks_.size(); ++i) {
      ticks_[i] = i < ticks.size() && ticks[i];
      if (onChanged)
        onChanged(i, ticks_[i]);
    }
  }

  // Appends a handset, ticked, as the working set does.
  std::size_t AddHandset(const TTanmatsuRecord& record) {
    ticks_.push_back(true);
    return list_.Add(record);
  }
  void DeleteHandset(std::size_t index) {
    list_.Delete(index);
    ticks_.erase(ticks_.begin() + static_cast<std::ptrdiff_t>(index));
  }
  void SetTick(std::size_t index, bool ticked) { ticks_.at(index) = ticked; }
  void SetAll(bool ticked) { ticks_.assign(ticks_.size(), ticked); }
  std::vector<std::size_t> Ticked() const {
    std::vector<std::size_t> result;
    for (std::size_t i = 0; i < ticks_.size(); ++i)
      if (ticks_[i])
        result.push_back(i);
    return result;
  }
  // Index of the first handset with that name and screen, or -1.
  int Find(const std::string& name, const std::string& screen = "") const {
    for (std::size_t i = 0; i < list_.Count(); ++i)
      if (list_.Stored(i).Name == name && list_.Stored(i).Screen == screen)
        return static_cast<int>(i);
    return -1;
  }

  std::function<void(std::size_t, bool)> onChanged;
  int batches = 0;

private:
  TTanmatsuList list_;
  std::vector<bool> ticks_;
};

} // namespace mirufo::test
