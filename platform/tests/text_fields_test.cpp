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

} // namespace
} // namespace mirufo
