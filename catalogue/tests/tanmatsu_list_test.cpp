#include "catalogue/tanmatsu_list.h"
#include "platform/encoding.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// Writes UTF-8 lines as a CP932 file with CR LF line ends.
std::filesystem::path WriteList(const TempDir& dir, const std::string& utf8Text,
                                const char* name = "list.lst") {
  auto path = dir / name;
  WriteBytes(path, Utf8ToCp932(utf8Text));
  return path;
}

const char* const kHeader2 =
    "name\tformat\tsupportformats\twidth\theight\tbit\tcachename\tcache\tbps";

TTanmatsuRecord Sample(const char* name) {
  TTanmatsuRecord r;
  r.Carrier = crUser;
  r.SetName(name);
  r.Format = ifPNG8;
  r.SupportFormats = {ifJPEG, ifPNG8, ifBMP2};
  r.Width = 120;
  r.Height = 137;
  r.Bit = 16;
  r.SetCacheName("au 7.5KB");
  r.Cache = 7.5f;
  r.Bps = 28800;
  return r;
}

TEST(TanmatsuListFile, RoundTripKeepsRecordsAndCaches) {
  TempDir dir;
  TTanmatsuList list;
  list.Add(Sample("ＴＫ４０改"));
  TTanmatsuRecord second = Sample("W21CA");
  second.Format = ifJPEG;
  second.SupportFormats = TImageFormats();
  second.CacheName.clear();
  second.Cache = 0;
  second.Width = 65535;
  second.Bps = 2400000;
  list.Add(second);
  list.AddCache({"au 7.5KB", 7.5f});
  list.AddCache({"DoCoMo 10KB（504i 以前）", 12.5f});
  list.SaveToFile(dir / "u.lst");

  TTanmatsuList back;
  back.LoadFromFile(dir / "u.lst");
  ASSERT_EQ(back.Count(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    TTanmatsuRecord expected = list.Stored(i);
    expected.Carrier = crDoCoMo; // carrier, series and screen are not stored
    EXPECT_EQ(back.Stored(i), expected) << i;
  }
  ASSERT_EQ(back.CacheCount(), 2u);
  EXPECT_EQ(back.GetCache(1).Name, "DoCoMo 10KB（504i 以前）");
  EXPECT_EQ(back.GetCache(1).Capacity, 12.5f);

  // In memory the text is the file's, and reads back the same.
  EXPECT_EQ(list.SaveToText(), ReadBytes(dir / "u.lst"));
  TTanmatsuList fromText;
  fromText.LoadFromText(list.SaveToText(), "u.lst");
  EXPECT_EQ(fromText.SaveToText(), back.SaveToText());
  EXPECT_THROW(fromText.LoadFromText("not a list", "bad.lst"), ETanmatsuListFileError);
}

TEST(TanmatsuListFile, WritesTheExactLayout) {
  TempDir dir;
  TTanmatsuList list;
  list.Add(Sample("A"));
  list.AddCache({"au 7.5KB", 7.5f});
  list.SaveToFile(dir / "u.lst");
  EXPECT_EQ(
      ReadBytes(dir / "u.lst"),
      std::string("TL2\r\n") + kHeader2 +
          "\r\nA\t2\t011001\t120\t137\t16\tau 7.5KB\t7.5\t28800\r\ncache\r\nau 7.5KB\t7.5\r\n");
}

TEST(TanmatsuListFile, HeaderOrderUnknownAndRepeatedColumns) {
  TempDir dir;
  auto path = WriteList(dir, "TL2\r\n"
                             "bps\textra\twidth\tname\theight\tbit\tformat\tsupportformats\tcache\t"
                             "cachename\tname\r\n"
                             "9600\tzzz\t96\tfirst\t104\t8\t2\t001000\t7.5\tau 7.5KB\tsecond\r\n");
  TTanmatsuList list;
  list.LoadFromFile(path);
  ASSERT_EQ(list.Count(), 1u);
  TTanmatsuRecord r = list.Stored(0);
  EXPECT_EQ(r.Name, "second"); // the later column wins
  EXPECT_EQ(r.Bps, 9600);
  EXPECT_EQ(r.Width, 96);
  EXPECT_EQ(r.Height, 104);
  EXPECT_EQ(r.SupportFormats, TImageFormats({ifPNG8}));
  EXPECT_EQ(r.CacheName, "au 7.5KB");
}

TEST(TanmatsuListFile, FieldsMissingFromTheHeaderKeepThePreviousLine) {
  TempDir dir;
  auto path = WriteList(dir, "TL2\nname\twidth\tcache\tbps\tx\ty\tz\tw\tv\n"
                             "A\t100\t1\t2\t\t\t\t\t\nB\t200\t3\t4\t\t\t\t\t\n");
  TTanmatsuList list;
  list.LoadFromFile(path);
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(list.Stored(1).Name, "B");
  EXPECT_EQ(list.Stored(1).Width, 200);
  EXPECT_EQ(list.Stored(1).Height, 0);
}

TEST(TanmatsuListFile, ShortAndBlankLinesAndTheCacheSection) {
  TempDir dir;
  auto path = WriteList(dir, std::string("TL2\r\n") + kHeader2 +
                                 "\r\n"
                                 "\r\n"
                                 "short\t1\t010000\t1\t1\t1\t\t0.0\r\n" // eight fields: skipped
                                 "ok\t1\t010000\t10\t20\t16\t\t0.0\t9600\r\n"
                                 "cache\r\n"
                                 "lonely\r\n"
                                 "\r\n"
                                 "au 9KB\t12\r\n"
                                 "au 9KB\t13\r\n");
  TTanmatsuList list;
  list.LoadFromFile(path);
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.Stored(0).Name, "ok");
  ASSERT_EQ(list.CacheCount(), 1u);
  EXPECT_EQ(list.GetCache(0).Capacity, 13.0f);
}

TEST(TanmatsuListFile, NoCacheLineMeansDataToTheEnd) {
  TempDir dir;
  auto path =
      WriteList(dir, std::string("TL2\r\n") + kHeader2 + "\r\na\t1\t1\t1\t1\t1\t\t0\t1\r\n");
  TTanmatsuList list;
  list.LoadFromFile(path);
  EXPECT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.CacheCount(), 0u);
}

TEST(TanmatsuListFile, SupportFormatsStrings) {
  TempDir dir;
  auto load = [&](const std::string& formats) {
    auto path = WriteList(dir, std::string("TL2\r\n") + kHeader2 + "\r\nx\t1\t" + formats +
                                   "\t1\t1\t1\t\t0\t1\r\n");
    TTanmatsuList list;
    list.LoadFromFile(path);
    return list.Stored(0).SupportFormats;
  };
  EXPECT_EQ(load("1"), TImageFormats({ifGIF}));
  EXPECT_EQ(load("000001"), TImageFormats({ifBMP2}));
  EXPECT_EQ(load("0100000001"), TImageFormats({ifJPEG}));
  EXPECT_EQ(load("02"), TImageFormats({ifJPEG}));
  EXPECT_EQ(load("00000011").Bits(), 0xC0); // codes 6 and 7 kept as they come
  EXPECT_EQ(load(""), TImageFormats());
  EXPECT_THROW(load("01x"), ETanmatsuListFileError);
}

TEST(TanmatsuListFile, ValuesAreStoredInTheFieldsWidth) {
  TempDir dir;
  auto path = WriteList(dir, std::string("TL2\r\n") + kHeader2 +
                                 "\r\nx\t1\t1\t65537\t-1\t300\t\t0\t-5\r\n");
  TTanmatsuList list;
  list.LoadFromFile(path);
  TTanmatsuRecord r = list.Stored(0);
  EXPECT_EQ(static_cast<int>(r.Format), 1);
  EXPECT_EQ(r.Width, 1);
  EXPECT_EQ(r.Height, 65535);
  EXPECT_EQ(r.Bit, 44);
  EXPECT_EQ(r.Bps, -5);
}

TEST(TanmatsuListFile, NumbersThatAreNotNumbersNameFileAndLine) {
  TempDir dir;
  for (const char* bad : {"abc", "12abc", "", "1.5", "99999999999"}) {
    auto path = WriteList(dir, std::string("TL2\r\n") + kHeader2 +
                                   "\r\nfine\t1\t1\t1\t1\t1\t\t0\t1\r\n"
                                   "bad\t1\t1\t" +
                                   bad + "\t1\t1\t\t0\t1\r\n");
    TTanmatsuList list;
    try {
      list.LoadFromFile(path);
      ADD_FAILURE() << bad;
    } catch (const ETanmatsuListFileError& e) {
      EXPECT_EQ(e.Line, 4) << bad;
      EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos);
      EXPECT_NE(std::string(e.what()).find("width"), std::string::npos);
    }
    EXPECT_EQ(list.Count(), 1u) << "records before the bad line stay";
  }
  auto cachePath = WriteList(dir, std::string("TL2\r\n") + kHeader2 + "\r\ncache\r\nx\tbig\r\n");
  TTanmatsuList list;
  EXPECT_THROW(list.LoadFromFile(cachePath), ETanmatsuListFileError);
  auto nanPath = WriteList(dir, std::string("TL2\r\n") + kHeader2 + "\r\ncache\r\nx\tnan\r\n");
  EXPECT_THROW(list.LoadFromFile(nanPath), ETanmatsuListFileError);
  // Beyond the single-precision range of the field: refused, not kept as
  // infinity (which would be written back as "inf").
  auto hugePath =
      WriteList(dir, std::string("TL2\r\n") + kHeader2 + "\r\nx\t1\t1\t1\t1\t1\t\t1e39\t1\r\n");
  EXPECT_THROW(list.LoadFromFile(hugePath), ETanmatsuListFileError);
  auto hugeCache = WriteList(dir, std::string("TL2\r\n") + kHeader2 + "\r\ncache\r\nx\t" +
                                      std::string(60, '2') + "\r\n");
  EXPECT_THROW(list.LoadFromFile(hugeCache), ETanmatsuListFileError);
}

// Values that are numbers but cannot mean what the field holds: a format
// code no encoder has, a positive cache that reads as 0.0 (no limit) in the
// list's one decimal. Refused naming the file, the line and the value.
TEST(TanmatsuListFile, ValuesOutsideTheirMeaningAreRefused) {
  TempDir dir;
  struct TCase {
    const char* Record; // format and cache, or a cache section line
    const char* Value;
    int Line;
  };
  const TCase cases[] = {
      {"x\t6\t1\t1\t1\t1\t\t0\t1", "6", 3},           {"x\t200\t1\t1\t1\t1\t\t0\t1", "200", 3},
      {"x\t-1\t1\t1\t1\t1\t\t0\t1", "-1", 3},         {"x\t256\t1\t1\t1\t1\t\t0\t1", "256", 3},
      {"x\t1\t1\t1\t1\t1\t\t0.0001\t1", "0.0001", 3}, {"cache\r\nsmall\t0.04", "0.04", 4},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Value);
    auto path = WriteList(dir, std::string("TL2\r\n") + kHeader2 + "\r\n" + c.Record + "\r\n");
    TTanmatsuList list;
    try {
      list.LoadFromFile(path);
      ADD_FAILURE();
    } catch (const ETanmatsuListFileError& e) {
      const std::string message = e.what();
      EXPECT_EQ(e.Line, c.Line);
      EXPECT_NE(message.find(path.string()), std::string::npos) << message;
      EXPECT_NE(message.find(std::string("\"") + c.Value + "\""), std::string::npos) << message;
    }
  }
  // The edges that stay: every code 0 to 5, no limit, the smallest shown cache.
  for (const char* record : {"x\t0\t1\t1\t1\t1\t\t0\t1", "x\t5\t1\t1\t1\t1\t\t0.05\t1"}) {
    TTanmatsuList list;
    EXPECT_NO_THROW(
        list.LoadFromFile(WriteList(dir, std::string("TL2\r\n") + kHeader2 + "\r\n" + record)))
        << record;
  }
}

TEST(TanmatsuListFile, FilesThatAreNotLists) {
  TempDir dir;
  for (const char* text :
       {"TL2x\r\nname\r\n", "tl2\r\nname\r\n", "TL2\r\n", "", "hello", "TL3\r\nname\r\n"}) {
    auto path = WriteList(dir, text);
    TTanmatsuList list;
    list.Add(Sample("left over"));
    try {
      list.LoadFromFile(path);
      ADD_FAILURE() << text;
    } catch (const ETanmatsuListFileError& e) {
      EXPECT_EQ(std::string(e.what()), path.string() + "\n端末リストファイルではありません。");
      EXPECT_EQ(e.Line, 0);
    }
    EXPECT_EQ(list.Count(), 0u) << text;
  }
  TTanmatsuList list;
  EXPECT_THROW(list.LoadFromFile(dir / "missing.lst"), EInOutError);
  EXPECT_THROW(list.LoadFromFile(dir.Path()), EInOutError);
}

TEST(TanmatsuListFile, OlderFormat) {
  TempDir dir;
  auto path =
      WriteList(dir, "TL1\n"
                     "name\tformat\tsupportformats\twidth\theight\tbit\tcache\tbps\tcachename\n"
                     "old\t1\t010000\t120\t130\t12\t10\t9600\tignored\n");
  TTanmatsuList list;
  list.LoadFromFile(path);
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.Stored(0).Cache, 10.0f);
  EXPECT_EQ(list.Stored(0).CacheName, "");

  // Every line after the header is a data line: a blank one is too short.
  auto blank = WriteList(dir, "TL1\nname\tformat\nA\t1\n\nB\t2\n");
  try {
    list.LoadFromFile(blank);
    ADD_FAILURE();
  } catch (const ETanmatsuListFileError& e) {
    EXPECT_EQ(e.Line, 4);
  }
  EXPECT_EQ(list.Count(), 1u);
}

TEST(TanmatsuListFile, TooFewFieldsForTheHeaderEndsTheLoad) {
  TempDir dir;
  auto path =
      WriteList(dir, std::string("TL2\r\n") + kHeader2 + "\textra\r\nx\t1\t1\t1\t1\t1\t\t0\t1\r\n");
  TTanmatsuList list;
  EXPECT_THROW(list.LoadFromFile(path), ETanmatsuListFileError);
}

TEST(TanmatsuListFile, JapaneseNamesAreCutAtCharacterBoundaries) {
  TempDir dir;
  // 15 double-byte characters and one more ASCII letter: 31 bytes exactly.
  std::string fits = "あいうえおかきくけこさしすせそA";
  // 16 double-byte characters would be 32 bytes: the last one is dropped whole.
  std::string tooLong = "あいうえおかきくけこさしすせそた";
  auto path = WriteList(dir, std::string("TL2\r\n") + kHeader2 + "\r\n" + fits +
                                 "\t1\t1\t1\t1\t1\t\t0\t1\r\n" + tooLong +
                                 "\t1\t1\t1\t1\t1\tＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱ\t0\t1\r\n" +
                                 std::string(40, 'n') + "\t1\t1\t1\t1\t1\t\t0\t1\r\n");
  TTanmatsuList list;
  list.LoadFromFile(path);
  EXPECT_EQ(list.Stored(0).Name, fits);
  EXPECT_EQ(list.Stored(1).Name, "あいうえおかきくけこさしすせそ");
  EXPECT_EQ(list.Stored(1).CacheName, "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯ");
  EXPECT_EQ(list.Stored(2).Name, std::string(31, 'n'));
}

TEST(TanmatsuList, NamedCapacitiesFillCopiesOnly) {
  TTanmatsuList list;
  TTanmatsuRecord r = Sample("x");
  r.Cache = 3;
  r.SetCacheName("named");
  list.Add(r);
  EXPECT_EQ(list.Get(0).Cache, 3.0f);
  list.AddCache({"Named", 5}); // names compare exactly, letter case included
  EXPECT_EQ(list.Get(0).Cache, 3.0f);
  list.AddCache({"named", 9});
  EXPECT_EQ(list.Get(0).Cache, 9.0f);
  EXPECT_EQ(list.Stored(0).Cache, 3.0f);
  list.AddCache({"named", 0});
  EXPECT_EQ(list.CacheCount(), 2u);
  EXPECT_EQ(list.Get(0).Cache, 0.0f);
}

TEST(TanmatsuList, IndexesOutsideTheListRaiseRangeErrors) {
  TTanmatsuList list;
  list.Add(Sample("a"));
  list.Add(Sample("b"));
  list.Delete(0);
  EXPECT_EQ(list.Get(0).Name, "b");
  try {
    list.Get(1);
    ADD_FAILURE();
  } catch (const ERangeError& e) {
    EXPECT_STREQ(e.what(), "TTanmatsuList: インデックスが範囲を超えています");
  }
  EXPECT_THROW(list.Replace(5, Sample("c")), ERangeError);
  EXPECT_THROW(list.GetCache(0), ERangeError);
  EXPECT_THROW(list.DeleteCache(0), ERangeError);
  TTanmatsuList other;
  other.AddCache({"a", 1});
  list.AssignCaches(other);
  EXPECT_EQ(list.FindCache("a"), 0);
  EXPECT_EQ(list.FindCache("b"), -1);
  list.Clear();
  EXPECT_EQ(list.Count() + list.CacheCount(), 0u);
}

TEST(TextHelpers, CacheAndBpsTexts) {
  EXPECT_EQ(CacheToStr(0), "∞");
  EXPECT_EQ(CacheToStr(-3), "∞");
  EXPECT_EQ(CacheToStr(7.5), "7.5KB");
  EXPECT_EQ(CacheToStr(20), "20KB");
  EXPECT_EQ(CacheToStr(0.05), "0KB");
  EXPECT_EQ(CacheToStr(12.25), "12.2KB");
  EXPECT_EQ(BpsToStr(2400000), "2.4M");
  EXPECT_EQ(BpsToStr(1000000), "1000K");
  EXPECT_EQ(BpsToStr(28800), "28.8K");
  EXPECT_EQ(BpsToStr(64000), "64K");
  EXPECT_EQ(BpsToStr(9600), "9.6K");
  EXPECT_EQ(BpsToStr(384000), "384K");
  EXPECT_EQ(BpsToStr(1250), "1.2K"); // 12.5 tenths go to the even 12
  EXPECT_EQ(BpsToStr(1350), "1.4K");
  EXPECT_EQ(BpsToStr(0), "不明"); // today's phones: speed unknown, never "0K"
  EXPECT_EQ(BpsToStr(-1), "不明");
}

TEST(TextHelpers, CarrierNames) {
  EXPECT_EQ(CarrierName(crAu), "au by KDDI");
  EXPECT_EQ(CarrierName(crUser), "ユーザー定義");
  EXPECT_EQ(CarrierName(static_cast<TCarrier>(9)), "");
}

} // namespace
} // namespace mirufo
