#include "import/picture_formats.h"
#include "import/spi_bitmap.h"
#include "import/spis.h"
#include "platform/folders.h"
#include "test_support.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace mirufo {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::filesystem::path kPlugins = MIRUFO_TEST_PLUGINS;

// Copies a test plug-in under a new name (names set the listing order).
void Install(const TempDir& dir, const char* plugin, const char* as) {
  std::filesystem::copy_file(kPlugins / (std::string(plugin) + ".spi"), dir / as);
}

// Records the plug-ins' IsSupported calls while it lives.
class CallLog {
public:
  CallLog() { setenv("MIRUFO_TEST_SPI_LOG", (dir_ / "log").c_str(), 1); }
  ~CallLog() { unsetenv("MIRUFO_TEST_SPI_LOG"); }
  std::string Text() const {
    return std::filesystem::exists(dir_ / "log") ? ReadBytes(dir_ / "log") : "";
  }

private:
  TempDir dir_;
};

// A picture the decoding test plug-ins read: magic, then two BGR pixels.
const std::string kTestPicture = std::string("TSTPIC") + "\x01\x02\x03\x04\x05\x06";

std::vector<std::string> Names(const std::vector<TInSPI*>& spis) {
  std::vector<std::string> names;
  for (TInSPI* spi : spis)
    names.push_back(std::filesystem::path(spi->FileName()).filename().string());
  return names;
}

TEST(SPIs, SearchKeepsPluginsAndSkipsTheRestSilently) {
  TempDir dir;
  Install(dir, "tst_a", "a.spi");
  WriteBytes(dir / "b.spi", "not a library at all");
  Install(dir, "tst_notplugin", "c.spi");
  Install(dir, "tst_nopicture", "d.spi");
  Install(dir, "tst_archive", "E.SPI");
  Install(dir, "tst_b", ".hidden.spi");
  Install(dir, "tst_b", "other.dll");
  std::filesystem::create_directory(dir / "folder.spi");

  TSPIs spis;
  std::vector<std::string> seen;
  spis.OnSearching = [&](TSPIs&, const std::filesystem::path& file, bool&) {
    seen.push_back(file.filename().string());
  };
  spis.LoadPlugins((dir / "*.spi").string());
  EXPECT_EQ(seen, (std::vector<std::string>{"E.SPI", "a.spi", "b.spi", "c.spi", "d.spi"}));
  ASSERT_EQ(spis.Count(), 2);
  EXPECT_NE(dynamic_cast<TAmSPI*>(&spis.Items(0)), nullptr);
  auto* a = dynamic_cast<TInSPI*>(&spis.Items(1));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->APIVersion(), "00IN");
  EXPECT_EQ(a->Description(), "test plug-in a");
  EXPECT_EQ(a->Extensions(), (std::vector<std::string>{"*.tst"}));
  EXPECT_EQ(a->FormatNames(), (std::vector<std::string>{"Test format a"}));

  // Files already loaded are not loaded twice; names compare without case.
  spis.LoadPlugins((dir / "*.spi").string());
  EXPECT_EQ(spis.Count(), 2);
  std::string upper = a->FileName();
  for (char& ch : upper)
    ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  EXPECT_EQ(spis.IndexOf(upper), 1);
  EXPECT_EQ(spis.IndexOf("/nowhere/a.spi"), -1);

  // A handler may refuse a loaded plug-in.
  spis.Clear();
  spis.OnSearch = [](TSPIs&, TSPI& spi, bool& accept) {
    accept = dynamic_cast<TInSPI*>(&spi) != nullptr;
  };
  spis.LoadPlugins((dir / "*.spi").string());
  EXPECT_EQ(spis.Count(), 1);

  try {
    spis.Items(1);
    ADD_FAILURE();
  } catch (const ERangeError& e) {
    EXPECT_STREQ(e.what(), "TSPIs: インデックスが範囲を超えています");
  }
}

TEST(SPIs, OneManagerAtATime) {
  EXPECT_EQ(TSPIs::Current(), nullptr);
  {
    TSPIs first;
    EXPECT_EQ(TSPIs::Current(), &first);
    try {
      TSPIs second;
      ADD_FAILURE();
    } catch (const ESPIDupCreateSPIs& e) {
      EXPECT_STREQ(e.what(), "TSPIs は複数生成できません");
    }
    EXPECT_EQ(TSPIs::Current(), &first);
  }
  EXPECT_EQ(TSPIs::Current(), nullptr);
}

TEST(SPIs, SearchFoldersFollowTheOptions) {
  unsetenv("SUSIE_PLUGIN_DIR");
  TSPIs spis;
  EXPECT_EQ(spis.SearchFolders(), PluginFolders());
  setenv("SUSIE_PLUGIN_DIR", "/opt/susie", 1);
  spis.SearchOptions = {spsSusieDir, spsAppDir, spsCurrentDir, spsSystemDir};
  auto folders = spis.SearchFolders();
  unsetenv("SUSIE_PLUGIN_DIR");
  auto expected = PluginFolders();
  expected.insert(expected.begin(), "/opt/susie");
  expected.push_back(std::filesystem::current_path());
  EXPECT_EQ(folders, expected);
}

// A user adds a plug-in without root by putting it into the user's folder.
TEST(SPIs, PluginsOfTheUsersFolderAreLoaded) {
  test::EnvGuard guard("XDG_DATA_HOME");
  TempDir dir;
  setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
  std::filesystem::create_directories(dir / "mirufo/plugins");
  std::filesystem::copy_file(kPlugins / "tst_a.spi", dir / "mirufo/plugins/user.spi");
  TSPIs spis;
  spis.SearchOptions = {spsAppDir};
  spis.LoadPlugins("*.spi");
  EXPECT_GE(spis.IndexOf((dir / "mirufo/plugins/user.spi").string()), 0);
}

TEST(SPI, ErrorsOfLoadingAndOfMissingFunctions) {
  TempDir dir;
  WriteBytes(dir / "junk.spi", "junk");
  try {
    TSPI junk(dir / "junk.spi");
    ADD_FAILURE();
  } catch (const ESPIFOpenErrorSPI& e) {
    EXPECT_EQ(std::string(e.what()),
              (dir / "junk.spi").string() + ":Susie Pluginがロードできませんでした");
  }
  EXPECT_THROW(TSPI(kPlugins / "tst_notplugin.spi"), ESPIInvalidAPI);
  try {
    TInSPI noPicture(kPlugins / "tst_nopicture.spi");
    ADD_FAILURE();
  } catch (const ESPIInvalidAPI& e) {
    EXPECT_EQ(std::string(e.what()), "GetPictureは[" + (kPlugins / "tst_nopicture.spi").string() +
                                         "]では使えないSusie Plugin APIです");
  }
  TInSPI a(kPlugins / "tst_a.spi");
  void* info = nullptr;
  EXPECT_THROW(a.GetArchiveInfo("x", 0, 0, &info), ESPIInvalidAPI);
  EXPECT_FALSE(a.HasGetPreview());
  EXPECT_EQ(TSPI::Create(kPlugins / "tst_nopicture.spi"), nullptr);
}

TEST(SPIs, ImportFormatsAreRegisteredLastPatternFirst) {
  TPictureFormats& formats = TPictureFormats::Instance();
  formats.Unregister(&TSPIBitmap::Class);
  TempDir dir;
  Install(dir, "tst_multi", "multi.spi");
  Install(dir, "tst_archive", "archive.spi");
  {
    TSPIs spis;
    std::vector<std::string> offered;
    spis.OnPictureRegister = [&](TSPIs&, TSPI&, const std::string& ext, const std::string&,
                                 TGraphicClassRef& graphicClass) {
      offered.push_back(ext);
      if (ext == "jp")
        graphicClass = nullptr;
    };
    spis.LoadPlugins((dir / "*.spi").string());
    EXPECT_EQ(offered, (std::vector<std::string>{"pic", "pi", "png", "jp"}));
    spis.Clear();
    spis.LoadPlugins((dir / "*.spi").string()); // registering again changes nothing
  }
  std::vector<std::string> registered;
  for (const TPictureFormat& f : formats.Entries())
    if (f.GraphicClass == &TSPIBitmap::Class)
      registered.push_back(f.Extension + "=" + f.Description);
  EXPECT_EQ(registered, (std::vector<std::string>{"pic=Test format multi", "pi=Test format multi",
                                                  "png=Test PNG"}));
  formats.Unregister(&TSPIBitmap::Class);
}

TEST(SPIs, CandidatesDeclaringTheExtensionComeFirstLastLoadedFirst) {
  TempDir dir;
  Install(dir, "tst_a", "1a.spi");
  Install(dir, "tst_b", "2b.spi");
  Install(dir, "tst_c", "3c.spi");
  Install(dir, "tst_archive", "4z.spi");
  TSPIs spis;
  spis.LoadPlugins((dir / "*.spi").string());
  EXPECT_EQ(Names(spis.Candidates("pic.TsT")),
            (std::vector<std::string>{"3c.spi", "1a.spi", "2b.spi"}));
  EXPECT_EQ(Names(spis.Candidates("pic.xyz")),
            (std::vector<std::string>{"2b.spi", "1a.spi", "3c.spi"}));
  EXPECT_EQ(Names(spis.Candidates("pic.gif")),
            (std::vector<std::string>{"1a.spi", "2b.spi", "3c.spi"}));

  // Every candidate is asked at offset 0 and 128 before the load fails.
  WriteBytes(dir / "x.tst", "N" + std::string(127, '-') + "M");
  CallLog log;
  TSPIGraphic graphic;
  try {
    graphic.LoadFromFile(dir / "x.tst");
    ADD_FAILURE();
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Susie Plugins could not decode");
  }
  EXPECT_EQ(log.Text(), "c:N c:M a:N a:M b:N b:M ");
}

TEST(SPIGraphic, MacBinaryHeaderIsSkippedOnTheSecondTry) {
  TempDir dir;
  Install(dir, "tst_a", "a.spi");
  WriteBytes(dir / "mac.tst", std::string(128, 'H') + kTestPicture);
  TSPIs spis;
  spis.LoadPlugins((dir / "*.spi").string());
  {
    CallLog log;
    TSPIGraphic graphic;
    std::vector<std::string> messages;
    graphic.OnProgress = [&](const void*, TLoadStage stage, std::uint8_t percent, bool,
                             const TRect&, const std::string& message) {
      messages.push_back(std::to_string(static_cast<int>(stage)) + " " + std::to_string(percent) +
                         " " + message);
    };
    graphic.LoadFromFile(dir / "mac.tst");
    EXPECT_EQ(log.Text(), "a:H a:T ");
    ASSERT_EQ(graphic.Picture().Width(), 2);
    EXPECT_EQ(graphic.Picture().GetPixel(0, 0), RGB(3, 2, 1));
    EXPECT_EQ(graphic.Picture().GetPixel(1, 0), RGB(6, 5, 4));
    EXPECT_EQ(messages,
              (std::vector<std::string>{
                  "0 0 Loading Graphic by Susie Plugin", "1 1 Seeking enabled Susie Plugins",
                  "1 1 Loading by [a.spi]", "1 1 Loading by [a.spi]", "1 50 Loading by [a.spi]",
                  "2 100 Loaded Graphic by Susie Plugin"}));
  }
  spis.MacBinary = false;
  TSPIGraphic graphic;
  EXPECT_THROW(graphic.LoadFromFile(dir / "mac.tst"), EInvalidGraphic);
}

TEST(SPIGraphic, AbortAndBogusResults) {
  TempDir dir;
  Install(dir, "tst_bogus", "1bogus.spi");
  Install(dir, "tst_a", "2a.spi");
  WriteBytes(dir / "p.tst", kTestPicture);
  TSPIs spis;
  spis.LoadPlugins((dir / "*.spi").string());

  // The bogus plug-in claims 5000 x 5000 in a block of 8 bytes: the host
  // refuses its result and the next plug-in reads the picture.
  TSPIGraphic graphic;
  graphic.LoadFromFile(dir / "p.tst");
  EXPECT_EQ(graphic.Picture().Width(), 2);

  spis.Delete(1);
  EXPECT_THROW(graphic.LoadFromFile(dir / "p.tst"), EInvalidGraphic);

  // A progress handler that aborts stops the plug-in and the load.
  spis.LoadPlugins((dir / "*.spi").string());
  bool ended = false;
  graphic.OnProgress = [&](const void*, TLoadStage stage, std::uint8_t percent, bool, const TRect&,
                           const std::string&) {
    if (stage == lsEnding)
      ended = true;
    else if (percent >= 2)
      throw ELoadAborted();
  };
  EXPECT_THROW(graphic.LoadFromFile(dir / "p.tst"), ELoadAborted);
  EXPECT_TRUE(ended);
}

TEST(SPIBitmap, BmpFilesTryTheBitmapReaderFirst) {
  TempDir dir;
  Install(dir, "tst_a", "a.spi");
  TSPIs spis;
  spis.LoadPlugins((dir / "*.spi").string());
  // A 1 x 1 BMP.
  std::string bmp = std::string("BM") + std::string(8, '\0') + std::string("\x36\0\0\0", 4) +
                    std::string("\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0", 16) +
                    std::string(24, '\0') + std::string("\x10\x20\x30\0", 4);
  WriteBytes(dir / "x.BMP", bmp);
  WriteBytes(dir / "y.dat", bmp);
  WriteBytes(dir / "z.bmp", kTestPicture);
  CallLog log;
  TSPIBitmap b;
  std::vector<std::string> ends;
  b.OnProgress = [&](const void*, TLoadStage stage, std::uint8_t, bool, const TRect&,
                     const std::string& message) {
    if (stage == lsEnding)
      ends.push_back(message);
  };
  b.LoadFromFile(dir / "x.BMP");
  EXPECT_EQ(b.Picture().GetPixel(0, 0), RGB(0x30, 0x20, 0x10));
  EXPECT_EQ(log.Text(), "");
  EXPECT_EQ(ends, (std::vector<std::string>{"Loaded Graphic"}));

  // Other extensions: the plug-ins first, then the bitmap reader.
  b.LoadFromFile(dir / "y.dat");
  EXPECT_EQ(b.Picture().GetPixel(0, 0), RGB(0x30, 0x20, 0x10));
  // Past its end the head is zero-filled.
  EXPECT_EQ(log.Text(), "a:B a:" + std::string(1, '\0') + " ");
  b.LoadFromFile(dir / "z.bmp");
  EXPECT_EQ(b.Picture().Width(), 2);

  WriteBytes(dir / "none.bmp", "nothing anyone reads");
  try {
    b.LoadFromFile(dir / "none.bmp");
    ADD_FAILURE();
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Susie Plugins could not decode");
  }
}

} // namespace
} // namespace mirufo
