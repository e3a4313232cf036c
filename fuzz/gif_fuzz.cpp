// Feeds the GIF plug-in's exported functions with arbitrary bytes in memory,
// then hands a returned picture to the host's checks, as the program does.
#include "fuzz/fuzz_support.h"
#include "import/spi_bitmap.h"
#include "import/susie_api.h"

#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <vector>

extern "C" {
int IsSupported(const char* filename, const void* head);
int GetPictureInfo(const char* buf, long len, unsigned flag, TSpiPictureInfo* info);
int GetPicture(const char* buf, long len, unsigned flag, void** bitmapInfo, void** bits,
               TSpiProgressCallback progress, long data);
}

namespace {
int Progress(int, int, long) {
  return 0;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mirufo;
  fuzz::UseFuzzLimits();
  std::vector<char> head(kSpiHeadBytes, 0);
  std::memcpy(head.data(), data, std::min<std::size_t>(size, head.size()));
  (void)IsSupported("fuzz.gif", head.data());

  const auto* buf = reinterpret_cast<const char*>(data);
  const long len = static_cast<long>(size);
  TSpiPictureInfo info{};
  const bool known = GetPictureInfo(buf, len, kSpiInputMemory, &info) == kSpiSuccess;
  if (known)
    std::free(info.hInfo);
  // Decoding allocates the whole screen before it reads a row. Keep to the
  // sizes the lowered limits allow, as every other target does, so that a
  // header claiming 30000 x 6666 does not cost 200 MB a run; GetPicture
  // refuses whatever GetPictureInfo refuses, through the same checks.
  if (!known || !IsAllowedPictureSize(info.width, info.height))
    return 0;

  void* bitmapInfo = nullptr;
  void* bits = nullptr;
  if (GetPicture(buf, len, kSpiInputMemory, &bitmapInfo, &bits, Progress, 0) == kSpiSuccess) {
    try {
      (void)PictureFromSpiBlocks(bitmapInfo, malloc_usable_size(bitmapInfo), bits,
                                 malloc_usable_size(bits), "fuzz.gif");
    } catch (const EMirufoError&) {
    }
  }
  std::free(bitmapInfo);
  std::free(bits);
  return 0;
}
