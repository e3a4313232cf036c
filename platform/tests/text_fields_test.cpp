#include "platform/text_fields.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

TEST(TextFields, SplitAndJoin) {
  EXPECT_EQ(SplitFields("", "\t"), std::vector<std::string>{""});
  EXPECT_EQ(SplitFields("a\t\tb\t", "\t"), (std::vector<std::string>{"a", "", "b", ""}));
  EXPECT_EQ(SplitFields("表\t示", "\t"), (std::vector<std::string>{"表", "示"}));
  EXPECT_EQ(JoinFields({}, "\t"), "");
  EXPECT_EQ(JoinFields({"a", "", "b"}, ", "), "a, , b");
}

// What reaches a terminal: control characters shown, printable text kept.
TEST(TextFields, ControlCharactersAreShownEscaped) {
  struct TCase {
    std::string Text;
    bool KeepNewlines;
    std::string Shown;
  };
  const TCase cases[] = {
      {"plain 端末 \\ name", false, "plain 端末 \\ name"},
      {"\x1b[2J\x1b[31mred", false, "\\x1b[2J\\x1b[31mred"},
      {"a\tb\rc\x7f", false, "a\\x09b\\x0dc\\x7f"},
      {"line\nnext", false, "line\\x0anext"},
      {"line\nnext", true, "line\nnext"},
      {"csi \xc2\x9b"
       "31m",
       false, "csi \\u009b31m"},
      {"\xc2\xa0nbsp", false, "\xc2\xa0nbsp"},
      {std::string("nul\0end", 7), false, "nul\\x00end"},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(EscapeControls(c.Text, c.KeepNewlines), c.Shown) << c.Text;
}

} // namespace
} // namespace mirufo
