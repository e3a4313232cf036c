// Targets: defaults from the handset, setters and what they remake, the
// resize and canvas arithmetic, the status checks and the file output.
#include "engine/format_buffer.h"
#include "engine/standby_maker.h"
#include "engine/standby_specification.h"
#include "engine/tests/reference_decoders.h"
#include "platform/errors.h"
#include "test_handset.h"
#include "test_picture.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

TTanmatsuRecord Handset(int width, int height, TImageFormat format = ifJPEG, int bit = 16,
                        float cache = 0) {
  TTanmatsuRecord r = test::Screen("SH901iC", width, height, format, bit);
  r.Cache = cache;
  return r;
}

TBitmap Picture(int width, int height) {
  return test::MakePicture(width, height, [](int x, int y) {
    return RGB(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y * 3), 90);
  });
}

// A maker with one source picture; targets without sharpening so that
// pixels can be followed through the stages.
struct Fixture {
  TStandbyMaker Maker;
  explicit Fixture(const TBitmap& source) {
    Maker.SetSource(source);
    Maker.SetLookAt({source.Width() / 2, source.Height() / 2});
  }
  TStandbySpecification& Add(const TTanmatsuRecord& record) {
    TStandbySpecification& t = *Maker.Items(Maker.AddSpecification(record));
    t.SetSharpen(shNone, 1);
    return t;
  }
};

TEST(TargetDefaults, EncodingOptionsFollowTheHandsetDepth) {
  TImageBufferNode source;
  TStandbySpecification t(&source);
  EXPECT_EQ(t.ResizeMode(), rzAuto);
  EXPECT_EQ(t.Layout().HorzAlign, haLookAt);
  EXPECT_EQ(t.Layout().VertAlign, vaLookAt);
  EXPECT_EQ(t.Layout().Background, bgTopLeft);
  EXPECT_EQ(t.Sharpness(), shMiddle);
  EXPECT_EQ(t.SharpenCount(), 1);
  EXPECT_TRUE(t.FormatOptions().AutoFit);
  EXPECT_FALSE(t.FormatOptions().Interlace);

  const std::pair<int, TReductionMethod> reductions[] = {
      {16, cmOctree},       {8, cmFixed332}, {1, cmMonochrome}, {2, cmFourGrays},
      {5, cmOctreeGrid332}, {24, cmOctree},  {0, cmOctree},     {3, cmOctreeGrid332}};
  for (auto [bit, reduction] : reductions) {
    t.InitFromHandset(Handset(240, 320, ifJPEG, bit));
    EXPECT_EQ(t.FormatOptions().Bits, bit);
    EXPECT_EQ(t.FormatOptions().Reduction, reduction) << bit;
    EXPECT_EQ(t.FormatOptions().Dither, dkFloydSteinberg);
    EXPECT_EQ(t.FormatOptions().JpegQuality, 100);
    EXPECT_EQ(t.FormatOptions().PngCompressLevel, 9);
  }
  EXPECT_EQ(t.ScreenWidth(), 240);
  EXPECT_EQ(t.ScreenHeight(), 320);

  // Re-initialising keeps progressive and the comment, resets the quality.
  TFormatOptions options = t.FormatOptions();
  options.Interlace = true;
  options.JpegQuality = 40;
  options.Comment = "abc";
  t.SetFormatOptions(options);
  t.InitFromHandset(Handset(120, 160, ifPNG8, 8));
  EXPECT_TRUE(t.FormatOptions().Interlace);
  EXPECT_EQ(t.FormatOptions().JpegQuality, 100);
  EXPECT_EQ(t.FormatOptions().Comment, "abc");
  EXPECT_EQ(t.FormatOptions().Format, ifPNG8);
}

TEST(TargetDefaults, ProgressTextAddsTheScreenName) {
  TImageBufferNode source;
  TStandbySpecification t(&source);
  TTanmatsuRecord r = Handset(240, 320);
  t.InitFromHandset(r);
  EXPECT_EQ(t.ProgressText(), "SH901iC");
  r.SetName("F901iC");
  r.SetScreen("メイン");
  t.InitFromHandset(r);
  EXPECT_EQ(t.ProgressText(), "F901iC（メイン）");
}

TEST(TargetDefaults, CommentIsCutTo255BytesWithoutSplittingACharacter) {
  TImageBufferNode source;
  TStandbySpecification t(&source);
  TFormatOptions options = t.FormatOptions();
  options.Comment = "a" + std::string(200, 'b');
  for (int i = 0; i < 40; ++i)
    options.Comment += "字"; // two bytes each in CP932
  t.SetFormatOptions(options);
  EXPECT_EQ(t.FormatOptions().Comment.size(), 201u + 27 * 3); // 201 + 27 * 2 = 255 bytes
}

TEST(TargetMaking, ResizeSizesOfTheAutoAndFitModes) {
  struct Case {
    int Sw, Sh, W, H;
    TResizeMode Mode;
    int Ew, Eh;
  } cases[] = {
      {480, 640, 240, 320, rzAuto, 240, 320},
      {480, 640, 240, 240, rzAuto, 240, 320}, // fit width; height not below the screen
      {640, 480, 240, 320, rzAuto, 427, 320}, // fit height
      {100, 100, 50, 80, rzAuto, 80, 80},     // square: fit height covers the screen
      {200, 100, 240, 80, rzAuto, 240, 120},  // fit height leaves the width short: fit width
      {101, 50, 40, 25, rzFitHeight, 50, 25}, // 50.5 rounds to even
      {103, 50, 40, 25, rzFitHeight, 52, 25}, // 51.5 rounds to even
      {50, 101, 25, 40, rzFitWidth, 25, 50},
      {33, 44, 240, 320, rzNone, 33, 44},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.Sw) + "x" + std::to_string(c.Sh) + " mode " +
                 std::to_string(c.Mode));
    Fixture f(Picture(c.Sw, c.Sh));
    TStandbySpecification& t = f.Add(Handset(c.W, c.H));
    t.SetResize(c.Mode, 0, 0, false);
    f.Maker.MakeAll();
    ASSERT_TRUE(t.IsMade());
    EXPECT_EQ(t.Stages(skResize)->Bitmap.Width(), c.Ew);
    EXPECT_EQ(t.Stages(skResize)->Bitmap.Height(), c.Eh);
    EXPECT_EQ(t.ResizeWidth(), c.Ew);
    EXPECT_EQ(t.ResizeHeight(), c.Eh);
    EXPECT_EQ(t.FinalBitmap()->Width(), c.W);
    EXPECT_EQ(t.FinalBitmap()->Height(), c.H);
  }
}

TEST(TargetMaking, CustomSizeAndExactCopy) {
  TBitmap source = Picture(60, 40);
  Fixture f(source);
  TStandbySpecification& t = f.Add(Handset(60, 40));
  f.Maker.MakeAll();
  // Same size as the source: an exact copy, no resampling.
  EXPECT_TRUE(t.Stages(skResize)->Bitmap.SamePixels(source));
  EXPECT_FALSE(t.IsEnlarged());
  t.SetResize(rzCustom, 90, 20, true);
  EXPECT_EQ(t.Stages(skResize)->Bitmap.Width(), 90);
  EXPECT_EQ(t.Stages(skResize)->Bitmap.Height(), 20);
  EXPECT_TRUE(t.IsEnlarged());
  // A size beyond what a bitmap may hold is refused before any allocation.
  EXPECT_THROW(t.SetResize(rzCustom, 40000, 10, false), EOutOfResources);
  EXPECT_FALSE(t.IsMade());
}

// Places a picture of the given width on a 240-wide screen with the look-at
// point at x and returns the canvas X.
int PlaceX(int pictureWidth, THorzAlign align, int lookX, int screenWidth = 240) {
  Fixture f(Picture(pictureWidth, 320));
  f.Maker.SetLookAt({lookX, 10});
  TStandbySpecification& t = f.Add(Handset(screenWidth, 320));
  t.SetResize(rzNone, 0, 0, false);
  TLayout layout = t.Layout();
  layout.HorzAlign = align;
  layout.OffsetX = 17;
  t.SetLayout(layout);
  f.Maker.MakeAll();
  const int x = t.Stages(skCanvas)->ParamsOf<TCanvasParams>().X;
  EXPECT_EQ(x, t.Layout().OffsetX);
  return x;
}

TEST(TargetMaking, CanvasOffsetsOfTheAlignments) {
  EXPECT_EQ(PlaceX(427, haLeft, 0), 0);
  EXPECT_EQ(PlaceX(427, haCenter, 0), -93); // -187 halved toward zero
  EXPECT_EQ(PlaceX(427, haRight, 0), -187);
  EXPECT_EQ(PlaceX(427, haLookAt, 300), -180);
  EXPECT_EQ(PlaceX(427, haLookAt, 50), 0);     // never an uncovered strip at the left
  EXPECT_EQ(PlaceX(427, haLookAt, 420), -187); // nor at the right: flush right
  EXPECT_EQ(PlaceX(100, haLookAt, 90), 70);    // narrower picture: centred
  EXPECT_EQ(PlaceX(427, haNone, 0), 17);       // the stored offset
  EXPECT_EQ(PlaceX(101, haCenter, 0, 240), 69);
}

TEST(TargetMaking, BackgroundFillsTheUncoveredStrip) {
  TBitmap source = Picture(100, 320);
  Fixture f(source);
  f.Maker.SetLookAt({420, 10});
  TStandbySpecification& t = f.Add(Handset(240, 320, ifPNG24));
  t.SetResize(rzNone, 0, 0, false);
  TLayout layout = t.Layout();
  layout.HorzAlign = haLeft;
  layout.Background = bgColor;
  layout.BackgroundColor = RGB(1, 2, 3);
  t.SetLayout(layout);
  f.Maker.MakeAll();
  const TBitmap& canvas = t.Stages(skCanvas)->Bitmap;
  EXPECT_EQ(canvas.GetPixel(99, 5), source.GetPixel(99, 5));
  EXPECT_EQ(canvas.GetPixel(100, 5), RGB(1, 2, 3));
  EXPECT_EQ(t.FinalBitmap()->GetPixel(239, 319), RGB(1, 2, 3)); // PNG24 is lossless

  // The colour is compared even when a corner gives the background.
  layout.Background = bgBottomRight;
  t.SetLayout(layout);
  EXPECT_EQ(t.Stages(skCanvas)->Bitmap.GetPixel(200, 0), source.GetPixel(99, 319));
  layout.BackgroundColor = RGB(9, 9, 9);
  t.SetLayout(layout);
  EXPECT_EQ(f.Maker.SourceStage().Children()[0]->Children().size(), 1u);
  EXPECT_EQ(t.Stages(skCanvas)->ParamsOf<TCanvasParams>().BackgroundColor, RGB(9, 9, 9));
}

TEST(TargetMaking, LookAtFollowsTheScaling) {
  Fixture f(Picture(640, 480));
  f.Maker.SetLookAt({601, 7});
  TStandbySpecification& t = f.Add(Handset(240, 320));
  f.Maker.MakeAll();
  // 601 * 427 div 640 = 400 (400.98 truncated), 7 * 320 div 480 = 4.
  EXPECT_EQ(t.Stages(skResize)->LookAt, (TLookAtPoint{400, 4}));
  EXPECT_EQ(t.Stages(skFormat)->LookAt, (TLookAtPoint{400, 4}));
}

TEST(TargetSetters, CompareFirstAndRemakeOnlyWhenMade) {
  Fixture f(Picture(64, 48));
  TStandbySpecification& t = f.Add(Handset(32, 24));
  int starts = 0;
  t.OnProgress = [&](const void*, TProgressStage stage, std::uint8_t, bool, const TRect&,
                     const std::string&) { starts += stage == psStarting; };

  // Not made: the value is stored and nothing is made.
  t.SetSharpen(shHigh, 2);
  EXPECT_EQ(t.Sharpness(), shHigh);
  EXPECT_EQ(starts, 0);
  EXPECT_EQ(t.FileSize(), -1);
  EXPECT_EQ(t.FinalBitmap(), nullptr);

  t.Make(&f.Maker.SourceStage());
  ASSERT_TRUE(t.IsMade());
  starts = 0;
  t.SetResize(t.ResizeMode(), t.ResizeWidth(), t.ResizeHeight(), t.FastResample());
  t.SetLayout(t.Layout());
  t.SetSharpen(shHigh, 2);
  EXPECT_EQ(starts, 0);
  // Format options are not compared: the format stage is made again.
  t.SetFormatOptions(t.FormatOptions());
  EXPECT_EQ(starts, 1);
  EXPECT_TRUE(t.IsMade());
  // Decorators are not compared either.
  TImageBufferNode* sharpen = t.Stages(skSharpen);
  t.SetDecorators(nullptr);
  EXPECT_EQ(starts, 2);
  EXPECT_EQ(t.Stages(skSharpen), sharpen);
  try {
    t.MakeFrom(5);
    FAIL();
  } catch (const EMirufoError& e) {
    EXPECT_STREQ(e.what(), "NodeIndexの値が不正です");
  }
  EXPECT_THROW(t.MakeFrom(-1), EMirufoError);
  EXPECT_TRUE(t.IsMade());
}

TEST(TargetSetters, RedecorateNeedsTheSharpenStage) {
  Fixture f(Picture(40, 40));
  TStandbySpecification& t = f.Add(Handset(20, 20));
  t.Redecorate();
  EXPECT_FALSE(t.IsMade());
  f.Maker.MakeAll();
  t.ReleaseFrom(skDecorate);
  EXPECT_FALSE(t.IsMade());
  EXPECT_NE(t.Stages(skSharpen), nullptr);
  t.Redecorate();
  EXPECT_TRUE(t.IsMade());
}

TEST(TargetStatus, SizeOverComparesTheCacheInBytes) {
  // Find a picture whose JPEG, padded by a comment, is exactly 7680 bytes.
  Fixture f(Picture(8, 8));
  for (int side = 20; side < 300; ++side) {
    TBitmap source(side, 40, pf24bit);
    std::srand(11);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < side * 3; ++x)
        source.ScanLine(y)[x] = static_cast<std::uint8_t>(std::rand());
    f.Maker.SetSource(source);
    f.Maker.ResetAll();
    while (f.Maker.Count() > 0)
      f.Maker.Delete(0);
    TStandbySpecification& t = f.Add(Handset(side, 40, ifJPEG, 16, 7.5f));
    TFormatOptions options = t.FormatOptions();
    options.AutoFit = false;
    t.SetFormatOptions(options);
    f.Maker.MakeAll();
    const std::int32_t pad = 7680 - t.FileSize();
    if (pad < 0 || pad > 250)
      continue;
    options.Comment = std::string(static_cast<std::size_t>(pad), 'x');
    t.SetFormatOptions(options);
    ASSERT_EQ(t.FileSize(), 7680);
    EXPECT_FALSE(t.IsSizeOver()); // equal is not over
    options.Comment += "y";
    t.SetFormatOptions(options);
    ASSERT_EQ(t.FileSize(), 7681);
    EXPECT_TRUE(t.IsSizeOver());

    // With the fit search the same file is over 7680 bytes at quality 100
    // and drops to 90; at exactly 7680 it stays at 100.
    options.AutoFit = true;
    t.SetFormatOptions(options);
    EXPECT_EQ(t.FormatOptions().JpegQuality, 90);
    EXPECT_FALSE(t.IsSizeOver());
    options.Comment.pop_back();
    t.SetFormatOptions(options);
    EXPECT_EQ(t.FormatOptions().JpegQuality, 100);
    EXPECT_EQ(t.FileSize(), 7680);
    return;
  }
  FAIL() << "no picture size gave a file near 7680 bytes";
}

TEST(TargetStatus, FitSearchResultIsKeptForTheNextMake) {
  Fixture f(Picture(8, 8));
  TBitmap source(64, 64, pf24bit);
  std::srand(5);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 192; ++x)
      source.ScanLine(y)[x] = static_cast<std::uint8_t>(std::rand());
  f.Maker.SetSource(source);
  TStandbySpecification& t = f.Add(Handset(64, 64, ifJPEG, 16, 2.0f)); // 2048 bytes
  f.Maker.MakeAll();
  const int lowered = t.FormatOptions().JpegQuality;
  EXPECT_LT(lowered, 100);
  EXPECT_EQ(t.Stages(skFormat)->ParamsOf<TFormatParams>().Format.JpegQuality, lowered);
  f.Maker.ResetAll();
  f.Maker.MakeAll();
  EXPECT_EQ(t.FormatOptions().JpegQuality, lowered);
  // Targets on the same picture with the same options and cache get the same
  // answer (and file); a larger cache keeps a higher quality.
  TStandbySpecification& twin = f.Add(Handset(64, 64, ifJPEG, 16, 2.0f));
  TStandbySpecification& roomy = f.Add(Handset(64, 64, ifJPEG, 16, 64.0f));
  f.Maker.MakeAll();
  EXPECT_EQ(twin.FormatOptions().JpegQuality, lowered);
  EXPECT_TRUE(twin.SameImage(t));
  EXPECT_EQ(roomy.FormatOptions().JpegQuality, 100);
  // Best fit is its own search and its own file (optimised tables), shared
  // by targets that choose it alike.
  auto bestFit = [&](TStandbySpecification& target) -> TStandbySpecification& {
    TFormatOptions options = target.FormatOptions();
    options.JpegQuality = 100;
    options.BestFit = true;
    target.SetFormatOptions(options);
    return target;
  };
  TStandbySpecification& best = bestFit(f.Add(Handset(64, 64, ifJPEG, 16, 2.0f)));
  TStandbySpecification& bestTwin = bestFit(f.Add(Handset(64, 64, ifJPEG, 16, 2.0f)));
  f.Maker.MakeAll();
  EXPECT_GT(best.FormatOptions().JpegQuality, lowered);
  EXPECT_FALSE(best.SameImage(t));
  EXPECT_TRUE(best.SameImage(bestTwin));
  EXPECT_LE(best.FileSize(), 2048);
  // No limit: the quality stays whatever the size.
  TStandbySpecification& free = f.Add(Handset(64, 64, ifJPEG, 16, 0));
  f.Maker.MakeAll();
  EXPECT_EQ(free.FormatOptions().JpegQuality, 100);
  EXPECT_FALSE(free.IsSizeOver());
}

TEST(TargetStatus, FormatColourAndEnlargementWarnings) {
  Fixture f(Picture(200, 300));
  TTanmatsuRecord jpegOnly = Handset(240, 320, ifJPEG, 16);
  TStandbySpecification& t = f.Add(jpegOnly);
  EXPECT_FALSE(t.IsFormatViolation());
  const TFormatOptions jpeg = t.FormatOptions();
  TFormatOptions options = jpeg;
  options.Format = ifPNG8;
  t.SetFormatOptions(options);
  EXPECT_TRUE(t.IsFormatViolation());
  options.Format = static_cast<TImageFormat>(9);
  t.SetFormatOptions(options);
  EXPECT_TRUE(t.IsFormatViolation());
  EXPECT_TRUE(t.IsColorOver());

  struct Case {
    TImageFormat Format;
    int Bits, HandsetBit;
    bool Over;
  } cases[] = {
      {ifPNG8, 8, 16, false},
      {ifPNG8, 8, 4, true},
      {ifGIF, 8, 8, false},
      {ifGIF, 5, 4, true},
      {ifBMP, 24, 16, false},
      {ifBMP, 24, 8, true},
      {ifBMP, 8, 4, true},
      {ifBMP, 4, 4, false},
      {ifBMP2, 1, 0, false},
      {ifJPEG, 24, 1, false},
      {ifPNG24, 24, 8, false},
      // Colour bits 0: the handset states no limit, so nothing is over.
      {ifPNG8, 8, 0, false},
      {ifGIF, 8, 0, false},
      {ifBMP, 24, 0, false},
      {ifBMP, 8, 0, false},
  };
  for (const Case& c : cases) {
    TStandbySpecification& u = f.Add(Handset(240, 320, c.Format, c.HandsetBit));
    options = u.FormatOptions();
    options.Bits = static_cast<std::uint8_t>(c.Bits);
    u.SetFormatOptions(options);
    EXPECT_EQ(u.IsColorOver(), c.Over) << int(c.Format) << " " << c.Bits << " " << c.HandsetBit;
  }

  // A 200 x 300 picture for a 240 x 320 screen has to be enlarged.
  EXPECT_FALSE(t.IsEnlarged());
  t.SetFormatOptions(jpeg);
  f.Maker.MakeAll();
  EXPECT_TRUE(t.IsEnlarged());
}

TEST(TargetOutput, SaveAndCopyNeedAFinishedImage) {
  test::TempDir dir;
  Fixture f(Picture(50, 50));
  TStandbySpecification& t = f.Add(Handset(30, 40));
  try {
    t.SaveToFile(dir / "a.jpg");
    FAIL();
  } catch (const EMirufoError& e) {
    EXPECT_STREQ(e.what(), "未完成なので保存できねっす");
  }
  try {
    t.CopyToClipboard([](const TBitmap&) {});
    FAIL();
  } catch (const EMirufoError& e) {
    EXPECT_STREQ(e.what(), "完成してないのでコピーできません");
  }
  TFormatOptions options = t.FormatOptions();
  options.Copyright = true;
  options.Comment = "hello";
  t.SetFormatOptions(options);
  f.Maker.MakeAll();
  test::WriteBytes(dir / "a.jpg", "old content");
  t.SaveToFile(dir / "a.jpg");
  std::string bytes = test::ReadBytes(dir / "a.jpg");
  EXPECT_EQ(static_cast<std::int32_t>(bytes.size()), t.FileSize());
  test::TRgbImage decoded;
  test::TRefJpegInfo info;
  ASSERT_TRUE(test::RefDecodeJpeg(bytes, decoded, &info));
  EXPECT_EQ(decoded.Width, 30);
  ASSERT_EQ(info.Comments.size(), 1u);
  EXPECT_EQ(info.Comments[0], "copy=\"NO\",kddi_copyright=on,hello");
  int copied = 0;
  t.CopyToClipboard([&](const TBitmap& b) { copied = b.Width(); });
  EXPECT_EQ(copied, 30);
  EXPECT_THROW(t.SaveToFile(dir / "missing" / "a.jpg"), EInOutError);
}

} // namespace
} // namespace mirufo
