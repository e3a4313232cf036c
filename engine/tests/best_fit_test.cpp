// The best-fit search over every built-in handset screen, against the
// classic search on the same picture: it never breaks the cache, never ends
// below the classic setting, and fills the cache of a JPEG target that
// quality 100 does not fit.
#include "built_in_targets.h"
#include "engine/format_buffer.h"
#include "engine/standby_maker.h"
#include "platform/arith.h"
#include "tools/sample_picture.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

// The file size of the target's picture at a JPEG quality.
std::int64_t SizeAt(const TStandbySpecification& target, int quality) {
  TFormatOptions options = target.FormatOptions();
  options.JpegQuality = static_cast<std::uint8_t>(quality);
  std::unique_ptr<TBitmap> reduced;
  std::unique_ptr<TEncodedGraphic> graphic;
  std::int32_t size = 0;
  EncodeImage(target.Stages(skDecorate)->Bitmap, reduced, graphic, 0, options.Copyright,
              options.Comment, options, size);
  return size;
}

TEST(BestFit, EveryBuiltInScreenFitsAtLeastAsFinelyAsTheClassicSearch) {
  const TBitmap source = MakeSamplePicture(720, 540);
  TStandbyMaker classic, best;
  test::AddBuiltInTargets(classic, source);
  test::AddBuiltInTargets(best, source, true);
  classic.MakeAll();
  best.MakeAll();
  ASSERT_EQ(best.Count(), 287);
  int searched = 0, unfilled = 0;
  for (int i = 0; i < best.Count(); ++i) {
    const TStandbySpecification& c = *classic.Items(i);
    const TStandbySpecification& b = *best.Items(i);
    SCOPED_TRACE(b.ProgressText());
    const std::int64_t limit = KilobytesToBytes(b.Handset().Cache);
    const TFormatOptions& co = c.FormatOptions();
    const TFormatOptions& bo = b.FormatOptions();
    if (limit <= 0) {
      EXPECT_EQ(bo.JpegQuality, co.JpegQuality);
      continue;
    }
    if (c.IsSizeOver())
      continue;
    EXPECT_FALSE(b.IsSizeOver());
    switch (bo.Format) {
    case ifJPEG:
      EXPECT_GE(bo.JpegQuality, co.JpegQuality);
      if (bo.JpegQuality < 100) {
        // One quality higher is over; the cache is 90 % full unless that
        // one step alone is more than a tenth of the cache (near 100 the
        // steps grow large).
        const std::int64_t above = SizeAt(b, bo.JpegQuality + 1);
        EXPECT_GT(above, limit);
        if (b.FileSize() < limit * 9 / 10) {
          EXPECT_GT(above - b.FileSize(), limit / 10);
          ++unfilled;
        }
        ++searched;
      }
      break;
    case ifGIF:
    case ifPNG8:
      EXPECT_GE(PaletteColors(bo, bo.Bits), PaletteColors(co, co.Bits));
      EXPECT_EQ(b.IsColorOver(), c.IsColorOver());
      break;
    default:
      EXPECT_EQ(b.FileSize(), c.FileSize());
    }
  }
  // The picture is large enough that many caches are too small for 100.
  EXPECT_GT(searched, 50);
  EXPECT_LT(unfilled, searched / 10);
}

} // namespace
} // namespace mirufo
