// Feeds the PNG reading path with arbitrary bytes. A file may be refused with the
// program's own error; any other exception, a crash or a sanitizer report is
// a finding.
#include "fuzz/fuzz_support.h"
#include "import/png_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  mirufo::fuzz::UseFuzzLimits();
  mirufo::TPNGImage reader;
  try {
    reader.LoadFromBytes(mirufo::fuzz::AsText(data, size), "fuzz.png");
  } catch (const mirufo::EMirufoError&) {
  }
  return 0;
}
