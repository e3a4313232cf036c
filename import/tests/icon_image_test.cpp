#include "import/icon_image.h"
#include "picture_bytes.h"
#include "test_encoders.h"

#include <gtest/gtest.h>
#include <vector>

namespace mirufo {
namespace {

using test::PutLE16;
using test::PutLE32;

// A BMP icon entry of 24 or 32 bits: colours (B, G, R[, A]) row by row from
// the top, and mask bits (1 = transparent) row by row from the top.
std::string BmpEntry(int width, int height, int bits, const std::vector<std::string>& rows,
                     const std::vector<std::vector<int>>& mask) {
  std::string e;
  PutLE32(e, 40);
  PutLE32(e, static_cast<std::uint32_t>(width));
  PutLE32(e, static_cast<std::uint32_t>(2 * height));
  PutLE16(e, 1);
  PutLE16(e, static_cast<std::uint32_t>(bits));
  e += std::string(24, '\0');
  const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  for (int y = height - 1; y >= 0; --y) {
    std::string row = rows[static_cast<std::size_t>(y)];
    row.resize(stride, '\0');
    e += row;
  }
  for (int y = height - 1; y >= 0; --y) {
    std::string row(4, '\0');
    for (int x = 0; x < width; ++x)
      if (mask[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)])
        row[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
    e += row;
  }
  return e;
}

struct Entry {
  int Width, Height, Bits;
  std::string Data;
};

std::string MakeIcon(const std::vector<Entry>& entries) {
  std::string file;
  PutLE16(file, 0);
  PutLE16(file, 1);
  PutLE16(file, static_cast<std::uint32_t>(entries.size()));
  std::size_t offset = 6 + 16 * entries.size();
  std::string data;
  for (const Entry& e : entries) {
    file += static_cast<char>(e.Width & 0xFF);
    file += static_cast<char>(e.Height & 0xFF);
    file += std::string(2, '\0');
    PutLE16(file, 1);
    PutLE16(file, static_cast<std::uint32_t>(e.Bits));
    PutLE32(file, static_cast<std::uint32_t>(e.Data.size()));
    PutLE32(file, static_cast<std::uint32_t>(offset + data.size()));
    data += e.Data;
  }
  return file + data;
}

TIconImage Load(const std::string& bytes) {
  TIconImage icon;
  icon.LoadFromBytes(bytes, "test.ico");
  return icon;
}

constexpr TColor kWhite = RGB(255, 255, 255);

TEST(IconImage, MaskIconsAreDrawnOverTheBackground) {
  // Opaque red, transparent black, and a "screen-inverting" pixel (mask 1,
  // colour non-zero), drawn as background XOR colour.
  std::string row("\x00\x00\xFF"
                  "\x00\x00\x00"
                  "\xFF\x00\x00",
                  9);
  TIconImage icon = Load(MakeIcon({{3, 1, 24, BmpEntry(3, 1, 24, {row}, {{0, 1, 1}})}}));
  ASSERT_TRUE(icon.IsIcon());
  TBitmap onWhite = icon.Draw(kWhite);
  ASSERT_EQ(onWhite.Width(), 3);
  EXPECT_EQ(onWhite.GetPixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(onWhite.GetPixel(1, 0), kWhite);
  EXPECT_EQ(onWhite.GetPixel(2, 0), RGB(255, 255, 0));
  TBitmap onGreen = icon.Draw(RGB(0, 255, 0));
  EXPECT_EQ(onGreen.GetPixel(1, 0), RGB(0, 255, 0));
}

TEST(IconImage, AlphaEntriesBlend) {
  std::string row("\x00\x00\xFF\xFF"
                  "\x00\x00\xFF\x00"
                  "\x00\x00\x00\x80",
                  12);
  TIconImage icon = Load(MakeIcon({{3, 1, 32, BmpEntry(3, 1, 32, {row}, {{0, 0, 0}})}}));
  TBitmap b = icon.Draw(kWhite);
  EXPECT_EQ(b.GetPixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(b.GetPixel(1, 0), kWhite);
  EXPECT_EQ(b.GetPixel(2, 0), RGB(127, 127, 127));

  // Alpha 0 everywhere: the entry was written for its mask.
  std::string noAlpha("\x00\x00\xFF\x00"
                      "\x00\x00\x00\x00",
                      8);
  b = Load(MakeIcon({{2, 1, 32, BmpEntry(2, 1, 32, {noAlpha}, {{0, 1}})}})).Draw(kWhite);
  EXPECT_EQ(b.GetPixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(b.GetPixel(1, 0), kWhite);
}

TEST(IconImage, TheLargestEntryIsRead) {
  std::string small = BmpEntry(1, 1, 24, {std::string("\x00\x00\xFF", 3)}, {{0}});
  test::PngSpec png;
  png.Width = 2;
  png.Height = 2;
  png.ColorType = PNG_COLOR_TYPE_RGB_ALPHA;
  png.Rows.assign(2, std::string("\x00\x00\xFF\xFF\x00\x00\x00\x00", 8));
  TBitmap b = Load(MakeIcon({{1, 1, 24, small}, {2, 2, 32, test::MakePng(png)}})).Draw(kWhite);
  ASSERT_EQ(b.Width(), 2);
  EXPECT_EQ(b.GetPixel(0, 1), RGB(0, 0, 255));
  EXPECT_EQ(b.GetPixel(1, 1), kWhite);

  // Same size: the deeper entry wins.
  std::string deep = BmpEntry(1, 1, 32, {std::string("\x00\xFF\x00\xFF", 4)}, {{0}});
  b = Load(MakeIcon({{1, 1, 24, small}, {1, 1, 32, deep}})).Draw(kWhite);
  EXPECT_EQ(b.GetPixel(0, 0), RGB(0, 255, 0));
}

TEST(IconImage, BrokenFilesAreRefused) {
  const std::string entry =
      BmpEntry(2, 2, 24, {std::string(6, '\0'), std::string(6, '\0')}, {{0, 0}, {0, 0}});
  const std::string good = MakeIcon({{2, 2, 24, entry}});
  ASSERT_NO_THROW(Load(good));
  TIconImage icon;
  EXPECT_THROW(icon.LoadFromBytes(good.substr(0, 5), "x.ico"), EInvalidGraphic);
  EXPECT_THROW(icon.LoadFromBytes(MakeIcon({}), "x.ico"), EInvalidGraphic);
  EXPECT_THROW(icon.LoadFromBytes(good.substr(0, 20), "x.ico"), EInvalidGraphic);

  std::string outside = good;
  outside[6 + 12 + 1] = '\x10'; // entry offset far past the end
  try {
    icon.LoadFromBytes(outside, "outside.ico");
    ADD_FAILURE();
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(std::string(e.what()).find("outside.ico"), std::string::npos);
  }
  std::string tooLong = good;
  tooLong[6 + 8 + 1] = '\x10'; // entry size past the end
  EXPECT_THROW(icon.LoadFromBytes(tooLong, "x.ico"), EInvalidGraphic);

  // The entry's data stops inside its mask (the directory agrees).
  std::string cut = entry.substr(0, entry.size() - 2);
  EXPECT_THROW(icon.LoadFromBytes(MakeIcon({{2, 2, 24, cut}}), "x.ico"), EInvalidGraphic);
}

} // namespace
} // namespace mirufo
