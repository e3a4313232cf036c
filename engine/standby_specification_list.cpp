// The list of target references.
#include "engine/standby_specification_list.h"

#include "platform/errors.h"

#include <algorithm>

namespace mirufo {

void TStandbySpecificationList::CheckIndex(int index) const {
  if (index < 0 || index >= Count())
    throw ERangeError("TStandbySpecificationList");
}

TStandbySpecification* TStandbySpecificationList::Items(int index) const {
  CheckIndex(index);
  return items_[static_cast<std::size_t>(index)];
}

void TStandbySpecificationList::SetItem(int index, TStandbySpecification* target) {
  CheckIndex(index);
  items_[static_cast<std::size_t>(index)] = target;
}

int TStandbySpecificationList::Add(TStandbySpecification* target) {
  items_.push_back(target);
  return Count() - 1;
}

void TStandbySpecificationList::Delete(int index) {
  CheckIndex(index);
  items_.erase(items_.begin() + index);
}

int TStandbySpecificationList::Remove(const TStandbySpecification* target) {
  int index = IndexOf(target);
  if (index >= 0)
    items_.erase(items_.begin() + index);
  return index;
}

int TStandbySpecificationList::IndexOf(const TStandbySpecification* target) const {
  auto it = std::find(items_.begin(), items_.end(), target);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

} // namespace mirufo
