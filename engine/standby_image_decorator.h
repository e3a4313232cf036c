// Decorators draw on a finished screen image before it is encoded, and the
// list of them that every target's decorate stage runs in order.
#pragma once

#include "imaging/bitmap.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace mirufo {

// Base of every decorator. The decorate stage compares decorators with Equals
// to decide whether two targets can share their decorate stage, so a
// descendant that adds settings must compare them there.
class TStandbyImageDecorator {
public:
  TStandbyImageDecorator() = default;
  TStandbyImageDecorator(const TStandbyImageDecorator&) = default;
  TStandbyImageDecorator& operator=(const TStandbyImageDecorator&) = default;
  virtual ~TStandbyImageDecorator() = default;

  // A disabled decorator draws nothing; it stays in its list.
  bool Enabled = true;

  // Draws onto a 24-bit bitmap.
  virtual void Draw(TBitmap& bitmap) = 0;
  // Copies the settings of another decorator; the base copies nothing.
  virtual void Assign(const TStandbyImageDecorator& source);
  // The reverse of Assign, for a destination that does not know this class;
  // the base copies nothing.
  virtual void AssignTo(TStandbyImageDecorator& dest) const;
  // True when both are of the same class and have the same Enabled.
  virtual bool Equals(const TStandbyImageDecorator& other) const;
  // A copy of this decorator with all its settings, Equals to it, that
  // draws what it draws: the decorate stage keeps one, so that later edits
  // of the live decorator never reach a stage made before them.
  virtual std::shared_ptr<TStandbyImageDecorator> Clone() const = 0;
};

// An ordered list of decorators. It holds references only: the owner of the
// decorators keeps them alive for as long as the list uses them.
class TStandbyImageDecoratorList {
public:
  int Count() const { return static_cast<int>(items_.size()); }
  // Raises ERangeError for an index outside 0 to Count() - 1.
  TStandbyImageDecorator* Items(int index) const;
  TStandbyImageDecorator* operator[](int index) const { return Items(index); }

  // Appends and returns the new index.
  int Add(TStandbyImageDecorator* decorator);
  // Inserts before index (0 to Count()); raises ERangeError otherwise.
  void Insert(int index, TStandbyImageDecorator* decorator);
  // Removes the entry at index; raises ERangeError outside the list.
  void Delete(int index);
  // Removes the first entry that refers to decorator and returns its index,
  // or -1 when the list does not hold it.
  int Remove(const TStandbyImageDecorator* decorator);
  int IndexOf(const TStandbyImageDecorator* decorator) const;
  void Clear() { items_.clear(); }

private:
  std::vector<TStandbyImageDecorator*> items_;
};

} // namespace mirufo
