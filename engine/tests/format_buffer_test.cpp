// Encoding with the fit search, the JPEG comment segment and the file bytes
// of each output format, read back by the reference libraries.
#include "engine/codecs.h"
#include "engine/format_buffer.h"
#include "engine/output_format.h"
#include "engine/tests/reference_decoders.h"
#include "platform/encoding.h"
#include "platform/errors.h"
#include "tools/sample_picture.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace mirufo {
namespace {

TBitmap Noise(int width, int height, unsigned seed) {
  TBitmap picture(width, height, pf24bit);
  std::srand(seed);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width * 3; ++x)
      picture.ScanLine(y)[x] = static_cast<std::uint8_t>(std::rand());
  return picture;
}

TFormatOptions Options(TImageFormat format, int bits = 24, int quality = 100) {
  TFormatOptions options;
  options.Format = format;
  options.Bits = static_cast<std::uint8_t>(bits);
  options.Reduction = cmOctree;
  options.Dither = dkFloydSteinberg;
  options.JpegQuality = static_cast<std::uint8_t>(quality);
  return options;
}

struct TResult {
  TFormatOptions Options;
  std::int32_t Size = 0;
  std::unique_ptr<TBitmap> Reduced;
  std::unique_ptr<TEncodedGraphic> Graphic;
};

TResult Encode(const TBitmap& input, TFormatOptions options, std::int64_t limit,
               bool copyright = false, const std::string& comment = "") {
  TResult r;
  EncodeImage(input, r.Reduced, r.Graphic, limit, copyright, comment, options, r.Size);
  r.Options = options;
  return r;
}

std::string FileOf(const TResult& r, bool copyright = false, const std::string& comment = "") {
  std::string bytes;
  SaveWithComment(*r.Graphic, bytes, comment, copyright);
  return bytes;
}

TEST(JpegComment, SegmentGoesInAtByte20WithTheCopyrightMarkAndComment) {
  TBitmap picture = Noise(16, 16, 1);
  struct Case {
    bool Copyright;
    std::string Comment;
    std::string Text;
  } cases[] = {
      {true, "abc", "copy=\"NO\",kddi_copyright=on,abc"},
      {true, "", "copy=\"NO\",kddi_copyright=on"},
      {false, "abc", "abc"},
      {false, "", ""},
      {false, "待受", Utf8ToCp932("待受")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    TResult r = Encode(picture, Options(ifJPEG), 0, c.Copyright, c.Comment);
    std::string file = FileOf(r, c.Copyright, c.Comment);
    ASSERT_EQ(file.size(), r.Graphic->Data.size() + 4 + c.Text.size());
    EXPECT_EQ(r.Size, static_cast<std::int32_t>(file.size()));
    EXPECT_EQ(file.substr(0, 20), r.Graphic->Data.substr(0, 20));
    EXPECT_EQ(static_cast<unsigned char>(file[20]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(file[21]), 0xFE);
    const std::size_t length =
        (static_cast<unsigned char>(file[22]) << 8) | static_cast<unsigned char>(file[23]);
    EXPECT_EQ(length, c.Text.size() + 2);
    EXPECT_EQ(file.substr(24, c.Text.size()), c.Text);
    EXPECT_EQ(file.substr(24 + c.Text.size()), r.Graphic->Data.substr(20));

    test::TRgbImage decoded;
    test::TRefJpegInfo info;
    ASSERT_TRUE(test::RefDecodeJpeg(file, decoded, &info));
    ASSERT_EQ(info.Comments.size(), 1u);
    EXPECT_EQ(info.Comments[0], c.Text);
  }
}

TEST(EncodeImage, GraphicMustBeEmptyOnEntry) {
  TBitmap picture = Noise(8, 8, 2);
  std::unique_ptr<TBitmap> reduced;
  auto graphic = std::make_unique<TEncodedGraphic>(ifJPEG, "x");
  TFormatOptions options = Options(ifJPEG);
  std::int32_t size = 0;
  try {
    EncodeImage(picture, reduced, graphic, 0, false, "", options, size);
    FAIL();
  } catch (const EMirufoError& e) {
    EXPECT_STREQ(e.what(), "Graphicはnilでなければなりません");
  }
  EXPECT_THROW(Encode(picture, Options(static_cast<TImageFormat>(6)), 0), EMirufoError);
}

TEST(EncodeImage, JpegQualityDropsByTenUntilTheFileFits) {
  TBitmap picture = Noise(48, 48, 3);
  auto sizeAt = [&](int q) { return Encode(picture, Options(ifJPEG, 24, q), 0).Size; };
  ASSERT_GT(sizeAt(80), sizeAt(70));
  // Fits at 70 exactly (equal is not over): 100, 90, 80 are over.
  TResult r = Encode(picture, Options(ifJPEG, 16, 100), sizeAt(70));
  EXPECT_EQ(r.Options.JpegQuality, 70);
  EXPECT_EQ(r.Options.Bits, 24);
  EXPECT_EQ(r.Size, sizeAt(70));
  // One byte less and 70 is over too.
  EXPECT_EQ(Encode(picture, Options(ifJPEG, 24, 100), sizeAt(70) - 1).Options.JpegQuality, 60);
  // From 15 the search tries 15 and 5 and keeps 5 however large the file.
  EXPECT_EQ(Encode(picture, Options(ifJPEG, 24, 15), 1).Options.JpegQuality, 5);
  EXPECT_EQ(Encode(picture, Options(ifJPEG, 24, 100), 1).Options.JpegQuality, 10);
  // No limit: no search.
  EXPECT_EQ(Encode(picture, Options(ifJPEG, 24, 90), 0).Options.JpegQuality, 90);
  EXPECT_EQ(Encode(picture, Options(ifJPEG, 24, 90), -1).Options.JpegQuality, 90);
}

TEST(EncodeImage, PaletteFormatsLowerTheBitsUntilTheFileFits) {
  TBitmap picture = Noise(40, 40, 4);
  for (TImageFormat format : {ifGIF, ifPNG8}) {
    SCOPED_TRACE(static_cast<int>(format));
    std::int32_t sizes[9] = {};
    for (int b = 1; b <= 8; ++b)
      sizes[b] = Encode(picture, Options(format, b), 0).Size;
    // The limit is the size at 5 bits; the search stops at the first depth
    // from 8 down whose file is not larger.
    const std::int32_t limit = sizes[5];
    int expected = 8;
    while (expected > 1 && sizes[expected] > limit)
      --expected;
    TResult r = Encode(picture, Options(format, 16), limit);
    EXPECT_EQ(r.Options.Bits, expected);
    EXPECT_LE(r.Size, limit);
    // Nothing fits: the search ends at 1 bit.
    EXPECT_EQ(Encode(picture, Options(format, 8), 1).Options.Bits, 1);
    // Without a limit, more than 8 bits start from 8.
    EXPECT_EQ(Encode(picture, Options(format, 16), 0).Options.Bits, 8);
  }
}

TEST(EncodeImage, BestFitFindsTheHighestJpegQualityThatFits) {
  TBitmap picture = Noise(48, 48, 3);
  auto best = [](int quality) {
    TFormatOptions options = Options(ifJPEG, 24, quality);
    options.BestFit = true;
    return options;
  };
  auto sizeAt = [&](int q) { return Encode(picture, best(q), 0).Size; };
  // Optimised Huffman tables: smaller than the standard ones, still baseline.
  const TResult optimised = Encode(picture, best(70), 0);
  EXPECT_LT(optimised.Size, Encode(picture, Options(ifJPEG, 24, 70), 0).Size);
  test::TRgbImage decoded;
  test::TRefJpegInfo info;
  ASSERT_TRUE(test::RefDecodeJpeg(FileOf(optimised), decoded, &info));
  EXPECT_FALSE(info.Progressive);

  for (int q : {100, 73, 41, 12}) {
    SCOPED_TRACE(q);
    ASSERT_TRUE(q == 100 || sizeAt(q + 1) > sizeAt(q));
    const TResult r = Encode(picture, best(100), sizeAt(q));
    EXPECT_EQ(r.Options.JpegQuality, q);
    EXPECT_EQ(r.Size, sizeAt(q));
  }
  // Never above the start; nothing fits: quality 1, over the limit.
  EXPECT_EQ(Encode(picture, best(60), sizeAt(90)).Options.JpegQuality, 60);
  const TResult none = Encode(picture, best(100), 1);
  EXPECT_EQ(none.Options.JpegQuality, 1);
  EXPECT_EQ(none.Size, sizeAt(1));
}

TEST(EncodeImage, BestFitFindsTheMostPaletteColoursThatFit) {
  // File sizes need not grow with every colour added (noise shows it): the
  // search keeps only counts it saw fit, and never fewer than a power of two
  // that fits.
  TBitmap picture = MakeSamplePicture(96, 72);
  for (TImageFormat format : {ifGIF, ifPNG8}) {
    SCOPED_TRACE(static_cast<int>(format));
    TFormatOptions options = Options(format, 8);
    options.BestFit = true;
    TFormatOptions at200 = options;
    at200.Colors = 200;
    const std::int32_t limit = Encode(picture, at200, 0).Size;
    ASSERT_LT(limit, Encode(picture, options, 0).Size);
    const TResult r = Encode(picture, options, limit);
    EXPECT_GT(r.Options.Colors, 128);
    EXPECT_LT(r.Options.Colors, 256);
    EXPECT_EQ(r.Options.Bits, 8);
    EXPECT_LE(r.Size, limit);
    if (format == ifPNG8) {
      // The palette holds as many entries as were chosen.
      test::TRgbImage decoded;
      test::TRefPngInfo info;
      ASSERT_TRUE(test::RefDecodePng(FileOf(r), decoded, info));
      EXPECT_EQ(info.Palette.size(), r.Options.Colors);
    }
    // The stage encodes the chosen count again to the same bytes.
    TFormatOptions chosen = r.Options;
    EXPECT_EQ(Encode(picture, chosen, 0).Size, r.Size);
    // Nothing fits: 2 colours; a fixed palette searches as the classic way.
    const TResult none = Encode(picture, options, 1);
    EXPECT_EQ(none.Options.Bits, 1);
    EXPECT_EQ(none.Options.Colors, 0);
    options.Reduction = cmFixed332;
    EXPECT_EQ(Encode(picture, options, limit).Options.Colors, 0);
  }
}

TEST(EncodeImage, BmpGoesFrom24To8AndDownToBlackAndWhite) {
  TBitmap picture = Noise(100, 100, 5);
  TResult full = Encode(picture, Options(ifBMP, 24), 0);
  EXPECT_EQ(full.Options.Bits, 24);
  EXPECT_EQ(full.Reduced->PixelFormat(), pf24bit);
  TResult eight = Encode(picture, Options(ifBMP, 24), full.Size - 1);
  EXPECT_EQ(eight.Options.Bits, 8);
  EXPECT_EQ(eight.Reduced->PixelFormat(), pf8bit);
  TResult one = Encode(picture, Options(ifBMP, 24), 1);
  EXPECT_EQ(one.Options.Bits, 1);
  EXPECT_EQ(one.Reduced->PixelFormat(), pf1bit);
  // BMP2 is always black and white and never searched.
  TResult bmp2 = Encode(picture, Options(ifBMP2, 8), 1);
  EXPECT_EQ(bmp2.Options.Bits, 1);
  EXPECT_EQ(bmp2.Reduced->PixelFormat(), pf1bit);
  TBitmap decoded = DecodeOutputFile(ifBMP, FileOf(bmp2));
  for (int x = 0; x < 20; ++x) {
    TColor c = decoded.GetPixel(x, 7);
    EXPECT_TRUE(c == RGB(0, 0, 0) || c == RGB(255, 255, 255));
  }
  // PNG24 is never searched either.
  TResult png24 = Encode(picture, Options(ifPNG24, 8), 1);
  EXPECT_EQ(png24.Options.Bits, 24);
  EXPECT_TRUE(DecodeOutputFile(ifPNG24, FileOf(png24)).SamePixels(picture));
}

TEST(EncodeImage, GifCompressionChoosesTheCodeStream) {
  TBitmap flat(60, 60, pf24bit);
  flat.Fill(RGB(10, 200, 30));
  TFormatOptions lzw = Options(ifGIF, 8), rle = Options(ifGIF, 8);
  lzw.GifCompression = 0;
  rle.GifCompression = 1;
  TResult a = Encode(flat, lzw, 0), b = Encode(flat, rle, 0);
  EXPECT_LT(a.Size, b.Size);
  for (const TResult* r : {&a, &b}) {
    test::TRgbImage decoded;
    test::TRefGifInfo info;
    ASSERT_TRUE(test::RefDecodeGif(FileOf(*r), decoded, info));
    EXPECT_EQ(decoded.R(30, 30), 10);
    EXPECT_EQ(decoded.G(30, 30), 200);
  }
}

TEST(EncodeImage, PngCarriesCommentAndCopyrightAsText) {
  TBitmap picture = Noise(10, 10, 6);
  TFormatOptions options = Options(ifPNG8, 4);
  options.Interlace = true;
  TResult r = Encode(picture, options, 0, true, "ミルフォ");
  test::TRgbImage decoded;
  test::TRefPngInfo info;
  ASSERT_TRUE(test::RefDecodePng(FileOf(r), decoded, info));
  EXPECT_TRUE(info.Interlaced);
  EXPECT_EQ(info.ColorType, PNG_COLOR_TYPE_PALETTE);
  ASSERT_EQ(info.Texts.size(), 3u);
  EXPECT_EQ(info.Texts[0].second, Utf8ToCp932("ミルフォ"));
  EXPECT_EQ(info.Texts[2].second, "On");
  // GIF and BMP carry neither comment nor mark.
  TResult gif = Encode(picture, Options(ifGIF, 4), 0, true, "abc");
  EXPECT_EQ(FileOf(gif, true, "abc"), gif.Graphic->Data);
}

TEST(FormatBuffer, PreviewIsTheFileDecodedAgain) {
  TImageBufferNode parent;
  parent.Bitmap = Noise(24, 16, 7);
  TFormatParams params{Options(ifPNG8, 3)};
  params.Format.Reduction = cmFixed332; // fixed 3-3-2 palette
  params.Format.Dither = dkNone;
  // The stage is built the way the tree builds it: parent set, then Execute.
  TImageBufferNode* stage = FindOrCreate(parent, params, nullptr);
  auto* buffer = static_cast<TFormatBuffer*>(stage);
  EXPECT_EQ(buffer->ParamsOf<TFormatParams>().Format.Bits, 3);
  ASSERT_EQ(buffer->Bitmap.Width(), 24);
  const TBitmap& reduced = *buffer->ReducedBitmap();
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x)
      ASSERT_EQ(buffer->Bitmap.GetPixel(x, y), reduced.GetPixel(x, y));
  EXPECT_EQ(buffer->FileSize(), static_cast<std::int32_t>(buffer->FileBytes().size()));
  parent.FreeChildren();
  EXPECT_TRUE(parent.Children().empty());
}

} // namespace
} // namespace mirufo
