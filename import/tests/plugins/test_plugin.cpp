// A configurable fake plug-in for the host's tests. Switches:
//   TEST_NAME, TEST_PATTERN  its name and extension pattern text
//   TEST_DECODES             reads "TSTPIC" files: a 2 x 1 24-bit picture
//                            whose two pixels are the bytes after the magic
//   TEST_MORE_PATTERNS       declares "*.pi;*.pic", "*.png" and "*.jp"
//   TEST_NO_GETPICTURE       an "00IN" plug-in without GetPicture
//   TEST_ARCHIVE             an "00AM" archive plug-in
//   TEST_BOGUS_SIZE          claims a big picture but returns small blocks
//   TEST_NOT_PLUGIN          a library without GetPluginInfo
// Every IsSupported call appends "<name>:<first byte of the head>" and a
// blank to the file named by MIRUFO_TEST_SPI_LOG, when that is set.
#include "import/susie_api.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#define SPI_EXPORT extern "C" __attribute__((visibility("default")))

#ifdef TEST_NOT_PLUGIN

SPI_EXPORT int NotAPlugin() {
  return 0;
}

#else

#ifdef TEST_MORE_PATTERNS
#undef TEST_PATTERN
#define TEST_PATTERN "*.pi;*.pic"
#endif

namespace {

const char* Info(int index) {
  switch (index) {
  case 0:
#ifdef TEST_ARCHIVE
    return "00AM";
#else
    return "00IN";
#endif
  case 1:
    return "test plug-in " TEST_NAME;
  case 2:
    return TEST_PATTERN;
  case 3:
    return "Test format " TEST_NAME;
#ifdef TEST_MORE_PATTERNS
  case 4:
    return "*.png";
  case 5:
    return "Test PNG";
  case 6:
    return "*.jp";
  case 7:
    return "Test JP";
#endif
  default:
    return nullptr;
  }
}

[[maybe_unused]] bool IsTestPicture(const void* head) {
  return std::memcmp(head, "TSTPIC", 6) == 0;
}

} // namespace

SPI_EXPORT int GetPluginInfo(int infono, char* buf, int buflen) {
  const char* text = Info(infono);
  if (!text || !buf || buflen <= 0)
    return 0;
  std::snprintf(buf, static_cast<std::size_t>(buflen), "%s", text);
  return static_cast<int>(std::strlen(buf));
}

SPI_EXPORT int IsSupported(const char*, const void* head) {
  if (const char* log = std::getenv("MIRUFO_TEST_SPI_LOG"); log && *log) {
    if (std::FILE* f = std::fopen(log, "ab")) {
      std::fprintf(f, "%s:%c ", TEST_NAME, *static_cast<const char*>(head));
      std::fclose(f);
    }
  }
#if defined(TEST_DECODES) || defined(TEST_BOGUS_SIZE) || defined(TEST_NO_GETPICTURE)
  return IsTestPicture(head) ? 1 : 0;
#else
  (void)head;
  return 0;
#endif
}

#ifdef TEST_ARCHIVE
SPI_EXPORT int GetArchiveInfo(const char*, long, unsigned, void**) {
  return kSpiNotImplemented;
}
SPI_EXPORT int GetFileInfo(const char*, long, const char*, unsigned, void*) {
  return kSpiNotImplemented;
}
SPI_EXPORT int GetFile(const char*, long, char*, unsigned, TSpiProgressCallback, long) {
  return kSpiNotImplemented;
}
#else

SPI_EXPORT int GetPictureInfo(const char*, long, unsigned, TSpiPictureInfo* info) {
  std::memset(info, 0, sizeof *info);
  info->width = 2;
  info->height = 1;
  info->colorDepth = 24;
  return kSpiSuccess;
}

#ifndef TEST_NO_GETPICTURE
SPI_EXPORT int GetPicture(const char* buf, long len, unsigned, void** bitmapInfo, void** bits,
                          TSpiProgressCallback progress, long data) {
  *bitmapInfo = nullptr;
  *bits = nullptr;
  unsigned char file[12] = {};
  std::FILE* f = std::fopen(buf, "rb");
  if (!f)
    return kSpiFileReadError;
  bool read = std::fseek(f, len, SEEK_SET) == 0 && std::fread(file, 1, 12, f) == 12;
  std::fclose(f);
  if (!read)
    return kSpiBrokenData;
  if (progress && progress(1, 2, data) != 0)
    return kSpiAborted;
  TSpiBitmapInfoHeader header{};
  header.biSize = sizeof header;
  header.biPlanes = 1;
  header.biBitCount = 24;
#ifdef TEST_BOGUS_SIZE
  header.biWidth = 5000;
  header.biHeight = 5000;
#else
  header.biWidth = 2;
  header.biHeight = 1;
#endif
  auto* info = static_cast<TSpiBitmapInfoHeader*>(std::malloc(sizeof header));
  auto* pixels = static_cast<unsigned char*>(std::calloc(1, 8));
  *info = header;
  // Two pixels, blue green red each, from the bytes after the magic.
  std::memcpy(pixels, file + 6, 6);
  *bitmapInfo = info;
  *bits = pixels;
  return kSpiSuccess;
}
#endif

#endif // TEST_ARCHIVE

#endif // TEST_NOT_PLUGIN
