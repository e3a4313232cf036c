// The pages' status texts and the format filling they share.
#include "output/page_texts.h"

#include <climits>
#include <gtest/gtest.h>

namespace mirufo {
namespace {

TEST(PageTexts, StatusTexts) {
  EXPECT_EQ(HandsetPageStatus(12, 287), "12 / 287 枚の待受画像を作成します");
  EXPECT_EQ(SourcePageStatus(true, "/a/b.jpg", 100), "no image");
  EXPECT_EQ(SourcePageStatus(false, "/a/写真.jpg", 400), "写真.jpg @ 400%");
  EXPECT_EQ(SourcePageStatus(false, "クリップボード", 100), "クリップボード @ 100%");
  EXPECT_EQ(MakePageStatus(3, 1), "3 枚の待受画像を作成（完成済み 1 枚）");
  EXPECT_EQ(SavePageStatus(3, 12345), "3 個のファイルを保存します（12,345 bytes）");
}

TEST(PageTexts, FillFormatNeverReadsPastItsValues) {
  EXPECT_EQ(FillFormat("%d-%s-%d", {"1"}), "1--");
  EXPECT_EQ(FillFormat("100%% %x %", {}), "100% %x %");
}

TEST(PageTexts, Thousands) {
  EXPECT_EQ(ThousandsText(0), "0");
  EXPECT_EQ(ThousandsText(999), "999");
  EXPECT_EQ(ThousandsText(1000), "1,000");
  EXPECT_EQ(ThousandsText(-1234567), "-1,234,567");
  EXPECT_EQ(ThousandsText(INT64_MIN), "-9,223,372,036,854,775,808");
}

} // namespace
} // namespace mirufo
