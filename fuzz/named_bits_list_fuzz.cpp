// Feeds the make-set reader with arbitrary text, in both formats: through
// LoadMakeSets (which picks the format by the first line) and through each
// format's reader directly. Sets that load are written and read back.
#include "catalogue/named_bits_list.h"
#include "catalogue/tanmatsu_list.h"
#include "catalogue/tanmatsu_selection.h"
#include "fuzz/fuzz_support.h"

#include <cstdlib>

namespace {

// The first handsets of the built-in catalogue, all ticked, as the make sets
// see the working set. A part keeps runs fast; member lines still name real
// handsets (the dictionary holds some of their names).
class TCatalogueSelection : public mirufo::TTanmatsuSelection {
public:
  TCatalogueSelection() {
    mirufo::TTanmatsuList builtIn;
    builtIn.LoadBuiltIn();
    for (std::size_t i = 0; i < 40 && i < builtIn.Count(); ++i)
      list_.Add(builtIn.Stored(i));
    list_.AssignCaches(builtIn);
  }
  std::size_t HandsetCount() const override { return list_.Count(); }
  mirufo::TTanmatsuRecord GetHandset(std::size_t index) const override { return list_.Get(index); }
  bool IsSelected(std::size_t) const override { return true; }
  void ApplySelection(const std::vector<bool>&) override {}

private:
  mirufo::TTanmatsuList list_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mirufo;
  fuzz::UseFuzzLimits();
  static const TCatalogueSelection handsets;
  std::filesystem::path file = fuzz::WriteScratch("makeset.txt", fuzz::AsText(data, size));

  TNamedBitsList sets;
  TMakeSetsLoadResult result = LoadMakeSets(sets, file, handsets);
  if (sets.Count() == 0)
    std::abort(); // there is always at least the default set
  if (result.FileRead) {
    // Written and read back, the sets keep their number and their members.
    std::filesystem::path copy = fuzz::ScratchDir() / "copy.txt";
    SaveMakeSets(sets, copy, handsets);
    TNamedBitsList again;
    if (!LoadMakeSets(again, copy, handsets).FileRead || again.Count() != sets.Count())
      std::abort();
    for (std::size_t i = 0; i < sets.Count(); ++i)
      if (again.MemberCount(i) != sets.MemberCount(i))
        std::abort();
  }

  TNamedBitsList direct;
  try {
    direct.LoadOldFormat(file);
    direct.LoadFromFile(file, handsets);
  } catch (const EMirufoError&) {
  }
  return 0;
}
