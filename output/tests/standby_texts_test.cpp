#include "output/standby_texts.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

TEST(StandbyTexts, FileSizes) {
  EXPECT_EQ(FileSizeText(0), "0bytes");
  EXPECT_EQ(FileSizeText(1023), "1023bytes");
  EXPECT_EQ(FileSizeText(1024), "1K");
  EXPECT_EQ(FileSizeText(1536), "1.512K");
  EXPECT_EQ(FileSizeText(5000), "4.904K");
  EXPECT_EQ(FileSizeText(20480), "20K");
  // Remainders of 1000 bytes or more never read as a whole kilobyte more.
  EXPECT_EQ(FileSizeText(2047), "1.999K");
  EXPECT_EQ(FileSizeText(1024 + 1000), "1.999K");
}

TEST(StandbyTexts, DownloadTimes) {
  EXPECT_EQ(DownloadTimeText(5000, 28800), "1.4sec @ 28.8K");
  // 0.977 seconds: a tenth digit of 9, printed rounded to one decimal.
  EXPECT_EQ(DownloadTimeText(3600, 28800), "1.0sec @ 28.8K");
  EXPECT_EQ(DownloadTimeText(7680, 384000), "0.2sec @ 384K");
  EXPECT_EQ(DownloadTimeText(2400 * 128, 2400000), "1sec @ 2.4M");
  EXPECT_EQ(DownloadTimeText(1000, 0), "不明");
  EXPECT_EQ(DownloadTimeText(0, 0), "不明");
  EXPECT_EQ(DownloadTimeText(1000, -9600), "不明");
  EXPECT_EQ(DownloadTimeText(-1, 9600), "0sec @ 9.6K");
}

} // namespace
} // namespace mirufo
