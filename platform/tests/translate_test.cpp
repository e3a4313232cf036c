#include "platform/translate.h"

#include <gtest/gtest.h>

namespace mirufo {

// With no catalogue for the language, every text comes back as it was given,
// so the Japanese program works without any catalogue installed.
TEST(Translate, WithoutCatalogueReturnsTheJapaneseText) {
  EXPECT_STREQ(Tr("次へ(N) >"), "次へ(N) >");
  EXPECT_EQ(Tr(std::string("端末の選択")), "端末の選択");
  EXPECT_STREQ(Tr(""), "");
}

} // namespace mirufo
