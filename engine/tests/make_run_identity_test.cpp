// Every built-in handset screen made from one photograph-like picture gives
// the same file bytes as recorded in data/make_run_digests.txt, target by
// target: a change to the speed of the make run (threads, sharing, summing
// order) must not change a single output byte. A failure prints the new
// lines of the table.
#include "catalogue/tanmatsu_list.h"
#include "engine/standby_maker.h"
#include "output_digest.h"
#include "tools/sample_picture.h"

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace mirufo {
namespace {

struct TRecordedDigest {
  int Index = 0;
  std::uint64_t Digest = 0;
};

std::vector<TRecordedDigest> ReadRecorded() {
  std::ifstream in(std::string(MIRUFO_TEST_DATA) + "/make_run_digests.txt");
  std::vector<TRecordedDigest> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#')
      continue;
    std::istringstream fields(line);
    TRecordedDigest row;
    fields >> row.Index >> std::hex >> row.Digest;
    rows.push_back(row);
  }
  return rows;
}

std::string TableLine(int index, std::uint64_t digest, const TStandbySpecification& target) {
  char text[64];
  std::snprintf(text, sizeof text, "%d %016" PRIx64 " ", index, digest);
  return text + target.ProgressText();
}

// Makes every built-in screen from a picture larger than most screens (area
// averaging) and smaller than some (enlarging), with the calendar off.
class MakeRunIdentity : public ::testing::Test {
protected:
  void MakeAll(bool resizeAheadWaits) {
    TTanmatsuList catalogue;
    catalogue.LoadBuiltIn();
    const TBitmap source = MakeSamplePicture(720, 540);
    Maker.SetSource(source);
    Maker.SetLookAt({source.Width() / 2, source.Height() / 2});
    for (std::size_t i = 0; i < catalogue.Count(); ++i)
      Maker.AddSpecification(catalogue.Get(i));
    // Each made target lets the run's other threads go on a little, so both
    // the taken and the self-made paths of a stage are exercised.
    if (resizeAheadWaits)
      Maker.OnMade = [](TStandbyMaker&, TStandbySpecification&) {
        std::this_thread::sleep_for(std::chrono::microseconds(500));
      };
    Maker.MakeAll();
  }

  void ExpectRecorded() {
    const std::vector<std::uint64_t> digests = test::OutputDigests(Maker);
    const std::vector<TRecordedDigest> recorded = ReadRecorded();
    ASSERT_EQ(Maker.Count(), 287);
    EXPECT_EQ(recorded.size(), digests.size()) << "the table has another number of targets";
    std::string changed;
    for (std::size_t i = 0; i < digests.size(); ++i)
      if (i >= recorded.size() || recorded[i].Index != static_cast<int>(i) ||
          recorded[i].Digest != digests[i])
        changed +=
            TableLine(static_cast<int>(i), digests[i], *Maker.Items(static_cast<int>(i))) + "\n";
    EXPECT_TRUE(changed.empty()) << "changed output files:\n" << changed;
  }

  TStandbyMaker Maker;
};

TEST_F(MakeRunIdentity, EveryBuiltInScreenKeepsItsBytes) {
  MakeAll(false);
  ExpectRecorded();
}

TEST_F(MakeRunIdentity, SameBytesWhenTheCallingThreadIsSlow) {
  MakeAll(true);
  ExpectRecorded();
}

} // namespace
} // namespace mirufo
