// Today's screen sizes keep their bytes: the shipped phone and desktop lists,
// every size divided by eight, made from pictures an eighth of the
// benchmark's photographs (so each target resizes by about the ratio it has
// there), JPEG quality 80 without a cache limit, give the file bytes recorded
// in data/wallpaper_digests.txt, on one thread and on several, keeping every
// picture (the desktop program) or only the files (the command line, which
// drops and may remake stages). A failure prints the new lines of the table.
#include "catalogue/tanmatsu_list.h"
#include "engine/standby_maker.h"
#include "output_digest.h"
#include "tools/sample_picture.h"

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace mirufo {
namespace {

constexpr int kScale = 8;

// "source index" -> digest.
std::map<std::string, std::uint64_t> ReadRecorded() {
  std::ifstream in(std::string(MIRUFO_TEST_DATA) + "/wallpaper_digests.txt");
  std::map<std::string, std::uint64_t> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#')
      continue;
    std::istringstream fields(line);
    std::string source;
    int index = 0;
    std::uint64_t digest = 0;
    fields >> source >> index >> std::hex >> digest;
    rows[source + " " + std::to_string(index)] = digest;
  }
  return rows;
}

// Adds every screen of the shipped lists at an eighth of its size.
void AddShippedScreens(TStandbyMaker& maker) {
  for (const char* name : {"phones.lst", "desktops.lst"}) {
    TTanmatsuList list;
    list.LoadFromFile(std::filesystem::path(MIRUFO_SHIPPED_LISTS) / name);
    for (std::size_t i = 0; i < list.Count(); ++i) {
      TTanmatsuRecord record = list.Get(i);
      record.Width = (record.Width + kScale / 2) / kScale;
      record.Height = (record.Height + kScale / 2) / kScale;
      TStandbySpecification& target = *maker.Items(maker.AddSpecification(record));
      TFormatOptions options = target.FormatOptions();
      options.JpegQuality = 80;
      options.Comment = "powered by ミルフォ";
      options.Copyright = true;
      target.SetFormatOptions(options);
    }
  }
}

struct TWallpaperCase {
  int Width, Height, Threads;
  bool KeepPictures = true;
};

class WallpaperIdentity : public ::testing::TestWithParam<TWallpaperCase> {};

TEST_P(WallpaperIdentity, TodaysScreensKeepTheirBytes) {
  const TWallpaperCase c = GetParam();
  TStandbyMaker maker;
  maker.Threads = c.Threads;
  maker.KeepPictures = c.KeepPictures;
  const TBitmap source = MakeSamplePicture(c.Width, c.Height);
  maker.SetSource(source);
  maker.SetLookAt({source.Width() / 2, source.Height() / 2});
  AddShippedScreens(maker);
  ASSERT_GT(maker.Count(), 60);
  maker.MakeAll();
  if (!c.KeepPictures) {
    // Only the files are kept, and the finished sizes still answer.
    const TStandbySpecification& first = *maker.Items(0);
    EXPECT_EQ(first.FinalBitmap(), nullptr);
    EXPECT_EQ(first.FinalWidth(), first.ScreenWidth());
    EXPECT_EQ(first.FinalHeight(), first.ScreenHeight());
    for (int i = 0; i < maker.Count(); ++i)
      for (int kind = skResize; kind < skFormat; ++kind)
        EXPECT_TRUE(maker.Items(i)->Stages(kind)->PixelsDropped()) << i << " " << kind;
  }

  const std::vector<std::uint64_t> digests = test::OutputDigests(maker);
  const std::map<std::string, std::uint64_t> recorded = ReadRecorded();
  const std::string sourceName = std::to_string(c.Width) + "x" + std::to_string(c.Height);
  std::string changed;
  for (std::size_t i = 0; i < digests.size(); ++i) {
    const auto row = recorded.find(sourceName + " " + std::to_string(i));
    if (row != recorded.end() && row->second == digests[i])
      continue;
    const TStandbySpecification& target = *maker.Items(static_cast<int>(i));
    char text[96];
    std::snprintf(text, sizeof text, "%s %zu %016" PRIx64 " %dx%d ", sourceName.c_str(), i,
                  digests[i], target.ScreenWidth(), target.ScreenHeight());
    changed += text + target.ProgressText() + "\n";
  }
  EXPECT_TRUE(changed.empty()) << "changed output files:\n" << changed;
}

INSTANTIATE_TEST_SUITE_P(Sources, WallpaperIdentity,
                         ::testing::Values(TWallpaperCase{500, 375, 1}, TWallpaperCase{500, 375, 2},
                                           TWallpaperCase{500, 375, 4},
                                           TWallpaperCase{500, 375, 1, false},
                                           TWallpaperCase{500, 375, 2, false},
                                           TWallpaperCase{1000, 750, 0, false},
                                           TWallpaperCase{1000, 750, 0}),
                         [](const auto& info) {
                           return std::to_string(info.param.Width) + "x" +
                                  std::to_string(info.param.Height) + "_threads" +
                                  std::to_string(info.param.Threads) +
                                  (info.param.KeepPictures ? "" : "_filesOnly");
                         });

} // namespace
} // namespace mirufo
