// Every reader refuses a picture past the size limits before it allocates
// for it, including sizes whose byte counts overflow 32-bit products, and
// takes one exactly at the limit.
#include "import/bitmap_reader.h"
#include "import/gif_image.h"
#include "import/icon_image.h"
#include "import/jpeg_image.h"
#include "import/mag_image.h"
#include "import/png_image.h"
#include "import/q0_bitmap.h"
#include "import/spi_bitmap.h"
#include "picture_files.h"
#include "platform/limits.h"
#include "test_encoders.h"
#include "test_support.h"

#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <zlib.h>

namespace mirufo {
namespace {

using test::PutLE16;
using test::PutLE32;

// A 40-byte DIB information header.
std::string DibHeader(std::int32_t width, std::int32_t height, int bits) {
  std::string h;
  PutLE32(h, 40);
  PutLE32(h, static_cast<std::uint32_t>(width));
  PutLE32(h, static_cast<std::uint32_t>(height));
  PutLE16(h, 1);
  PutLE16(h, static_cast<std::uint32_t>(bits));
  for (int i = 0; i < 6; ++i)
    PutLE32(h, 0);
  return h;
}

std::string Grey256() {
  std::string table;
  for (int i = 0; i < 256; ++i)
    table += std::string{static_cast<char>(i), static_cast<char>(i), static_cast<char>(i), 0};
  return table;
}

std::string Bmp(std::int32_t width, std::int32_t height, int bits, const std::string& pixels) {
  std::string info = DibHeader(width, height, bits) + (bits == 8 ? Grey256() : "");
  std::string file = "BM";
  PutLE32(file, static_cast<std::uint32_t>(14 + info.size() + pixels.size()));
  PutLE32(file, 0);
  PutLE32(file, static_cast<std::uint32_t>(14 + info.size()));
  return file + info + pixels;
}

std::string Icon(std::int32_t width, std::int32_t height) {
  std::string dib = DibHeader(width, height * 2, 32) + std::string(64, '\0');
  std::string file;
  PutLE16(file, 0);
  PutLE16(file, 1);
  PutLE16(file, 1);
  file += std::string(4, '\0');
  PutLE16(file, 1);
  PutLE16(file, 32);
  PutLE32(file, static_cast<std::uint32_t>(dib.size()));
  PutLE32(file, 22);
  return file + dib;
}

// A MAG header claiming that frame, with a few bytes of data.
std::string Mag(int x2, int y2) {
  test::MagSpec mag;
  mag.X2 = x2;
  mag.Y2 = y2;
  mag.FlagA = mag.FlagB = std::string(1, '\0');
  mag.Pixels = std::string(4, '\0');
  return test::MakeMag(mag) + std::string(10, '\0');
}

void PutBE32(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out += static_cast<char>((v >> shift) & 0xFF);
}

std::string PngHeader(std::uint32_t width, std::uint32_t height) {
  std::string chunk = "IHDR";
  PutBE32(chunk, width);
  PutBE32(chunk, height);
  chunk += test::Bytes({8, 2, 0, 0, 0});
  std::string file = "\x89PNG\r\n\x1a\n";
  PutBE32(file, 13);
  file += chunk;
  PutBE32(file, static_cast<std::uint32_t>(
                    crc32(0, reinterpret_cast<const Bytef*>(chunk.data()), chunk.size())));
  return file + std::string(64, '\0');
}

// A GIF header whose logical screen has that size, with nothing after it.
std::string GifScreen(std::uint16_t width, std::uint16_t height) {
  std::string file = "GIF89a";
  PutLE16(file, width);
  PutLE16(file, height);
  file += test::Bytes({0, 0, 0});
  return file + ";";
}

// A JPEG whose frame header claims another size.
std::string JpegClaiming(std::uint16_t width, std::uint16_t height) {
  std::string file = test::MakeJpeg(8, 8, test::JpegKind::Colour, {1, 2, 3});
  std::size_t sof = file.find("\xFF\xC0");
  EXPECT_NE(sof, std::string::npos);
  file[sof + 5] = static_cast<char>(height >> 8);
  file[sof + 6] = static_cast<char>(height & 0xFF);
  file[sof + 7] = static_cast<char>(width >> 8);
  file[sof + 8] = static_cast<char>(width & 0xFF);
  return file;
}

template <typename TReader> std::function<void()> Load(std::string bytes, std::string name) {
  return [bytes = std::move(bytes), name = std::move(name)] {
    TReader reader;
    reader.LoadFromBytes(bytes, name);
  };
}

std::function<void()> LoadBlocks(std::string info, std::string bits) {
  return [info = std::move(info), bits = std::move(bits)] {
    PictureFromSpiBlocks(info.data(), info.size(), bits.data(), bits.size(), "plugin.gif");
  };
}

TEST(ReaderLimits, PicturesPastTheLimitsAreRefusedBeforeAllocation) {
  const std::string some(64, '\x55');
  const std::vector<std::pair<const char*, std::function<void()>>> cases = {
      {"BMP 65536 x 65536 x 3", Load<TBitmapReader>(Bmp(65536, 65536, 24, some), "big.bmp")},
      {"BMP one past the side", Load<TBitmapReader>(Bmp(30001, 1, 8, some), "wide.bmp")},
      {"BMP height INT_MIN", Load<TBitmapReader>(Bmp(1, INT_MIN, 24, some), "min.bmp")},
      {"BMP width INT_MIN", Load<TBitmapReader>(Bmp(INT_MIN, 1, 24, some), "min.bmp")},
      {"BMP 32-bit stride past 2^32", Load<TBitmapReader>(Bmp(0x40000000, 4, 32, some), "s.bmp")},
      {"icon 65536 x 65536", Load<TIconImage>(Icon(65536, 65536), "big.ico")},
      {"MAG 65536 x 65536", Load<TMAGImage>(Mag(65535, 65535), "big.mag")},
      {"MAG one past the side", Load<TMAGImage>(Mag(30007, 0), "wide.mag")},
      {"PNG 65536 x 65536", Load<TPNGImage>(PngHeader(65536, 65536), "big.png")},
      {"PNG 2^31 - 1 wide", Load<TPNGImage>(PngHeader(0x7FFFFFFF, 1), "wide.png")},
      {"JPEG 65535 x 65535", Load<TJPEGImage>(JpegClaiming(65535, 65535), "big.jpg")},
      {"JPEG one past the side", Load<TJPEGImage>(JpegClaiming(30001, 8), "wide.jpg")},
      {"plug-in 65536 x -65536", LoadBlocks(DibHeader(65536, -65536, 24), some)},
      {"plug-in height INT_MIN", LoadBlocks(DibHeader(4, INT_MIN, 24), some)},
  };
  for (const auto& [what, load] : cases) {
    SCOPED_TRACE(what);
    EXPECT_THROW(load(), EInvalidGraphic);
  }
}

// A picture past the limits is not called broken: the message says it is
// too large and gives its size, whatever the format.
TEST(ReaderLimits, TooLargeIsSaidWithTheSize) {
  const std::vector<std::pair<const char*, std::function<void()>>> cases = {
      {"BMP", Load<TBitmapReader>(Bmp(30001, 1, 8, std::string(64, '\0')), "wide.bmp")},
      {"PNG", Load<TPNGImage>(PngHeader(30001, 1), "wide.png")},
      {"PNG 2^31 - 1", Load<TPNGImage>(PngHeader(0x7FFFFFFF, 1), "wide.png")},
      {"JPEG", Load<TJPEGImage>(JpegClaiming(30001, 1), "wide.jpg")},
      {"GIF", Load<TGIFImage>(GifScreen(30001, 1), "wide.gif")},
  };
  for (const auto& [what, load] : cases) {
    SCOPED_TRACE(what);
    try {
      load();
      ADD_FAILURE() << "loaded";
    } catch (const EInvalidGraphic& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find("大きすぎます"), std::string::npos) << message;
      EXPECT_NE(message.find(" x 1)"), std::string::npos) << message;
      EXPECT_EQ(message.find("壊れています"), std::string::npos) << message;
    }
  }
}

TEST(ReaderLimits, PictureExactlyAtTheSideLimitLoads) {
  TBitmapReader bmp;
  bmp.LoadFromBytes(Bmp(30000, 1, 8, std::string(30000, '\x07')), "at.bmp");
  EXPECT_EQ(bmp.Picture().Width(), 30000);

  test::TempDir dir;
  test::WriteBytes(dir / "at.q0", std::string(30000 * 3, '\x10'));
  test::WriteBytes(dir / "at.fal", "F_ALL\r\n1 30000 \r\n");
  TQ0Bitmap q0;
  q0.LoadFromFile(dir / "at.q0");
  EXPECT_EQ(q0.Picture().Height(), 30000);

  test::WriteBytes(dir / "past.q0", std::string(30001 * 3, '\x10'));
  test::WriteBytes(dir / "past.fal", "F_ALL\r\n1 30001 \r\n");
  EXPECT_THROW(TQ0Bitmap().LoadFromFile(dir / "past.q0"), EInvalidGraphic);

  // 65536 x 65536 x 3 wraps to 0 in 32 bits: an empty pixel file must not
  // pass for it.
  test::WriteBytes(dir / "wrap.q0", "");
  test::WriteBytes(dir / "wrap.fal", "F_ALL\r\n65536 65536 \r\n");
  EXPECT_THROW(TQ0Bitmap().LoadFromFile(dir / "wrap.q0"), EInvalidGraphic);
}

// The readers take the process's limits from the one shared object: lowered,
// the pixel count decides at the same place for every reader.
TEST(ReaderLimits, ReadersFollowTheSharedLimits) {
  TScopedLimits limits({30000, 1000, std::size_t{16} << 20});
  EXPECT_NO_THROW(Load<TBitmapReader>(Bmp(40, 25, 8, std::string(40 * 25, '\0')), "at.bmp")());
  EXPECT_THROW(Load<TBitmapReader>(Bmp(40, 26, 8, std::string(40 * 26, '\0')), "past.bmp")(),
               EInvalidGraphic);
  EXPECT_THROW(Load<TMAGImage>(Mag(39, 25), "past.mag")(), EInvalidGraphic);
  EXPECT_THROW(Load<TJPEGImage>(JpegClaiming(40, 26), "past.jpg")(), EInvalidGraphic);
  EXPECT_THROW(LoadBlocks(DibHeader(40, 26, 8) + Grey256(), std::string(40 * 26, '\0'))(),
               EInvalidGraphic);
}

} // namespace
} // namespace mirufo
