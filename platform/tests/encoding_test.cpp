#include "platform/encoding.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

TEST(Encoding, CatalogueCharactersRoundTrip) {
  // Roman numeral two, the wave dash of CP932 (full-width tilde) and infinity
  // are the characters that a plain Shift_JIS table gets wrong.
  for (std::string text : {"A5401CAⅡ", "コピー ～ 新規", "∞", "DoCoMo 10KB（504i 以前）", "髙橋",
                           "①", "ｶﾀｶﾅ", "\\path"}) {
    std::string bytes = Utf8ToCp932(text);
    EXPECT_EQ(Cp932ToUtf8(bytes), text);
    EXPECT_TRUE(IsCp932Representable(text));
  }
  EXPECT_EQ(Utf8ToCp932("Ⅱ"), "\x87\x55");
  EXPECT_EQ(Utf8ToCp932("～"), "\x81\x60");
  EXPECT_EQ(Utf8ToCp932("∞"), "\x81\x87");
  EXPECT_EQ(Utf8ToCp932("ｱ"), "\xB1");
}

TEST(Encoding, SecondByteThatLooksLikeABackslashStaysInItsCharacter) {
  std::string so = Utf8ToCp932("ソ表");
  ASSERT_EQ(so, "\x83\x5C\x95\x5C");
  EXPECT_EQ(Cp932ToUtf8(so), "ソ表");
}

TEST(Encoding, UnmappableAndInvalidInputNeverFails) {
  EXPECT_EQ(Utf8ToCp932("a😀b"), "a?b");
  EXPECT_FALSE(IsCp932Representable("😀"));
  EXPECT_EQ(Utf8ToCp932("a\xFF"
                        "b"),
            "a?b");
  EXPECT_EQ(Cp932ToUtf8("a\xA0"
                        "b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(Cp932ToUtf8("a\x82"), "a\xEF\xBF\xBD"); // truncated double-byte character
  EXPECT_EQ(Cp932ToUtf8(""), "");
}

TEST(Encoding, CutsNeverSplitACharacter) {
  EXPECT_EQ(Cp932Length("あいA"), 5u);
  EXPECT_EQ(CutToCp932Bytes("あいA", 5), "あいA");
  EXPECT_EQ(CutToCp932Bytes("あいA", 4), "あい");
  EXPECT_EQ(CutToCp932Bytes("あいA", 3), "あ");
  EXPECT_EQ(CutToCp932Bytes("Aあい", 2), "A");
  EXPECT_EQ(CutToCp932Bytes("ｱｲｳ", 2), "ｱｲ"); // half-width kana are one byte
  EXPECT_EQ(CutToCp932Bytes("abc", 0), "");
  EXPECT_EQ(CutToCp932Bytes(std::string(40, 'x'), 31), std::string(31, 'x'));
}

} // namespace
} // namespace mirufo
