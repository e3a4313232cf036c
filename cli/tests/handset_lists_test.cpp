// mirufo-cli with --list: the shipped lists of today's screens, and list
// files that cannot be read.
#include "catalogue/tanmatsu_list.h"
#include "cli_runner.h"
#include "picture_files.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

namespace fs = std::filesystem;
using test::RunCli;

fs::path Shipped(const char* name) {
  return fs::path(MIRUFO_LISTS_DIR) / name;
}

// Width and height from a JPEG's frame header.
std::pair<int, int> JpegSize(const std::string& jpeg) {
  for (std::size_t i = 2; i + 9 < jpeg.size();) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(jpeg[k]); };
    if (byte(i) != 0xFF)
      break;
    const unsigned marker = byte(i + 1);
    const std::size_t length = byte(i + 2) * 256u + byte(i + 3);
    if (marker == 0xC0 || marker == 0xC2)
      return {byte(i + 7) * 256 + byte(i + 8), byte(i + 5) * 256 + byte(i + 6)};
    i += 2 + length;
  }
  return {0, 0};
}

// A 24-bit BMP of the given size, a smooth gradient.
std::string Photo(int width, int height) {
  test::BmpSpec bmp;
  bmp.Width = width;
  bmp.Height = height;
  const int stride = (width * 3 + 3) / 4 * 4;
  bmp.Pixels.reserve(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
  for (int y = height - 1; y >= 0; --y) {
    std::string row(static_cast<std::size_t>(stride), '\0');
    for (int x = 0; x < width; ++x) {
      row[static_cast<std::size_t>(x) * 3] = static_cast<char>(x * 255 / width);
      row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<char>(y * 255 / height);
      row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<char>((x / 50 + y / 50) % 2 * 200);
    }
    bmp.Pixels += row;
  }
  return test::MakeBmp(bmp);
}

TEST(CliLists, ListNamesEveryShippedPhoneAndTellsWhatWasAdded) {
  test::TempDir home;
  TTanmatsuList phones;
  phones.LoadFromFile(Shipped("phones.lst"));
  auto r = RunCli({"list", "--list", Shipped("phones.lst").string(), "--names"}, home.Path());
  ASSERT_EQ(r.Status, 0) << r.Err;
  for (std::size_t i = 0; i < phones.Count(); ++i)
    EXPECT_NE(r.Out.find("\n" + phones.Get(i).Name + "\n"), std::string::npos)
        << phones.Get(i).Name;
  EXPECT_NE(r.Err.find("phones.lst から " + std::to_string(phones.Count()) +
                       " 個の端末を追加しました（0 個は登録済みでした）"),
            std::string::npos)
      << r.Err;
  // Given twice, the second adds nothing; the speed shows as unknown.
  r = RunCli({"list", "--list", Shipped("desktops.lst").string(), "--list",
              Shipped("desktops.lst").string()},
             home.Path());
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Err.find("desktops.lst から 0 個の端末を追加しました（11 個は登録済みでした）"),
            std::string::npos)
      << r.Err;
  EXPECT_NE(r.Out.find("5K (5120x2880)"), std::string::npos);
  EXPECT_NE(r.Out.find(", 不明\n"), std::string::npos) << r.Out;
}

TEST(CliLists, ABadListStopsTheRunNamingTheLine) {
  test::TempDir home;
  test::WriteBytes(home / "bad.lst", "TL2\r\nname\twidth\theight\r\nA\t0\t10\r\n");
  test::WriteBytes(home / "src.bmp", Photo(8, 8));
  for (const char* command : {"list", "make"}) {
    std::vector<std::string> args{command, "--list", (home / "bad.lst").string()};
    if (std::string(command) == "make")
      args.insert(args.begin() + 1, (home / "src.bmp").string());
    const auto r = RunCli(args, home.Path());
    EXPECT_EQ(r.Status, 1) << command;
    EXPECT_NE(r.Err.find("bad.lst(3行目)"), std::string::npos) << r.Err;
  }
  EXPECT_FALSE(fs::exists(home / "tanmatsu_user.lst"));
}

// Five phones of the shipped list from a 4000 x 3000 photograph: each file
// has exactly the phone's native size, and the picture covers it without
// being enlarged (none of the five is taller than 3000 pixels).
TEST(CliLists, MakesFivePhonesAtTheirExactSizes) {
  test::TempDir home;
  test::WriteBytes(home / "photo.bmp", Photo(4000, 3000));
  const std::vector<std::pair<std::string, std::pair<int, int>>> phones = {
      {"Apple iPhone 17 Pro Max", {1320, 2868}},
      {"Apple iPhone Air", {1260, 2736}},
      {"Apple iPhone SE (第3世代)", {750, 1334}},
      {"Google Pixel 10 Pro", {1280, 2856}},
      {"Samsung Galaxy S24", {1080, 2340}}};
  std::string names;
  for (const auto& [name, size] : phones)
    names += (names.empty() ? "" : ",") + name;
  const auto r = RunCli({"make", (home / "photo.bmp").string(), "--list",
                         Shipped("phones.lst").string(), "--handsets", names, "--out",
                         (home / "out").string(), "--template", "$sn", "--calendar", "off"},
                        home.Path());
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out.find("画像拡大"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("\t不明"), std::string::npos) << "the download time is unknown";
  for (std::size_t i = 0; i < phones.size(); ++i) {
    const std::string jpeg = test::ReadBytes(home / "out" / (std::to_string(i) + ".jpg"));
    EXPECT_EQ(JpegSize(jpeg), phones[i].second) << phones[i].first;
  }
}

} // namespace
} // namespace mirufo
