// An ordered list of references to targets. The list frees nothing: the
// maker owns the targets, stages and the working set only point at them.
#pragma once

#include <vector>

namespace mirufo {

class TStandbySpecification;

class TStandbySpecificationList {
public:
  int Count() const { return static_cast<int>(items_.size()); }
  // Raise ERangeError for an index outside 0 to Count() - 1.
  TStandbySpecification* Items(int index) const;
  void SetItem(int index, TStandbySpecification* target);
  TStandbySpecification* operator[](int index) const { return Items(index); }

  // Appends and returns the new index.
  int Add(TStandbySpecification* target);
  // Removes the entry at index; raises ERangeError outside the list.
  void Delete(int index);
  // Removes the first entry that refers to target; returns its index or -1.
  int Remove(const TStandbySpecification* target);
  int IndexOf(const TStandbySpecification* target) const;
  void Clear() { items_.clear(); }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

private:
  void CheckIndex(int index) const;
  std::vector<TStandbySpecification*> items_;
};

} // namespace mirufo
