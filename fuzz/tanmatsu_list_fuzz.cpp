// Feeds the handset list reader ("TL1" and "TL2") with arbitrary text. A
// list that loads is written and read back twice, in memory: both readings
// must succeed with the same number of handsets and capacities, and the
// second writing must equal the first byte for byte, so the user's file does
// not drift from one run to the next. (The first writing may differ from the
// input: bytes that are not CP932 become "?".)
#include "catalogue/tanmatsu_list.h"
#include "fuzz/fuzz_support.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mirufo;
  fuzz::UseFuzzLimits();
  TTanmatsuList list;
  try {
    list.LoadFromText(fuzz::AsText(data, size), "tanmatsu_user.lst");
  } catch (const EMirufoError&) {
    return 0;
  }
  const std::string first = list.SaveToText();
  TTanmatsuList again;
  again.LoadFromText(first, "first.lst");
  if (again.Count() != list.Count() || again.CacheCount() != list.CacheCount() ||
      again.SaveToText() != first)
    std::abort();
  return 0;
}
