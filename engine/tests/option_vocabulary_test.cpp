// The option vocabularies: every value has one row, names and actions are
// unique within a table, and a name finds its own row.
#include "engine/option_vocabulary.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace mirufo {
namespace {

template <typename T> void CheckTable(TVocabulary<T> table, int valueCount, const char* what) {
  std::set<int> values;
  std::set<std::string> names, actions;
  for (const auto& row : table) {
    EXPECT_TRUE(values.insert(static_cast<int>(row.Value)).second) << what << " value twice";
    EXPECT_EQ(FindEntry(table, row.Value), &row) << what;
    if (row.Name) {
      EXPECT_TRUE(names.insert(row.Name).second) << what << " name twice: " << row.Name;
      EXPECT_EQ(FindNamed(table, row.Name), &row) << what;
    }
    if (row.Action) {
      EXPECT_TRUE(actions.insert(row.Action).second) << what << " action twice";
      EXPECT_NE(row.Caption, nullptr) << what << ": a command needs a caption";
    }
  }
  EXPECT_EQ(static_cast<int>(values.size()), valueCount) << what;
  EXPECT_EQ(FindNamed(table, "no such name"), nullptr) << what;
}

TEST(OptionVocabulary, EveryValueHasOneRow) {
  CheckTable(ResizeModes(), 5, "resize");
  CheckTable(HorzAligns(), 5, "horizontal");
  CheckTable(VertAligns(), 5, "vertical");
  CheckTable(BackgroundModes(), 5, "background");
  CheckTable(Sharpnesses(), 4, "sharpness");
  CheckTable(DitherKinds(), kDitherKindCount, "dither");
}

TEST(OptionVocabulary, SummariesCoverWhatATargetCanHold) {
  // Every layout and resize value a target can hold has a summary line, the
  // stored ones included, which no menu sets.
  for (const auto& row : ResizeModes())
    EXPECT_NE(row.Summary, nullptr) << static_cast<int>(row.Value);
  EXPECT_STREQ(FindEntry(HorzAligns(), haNone)->Summary, "水平位置：なし");
  EXPECT_STREQ(FindEntry(VertAligns(), vaNone)->Summary, "垂直位置：なし");
  EXPECT_STREQ(FindEntry(ResizeModes(), rzCustom)->Summary, "サイズ変更：任意");
  // The chosen background colour is given as #RRGGBB, never by a name.
  EXPECT_EQ(FindEntry(BackgroundModes(), bgColor)->Name, nullptr);
}

} // namespace
} // namespace mirufo
