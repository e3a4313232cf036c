#include "platform/errors.h"
#include "platform/limits.h"
#include "platform/text_file.h"
#include "test_support.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>

namespace mirufo {
namespace {

TEST(Limits, PictureSidesAndPixelCountAtAndOnePastTheLimit) {
  EXPECT_TRUE(IsAllowedPictureSize(0, 0));
  EXPECT_TRUE(IsAllowedPictureSize(30000, 1));
  EXPECT_TRUE(IsAllowedPictureSize(1, 30000));
  EXPECT_FALSE(IsAllowedPictureSize(30001, 1));
  EXPECT_FALSE(IsAllowedPictureSize(1, 30001));
  EXPECT_TRUE(IsAllowedPictureSize(20000, 10000)); // exactly 200 million pixels
  EXPECT_FALSE(IsAllowedPictureSize(20000, 10001));
  EXPECT_TRUE(IsAllowedPictureSize(30000, 6666));
  EXPECT_FALSE(IsAllowedPictureSize(30000, 6667));
  EXPECT_FALSE(IsAllowedPictureSize(-1, 10));
  EXPECT_FALSE(IsAllowedPictureSize(10, -1));
}

TEST(Limits, ProductsThatOverflowAreRefusedNotWrapped) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  EXPECT_FALSE(IsAllowedPictureSize(65536, 65536));
  EXPECT_FALSE(IsAllowedPictureSize(kMax, kMax));
  std::size_t bytes = 7;
  EXPECT_FALSE(PictureByteCount(65536, 65536, 3, bytes));
  EXPECT_EQ(bytes, 7u);

  // With the side and pixel limits out of the way only the arithmetic
  // decides: 65536 x 65536 x 3 is 12 GiB, which wraps to 0 in 32 bits.
  TScopedLimits unlimited({kMax, kMax, 1});
  ASSERT_TRUE(PictureByteCount(65536, 65536, 3, bytes));
  EXPECT_EQ(bytes, std::size_t{12} << 30);
  EXPECT_FALSE(IsAllowedPictureSize(std::int64_t{1} << 32, std::int64_t{1} << 32));
  EXPECT_FALSE(PictureByteCount(std::int64_t{1} << 31, std::int64_t{1} << 31, 4, bytes));
  EXPECT_FALSE(PictureByteCount(1, 1, -1, bytes));

  std::uint64_t product = 0;
  EXPECT_TRUE(CheckedMultiply(0xFFFFFFFFu, 0xFFFFFFFFu, product));
  EXPECT_EQ(product, 0xFFFFFFFE00000001u);
  EXPECT_FALSE(CheckedMultiply(std::uint64_t{1} << 32, std::uint64_t{1} << 32, product));
  EXPECT_EQ(product, 0xFFFFFFFE00000001u);
}

TEST(Limits, TextFileOfSixteenMebibytesIsReadAndOneByteMoreIsRefused) {
  test::TempDir dir;
  std::string text(Limits().MaxTextFileBytes, 'a');
  for (std::size_t i = 99; i < text.size(); i += 100)
    text[i] = '\n';
  test::WriteBytes(dir / "at.txt", text);
  EXPECT_EQ(ReadCp932Lines(dir / "at.txt").size(), (text.size() + 99) / 100);

  text += 'a';
  test::WriteBytes(dir / "past.txt", text);
  try {
    ReadCp932Lines(dir / "past.txt");
    ADD_FAILURE() << "a text file past the limit was read";
  } catch (const EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find("past.txt"), std::string::npos);
  }
}

} // namespace
} // namespace mirufo
