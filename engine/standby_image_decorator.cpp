#include "engine/standby_image_decorator.h"

#include "platform/errors.h"

#include <algorithm>
#include <typeinfo>

namespace mirufo {

void TStandbyImageDecorator::Assign(const TStandbyImageDecorator& /*source*/) {}

void TStandbyImageDecorator::AssignTo(TStandbyImageDecorator& /*dest*/) const {}

bool TStandbyImageDecorator::Equals(const TStandbyImageDecorator& other) const {
  return typeid(*this) == typeid(other) && Enabled == other.Enabled;
}

TStandbyImageDecorator* TStandbyImageDecoratorList::Items(int index) const {
  if (index < 0 || index >= Count())
    throw ERangeError("TStandbyImageDecoratorList");
  return items_[static_cast<std::size_t>(index)];
}

int TStandbyImageDecoratorList::Add(TStandbyImageDecorator* decorator) {
  items_.push_back(decorator);
  return Count() - 1;
}

void TStandbyImageDecoratorList::Insert(int index, TStandbyImageDecorator* decorator) {
  if (index < 0 || index > Count())
    throw ERangeError("TStandbyImageDecoratorList");
  items_.insert(items_.begin() + index, decorator);
}

void TStandbyImageDecoratorList::Delete(int index) {
  if (index < 0 || index >= Count())
    throw ERangeError("TStandbyImageDecoratorList");
  items_.erase(items_.begin() + index);
}

int TStandbyImageDecoratorList::IndexOf(const TStandbyImageDecorator* decorator) const {
  auto it = std::find(items_.begin(), items_.end(), decorator);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int TStandbyImageDecoratorList::Remove(const TStandbyImageDecorator* decorator) {
  int index = IndexOf(decorator);
  if (index >= 0)
    Delete(index);
  return index;
}

} // namespace mirufo
