// How the catalogue's models see the working set: the handsets in catalogue
// order, which of them are ticked, and a way to change the ticks as one
// batch. The working set implements it; the make sets and the carrier tree
// use it, so that neither needs the engine.
#pragma once

#include "catalogue/tanmatsu_record.h"

#include <cstddef>
#include <vector>

namespace mirufo {

class TTanmatsuSelection {
public:
  virtual ~TTanmatsuSelection() = default;

  virtual std::size_t HandsetCount() const = 0;
  // Copy of handset i with its named capacity filled in.
  virtual TTanmatsuRecord GetHandset(std::size_t index) const = 0;
  // Handset i as stored, without the named capacity: for reading its name,
  // series and screen without a copy. Valid until the handsets change.
  virtual const TTanmatsuRecord& StoredHandset(std::size_t index) const = 0;
  virtual bool IsSelected(std::size_t index) const = 0;

  // Ticks handset i exactly when ticks[i] is true (a position beyond the
  // vector counts as false), as one batch: every handset is selected or
  // deselected and reported, then the batch's end is reported once.
  virtual void ApplySelection(const std::vector<bool>& ticks) = 0;
};

} // namespace mirufo
