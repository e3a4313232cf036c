// Feeds the plug-in host's conversion of returned blocks into a picture. The
// first two bytes give the length of the bitmap-information block, which
// follows; the rest is the pixel block. Each block is copied into an
// allocation of exactly its size, so a read past either end is caught.
#include "fuzz/fuzz_support.h"
#include "import/spi_bitmap.h"

#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mirufo;
  fuzz::UseFuzzLimits();
  if (size < 2)
    return 0;
  const std::size_t infoSize = std::min<std::size_t>(data[0] | (data[1] << 8), size - 2);
  const std::size_t bitsSize = size - 2 - infoSize;
  auto info = std::make_unique<std::uint8_t[]>(infoSize);
  auto bits = std::make_unique<std::uint8_t[]>(bitsSize);
  std::memcpy(info.get(), data + 2, infoSize);
  std::memcpy(bits.get(), data + 2 + infoSize, bitsSize);
  try {
    (void)PictureFromSpiBlocks(info.get(), infoSize, bits.get(), bitsSize, "fuzz.spi");
  } catch (const EMirufoError&) {
  }
  return 0;
}
