// Feeds the make-set reader with arbitrary text, in both formats: through
// the loader that picks the format by the first line, and through the other
// format's reader directly. The sets are written and read back in memory,
// through the same CP932 text a file would hold, and keep their number and
// their members.
#include "catalogue/named_bits_list.h"
#include "fuzz/fuzz_support.h"
#include "platform/text_file.h"
#include "tests/support/built_in_selection.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mirufo;
  fuzz::UseFuzzLimits();
  // The first handsets of the catalogue: a part keeps runs fast, and member
  // lines still name real handsets (the dictionary holds some of the names).
  static const test::TBuiltInSelection handsets(40);
  const std::vector<std::string> lines = Cp932TextToLines(fuzz::AsText(data, size));

  TNamedBitsList sets;
  LoadMakeSetsFromLines(sets, lines, handsets);
  if (sets.Count() == 0)
    std::abort(); // there is always at least the default set
  TNamedBitsList again;
  LoadMakeSetsFromLines(again, Cp932TextToLines(LinesToCp932Text(sets.SaveToLines(handsets))),
                        handsets);
  if (again.Count() != sets.Count())
    std::abort();
  for (std::size_t i = 0; i < sets.Count(); ++i)
    if (again.MemberCount(i) != sets.MemberCount(i))
      std::abort();

  // The loader read the lines in one format; the older format's reader also
  // gets the text that opens with the signature. (The newer format's reader
  // returns at once on text without it, so it has nothing more to see.)
  if (!lines.empty() && lines[0].starts_with("MSET01")) {
    TNamedBitsList direct;
    try {
      direct.LoadOldFormatLines(lines);
    } catch (const EMirufoError&) {
    }
  }
  return 0;
}
