// The handset list's texts, its sort order and the page's settings keys.
#include "catalogue/tanmatsu_sort_info.h"
#include "fake_selection.h"
#include "platform/ini_file.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

TTanmatsuRecord Screen(const char* name, int width, TImageFormat format = ifJPEG) {
  TTanmatsuRecord r = test::UserHandset(name);
  r.Width = static_cast<std::uint16_t>(width);
  r.Format = format;
  r.SupportFormats = {format};
  return r;
}

std::vector<std::string> Names(const test::FakeSelection& handsets,
                               const std::vector<std::size_t>& listed) {
  std::vector<std::string> names;
  for (std::size_t i : listed)
    names.push_back(handsets.GetHandset(i).Name);
  return names;
}

TEST(TanmatsuColumns, TextsOfTheColumns) {
  TTanmatsuRecord r = Screen("X", 240, ifPNG8);
  r.SupportFormats = {ifPNG8, ifBMP2};
  r.Bit = 24;
  r.Bps = 28800;
  EXPECT_EQ(TanmatsuColumnText(r, 3), "-");
  EXPECT_EQ(TanmatsuColumnText(r, 4), "◎");
  EXPECT_EQ(TanmatsuColumnText(r, 5), "○");
  EXPECT_EQ(TanmatsuColumnText(r, 8), "16777216");
  EXPECT_EQ(TanmatsuColumnText(r, 9), "∞");
  EXPECT_EQ(TanmatsuColumnText(r, 10), "28.8K");
  EXPECT_EQ(TanmatsuColumnText(r, 0), "");
  r.Bit = 16;
  r.CacheName = "au 9KB";
  r.Cache = 9;
  EXPECT_EQ(TanmatsuColumnText(r, 8), "65536");
  EXPECT_EQ(TanmatsuColumnText(r, 9), "au 9KB");
  // A bit count a stored list may hold beyond 64 bits still reads right.
  EXPECT_EQ(ColorCountText(70), "1180591620717411303424");
}

// The initial widths are the least a column gets; any column may be
// widened, up to a bound that keeps a damaged file from asking for more.
TEST(TanmatsuColumns, WidthsStayWithinTheirLimits) {
  EXPECT_EQ(ClampColumnWidth(0, 10), 40);
  EXPECT_EQ(ClampColumnWidth(8, 63), 64);
  EXPECT_EQ(ClampColumnWidth(1, 500), 500);
  EXPECT_EQ(ClampColumnWidth(10, 100), 100);
  EXPECT_EQ(ClampColumnWidth(9, 1 << 30), kMaxColumnWidth);
  // A text fits with its insets; a short one leaves the initial width.
  EXPECT_EQ(FittingColumnWidth(8, 70), 80);
  EXPECT_EQ(FittingColumnWidth(3, 10), 48);
}

TEST(TanmatsuSort, WidthThenNameKeepsTiesInWidthOrder) {
  TTanmatsuList list;
  for (auto [name, width] :
       {std::pair{"B", 120}, {"A", 240}, {"B", 96}, {"C", 120}, {"A", 96}, {"A", 96}})
    list.Add(Screen(name, width));
  test::FakeSelection handsets(list);
  // 4 and 5 are equal in every column: they keep the order they have.
  std::vector<std::size_t> listed{0, 1, 2, 3, 5, 4};
  TTanmatsuSortInfo info;

  info.ClickHeader(6);
  info.Sort(listed, handsets);
  EXPECT_EQ(listed, (std::vector<std::size_t>{5, 4, 2, 0, 3, 1})) << "narrowest first";
  info.ClickHeader(6);
  info.Sort(listed, handsets);
  EXPECT_EQ(listed, (std::vector<std::size_t>{1, 0, 3, 5, 4, 2})) << "widest first";
  info.ClickHeader(1);
  info.Sort(listed, handsets);
  EXPECT_EQ(Names(handsets, listed), (std::vector<std::string>{"C", "B", "B", "A", "A", "A"}));
  // Equal names stay in the widest-first order of the width column.
  EXPECT_EQ(listed, (std::vector<std::size_t>{3, 0, 2, 1, 5, 4}));
  EXPECT_EQ(info.Priorities[0], 1);
  EXPECT_EQ(info.Priorities[1], 6);
  EXPECT_EQ(info.Priorities[2], 0);
  EXPECT_EQ(info.Priorities[6], 5);
  EXPECT_EQ(info.Priorities[7], 7);
}

TEST(TanmatsuSort, EveryKindOfColumnOrdersItsWay) {
  TTanmatsuRecord small = Screen("a", 10);
  TTanmatsuRecord large = Screen("b", 10);
  large.Cache = 7.5f;
  small.Cache = 7.4f;
  large.Bps = 384000;
  small.Bps = 9600;
  large.SupportFormats = {ifJPEG, ifPNG8};
  TTanmatsuSortInfo byCache;
  byCache.ClickHeader(9);
  byCache.ClickHeader(9);
  EXPECT_LT(byCache.Compare(large, false, small, false), 0) << "larger capacity first";
  TTanmatsuSortInfo bySpeed;
  bySpeed.ClickHeader(10);
  EXPECT_GT(bySpeed.Compare(large, false, small, false), 0) << "first click: slowest first";
  TTanmatsuSortInfo byPng;
  byPng.Directions[4] = 1;
  byPng.Priorities = {4, 0, 1, 2, 3, 5, 6, 7, 8, 9, 10};
  EXPECT_LT(byPng.Compare(large, false, small, false), 0) << "accepting PNG8 scores higher";
  TTanmatsuSortInfo byTick;
  EXPECT_LT(byTick.Compare(large, true, small, false), 0) << "ticked before unticked";
  // Names compare in the byte order of their stored form: ｱ (0xB1) after
  // あ (0x82A0), unlike their UTF-8 forms.
  EXPECT_GT(byTick.Compare(Screen("ｱ", 1), false, Screen("あ", 1), false), 0);
  TTanmatsuSortInfo broken;
  broken.Priorities.fill(99);
  EXPECT_EQ(broken.Compare(large, true, small, false), 0);
  broken.ClickHeader(3);
  EXPECT_EQ(broken.Priorities[0], 3);
}

TEST(TanmatsuListSettings, RoundTripAndRepairs) {
  test::TempDir dir;
  TTanmatsuListSettings settings;
  settings.LeftPaneWidth = 200;
  settings.Widths[1] = 150;
  settings.Widths[4] = 60;
  settings.SortInfo.ClickHeader(6);
  settings.SetIndex = 2;
  {
    TIniFile ini(dir / "m.ini");
    settings.Save(ini);
    ini.WriteInteger("TanmatsuList", "Headers[0].Width", 10);
    ini.WriteInteger("TanmatsuList", "SortInfo.Directions[2]", 7);
    ini.UpdateFile();
  }
  TTanmatsuListSettings back;
  back.Load(TIniFile(dir / "m.ini"));
  EXPECT_EQ(back.LeftPaneWidth, 200);
  EXPECT_EQ(back.Widths[0], 40);
  EXPECT_EQ(back.Widths[1], 150);
  EXPECT_EQ(back.Widths[4], 60);
  // Widths never chosen stay unwritten: the columns fit their content again.
  EXPECT_EQ(back.Widths[10], kFitColumnWidth);
  EXPECT_EQ(back.SortInfo.Priorities, settings.SortInfo.Priorities);
  EXPECT_EQ(back.SortInfo.Directions[6], -1);
  EXPECT_EQ(back.SortInfo.Directions[2], 1);
  EXPECT_EQ(back.SetIndex, 2);
  const std::string text = test::ReadBytes(dir / "m.ini");
  EXPECT_NE(text.find("SortInfo.Priorities[0]=6"), std::string::npos);
}

TEST(TanmatsuShorten, CutsWholeCharactersAndEndsWithDots) {
  auto fitsBytes = [](std::size_t n) { return [n](std::string_view t) { return t.size() <= n; }; };
  EXPECT_EQ(ShortenText("abc", fitsBytes(3)), "abc");
  EXPECT_EQ(ShortenText("abcdef", fitsBytes(5)), "ab...");
  // "端末" is two three-byte characters: a cut never leaves half of one.
  EXPECT_EQ(ShortenText("端末名", fitsBytes(8)), "端...");
  EXPECT_EQ(ShortenText("端末名", fitsBytes(5)), "...");
  EXPECT_EQ(ShortenText("端末名", fitsBytes(1)), "...");
}

} // namespace
} // namespace mirufo
