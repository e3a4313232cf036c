// Feeds the make-set reader with arbitrary text, in both formats: through
// the loader that picks the format by the first line, and through each
// format's reader directly. The sets are written and read back in memory,
// through the same CP932 text a file would hold, and keep their number and
// their members.
#include "catalogue/named_bits_list.h"
#include "catalogue/tanmatsu_list.h"
#include "catalogue/tanmatsu_selection.h"
#include "fuzz/fuzz_support.h"
#include "platform/text_file.h"

#include <cstdlib>

namespace {

// The first handsets of the built-in catalogue, all ticked, as the make sets
// see the working set. A part keeps runs fast; member lines still name real
// handsets (the dictionary holds some of their names). The records are
// looked up once, with their named capacities filled in, as the working set
// would give them.
class TCatalogueSelection : public mirufo::TTanmatsuSelection {
public:
  TCatalogueSelection() {
    mirufo::TTanmatsuList builtIn;
    builtIn.LoadBuiltIn();
    for (std::size_t i = 0; i < 40 && i < builtIn.Count(); ++i)
      records_.push_back(builtIn.Get(i));
  }
  std::size_t HandsetCount() const override { return records_.size(); }
  mirufo::TTanmatsuRecord GetHandset(std::size_t index) const override {
    return records_.at(index);
  }
  bool IsSelected(std::size_t) const override { return true; }
  void ApplySelection(const std::vector<bool>&) override {}

private:
  std::vector<mirufo::TTanmatsuRecord> records_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mirufo;
  fuzz::UseFuzzLimits();
  static const TCatalogueSelection handsets;
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

  TNamedBitsList direct;
  try {
    direct.LoadOldFormatLines(lines);
    direct.LoadFromLines(lines, handsets);
  } catch (const EMirufoError&) {
  }
  return 0;
}
