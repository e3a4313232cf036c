// Feeds the BMP reader with arbitrary bytes. A file may be refused with the
// program's own error; any other exception, a crash or a sanitizer report is
// a finding.
#include "fuzz/fuzz_support.h"
#include "import/bitmap_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  mirufo::fuzz::UseFuzzLimits();
  mirufo::TBitmapReader reader;
  try {
    reader.LoadFromBytes(mirufo::fuzz::AsText(data, size), "fuzz.bmp");
  } catch (const mirufo::EMirufoError&) {
  }
  return 0;
}
