// The table of output formats: one row per code, and every row's file read
// back by its own reader for the preview.
#include "engine/format_buffer.h"
#include "engine/output_format.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

TEST(OutputFormat, EachCodeHasItsRowNameAndExtension) {
  const std::pair<const char*, const char*> expected[] = {{"GIF", "gif"},  {"JPEG", "jpg"},
                                                          {"PNG8", "png"}, {"PNG24", "png"},
                                                          {"BMP", "bmp"},  {"BMP2", "bmp"}};
  for (int code = 0; code < 6; ++code) {
    const auto format = static_cast<TImageFormat>(code);
    ASSERT_NE(FindOutputFormat(format), nullptr) << code;
    EXPECT_EQ(FindOutputFormat(format)->Format, format);
    EXPECT_EQ(FormatName(format), expected[code].first);
    EXPECT_EQ(FormatExt(format), expected[code].second);
  }
  const auto unknown = static_cast<TImageFormat>(6);
  EXPECT_EQ(FindOutputFormat(unknown), nullptr);
  EXPECT_EQ(FormatExt(unknown), "");
  EXPECT_EQ(FormatName(unknown), "");
  EXPECT_THROW(OutputFormat(unknown), EMirufoError);
}

// A picture of four flat quarters survives every format's reduction to 4
// bits, so each preview must show the same quarters, as 24 bits.
TEST(OutputFormat, EveryFormatsFileDecodesToA24BitPreview) {
  TBitmap picture(16, 8, pf24bit);
  const TColor quarters[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 0, 255)};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x)
      picture.SetPixel(x, y, quarters[(y / 4) * 2 + x / 8]);
  for (int code = 0; code < 6; ++code) {
    TFormatOptions options;
    options.Format = static_cast<TImageFormat>(code);
    options.Bits = 4;
    options.Reduction = cmOctree;
    options.Dither = dkNone;
    options.JpegQuality = 100;
    std::unique_ptr<TBitmap> reduced;
    std::unique_ptr<TEncodedGraphic> graphic;
    std::int32_t size = 0;
    EncodeImage(picture, reduced, graphic, 0, false, "", options, size);
    const TBitmap preview = DecodeOutputFile(options.Format, graphic->Data);
    ASSERT_EQ(preview.PixelFormat(), pf24bit) << code;
    ASSERT_EQ(preview.Width(), 16);
    ASSERT_EQ(preview.Height(), 8);
    const bool monochrome = options.Format == ifBMP2;
    for (int i = 0; i < 4; ++i) {
      const TColor got = preview.GetPixel(2 + (i % 2) * 8, 1 + (i / 2) * 4);
      const TColor want = monochrome ? (i == 1 ? RGB(255, 255, 255) : got) : quarters[i];
      // JPEG is lossy: allow a small error per channel.
      EXPECT_NEAR(GetRValue(got), GetRValue(want), 8) << code << " quarter " << i;
      EXPECT_NEAR(GetGValue(got), GetGValue(want), 8) << code << " quarter " << i;
      EXPECT_NEAR(GetBValue(got), GetBValue(want), 8) << code << " quarter " << i;
    }
  }
}

TEST(OutputFormat, BrokenFileRaisesTheReadersErrorNamingTheFormat) {
  try {
    DecodeOutputFile(ifGIF, "GIF89a");
    ADD_FAILURE() << "a broken GIF decoded";
  } catch (const EMirufoError& e) {
    EXPECT_NE(std::string(e.what()).find("GIF"), std::string::npos);
  }
  EXPECT_THROW(DecodeOutputFile(ifJPEG, "not a jpeg"), EMirufoError);
  EXPECT_THROW(DecodeOutputFile(ifPNG8, "\x89PNG\r\n\x1a\n garbage"), EMirufoError);
}

} // namespace
} // namespace mirufo
