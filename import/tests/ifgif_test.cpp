// The shipped GIF plug-in called directly, for the input paths the host
// does not use: memory input, offsets, empty and cut data.
#include "import/dib.h"
#include "import/spi.h"
#include "test_support.h"

#include <cstdlib>
#include <gif_lib.h>
#include <gtest/gtest.h>

namespace mirufo {
namespace {

int WriteToString(GifFileType* gif, const GifByteType* data, int length) {
  static_cast<std::string*>(gif->UserData)
      ->append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
  return length;
}

// A 4 x 3 screen with a 2 x 2 frame at (1, 1) whose transparent colour is 3.
std::string FramedGif() {
  std::string out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteToString, &error);
  GifColorType colours[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  ColorMapObject* map = GifMakeMapObject(4, colours);
  EGifPutScreenDesc(gif, 4, 3, 2, 0, map);
  GraphicsControlBlock gcb{};
  gcb.TransparentColor = 3;
  GifByteType extension[4];
  std::size_t length = EGifGCBToExtension(&gcb, extension);
  EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension);
  EGifPutImageDesc(gif, 1, 1, 2, 2, false, nullptr);
  GifPixelType rows[2][2] = {{1, 2}, {2, 1}};
  EGifPutLine(gif, rows[0], 2);
  EGifPutLine(gif, rows[1], 2);
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

// Decodes the blocks GetPicture returned and frees them.
TBitmap Take(void* info, void* bits) {
  const auto* header = static_cast<const std::uint8_t*>(info);
  TDibInfo dib = ParseDibHeader(header, 40 + 256 * 4, "gif");
  TBitmap b = DecodeDibPixels(dib, static_cast<const std::uint8_t*>(bits),
                              DibStride(dib.Width, 8) * dib.Height, "gif");
  std::free(info);
  std::free(bits);
  return b;
}

TEST(IfGif, MemoryAndFileInputAndBrokenData) {
  TInSPI gif(std::filesystem::path(MIRUFO_IFGIF_FOLDER) / "ifgif.spi");
  EXPECT_EQ(gif.Extensions(), (std::vector<std::string>{"*.gif"}));
  const std::string bytes = FramedGif();
  EXPECT_NE(gif.IsSupported("x.gif", bytes.data()), 0);
  EXPECT_EQ(gif.IsSupported("x.gif", std::string(2048, '\0').data()), 0);

  void* info = nullptr;
  void* bits = nullptr;
  ASSERT_EQ(gif.GetPicture(std::string(bytes), static_cast<long>(bytes.size()), kSpiInputMemory,
                           &info, &bits, nullptr, 0),
            kSpiSuccess);
  TBitmap b = Take(info, bits);
  ASSERT_EQ(b.Width(), 4);
  ASSERT_EQ(b.Height(), 3);
  // Outside the frame: the transparent colour's entry.
  EXPECT_EQ(b.GetPixel(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(b.GetPixel(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(b.GetPixel(2, 1), RGB(0, 255, 0));
  EXPECT_EQ(b.GetPixel(2, 2), RGB(255, 0, 0));

  test::TempDir dir;
  test::WriteBytes(dir / "mac.gif", std::string(128, 'M') + bytes);
  const std::string file = (dir / "mac.gif").string();
  TSpiPictureInfo pictureInfo{};
  ASSERT_EQ(gif.GetPictureInfo(file, 128, kSpiInputFile, pictureInfo), kSpiSuccess);
  EXPECT_EQ(pictureInfo.width, 4);
  EXPECT_EQ(pictureInfo.height, 3);
  ASSERT_EQ(gif.GetPicture(file, 128, kSpiInputFile, &info, &bits, nullptr, 0), kSpiSuccess);
  EXPECT_TRUE(Take(info, bits).SamePixels(b));

  EXPECT_NE(gif.GetPicture(file, 0, kSpiInputFile, &info, &bits, nullptr, 0), kSpiSuccess);
  EXPECT_NE(gif.GetPicture(file, 100000, kSpiInputFile, &info, &bits, nullptr, 0), kSpiSuccess);
  EXPECT_NE(gif.GetPicture("", 0, kSpiInputMemory, &info, &bits, nullptr, 0), kSpiSuccess);
  EXPECT_NE(gif.GetPicture(bytes.substr(0, bytes.size() - 8), static_cast<long>(bytes.size() - 8),
                           kSpiInputMemory, &info, &bits, nullptr, 0),
            kSpiSuccess);
  EXPECT_EQ(info, nullptr);
  EXPECT_EQ(bits, nullptr);
}

} // namespace
} // namespace mirufo
