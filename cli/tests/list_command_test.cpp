#include "catalogue/tanmatsu_list.h"
#include "cli_runner.h"
#include "platform/encoding.h"
#include "platform/text_file.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

using test::RunCli;
using test::TempDir;

std::vector<std::string> Lines(const std::string& text) {
  return SplitLines(text);
}

TEST(CliList, BuiltInCatalogueAsTsv) {
  TempDir home;
  auto r = RunCli({"list", "--tsv"}, home.Path());
  ASSERT_EQ(r.Status, 0) << r.Err;
  auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 288u);
  EXPECT_EQ(lines[0], "carrier\tseries\tname\tscreen\tformat\tsupportformats\twidth\theight\tbit"
                      "\tcachename\tcache\tbps");
  EXPECT_EQ(lines[1], "NTT DoCoMo\t901i シリーズ\tSH901iC\t\t1\t110000\t240\t320\t18\t"
                      "DoCoMo 20KB（901i シリーズ）\t20.0\t384000");
  EXPECT_EQ(lines[287], "Vodafone\tC3型\tJ-SA04\t\t1\t011000\t120\t130\t16\t"
                        "Vodafone 6KB（パケット非対応）\t6.0\t9600");
  EXPECT_TRUE(r.Err.empty());
}

TEST(CliList, UserHandsetsAndCapacitiesAreMergedIn) {
  TempDir home;
  WriteCp932Lines(home / "tanmatsu_user.lst",
                  {"TL2", "name\tformat\tsupportformats\twidth\theight\tbit\tcachename\tcache\tbps",
                   "マイ端末\t2\t001000\t100\t120\t8\tau 9KB\t3.0\t9600",
                   "Other\t1\t010000\t50\t60\t16\t\t4.5\t28800", "cache", "au 9KB\t12.0",
                   "自分用\t2.5"});
  auto r = RunCli({"list", "--tsv"}, home.Path());
  ASSERT_EQ(r.Status, 0) << r.Err;
  auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 290u);
  EXPECT_EQ(lines[288], "ユーザー定義\t\tマイ端末\t\t2\t001000\t100\t120\t8\tau 9KB\t12.0\t9600");
  EXPECT_EQ(lines[289], "ユーザー定義\t\tOther\t\t1\t010000\t50\t60\t16\t\t4.5\t28800");
  // The file's capacity of "au 9KB" replaces the built-in one for every handset.
  EXPECT_NE(r.Out.find("\tA5509T\t\t1\t111000\t240\t238\t16\tau 9KB\t12.0\t144000"),
            std::string::npos);

  auto caches = RunCli({"list", "--caches", "--tsv"}, home.Path());
  ASSERT_EQ(caches.Status, 0);
  auto cacheLines = Lines(caches.Out);
  ASSERT_EQ(cacheLines.size(), 15u);
  EXPECT_EQ(cacheLines[0], "name\tcapacity");
  EXPECT_EQ(cacheLines[10], "au 9KB\t12.0");
  EXPECT_EQ(cacheLines[14], "自分用\t2.5");
}

TEST(CliList, ReadableLines) {
  TempDir home;
  auto r = RunCli({"list"}, home.Path());
  ASSERT_EQ(r.Status, 0);
  auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 287u);
  EXPECT_EQ(lines[2], "NTT DoCoMo / 901i シリーズ / F901iC (背面): 95x95 16bit, JPEG [GIF,JPEG], "
                      "20KB (DoCoMo 20KB（901i シリーズ）), 384Kbps");
  auto caches = RunCli({"list", "--caches"}, home.Path());
  EXPECT_EQ(Lines(caches.Out).at(10), "au 7.5KB: 7.5KB");
}

TEST(CliList, BrokenUserListIsAnErrorAndStaysUntouched) {
  TempDir home;
  const std::string broken = "TL2\r\nname\twidth\r\nx\twide\t\t\t\t\t\t\t\r\n";
  test::WriteBytes(home / "tanmatsu_user.lst", broken);
  auto r = RunCli({"list"}, home.Path());
  EXPECT_EQ(r.Status, 1);
  EXPECT_TRUE(r.Out.empty());
  EXPECT_NE(r.Err.find("tanmatsu_user.lst(3行目)"), std::string::npos) << r.Err;
  EXPECT_EQ(test::ReadBytes(home / "tanmatsu_user.lst"), broken);

  test::WriteBytes(home / "tanmatsu_user.lst", "hello\r\n");
  r = RunCli({"list", "--tsv"}, home.Path());
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("端末リストファイルではありません。"), std::string::npos) << r.Err;
}

TEST(CliList, UsageErrorsAndHelp) {
  TempDir home;
  auto unknown = RunCli({"list", "--frobnicate"}, home.Path());
  EXPECT_EQ(unknown.Status, 2);
  EXPECT_NE(unknown.Err.find("--frobnicate"), std::string::npos);
  EXPECT_EQ(RunCli({"dance"}, home.Path()).Status, 2);
  EXPECT_EQ(RunCli({}, home.Path()).Status, 2);
  auto help = RunCli({"list", "--help"}, home.Path());
  EXPECT_EQ(help.Status, 0);
  for (const char* option : {"--tsv", "--caches", "--help"})
    EXPECT_NE(help.Out.find(option), std::string::npos) << option;
  EXPECT_EQ(RunCli({"--help"}, home.Path()).Status, 0);
}

} // namespace
} // namespace mirufo
