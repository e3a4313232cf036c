#include "platform/arith.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

TEST(Arith, RoundGoesHalfToEven) {
  EXPECT_EQ(Round(0.5L), 0);
  EXPECT_EQ(Round(1.5L), 2);
  EXPECT_EQ(Round(2.5L), 2);
  EXPECT_EQ(Round(-0.5L), 0);
  EXPECT_EQ(Round(-1.5L), -2);
  EXPECT_EQ(Round(10.5L), 10);
  EXPECT_EQ(Round(2.5000000001L), 3);
}

TEST(Arith, TruncFracFloorAndDiv) {
  EXPECT_EQ(Trunc(-2.7L), -2);
  EXPECT_EQ(Trunc(2.7L), 2);
  EXPECT_DOUBLE_EQ(static_cast<double>(Frac(-2.75L)), -0.75);
  EXPECT_EQ(Floor(-2.1L), -3);
  EXPECT_EQ(Floor(2.9L), 2);
  EXPECT_EQ(Div(-7, 2), -3);
  EXPECT_EQ(Div(7, -2), -3);
}

TEST(Arith, ExtendedPrecisionIsWiderThanDouble) {
  // The x87 format keeps 64 significand bits; rounding that depends on it
  // must not silently fall back to double.
  EXPECT_GE(std::numeric_limits<long double>::digits, 64);
}

TEST(Arith, ClampByte) {
  EXPECT_EQ(ClampByte(-1), 0);
  EXPECT_EQ(ClampByte(256), 255);
  EXPECT_EQ(ClampByte(128), 128);
  EXPECT_EQ(ClampByte(INT32_MIN), 0);
}

TEST(Arith, KilobytesToBytesTruncatesAndSaturates) {
  EXPECT_EQ(KilobytesToBytes(7.5L), 7680);
  EXPECT_EQ(KilobytesToBytes(9.999L), 10238); // 10238.976 truncated
  EXPECT_EQ(KilobytesToBytes(0.0005L), 0);    // less than a byte: no limit
  EXPECT_EQ(KilobytesToBytes(0), 0);
  EXPECT_EQ(KilobytesToBytes(-3), 0);
  EXPECT_EQ(KilobytesToBytes(std::nanl("")), 0);
  EXPECT_EQ(KilobytesToBytes(1e30L), INT64_MAX);
  EXPECT_EQ(KilobytesToBytes(static_cast<long double>(INFINITY)), INT64_MAX);
  EXPECT_EQ(KilobytesToBytes(static_cast<long double>(INT64_MAX / 1024)), INT64_MAX / 1024 * 1024);
}

} // namespace
} // namespace mirufo
