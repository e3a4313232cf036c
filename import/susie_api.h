// The Susie plug-in interface as this program's plug-ins export it: C
// functions looked up by name, the picture-information record packed to
// bytes, and the DIB blocks a plug-in returns.
//
// A plug-in is a shared library named "*.spi". GetPicture and GetPreview
// return two blocks allocated with malloc: the bitmap information (a
// BITMAPINFOHEADER followed by its colour table) and the pixel bits (rows
// bottom-up, padded to 4 bytes). The host frees both with free, and frees
// the text block of the picture information too when one is given.
//
// Plain C types only: this header is shared by the host and the plug-ins.
#pragma once

#include <cstdint>

extern "C" {

// Return codes.
inline constexpr int kSpiNotImplemented = -1;
inline constexpr int kSpiSuccess = 0;
inline constexpr int kSpiAborted = 1;
inline constexpr int kSpiUnknownFormat = 2;
inline constexpr int kSpiBrokenData = 3;
inline constexpr int kSpiNoMemory = 4;
inline constexpr int kSpiMemoryError = 5;
inline constexpr int kSpiFileReadError = 6;
inline constexpr int kSpiInternalError = 8;

// Low bits of the flag argument: where the input is. 0 = buf names a file
// and len is the offset into it; 1 = buf points to len bytes in memory.
inline constexpr unsigned kSpiInputMask = 7;
inline constexpr unsigned kSpiInputFile = 0;
inline constexpr unsigned kSpiInputMemory = 1;

// Bytes of the file head handed to IsSupported.
inline constexpr int kSpiHeadBytes = 2048;

#pragma pack(push, 1)
struct TSpiPictureInfo {
  std::int32_t left;
  std::int32_t top;
  std::int32_t width;
  std::int32_t height;
  std::uint16_t x_density;
  std::uint16_t y_density;
  std::int16_t colorDepth;
  void* hInfo; // text block (malloc) or null
};

struct TSpiBitmapInfoHeader {
  std::uint32_t biSize;
  std::int32_t biWidth;
  std::int32_t biHeight;
  std::uint16_t biPlanes;
  std::uint16_t biBitCount;
  std::uint32_t biCompression;
  std::uint32_t biSizeImage;
  std::int32_t biXPelsPerMeter;
  std::int32_t biYPelsPerMeter;
  std::uint32_t biClrUsed;
  std::uint32_t biClrImportant;
};
#pragma pack(pop)
static_assert(sizeof(TSpiBitmapInfoHeader) == 40);

// Returns non-zero to abort the plug-in.
typedef int (*TSpiProgressCallback)(int num, int denom, long data);

typedef int (*TSpiGetPluginInfo)(int infono, char* buf, int buflen);
typedef int (*TSpiConfigurationDlg)(void* parent, int fnc);
typedef int (*TSpiIsSupported)(const char* filename, const void* head);
typedef int (*TSpiGetPictureInfo)(const char* buf, long len, unsigned flag, TSpiPictureInfo* info);
typedef int (*TSpiGetPicture)(const char* buf, long len, unsigned flag, void** bitmapInfo,
                              void** bits, TSpiProgressCallback progress, long data);
typedef int (*TSpiGetArchiveInfo)(const char* buf, long len, unsigned flag, void** info);
typedef int (*TSpiGetFileInfo)(const char* buf, long len, const char* filename, unsigned flag,
                               void* info);
typedef int (*TSpiGetFile)(const char* src, long len, char* dest, unsigned flag,
                           TSpiProgressCallback progress, long data);
}
