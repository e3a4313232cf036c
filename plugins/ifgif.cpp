// ifgif.spi: a Susie import plug-in that reads GIF pictures with giflib.
//
// It reads the first frame, interlaced or not, onto the logical screen
// (filled with the frame's transparent colour when it has one, else the
// screen's background colour) and hands it back as an 8-bit DIB with a
// 256-entry colour table. Input comes from a file at an offset or from
// memory. Every size is checked before anything is allocated.
#include "import/susie_api.h"
#include "platform/limits.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <gif_lib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#define SPI_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// A plug-in is a library of its own and does not see the limits the host has
// in force; it keeps to the default ones, and the host checks the picture it
// hands back against the limits in force.
constexpr long kMaxSide = static_cast<long>(mirufo::TLimits{}.MaxSide);
constexpr long long kMaxPixels = mirufo::TLimits{}.MaxPixels;
constexpr long kMaxFileBytes = static_cast<long>(mirufo::TLimits{}.MaxPictureFileBytes);

struct TInput {
  std::vector<unsigned char> Bytes;
  std::size_t Pos = 0;
};

int ReadInput(GifFileType* gif, GifByteType* out, int length) {
  auto* input = static_cast<TInput*>(gif->UserData);
  std::size_t left = input->Bytes.size() - input->Pos;
  std::size_t n = length < 0 ? 0 : std::min(left, static_cast<std::size_t>(length));
  if (n > 0)
    std::memcpy(out, input->Bytes.data() + input->Pos, n);
  input->Pos += n;
  return static_cast<int>(n);
}

// The input bytes: the file from offset on, or len bytes of memory.
int LoadInput(const char* buf, long len, unsigned flag, TInput& input) {
  if ((flag & kSpiInputMask) == kSpiInputMemory) {
    if (!buf || len < 0 || len > kMaxFileBytes)
      return kSpiFileReadError;
    input.Bytes.assign(buf, buf + len);
    return kSpiSuccess;
  }
  if (!buf || len < 0)
    return kSpiFileReadError;
  // Opened without waiting, and read only when it is a regular file: a
  // pipe without a writer would hang the host.
  int fd = open(buf, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0)
    return kSpiFileReadError;
  struct stat st {};
  std::FILE* f = nullptr;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || (f = fdopen(fd, "rb")) == nullptr) {
    close(fd);
    return kSpiFileReadError;
  }
  int result = kSpiSuccess;
  if (std::fseek(f, 0, SEEK_END) != 0) {
    result = kSpiFileReadError;
  } else {
    long size = std::ftell(f);
    if (size < len || size - len > kMaxFileBytes || std::fseek(f, len, SEEK_SET) != 0) {
      result = kSpiFileReadError;
    } else {
      input.Bytes.resize(static_cast<std::size_t>(size - len));
      if (!input.Bytes.empty() &&
          std::fread(input.Bytes.data(), 1, input.Bytes.size(), f) != input.Bytes.size())
        result = kSpiFileReadError;
    }
  }
  std::fclose(f);
  return result;
}

bool IsGifHead(const void* head) {
  const auto* p = static_cast<const char*>(head);
  return std::memcmp(p, "GIF87a", 6) == 0 || std::memcmp(p, "GIF89a", 6) == 0;
}

struct TGifCloser {
  GifFileType* Gif;
  ~TGifCloser() {
    if (Gif)
      DGifCloseFile(Gif, nullptr);
  }
};

// The first frame of the GIF in input, as an 8-bit DIB.
int DecodeFirstFrame(TInput& input, void** bitmapInfo, void** bits, TSpiProgressCallback progress,
                     long data, TSpiPictureInfo* infoOnly) {
  int error = 0;
  GifFileType* gif = DGifOpen(&input, ReadInput, &error);
  if (!gif)
    return kSpiUnknownFormat;
  TGifCloser closer{gif};

  int transparent = -1;
  GifRecordType record;
  do {
    if (DGifGetRecordType(gif, &record) != GIF_OK)
      return kSpiBrokenData;
    if (record == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* ext = nullptr;
      if (DGifGetExtension(gif, &code, &ext) != GIF_OK)
        return kSpiBrokenData;
      if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4) {
        GraphicsControlBlock gcb;
        if (DGifExtensionToGCB(ext[0], ext + 1, &gcb) == GIF_OK)
          transparent = gcb.TransparentColor;
      }
      while (ext) {
        if (DGifGetExtensionNext(gif, &ext) != GIF_OK)
          return kSpiBrokenData;
      }
    } else if (record == TERMINATE_RECORD_TYPE) {
      return kSpiBrokenData; // no frame at all
    }
  } while (record != IMAGE_DESC_RECORD_TYPE);
  if (DGifGetImageDesc(gif) != GIF_OK)
    return kSpiBrokenData;

  const GifImageDesc& desc = gif->Image;
  long width = gif->SWidth, height = gif->SHeight;
  // A frame outside a too-small screen widens the picture to hold it.
  if (desc.Left + desc.Width > width)
    width = static_cast<long>(desc.Left) + desc.Width;
  if (desc.Top + desc.Height > height)
    height = static_cast<long>(desc.Top) + desc.Height;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      static_cast<long long>(width) * height > kMaxPixels || desc.Width <= 0 || desc.Height <= 0)
    return kSpiBrokenData;

  if (infoOnly) {
    infoOnly->left = 0;
    infoOnly->top = 0;
    infoOnly->width = static_cast<std::int32_t>(width);
    infoOnly->height = static_cast<std::int32_t>(height);
    infoOnly->x_density = 0;
    infoOnly->y_density = 0;
    infoOnly->colorDepth = 8;
    infoOnly->hInfo = nullptr;
    return kSpiSuccess;
  }

  const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
  const int fill = transparent >= 0 ? transparent : gif->SBackGroundColor;
  const std::size_t stride = (static_cast<std::size_t>(width) + 3) & ~std::size_t{3};
  const std::size_t infoBytes = sizeof(TSpiBitmapInfoHeader) + 256 * 4;
  auto* info = static_cast<unsigned char*>(std::calloc(1, infoBytes));
  auto* pixels =
      static_cast<unsigned char*>(std::malloc(stride * static_cast<std::size_t>(height)));
  std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
  if (!info || !pixels || line.empty()) {
    std::free(info);
    std::free(pixels);
    return kSpiNoMemory;
  }
  std::memset(pixels, fill & 0xFF, stride * static_cast<std::size_t>(height));

  // Interlaced frames deliver their rows in four passes.
  std::vector<int> rowOrder;
  rowOrder.reserve(static_cast<std::size_t>(desc.Height));
  if (desc.Interlace) {
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int y = start[pass]; y < desc.Height; y += step[pass])
        rowOrder.push_back(y);
  } else {
    for (int y = 0; y < desc.Height; ++y)
      rowOrder.push_back(y);
  }
  for (std::size_t i = 0; i < rowOrder.size(); ++i) {
    if (DGifGetLine(gif, line.data(), desc.Width) != GIF_OK) {
      std::free(info);
      std::free(pixels);
      return kSpiBrokenData;
    }
    const long y = desc.Top + rowOrder[i];
    // DIB rows run bottom-up.
    unsigned char* row = pixels + static_cast<std::size_t>(height - 1 - y) * stride;
    std::memcpy(row + desc.Left, line.data(), line.size());
    if (progress && i % 64 == 0 &&
        progress(static_cast<int>(i), static_cast<int>(rowOrder.size()), data) != 0) {
      std::free(info);
      std::free(pixels);
      return kSpiAborted;
    }
  }

  TSpiBitmapInfoHeader header{};
  header.biSize = sizeof header;
  header.biWidth = static_cast<std::int32_t>(width);
  header.biHeight = static_cast<std::int32_t>(height);
  header.biPlanes = 1;
  header.biBitCount = 8;
  header.biClrUsed = 256;
  std::memcpy(info, &header, sizeof header);
  unsigned char* table = info + sizeof header;
  for (int i = 0; map && i < map->ColorCount && i < 256; ++i) {
    table[4 * i] = map->Colors[i].Blue;
    table[4 * i + 1] = map->Colors[i].Green;
    table[4 * i + 2] = map->Colors[i].Red;
  }
  if (!map) // no colour map at all: a grey ramp
    for (int i = 0; i < 256; ++i)
      table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = static_cast<unsigned char>(i);
  *bitmapInfo = info;
  *bits = pixels;
  if (progress)
    progress(static_cast<int>(rowOrder.size()), static_cast<int>(rowOrder.size()), data);
  return kSpiSuccess;
}

} // namespace

SPI_EXPORT int GetPluginInfo(int infono, char* buf, int buflen) {
  static const char* const kInfo[] = {"00IN", "Mirufo GIF plug-in (giflib)", "*.gif",
                                      "GIF (Graphics Interchange Format)"};
  if (infono < 0 || infono >= 4 || !buf || buflen <= 0)
    return 0;
  std::snprintf(buf, static_cast<std::size_t>(buflen), "%s", kInfo[infono]);
  return static_cast<int>(std::strlen(buf));
}

SPI_EXPORT int IsSupported(const char*, const void* head) {
  return head && IsGifHead(head) ? 1 : 0;
}

SPI_EXPORT int GetPictureInfo(const char* buf, long len, unsigned flag, TSpiPictureInfo* info) {
  if (!info)
    return kSpiInternalError;
  TInput input;
  if (int result = LoadInput(buf, len, flag, input); result != kSpiSuccess)
    return result;
  return DecodeFirstFrame(input, nullptr, nullptr, nullptr, 0, info);
}

SPI_EXPORT int GetPicture(const char* buf, long len, unsigned flag, void** bitmapInfo, void** bits,
                          TSpiProgressCallback progress, long data) {
  if (!bitmapInfo || !bits)
    return kSpiInternalError;
  *bitmapInfo = nullptr;
  *bits = nullptr;
  TInput input;
  if (int result = LoadInput(buf, len, flag, input); result != kSpiSuccess)
    return result;
  return DecodeFirstFrame(input, bitmapInfo, bits, progress, data, nullptr);
}
