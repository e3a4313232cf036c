#include "output/standby_file_name.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

TTanmatsuRecord Handset(const char* name, const char* screen = "") {
  TTanmatsuRecord r;
  r.Name = name;
  r.Screen = screen;
  r.Width = 240;
  r.Height = 320;
  return r;
}

std::string Expand(std::string_view templ, const TTanmatsuRecord& record, std::int64_t serial,
                   TStandbyImageFacts image = {240, 320, 24, ifJPEG},
                   std::string_view source = "C:\\pic\\flower.photo.jpg") {
  return TStandbyFileName::Parse(templ).Expand(source, record, serial, image);
}

TEST(FileNameTemplate, DefaultTemplateAndLetterCaseForms) {
  auto f901 = Handset("F901iC", "メイン");
  EXPECT_EQ(Expand("$tn_$sn3$ex", f901, 0), "f901ic_000.jpg");
  EXPECT_EQ(Expand("$TN_$sn3$ex", f901, 0), "F901IC_000.jpg");
  EXPECT_EQ(Expand("$Tn_$sn3$ex", f901, 0), "F901iC_000.jpg");
  EXPECT_EQ(Expand("$tN$EX", f901, 0), "F901iC.JPG");
  EXPECT_EQ(Expand("$ts", f901, 0), "メイン"); // double-byte text is never case-converted
  EXPECT_EQ(Expand("$MF", f901, 0, {1, 1, 8, ifPNG8}), "PNG8");
  EXPECT_EQ(Expand("$mf", f901, 0, {1, 1, 8, ifPNG8}), "png8");
}

TEST(FileNameTemplate, DollarSignsAndDigits) {
  auto h = Handset("W21CA");
  EXPECT_EQ(Expand("$$tn", h, 0), "$tn");
  EXPECT_EQ(Expand("$$$tn", h, 0), "$w21ca");
  EXPECT_EQ(Expand("$x", h, 0), "$x");
  EXPECT_EQ(Expand("a$", h, 0), "a$");
  EXPECT_EQ(Expand("$", h, 0), "$");
  EXPECT_EQ(Expand("$sn0", h, 7), "70");
  EXPECT_EQ(Expand("$sn12", h, 7), "72");
  EXPECT_EQ(Expand("$sn3", h, 7), "007");
  EXPECT_EQ(Expand("$sn", h, 7), "7");
  EXPECT_EQ(Expand("$tw2", h, 7), "240");
  EXPECT_EQ(Expand("$tn5", h, 7), "w21ca"); // the digit is consumed for any variable
  EXPECT_EQ(Expand("$sn-", h, 7), "7-");
  EXPECT_EQ(Expand("$th$mw$mh", h, 0, {12, 34, 8, ifPNG8}), "3201234");
}

TEST(FileNameTemplate, ColourCountsAndExtensions) {
  auto h = Handset("x");
  EXPECT_EQ(Expand("$mc", h, 0, {1, 1, 24, ifJPEG}), "16777216");
  EXPECT_EQ(Expand("$mc", h, 0, {1, 1, 8, ifPNG8}), "256");
  EXPECT_EQ(Expand("$mc$mb", h, 0, {1, 1, 1, ifBMP2}), "21");
  const char* exts[] = {".gif", ".jpg", ".png", ".png", ".bmp", ".bmp"};
  for (int f = 0; f < 6; ++f)
    EXPECT_EQ(Expand("$ex", h, 0, {1, 1, 8, static_cast<TImageFormat>(f)}), exts[f]);
}

TEST(FileNameTemplate, SourceNames) {
  auto h = Handset("x");
  EXPECT_EQ(Expand("$fn", h, 0), "flower.photo");
  EXPECT_EQ(Expand("$fn", h, 0, {}, "/home/u/flower"), "flower");
  EXPECT_EQ(Expand("$fn", h, 0, {}, ""), "");
  EXPECT_EQ(Expand("$fn", h, 0, {}, "/home/u.d/.hidden"), "");
  EXPECT_EQ(Expand("$FN", h, 0, {}, "/p/Flower.JPG"), "FLOWER");
}

TEST(FileNameTemplate, ForbiddenCharactersAreRemoved) {
  auto h = Handset("x");
  EXPECT_EQ(Expand("a/b:c*d?.txt$ex", h, 0, {1, 1, 8, ifPNG8}), "abcd.txt.png");
  EXPECT_EQ(RemoveForbiddenChars("\t\n\r\\/:,;*?\"<>|"), "");
  EXPECT_EQ(RemoveForbiddenChars("a b.c"), "a b.c");
  // Characters whose Shift_JIS second byte equals "\" stay whole.
  EXPECT_EQ(Expand("$ts\\", Handset("x", "ソ表能"), 0), "ソ表能");
  EXPECT_EQ(Expand("", h, 0), "");
  EXPECT_EQ(Expand("<|>", h, 0), "");
}

TEST(FileNameTemplate, ParsedElements) {
  auto parsed = TStandbyFileName::Parse("ab$$$Tn9cd$sn");
  ASSERT_EQ(parsed.Count(), 4u);
  EXPECT_EQ(parsed.Items(0), (TStandbyFileNameParts{tkLiteral, 0, tcAsIs, "ab$"}));
  EXPECT_EQ(parsed.Items(1), (TStandbyFileNameParts{tkHandsetName, 9, tcAsIs, ""}));
  EXPECT_EQ(parsed.Items(2), (TStandbyFileNameParts{tkLiteral, 0, tcAsIs, "cd"}));
  EXPECT_EQ(parsed.Items(3), (TStandbyFileNameParts{tkSerial, 0, tcLower, ""}));
  try {
    parsed.Items(4);
    ADD_FAILURE();
  } catch (const ERangeError& e) {
    EXPECT_STREQ(e.what(), "TStandbyFileName: インデックスが範囲を超えています");
  }
  // A variable cut off by the end, and multi-byte text around "$".
  EXPECT_EQ(TStandbyFileName::Parse("$t").Count(), 1u);
  EXPECT_EQ(TStandbyFileName::Parse("画$像").Items(0).Text, "画$像");
  // A lead byte takes the bytes of its character along, even a "$"; one cut
  // off by the end is kept as it is.
  EXPECT_EQ(TStandbyFileName::Parse("\xE3$tn").Count(), 1u);
  EXPECT_EQ(TStandbyFileName::Parse("a\xE3$").Items(0).Text, "a\xE3$");
  EXPECT_EQ(TStandbyFileName::Parse("x\xE3").Items(0).Text, "x\xE3");
}

TEST(FileNameTemplate, ClashesIgnoreLetterCase) {
  auto batch = FlagClashes({"A.png", "b.png", "a.png", "", "c.png", ""});
  EXPECT_EQ(batch.Clashes, (std::vector<bool>{true, false, true, true, false, true}));
  EXPECT_EQ(FlagClashes({"x"}).Clashes, std::vector<bool>{false});
  EXPECT_TRUE(FlagClashes({}).Clashes.empty());
}

} // namespace
} // namespace mirufo
