// Feeds the handset list reader ("TL1" and "TL2") with arbitrary text. A
// list that loads is written and read back twice: both readings must succeed
// with the same number of handsets and capacities, and the second writing
// must equal the first byte for byte, so the user's file does not drift from
// one run to the next. (The first writing may differ from the input: bytes
// that are not CP932 become "?".)
#include "catalogue/tanmatsu_list.h"
#include "fuzz/fuzz_support.h"
#include "platform/text_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mirufo;
  fuzz::UseFuzzLimits();
  std::filesystem::path file = fuzz::WriteScratch("tanmatsu_user.lst", fuzz::AsText(data, size));
  TTanmatsuList list;
  try {
    list.LoadFromFile(file);
  } catch (const EMirufoError&) {
    return 0;
  }
  const std::filesystem::path first = fuzz::ScratchDir() / "first.lst";
  const std::filesystem::path second = fuzz::ScratchDir() / "second.lst";
  list.SaveToFile(first);
  TTanmatsuList again;
  again.LoadFromFile(first);
  again.SaveToFile(second);
  if (again.Count() != list.Count() || again.CacheCount() != list.CacheCount() ||
      ReadFileBytes(first) != ReadFileBytes(second))
    std::abort();
  return 0;
}
