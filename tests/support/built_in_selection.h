// The built-in catalogue as the make sets see the working set: its handsets
// (or the first few), all ticked. Header-only, so that the fuzz targets and
// the seed writer can use it without the test framework.
#pragma once

#include "catalogue/tanmatsu_list.h"
#include "catalogue/tanmatsu_selection.h"

#include <cstddef>
#include <limits>
#include <vector>

namespace mirufo::test {

class TBuiltInSelection : public TTanmatsuSelection {
public:
  // The records are looked up once, with their named capacities filled in,
  // as the working set gives them.
  explicit TBuiltInSelection(std::size_t count = std::numeric_limits<std::size_t>::max()) {
    list_.LoadBuiltIn();
    for (std::size_t i = 0; i < count && i < list_.Count(); ++i)
      records_.push_back(list_.Get(i));
  }

  // The whole built-in list, caches included.
  const TTanmatsuList& List() const { return list_; }

  std::size_t HandsetCount() const override { return records_.size(); }
  TTanmatsuRecord GetHandset(std::size_t index) const override { return records_.at(index); }
  const TTanmatsuRecord& StoredHandset(std::size_t index) const override {
    return records_.at(index);
  }
  bool IsSelected(std::size_t) const override { return true; }
  void ApplySelection(const std::vector<bool>&) override {}

private:
  TTanmatsuList list_;
  std::vector<TTanmatsuRecord> records_;
};

} // namespace mirufo::test
