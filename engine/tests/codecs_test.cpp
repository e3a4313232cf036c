// The file writers and readers of the output formats, each file checked by
// the format's reference library (or, for BMP, against hand-made bytes).
#include "engine/codecs.h"
#include "engine/output_format.h"
#include "engine/tests/reference_decoders.h"
#include "platform/errors.h"
#include "test_picture.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace mirufo {
namespace {

using test::TRgbImage;

TBitmap Gradient(int width, int height) {
  return test::MakePicture(width, height, [&](int x, int y) {
    return RGB(static_cast<std::uint8_t>(x * 255 / std::max(1, width - 1)),
               static_cast<std::uint8_t>(y * 255 / std::max(1, height - 1)),
               static_cast<std::uint8_t>((x + y) & 0xFF));
  });
}

// A palette picture whose index at (x, y) is (x * 7 + y * 3) mod colours.
TBitmap Indexed(int width, int height, TPixelFormat format, int colours) {
  TBitmap picture(width, height, format);
  std::vector<TRGBQuad> palette;
  for (int i = 0; i < colours; ++i)
    palette.push_back(TRGBQuad{static_cast<std::uint8_t>(i * 3), static_cast<std::uint8_t>(i),
                               static_cast<std::uint8_t>(255 - i), 0});
  picture.SetPalette(palette);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.SetIndex(x, y, static_cast<std::uint8_t>((x * 7 + y * 3) % colours));
  return picture;
}

void ExpectIndexesAndPalette(const TBitmap& picture, const std::vector<std::uint8_t>& indexes) {
  ASSERT_EQ(indexes.size(), static_cast<std::size_t>(picture.Width()) * picture.Height());
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      ASSERT_EQ(indexes[static_cast<std::size_t>(y) * picture.Width() + x], picture.GetIndex(x, y))
          << x << "," << y;
}

TEST(JpegCodec, FileStartsWithSoiAndJfifAndDecodesWithLibjpeg) {
  TBitmap picture = Gradient(37, 23); // odd sizes: padded rows, partial blocks
  for (bool progressive : {false, true}) {
    std::string bytes = EncodeJpeg(picture, 95, progressive);
    ASSERT_GE(bytes.size(), kJpegHeaderBytes);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xD8\xFF\xE0", 4));
    EXPECT_EQ(bytes.substr(4, 2), std::string("\x00\x10", 2)); // APP0 of length 16
    EXPECT_EQ(bytes.substr(6, 5), std::string("JFIF\0", 5));

    TRgbImage decoded;
    test::TRefJpegInfo info;
    ASSERT_TRUE(test::RefDecodeJpeg(bytes, decoded, &info));
    EXPECT_EQ(info.Progressive, progressive);
    ASSERT_EQ(decoded.Width, 37);
    ASSERT_EQ(decoded.Height, 23);
    TColor c = picture.GetPixel(20, 10);
    EXPECT_NEAR(decoded.R(20, 10), GetRValue(c), 12);
    EXPECT_NEAR(decoded.G(20, 10), GetGValue(c), 12);
    EXPECT_NEAR(decoded.B(20, 10), GetBValue(c), 12);

    // Our own decoder (the preview) sees the same pixels as libjpeg.
    TBitmap preview = DecodeOutputFile(ifJPEG, bytes);
    ASSERT_EQ(preview.Width(), 37);
    TColor p = preview.GetPixel(20, 10);
    EXPECT_EQ(GetRValue(p), decoded.R(20, 10));
    EXPECT_EQ(GetBValue(p), decoded.B(20, 10));
  }
}

TEST(JpegCodec, QualityOutsideOneToHundredIsClamped) {
  TBitmap picture = Gradient(16, 16);
  EXPECT_EQ(EncodeJpeg(picture, 0, false), EncodeJpeg(picture, 1, false));
  EXPECT_EQ(EncodeJpeg(picture, -5, false), EncodeJpeg(picture, 1, false));
  EXPECT_EQ(EncodeJpeg(picture, 250, false), EncodeJpeg(picture, 100, false));
  EXPECT_LT(EncodeJpeg(picture, 10, false).size(), EncodeJpeg(picture, 100, false).size());
}

TEST(JpegCodec, BadInputRaisesInsteadOfExiting) {
  EXPECT_THROW(EncodeJpeg(TBitmap(), 80, false), EMirufoError);
  EXPECT_THROW(DecodeOutputFile(ifJPEG, "not a jpeg at all"), EMirufoError);
  std::string truncated = EncodeJpeg(Gradient(32, 32), 80, false).substr(0, 40);
  EXPECT_THROW(DecodeOutputFile(ifJPEG, truncated), EMirufoError);
}

TEST(PngCodec, PaletteDepthsRoundTripThroughLibpng) {
  struct Case {
    TPixelFormat Format;
    int Colours;
    int Depth;
  } cases[] = {{pf1bit, 2, 1}, {pf4bit, 4, 4}, {pf4bit, 16, 4}, {pf8bit, 256, 8}, {pf8bit, 7, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Colours);
    TBitmap picture = Indexed(19, 11, c.Format, c.Colours);
    for (bool interlace : {false, true}) {
      TPngWriteOptions options;
      options.Interlace = interlace;
      std::string bytes = EncodePng(picture, options);
      TRgbImage decoded;
      test::TRefPngInfo info;
      ASSERT_TRUE(test::RefDecodePng(bytes, decoded, info));
      EXPECT_EQ(info.ColorType, PNG_COLOR_TYPE_PALETTE);
      EXPECT_EQ(info.BitDepth, c.Depth);
      EXPECT_EQ(info.Interlaced, interlace);
      ASSERT_GE(info.Palette.size(), static_cast<std::size_t>(c.Colours));
      EXPECT_EQ(info.Palette[1].red, 254);
      EXPECT_EQ(info.Palette[1].blue, 3);
      ExpectIndexesAndPalette(picture, info.Indexes);
    }
  }
}

TEST(PngCodec, TrueColourRoundTripsExactly) {
  TBitmap picture = Gradient(33, 17);
  std::string bytes = EncodePng(picture, TPngWriteOptions{});
  TRgbImage decoded;
  test::TRefPngInfo info;
  ASSERT_TRUE(test::RefDecodePng(bytes, decoded, info));
  EXPECT_EQ(info.ColorType, PNG_COLOR_TYPE_RGB);
  EXPECT_EQ(info.BitDepth, 8);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 33; ++x) {
      TColor c = picture.GetPixel(x, y);
      ASSERT_EQ(decoded.R(x, y), GetRValue(c));
      ASSERT_EQ(decoded.G(x, y), GetGValue(c));
      ASSERT_EQ(decoded.B(x, y), GetBValue(c));
    }
  EXPECT_TRUE(DecodeOutputFile(ifPNG24, bytes).SamePixels(picture));
}

TEST(PngCodec, ChunksFollowIhdrInOrderAndCarryTheTexts) {
  TBitmap picture = Indexed(8, 8, pf8bit, 16);
  TPngWriteOptions options;
  options.CommentCp932 = "\x83\x65\x83\x58\x83\x67"; // テスト in CP932
  options.Copyright = true;
  std::string bytes = EncodePng(picture, options);
  auto chunks = test::PngChunks(bytes);
  ASSERT_GE(chunks.size(), 8u);
  EXPECT_EQ(chunks[0].first, "IHDR");
  EXPECT_EQ(chunks[1].first, "tIME");
  EXPECT_EQ(chunks[2].first, "tEXt");
  EXPECT_EQ(chunks[3].first, "tEXt");
  EXPECT_EQ(chunks[4].first, "tEXt");
  EXPECT_EQ(chunks[5].first, "PLTE");
  EXPECT_EQ(chunks[6].first, "IDAT");
  EXPECT_EQ(chunks.back().first, "IEND");

  TRgbImage decoded;
  test::TRefPngInfo info;
  ASSERT_TRUE(test::RefDecodePng(bytes, decoded, info));
  EXPECT_TRUE(info.HasTime);
  ASSERT_EQ(info.Texts.size(), 3u);
  EXPECT_EQ(info.Texts[0], std::make_pair(std::string("Comment"), options.CommentCp932));
  EXPECT_EQ(info.Texts[1].first, "Software");
  EXPECT_EQ(info.Texts[2], std::make_pair(std::string("Copyright"), std::string("On")));

  // Without comment and copyright only the Software text is written.
  test::TRefPngInfo plain;
  ASSERT_TRUE(test::RefDecodePng(EncodePng(picture, TPngWriteOptions{}), decoded, plain));
  ASSERT_EQ(plain.Texts.size(), 1u);
  EXPECT_EQ(plain.Texts[0].first, "Software");
}

TEST(PngCodec, ImageDataIsSplitIntoChunksOfAtMost32768Bytes) {
  // Noise does not compress, so the data runs over several chunks.
  TBitmap picture(200, 200, pf24bit);
  std::srand(7);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 600; ++x)
      picture.ScanLine(y)[x] = static_cast<std::uint8_t>(std::rand());
  TPngWriteOptions options;
  options.CompressLevel = 0;
  std::string bytes = EncodePng(picture, options);
  int idat = 0;
  for (const auto& [type, length] : test::PngChunks(bytes))
    if (type == "IDAT") {
      ++idat;
      EXPECT_LE(length, 32768u);
    }
  EXPECT_GE(idat, 4);
  EXPECT_TRUE(DecodeOutputFile(ifPNG24, bytes).SamePixels(picture));
}

TEST(PngCodec, CompressionLevelChangesTheSizeOnly) {
  TBitmap picture = Gradient(64, 64);
  TPngWriteOptions none, best, standard;
  none.CompressLevel = 0;
  best.CompressLevel = 9;
  standard.CompressLevel = -1;
  std::string a = EncodePng(picture, none), b = EncodePng(picture, best),
              c = EncodePng(picture, standard);
  EXPECT_GT(a.size(), b.size());
  EXPECT_TRUE(DecodeOutputFile(ifPNG24, a).SamePixels(picture));
  EXPECT_TRUE(DecodeOutputFile(ifPNG24, b).SamePixels(picture));
  EXPECT_TRUE(DecodeOutputFile(ifPNG24, c).SamePixels(picture));
}

TEST(PngCodec, BrokenFilesRaise) {
  EXPECT_THROW(DecodeOutputFile(ifPNG24, "\x89PNG\r\n\x1a\n garbage"), EMirufoError);
  std::string bytes = EncodePng(Gradient(20, 20), TPngWriteOptions{});
  EXPECT_THROW(DecodeOutputFile(ifPNG24, bytes.substr(0, bytes.size() / 2)), EMirufoError);
  EXPECT_THROW(EncodePng(TBitmap(), TPngWriteOptions{}), EMirufoError);
}

// A hand-made 3 x 2 four-bit BMP: palette black, red, green, blue; rows
// bottom-up, each padded to 4 bytes.
std::string HandMadeBmp4() {
  std::string b;
  auto put = [&](std::initializer_list<int> bytes) {
    for (int v : bytes)
      b.push_back(static_cast<char>(v));
  };
  put({'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 70, 0, 0, 0});                        // file header
  put({40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 4, 0, 0, 0, 0, 0, 8, 0, 0, 0, //
       0,  0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0});                       // info header
  put({0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0});                  // B G R 0
  put({0x12, 0x30, 0, 0});                                                      // bottom row
  put({0x31, 0x20, 0, 0});                                                      // top row
  return b;
}

TEST(BmpCodec, ReadsHandMadeFiles) {
  TBitmap four = DecodeOutputFile(ifBMP, HandMadeBmp4());
  ASSERT_EQ(four.Width(), 3);
  ASSERT_EQ(four.Height(), 2);
  EXPECT_EQ(four.GetPixel(0, 0), RGB(0, 0, 255)); // top row: 3 1 2
  EXPECT_EQ(four.GetPixel(1, 0), RGB(255, 0, 0));
  EXPECT_EQ(four.GetPixel(2, 0), RGB(0, 255, 0));
  EXPECT_EQ(four.GetPixel(0, 1), RGB(255, 0, 0)); // bottom row: 1 2 3
  EXPECT_EQ(four.GetPixel(2, 1), RGB(0, 0, 255));

  // A top-down 24-bit file of 1 x 2 (negative height), rows padded to 4.
  std::string b;
  auto put = [&](std::initializer_list<int> bytes) {
    for (int v : bytes)
      b.push_back(static_cast<char>(v));
  };
  put({'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0});
  put({40, 0, 0, 0, 1, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 24, 0, 0, 0, 0, 0, 8, 0, 0, 0, //
       0,  0, 0, 0, 0, 0, 0, 0, 0,    0,    0,    0,    0, 0, 0,  0});
  put({10, 20, 30, 0, 40, 50, 60, 0});
  TBitmap topDown = DecodeOutputFile(ifBMP, b);
  ASSERT_EQ(topDown.Height(), 2);
  EXPECT_EQ(topDown.GetPixel(0, 0), RGB(30, 20, 10));
  EXPECT_EQ(topDown.GetPixel(0, 1), RGB(60, 50, 40));
}

TEST(BmpCodec, WritesTheHandMadeLayout) {
  TBitmap picture(3, 2, pf4bit);
  picture.SetPalette({TRGBQuad{0, 0, 0, 0}, TRGBQuad{0, 0, 255, 0}, TRGBQuad{0, 255, 0, 0},
                      TRGBQuad{255, 0, 0, 0}});
  const int top[] = {3, 1, 2}, bottom[] = {1, 2, 3};
  for (int x = 0; x < 3; ++x) {
    picture.SetIndex(x, 0, static_cast<std::uint8_t>(top[x]));
    picture.SetIndex(x, 1, static_cast<std::uint8_t>(bottom[x]));
  }
  std::string expected = HandMadeBmp4();
  // The hand-made file names 4 colours used; our writer lists the palette
  // it has, which is the same 4 entries.
  EXPECT_EQ(EncodeBmp(picture), expected);
}

TEST(BmpCodec, EveryDepthRoundTrips) {
  for (auto [format, colours] : {std::pair{pf1bit, 2}, {pf4bit, 16}, {pf8bit, 256}}) {
    TBitmap picture = Indexed(13, 5, format, colours);
    std::string bytes = EncodeBmp(picture);
    EXPECT_EQ(bytes[28], static_cast<char>(BitsPerPixel(format)));
    TBitmap decoded = DecodeOutputFile(ifBMP, bytes);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 13; ++x)
        ASSERT_EQ(decoded.GetPixel(x, y), picture.GetPixel(x, y));
  }
  TBitmap picture = Gradient(13, 5);
  EXPECT_TRUE(DecodeOutputFile(ifBMP, EncodeBmp(picture)).SamePixels(picture));
}

// The preview reader (import's BMP reader) refuses what the writer never
// writes and what would read outside the file.
TEST(BmpCodec, DamagedFilesAreRefusedWithoutReadingPastTheEnd) {
  std::string good = HandMadeBmp4();
  EXPECT_THROW(DecodeOutputFile(ifBMP, good.substr(0, good.size() - 6)),
               EMirufoError); // pixels cut short
  EXPECT_THROW(DecodeOutputFile(ifBMP, good.substr(0, 30)), EMirufoError);
  std::string huge = good;
  huge[21] = 0x7F; // width of two billion
  EXPECT_THROW(DecodeOutputFile(ifBMP, huge), EMirufoError);
  std::string farOffset = good;
  farOffset[13] = 0x7F;
  EXPECT_THROW(DecodeOutputFile(ifBMP, farOffset), EMirufoError);
}

TEST(GifCodec, BothCodeStreamsDecodeWithGiflib) {
  struct Case {
    TPixelFormat Format;
    int Colours;
    int Width, Height;
  } cases[] = {
      {pf1bit, 2, 9, 7},      // 1 bit still uses codes of 3 bits
      {pf4bit, 4, 31, 9},     // two table bits
      {pf8bit, 16, 40, 30},   // table smaller than the index range
      {pf8bit, 256, 301, 97}, // many clear codes and many sub-blocks
  };
  for (const Case& c : cases) {
    for (TGifCodeStream stream : {gcLZW, gcRLE}) {
      SCOPED_TRACE(std::to_string(c.Colours) + (stream == gcRLE ? " RLE" : " LZW"));
      TBitmap picture = Indexed(c.Width, c.Height, c.Format, c.Colours);
      std::string bytes = EncodeGif(picture, stream);
      TRgbImage decoded;
      test::TRefGifInfo info;
      ASSERT_TRUE(test::RefDecodeGif(bytes, decoded, info));
      ASSERT_EQ(decoded.Width, c.Width);
      ASSERT_EQ(decoded.Height, c.Height);
      EXPECT_GE(info.ColorCount, c.Colours);
      EXPECT_EQ(info.Colors[1].Red, 254);
      ExpectIndexesAndPalette(picture, info.Indexes);
      TBitmap preview = DecodeOutputFile(ifGIF, bytes);
      EXPECT_EQ(preview.GetPixel(1, 0), picture.GetPixel(1, 0));
    }
  }
}

TEST(GifCodec, RunLengthStreamIsLargerThanLzwOnFlatPictures) {
  TBitmap flat(100, 100, pf8bit);
  flat.SetPalette(std::vector<TRGBQuad>(256));
  flat.Fill(5);
  const std::size_t lzw = EncodeGif(flat, gcLZW).size();
  const std::size_t rle = EncodeGif(flat, gcRLE).size();
  EXPECT_LT(lzw, rle);
  // Nine-bit literals: at least 10000 codes of 9 bits.
  EXPECT_GE(rle, 10000u * 9 / 8);
}

TEST(GifCodec, RefusesWhatItCannotWrite) {
  EXPECT_THROW(EncodeGif(Gradient(4, 4), gcRLE), EMirufoError);
  EXPECT_THROW(EncodeGif(TBitmap(), gcLZW), EMirufoError);
  EXPECT_THROW(DecodeOutputFile(ifGIF, "GIF89a"), EMirufoError);
}

} // namespace
} // namespace mirufo
