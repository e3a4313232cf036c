// mirufo-cli make, run as a user would: small pictures in a temporary data
// folder, then the files, names, report and exit statuses are checked.
#include "cli_runner.h"
#include "picture_files.h"
#include "platform/encoding.h"
#include "platform/text_file.h"
#include "test_picture.h"
#include "test_support.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace mirufo {
namespace {

using test::ReadBytes;
using test::RunCli;
using test::TempDir;
using test::WriteBytes;
using TJson = nlohmann::json;

// The JSON report of a run; a parse error fails the test with the text.
TJson Report(const test::TCliResult& r) {
  TJson json = TJson::parse(r.Out, nullptr, false);
  EXPECT_FALSE(json.is_discarded()) << r.Out;
  return json;
}

// A 24-bit bottom-up BMP with a diagonal gradient.
std::string Bmp24(int width, int height) {
  const int stride = (width * 3 + 3) / 4 * 4;
  test::BmpSpec bmp;
  bmp.Width = width;
  bmp.Height = height;
  for (int y = height - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      row += static_cast<char>((x * 255) / width);
      row += static_cast<char>((y * 255) / height);
      row += static_cast<char>(((x + y) * 7) & 0xFF);
    }
    row.resize(static_cast<std::size_t>(stride), '\0');
    bmp.Pixels += row;
  }
  return test::MakeBmp(bmp);
}

// A bitmap as a 24-bit bottom-up BMP.
std::string BmpOf(const TBitmap& picture) {
  test::BmpSpec bmp;
  bmp.Width = picture.Width();
  bmp.Height = picture.Height();
  const std::size_t stride = (static_cast<std::size_t>(picture.Width()) * 3 + 3) / 4 * 4;
  for (int y = picture.Height() - 1; y >= 0; --y)
    bmp.Pixels.append(reinterpret_cast<const char*>(picture.ScanLine(y)), stride);
  return test::MakeBmp(bmp);
}

// A 16-colour MAG picture of 8 x 2 pixels whose flags never copy, so every
// unit comes from the pixel data.
std::string Mag16() {
  test::MagSpec mag;
  mag.User = "cli";
  mag.Y2 = 1;
  mag.FlagA = std::string(1, '\0');
  mag.Pixels = "\x01\x23\x45\x67\x89\xAB\xCD\xEF";
  for (int i = 0; i < 16; ++i) // green, red, blue
    mag.Palette +=
        {static_cast<char>(i * 16), static_cast<char>(255 - i * 16), static_cast<char>(i * 8)};
  return test::MakeMag(mag);
}

// A 16 x 12 GIF with four colours, written with giflib.
void WriteGif(const std::filesystem::path& path) {
  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
  ASSERT_NE(gif, nullptr);
  GifColorType colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
  ColorMapObject* map = GifMakeMapObject(4, colours);
  EGifPutScreenDesc(gif, 16, 12, 2, 0, map);
  EGifPutImageDesc(gif, 0, 0, 16, 12, false, nullptr);
  for (int y = 0; y < 12; ++y) {
    GifPixelType row[16];
    for (int x = 0; x < 16; ++x)
      row[x] = static_cast<GifPixelType>((x / 4 + y / 3) % 4);
    EGifPutLine(gif, row, 16);
  }
  GifFreeMapObject(map);
  EGifCloseFile(gif, &error);
}

class CliMake : public testing::Test {
protected:
  void SetUp() override { WriteBytes(home / "src.bmp", Bmp24(64, 48)); }

  test::TCliResult Make(std::vector<std::string> args) {
    args.insert(args.begin(), "make");
    return RunCli(args, home.Path());
  }
  std::string Src() const { return (home / "src.bmp").string(); }
  std::string Out() const { return (home / "out").string(); }

  TempDir home;
};

TEST_F(CliMake, ChosenHandsetsAreMadeNamedAndReported) {
  auto r = Make({Src(), "--handsets", "SH901iC,F901iC:背面", "--out", Out(), "--calendar", "off",
                 "--progress"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_TRUE(std::filesystem::exists(home / "out/sh901ic_000.jpg"));
  EXPECT_TRUE(std::filesystem::exists(home / "out/f901ic_001.jpg"));
  EXPECT_FALSE(std::filesystem::exists(home / "out/index.html"));
  auto lines = SplitLines(r.Out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind("sh901ic_000.jpg\tSH901iC\t", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find(" / 20KB\t"), std::string::npos);
  EXPECT_NE(lines[0].find("sec @ 384K"), std::string::npos);
  EXPECT_NE(lines[0].find("画像拡大"), std::string::npos) << "64 x 48 is enlarged to 240 x 320";
  EXPECT_EQ(lines[1].rfind("f901ic_001.jpg\tF901iC（背面）\t", 0), 0u) << lines[1];
  // Progress asked for, and stderr is not a terminal: a line per target.
  EXPECT_NE(r.Err.find("作成 2/2"), std::string::npos) << r.Err;
  // The files are real JPEGs of the screen size.
  std::string jpeg = ReadBytes(home / "out/sh901ic_000.jpg");
  EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
}

TEST_F(CliMake, JsonReportFoldsIdenticalImages) {
  auto r = Make({Src(), "--handsets", "SH901iC,N901iC,C311CA", "--out", Out(), "--json",
                 "--template", "$tn", "--html=一覧"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const TJson j = Report(r);
  EXPECT_EQ(j["folder"], Out() + "/");
  EXPECT_EQ(j["saved"], 2);
  EXPECT_EQ(j["html"], Out() + "/index.html");
  EXPECT_FALSE(j.contains("error"));
  ASSERT_EQ(j["entries"].size(), 2u);
  const TJson& jpeg = j["entries"][0];
  EXPECT_EQ(jpeg["file"], "sh901ic.jpg");
  EXPECT_EQ(jpeg["handsets"], TJson::parse(R"([{"name": "SH901iC", "screen": ""},
                                                {"name": "N901iC", "screen": ""}])"));
  EXPECT_EQ(jpeg["width"], 240);
  EXPECT_EQ(jpeg["height"], 320);
  EXPECT_EQ(jpeg["format"], "JPEG");
  EXPECT_EQ(jpeg["bits"], 24);
  EXPECT_TRUE(jpeg.contains("quality"));
  EXPECT_EQ(jpeg["cache"], 20480);
  EXPECT_EQ(jpeg["written"], true);
  EXPECT_EQ(jpeg["clash"], false);
  EXPECT_EQ(jpeg["exists"], false);
  const TJson& bmp = j["entries"][1];
  EXPECT_EQ(bmp["file"], "c311ca.bmp");
  EXPECT_EQ(bmp["format"], "BMP2");
  EXPECT_EQ(bmp["cache"], 7680);
  EXPECT_FALSE(bmp.contains("quality"));
  std::string html = Cp932ToUtf8(ReadBytes(home / "out/index.html"));
  EXPECT_NE(html.find("<li><a href=\"sh901ic.jpg\">N901iC</a>"), std::string::npos);
  EXPECT_NE(html.find("<title>一覧</title>"), std::string::npos);
}

TEST_F(CliMake, FormatOptionsFollowTheDialogRules) {
  auto r = Make({Src(), "--handsets", "W21CA", "--out", Out(), "--json", "--format", "png8",
                 "--colors", "16", "--dither", "none", "--template", "$tn_$mb"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  TJson entry = Report(r)["entries"][0];
  EXPECT_EQ(entry["file"], "w21ca_4.png");
  EXPECT_EQ(entry["format"], "PNG8");
  EXPECT_EQ(entry["bits"], 4);
  EXPECT_EQ(entry["colors"], 16);
  EXPECT_EQ(ReadBytes(home / "out/w21ca_4.png").substr(1, 3), "PNG");

  // An option of another format's page changes nothing on a JPEG target.
  r = Make({Src(), "--handsets", "SH901iC", "--dry-run", "--json", "--colors", "16"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  entry = Report(r)["entries"][0];
  EXPECT_EQ(entry["format"], "JPEG");
  EXPECT_EQ(entry["bits"], 24);
}

TEST_F(CliMake, FitSearchComesFromTheOptionElseTheSettings) {
  auto fit = [&](std::vector<std::string> more) {
    std::vector<std::string> args = {Src(), "--handsets", "SH901iC", "--dry-run", "--json"};
    args.insert(args.end(), more.begin(), more.end());
    auto r = Make(args);
    EXPECT_EQ(r.Status, 0) << r.Err;
    return Report(r)["entries"][0]["fit"];
  };
  EXPECT_EQ(fit({}), "classic");
  EXPECT_EQ(fit({"--fit", "best"}), "best");
  WriteBytes(home / "mirufo.ini", "[Standby]\r\nBestFit=1\r\n");
  EXPECT_EQ(fit({}), "best");
  EXPECT_EQ(fit({"--fit", "classic"}), "classic");
  EXPECT_EQ(Make({Src(), "--all", "--fit", "finest"}).Status, 2);
}

TEST_F(CliMake, DryRunWritesNothing) {
  auto r = Make({Src(), "--all", "--out", Out(), "--dry-run", "--calendar", "off"});
  ASSERT_EQ(r.Status == 0 || r.Status == 3, true) << r.Err;
  EXPECT_FALSE(std::filesystem::exists(home / "out"));
  EXPECT_GT(SplitLines(r.Out).size(), 50u);
  EXPECT_NE(r.Out.find("sh901ic_000.jpg\t"), std::string::npos);
}

TEST_F(CliMake, ExistingFilesAreNotReplacedWithoutOverwrite) {
  ASSERT_EQ(Make({Src(), "--handsets", "SH901iC,W21CA", "--out", Out()}).Status, 0);
  WriteBytes(home / "out/w21ca_001.jpg", "mine");
  const std::string before = ReadBytes(home / "out/sh901ic_000.jpg");
  WriteBytes(home / "src.bmp", Bmp24(80, 60));
  auto r = Make({Src(), "--handsets", "SH901iC,W21CA", "--out", Out(), "--json"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("w21ca_001.jpg"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("sh901ic_000.jpg"), std::string::npos) << r.Err;
  EXPECT_EQ(ReadBytes(home / "out/w21ca_001.jpg"), "mine");
  EXPECT_EQ(ReadBytes(home / "out/sh901ic_000.jpg"), before);
  const TJson j = Report(r);
  EXPECT_EQ(j["saved"], 0);
  for (const TJson& entry : j["entries"]) {
    EXPECT_EQ(entry["written"], false);
    EXPECT_EQ(entry["exists"], true);
  }
  EXPECT_NE(j["error"].get<std::string>().find("w21ca_001.jpg"), std::string::npos);

  r = Make({Src(), "--handsets", "SH901iC,W21CA", "--out", Out(), "--overwrite"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(ReadBytes(home / "out/w21ca_001.jpg"), "mine");
}

TEST_F(CliMake, OtherPictureFormats) {
  WriteGif(home / "pic.gif");
  auto r = Make({(home / "pic.gif").string(), "--handsets", "C452CA", "--out", Out()});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_TRUE(std::filesystem::exists(home / "out/c452ca_000.png"));

  WriteBytes(home / "pic.mag", Mag16());
  r = Make({(home / "pic.mag").string(), "--handsets", "C452CA", "--out", Out(), "--overwrite",
            "--template", "mag"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_TRUE(std::filesystem::exists(home / "out/mag.png"));
}

TEST_F(CliMake, UserHandsetsAndMakeSets) {
  WriteCp932Lines(home / "tanmatsu_user.lst",
                  {"TL2", "name\tformat\tsupportformats\twidth\theight\tbit\tcachename\tcache\tbps",
                   "マイ端末\t4\t000010\t30\t20\t24\t\t0.0\t9600",
                   "Tiny\t1\t010000\t200\t200\t24\t\t0.5\t9600", "cache"});
  WriteCp932Lines(home / "makeset.txt",
                  {"MSET01", "first", "\tSH901iC\t901i シリーズ\t", "second", "\tマイ端末"});
  WriteCp932Lines(home / "mirufo.ini", {"[TanmatsuList]", "SetIndex=1"});

  // The current set is the saved one: the user's handset.
  auto r = Make({Src(), "--out", Out(), "--template", "$tn"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(ReadBytes(home / "out/マイ端末.bmp").substr(0, 2), "BM");

  r = Make({Src(), "--set", "first", "--out", Out(), "--template", "$tn"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_TRUE(std::filesystem::exists(home / "out/sh901ic.jpg"));

  // A file that cannot fit its cache is saved, and the status says so.
  r = Make({Src(), "--handsets", "Tiny", "--out", Out()});
  EXPECT_EQ(r.Status, 3) << r.Err;
  EXPECT_NE(r.Out.find("ファイルサイズオーバー"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(home / "out/tiny_000.jpg"));

  auto sets = RunCli({"list", "--sets"}, home.Path());
  EXPECT_EQ(sets.Out, "  first (1)\n* second (1)\n");
  sets = RunCli({"list", "--sets", "--tsv"}, home.Path());
  EXPECT_EQ(sets.Out, "set\tname\tseries\tscreen\nfirst\tSH901iC\t901i シリーズ\t\n"
                      "second\tマイ端末\t\t\n");
}

TEST_F(CliMake, TheLookAtPointIsReportedAndFoundOnRequest) {
  const TRect patch{230, 20, 300, 90};
  WriteBytes(home / "subject.bmp", BmpOf(test::SharpSubjectPicture(320, 240, patch)));
  const std::string subject = (home / "subject.bmp").string();
  auto lookAt = [&](std::vector<std::string> args) {
    args.insert(args.end(), {"--handsets", "SH901iC", "--json", "--out", Out(), "--overwrite"});
    auto r = Make(args);
    EXPECT_EQ(r.Status, 0) << r.Err;
    return Report(r)["lookat"];
  };
  EXPECT_EQ(lookAt({Src(), "--dry-run"}), TJson::parse("[32, 24]"));
  EXPECT_EQ(lookAt({Src(), "--lookat", "5,40", "--dry-run"}), TJson::parse("[5, 40]"));
  for (bool dryRun : {true, false}) {
    std::vector<std::string> args{subject, "--lookat", "1,1", "--lookat", "auto"};
    if (dryRun)
      args.push_back("--dry-run");
    const TJson point = lookAt(args);
    ASSERT_TRUE(point.is_array() && point.size() == 2) << point;
    const int x = point[0], y = point[1];
    EXPECT_TRUE(x >= patch.Left && x < patch.Right && y >= patch.Top && y < patch.Bottom) << point;
  }
  // The last --lookat given holds.
  EXPECT_EQ(lookAt({subject, "--lookat", "auto", "--lookat", "7,8", "--dry-run"}),
            TJson::parse("[7, 8]"));
  EXPECT_EQ(Make({Src(), "--lookat", "automatic"}).Status, 2);
}

TEST_F(CliMake, BadInput) {
  auto missing = Make({(home / "nothing.png").string(), "--all", "--out", Out()});
  EXPECT_EQ(missing.Status, 1);
  EXPECT_NE(missing.Err.find("nothing.png"), std::string::npos) << missing.Err;
  EXPECT_FALSE(std::filesystem::exists(home / "out"));

  WriteBytes(home / "broken.png", "\x89PNG\r\n\x1a\nbroken");
  EXPECT_EQ(Make({(home / "broken.png").string(), "--all", "--out", Out()}).Status, 1);

  auto unknown = Make({Src(), "--handsets", "NoSuchPhone"});
  EXPECT_EQ(unknown.Status, 2);
  EXPECT_NE(unknown.Err.find("NoSuchPhone"), std::string::npos);
  auto noSet = Make({Src(), "--set", "no such set"});
  EXPECT_EQ(noSet.Status, 2);
  EXPECT_NE(noSet.Err.find("no such set"), std::string::npos);
  for (std::vector<std::string> bad : {std::vector<std::string>{Src(), "--format", "tiff"},
                                       {Src(), "--quality", "0"},
                                       {Src(), "--colors", "3"},
                                       {Src(), "--sharpen-count", "4"},
                                       {Src(), "--background", "red"},
                                       {Src(), "--all", "--set", "x"},
                                       {Src(), "--frobnicate"},
                                       {}}) {
    auto r = Make(bad);
    EXPECT_EQ(r.Status, 2) << (bad.size() > 1 ? bad[1] : "");
    EXPECT_NE(r.Err.find("--help"), std::string::npos);
  }

  WriteBytes(home / "file", "x");
  auto unwritable = Make({Src(), "--handsets", "SH901iC", "--out", (home / "file/sub").string()});
  EXPECT_EQ(unwritable.Status, 1);
  EXPECT_NE(unwritable.Err.find("フォルダの作成に失敗しました"), std::string::npos)
      << unwritable.Err;

  WriteBytes(home / "tanmatsu_user.lst", "TL2\r\nname\twidth\r\nx\twide\t\t\t\t\t\t\t\r\n");
  auto brokenList = Make({Src(), "--all", "--out", Out()});
  EXPECT_EQ(brokenList.Status, 1);
  EXPECT_NE(brokenList.Err.find("tanmatsu_user.lst(3行目)"), std::string::npos) << brokenList.Err;
  std::filesystem::remove(home / "tanmatsu_user.lst");

  std::filesystem::create_directory(home / "makeset.txt");
  auto brokenSets = Make({Src(), "--out", Out()});
  EXPECT_EQ(brokenSets.Status, 1);
  EXPECT_NE(brokenSets.Err.find("makeset.txt"), std::string::npos) << brokenSets.Err;
  EXPECT_FALSE(std::filesystem::exists(home / "out"));
}

} // namespace
} // namespace mirufo
