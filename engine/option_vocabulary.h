// The option vocabularies of a target, one table each: for every value of
// the resize mode, the alignments, the background, the sharpness and the
// dither, the name the command line takes, the command that the make page's
// menus show with its hint, and the line of the box's option summary. The
// command line's parser and help, the menus, the format dialog's lists and
// the box texts are all made from these rows, so a new value is one row.
// Captions, hints and summaries are message ids: callers pass them through
// Tr.
#pragma once

#include "color/dither_engine.h"
#include "engine/standby_types.h"

#include <span>
#include <string_view>

namespace mirufo {

template <typename TValue> struct TVocabularyEntry {
  TValue Value;
  const char* Name;    // on the command line; nullptr where it is not offered there
  const char* Action;  // the make page's command (its object name); nullptr: none
  const char* Caption; // the command's or list item's caption; nullptr: none
  const char* Hint;    // the command's hint; nullptr: none
  const char* Summary; // the box's summary line; nullptr: none
};

template <typename TValue> using TVocabulary = std::span<const TVocabularyEntry<TValue>>;

// Rows in the order the command line and the menus list them.
TVocabulary<TResizeMode> ResizeModes();
TVocabulary<THorzAlign> HorzAligns();
TVocabulary<TVertAlign> VertAligns();
TVocabulary<TBackgroundMode> BackgroundModes();
TVocabulary<TSharpness> Sharpnesses();
TVocabulary<TDitherKind> DitherKinds();

// The row of a value, or nullptr when the table has none.
template <typename TValue>
const TVocabularyEntry<TValue>* FindEntry(TVocabulary<TValue> table, TValue value) {
  for (const auto& row : table)
    if (row.Value == value)
      return &row;
  return nullptr;
}

// The row of a command-line name, or nullptr.
template <typename TValue>
const TVocabularyEntry<TValue>* FindNamed(TVocabulary<TValue> table, std::string_view name) {
  for (const auto& row : table)
    if (row.Name && name == row.Name)
      return &row;
  return nullptr;
}

} // namespace mirufo
