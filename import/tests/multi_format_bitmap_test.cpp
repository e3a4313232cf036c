#include "import/bitmap_reader.h"
#include "import/icon_image.h"
#include "import/jpeg_image.h"
#include "import/mag_image.h"
#include "import/multi_format_bitmap.h"
#include "import/picture_formats.h"
#include "import/png_image.h"
#include "import/q0_bitmap.h"
#include "import/spi_bitmap.h"
#include "import/spis.h"
#include "picture_bytes.h"
#include "platform/errors.h"
#include "test_encoders.h"
#include "test_fifo.h"
#include "test_support.h"

#include <cstdlib>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <set>

namespace mirufo {
namespace {

using test::TempDir;
using test::WriteBytes;

// Sets SUSIE_PLUGIN_DIR while it lives; the registry forgets plug-in formats
// at both ends so that tests do not see each other's.
class SusieDir {
public:
  explicit SusieDir(const std::filesystem::path& folder) {
    TPictureFormats::Instance().Unregister(&TSPIBitmap::Class);
    setenv("SUSIE_PLUGIN_DIR", folder.c_str(), 1);
  }
  ~SusieDir() {
    unsetenv("SUSIE_PLUGIN_DIR");
    TPictureFormats::Instance().Unregister(&TSPIBitmap::Class);
  }
};

int WriteToString(GifFileType* gif, const GifByteType* data, int length) {
  static_cast<std::string*>(gif->UserData)
      ->append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
  return length;
}

// A GIF whose pixel (x, y) has index (x + 3 * y) % 8, with eight colours.
std::string MakeGif(int width, int height, bool interlace) {
  std::string out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteToString, &error);
  GifColorType colours[8];
  for (int i = 0; i < 8; ++i)
    colours[i] = {static_cast<GifByteType>(i * 30), static_cast<GifByteType>(255 - i * 30),
                  static_cast<GifByteType>(i * 7)};
  ColorMapObject* map = GifMakeMapObject(8, colours);
  EGifPutScreenDesc(gif, width, height, 3, 0, map);
  EGifPutImageDesc(gif, 0, 0, width, height, interlace, nullptr);
  std::vector<int> order;
  if (interlace) {
    for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
      for (int y = start; y < height; y += step)
        order.push_back(y);
  } else {
    for (int y = 0; y < height; ++y)
      order.push_back(y);
  }
  std::vector<GifPixelType> line(static_cast<std::size_t>(width));
  for (int y : order) {
    for (int x = 0; x < width; ++x)
      line[static_cast<std::size_t>(x)] = static_cast<GifPixelType>((x + 3 * y) % 8);
    EGifPutLine(gif, line.data(), width);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

TColor GifColour(int x, int y) {
  int i = (x + 3 * y) % 8;
  return RGB(static_cast<std::uint8_t>(i * 30), static_cast<std::uint8_t>(255 - i * 30),
             static_cast<std::uint8_t>(i * 7));
}

TEST(MultiFormatBitmap, ReaderByLowerCasedExtension) {
  EXPECT_EQ(TMultiFormatBitmap::ReaderFor("photo.JPG"), &TJPEGImage::Class);
  EXPECT_EQ(TMultiFormatBitmap::ReaderFor("a.jpeg"), &TJPEGImage::Class);
  EXPECT_EQ(TMultiFormatBitmap::ReaderFor("a.Bmp"), &TBitmapReader::Class);
  EXPECT_EQ(TMultiFormatBitmap::ReaderFor("a.PNG"), &TPNGImage::Class);
  EXPECT_EQ(TMultiFormatBitmap::ReaderFor("a.MAG"), &TMAGImage::Class);
  EXPECT_EQ(TMultiFormatBitmap::ReaderFor("a.Q0"), &TQ0Bitmap::Class);
  EXPECT_EQ(TMultiFormatBitmap::ReaderFor("a.rgb"), &TQ0Bitmap::Class);
  EXPECT_EQ(TMultiFormatBitmap::ReaderFor("a.ICO"), &TIconImage::Class);
  EXPECT_EQ(TMultiFormatBitmap::ReaderFor("a.gif"), &TSPIBitmap::Class);
  EXPECT_EQ(TMultiFormatBitmap::ReaderFor("noextension"), &TSPIBitmap::Class);
}

TEST(MultiFormatBitmap, FilterTextWithoutPlugins) {
  TPictureFormats::Instance().Unregister(&TSPIBitmap::Class);
  const std::string head =
      "使用可能ファイル|*.bmp;*.jpg;*.jpeg;*.png;*.MAG;*.rgb;*.q0;*.ico|ビットマップ (*.bmp)|*.bmp|"
      "Joint Photographic Experts Group (*.jpg;*.jpeg)|*.jpg;*.jpeg|";
  const std::string tail = "|MAki chan Graphic format (*.MAG)|*.MAG|"
                           "フルカラーベタ (*.rgb;*.q0)|*.rgb;*.q0|アイコン (*.ico)|*.ico";
  std::set<std::string> seen;
  for (int i = 0; i < 64; ++i)
    seen.insert(GraphicFileFilter());
  EXPECT_EQ(seen, (std::set<std::string>{head + "Portable Network Graphics (*.png)|*.png" + tail,
                                         head + "Png's Not Gif (*.png)|*.png" + tail}));
}

TEST(MultiFormatBitmap, PluginsAreLoadedFilteredAndFreedWithTheLoader) {
  TempDir dir;
  std::filesystem::copy_file(std::filesystem::path(MIRUFO_TEST_PLUGINS) / "tst_multi.spi",
                             dir / "multi.spi");
  std::filesystem::copy_file(std::filesystem::path(MIRUFO_TEST_PLUGINS) / "tst_archive.spi",
                             dir / "archive.spi");
  SusieDir susie(dir.Path());
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(TSPIs::Current(), nullptr);
    TMultiFormatBitmap loader;
    EXPECT_TRUE(loader.OwnsPlugins());
    ASSERT_NE(TSPIs::Current(), nullptr);
    // The archive plug-in is not kept.
    EXPECT_EQ(TSPIs::Current()->Count(), 1);
    TMultiFormatBitmap second;
    EXPECT_FALSE(second.OwnsPlugins());
  }
  EXPECT_EQ(TSPIs::Current(), nullptr);
  // "png" and "jp" stay with the built-in readers; "pic" and "pi" are the
  // plug-in's, listed once however often it was loaded.
  const std::string filter = GraphicFileFilter();
  EXPECT_NE(filter.find("*.ico;*.pi;*.pic|"), std::string::npos) << filter;
  EXPECT_TRUE(filter.ends_with("|アイコン (*.ico)|*.ico|すべて (*.pi;*.pic)|*.pi;*.pic|"
                               "Test format multi (*.pi)|*.pi|Test format multi (*.pic)|*.pic"))
      << filter;
  EXPECT_EQ(filter.find("Test PNG"), std::string::npos);
  EXPECT_EQ(filter.find("Test JP"), std::string::npos);
}

TEST(MultiFormatBitmap, GifGoesThroughTheShippedPlugin) {
  TempDir dir;
  WriteBytes(dir / "plain.gif", MakeGif(13, 11, false));
  WriteBytes(dir / "laced.GIF", MakeGif(13, 11, true));
  {
    // No plug-in reads GIF: the load fails and the bitmap stays as it was.
    SusieDir susie(dir.Path());
    TMultiFormatBitmap loader;
    loader.SetSize(3, 3);
    try {
      loader.LoadFromFile(dir / "plain.gif");
      ADD_FAILURE();
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), "Susie Plugins could not decode");
    }
    EXPECT_EQ(loader.Width(), 3);
  }
  SusieDir susie(MIRUFO_IFGIF_FOLDER);
  TMultiFormatBitmap loader;
  loader.LoadFromFile(dir / "plain.gif");
  ASSERT_EQ(loader.Width(), 13);
  ASSERT_EQ(loader.Height(), 11);
  EXPECT_EQ(loader.PixelFormat(), pf24bit);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 13; ++x)
      ASSERT_EQ(loader.GetPixel(x, y), GifColour(x, y)) << x << "," << y;
  TMultiFormatBitmap laced;
  laced.LoadFromFile(dir / "laced.GIF");
  EXPECT_TRUE(laced.SamePixels(loader));
  EXPECT_NE(GraphicFileFilter().find("GIF (Graphics Interchange Format) (*.gif)|*.gif"),
            std::string::npos);

  // A cut GIF is refused, not read past its end.
  std::string cut = MakeGif(64, 64, false);
  WriteBytes(dir / "cut.gif", cut.substr(0, cut.size() / 2));
  EXPECT_THROW(loader.LoadFromFile(dir / "cut.gif"), EInvalidGraphic);
  EXPECT_EQ(loader.Width(), 13);
}

// A pipe as the source picture is refused by name, whichever reader its
// extension chooses (the plug-ins open the file themselves).
TEST(MultiFormatBitmap, PipesAreRefusedForEveryReader) {
  TempDir dir;
  SusieDir susie(MIRUFO_IFGIF_FOLDER);
  for (const char* name : {"p.png", "p.jpg", "p.bmp", "p.mag", "p.rgb", "p.ico", "p.gif"}) {
    test::TTestFifo fifo(dir / name);
    ASSERT_TRUE(fifo.Created());
    TMultiFormatBitmap loader;
    try {
      loader.LoadFromFile(dir / name);
      ADD_FAILURE() << name;
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.what(), (dir / name).string() + ": 通常のファイルではありません");
    } catch (const std::exception& e) {
      ADD_FAILURE() << name << ": " << e.what();
    }
  }
}

TEST(MultiFormatBitmap, EveryResultIsTwentyFourBits) {
  TempDir dir;
  // An 8-bit BMP and a JPEG named in capitals.
  std::string bmp = "BM";
  test::PutLE32(bmp, 14 + 40 + 8 + 4);
  test::PutLE32(bmp, 0);
  test::PutLE32(bmp, 14 + 40 + 8);
  test::PutLE32(bmp, 40);
  test::PutLE32(bmp, 1);
  test::PutLE32(bmp, 1);
  test::PutLE16(bmp, 1);
  test::PutLE16(bmp, 8);
  bmp += std::string(16, '\0');
  test::PutLE32(bmp, 2);
  test::PutLE32(bmp, 0);
  bmp += std::string("\0\0\0\0\x11\x22\x33\0\x01\0\0\0", 12);
  WriteBytes(dir / "a.bmp", bmp);
  WriteBytes(dir / "photo.JPG", test::MakeJpeg(8, 8, test::JpegKind::Grey, {128}));

  TMultiFormatBitmap loader;
  loader.LoadFromFile(dir / "a.bmp");
  EXPECT_EQ(loader.PixelFormat(), pf24bit);
  EXPECT_EQ(loader.GetPixel(0, 0), RGB(0x33, 0x22, 0x11));
  loader.LoadFromFile(dir / "photo.JPG");
  EXPECT_EQ(loader.PixelFormat(), pf24bit);
  EXPECT_EQ(loader.Width(), 8);

  // A broken file leaves the last picture in place.
  WriteBytes(dir / "broken.png", "\x89PNG\r\n\x1A\n broken");
  EXPECT_THROW(loader.LoadFromFile(dir / "broken.png"), EInvalidGraphic);
  EXPECT_EQ(loader.Width(), 8);
}

TEST(MultiFormatBitmap, IconsShowTheBrushColourThroughTransparentPixels) {
  // A 32 x 32 1-bit icon: the left half transparent (colour index 0, black,
  // as icons store it), the right half red.
  std::string icon;
  test::PutLE16(icon, 0);
  test::PutLE16(icon, 1);
  test::PutLE16(icon, 1);
  std::string entry;
  test::PutLE32(entry, 40);
  test::PutLE32(entry, 32);
  test::PutLE32(entry, 64);
  test::PutLE16(entry, 1);
  test::PutLE16(entry, 1);
  entry += std::string(24, '\0');
  entry += std::string("\0\0\0\0\0\0\xFF\0", 8);
  for (int y = 0; y < 32; ++y)
    entry += std::string("\0\0\xFF\xFF", 4);
  for (int y = 0; y < 32; ++y)
    entry += std::string("\xFF\xFF\0\0", 4);
  icon += std::string("\x20\x20\x02\0\x01\0\x01\0", 8);
  test::PutLE32(icon, static_cast<std::uint32_t>(entry.size()));
  test::PutLE32(icon, 22);
  TempDir dir;
  WriteBytes(dir / "i.ico", icon + entry);

  TMultiFormatBitmap loader;
  loader.LoadFromFile(dir / "i.ico");
  ASSERT_EQ(loader.Width(), 32);
  ASSERT_EQ(loader.Height(), 32);
  EXPECT_EQ(loader.PixelFormat(), pf24bit);
  EXPECT_EQ(loader.GetPixel(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(loader.GetPixel(15, 31), RGB(255, 255, 255));
  EXPECT_EQ(loader.GetPixel(16, 0), RGB(255, 0, 0));
  loader.BrushColor = RGB(0, 0, 255);
  loader.LoadFromFile(dir / "i.ico");
  EXPECT_EQ(loader.GetPixel(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(loader.GetPixel(31, 31), RGB(255, 0, 0));
}

TEST(MultiFormatBitmap, InvalidFalMessageReachesTheCaller) {
  TempDir dir;
  WriteBytes(dir / "a.q0", std::string(12, '\x7F'));
  WriteBytes(dir / "a.fal", "F_AL1\n2 2 \n");
  TMultiFormatBitmap loader;
  loader.SetSize(5, 5);
  loader.LoadFromFile(dir / "a.q0");
  EXPECT_TRUE(loader.Empty());
  EXPECT_EQ(loader.LastMessage(), "FAL ファイルが不正です");
  std::string shown;
  loader.OnMessage = [&](const std::string& text) { shown = text; };
  loader.LoadFromFile(dir / "a.q0");
  EXPECT_EQ(shown, "FAL ファイルが不正です");
}

} // namespace
} // namespace mirufo
