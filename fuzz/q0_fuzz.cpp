// Feeds the Q0 reader a pixel file and its side file. The first byte picks
// the pair (".q0" with ".fal" or ".rgb" with ".ipr"), the second the length
// of the side file's text, which follows; the rest is the pixel file.
#include "fuzz/fuzz_support.h"
#include "import/q0_bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mirufo;
  fuzz::UseFuzzLimits();
  if (size < 2)
    return 0;
  const bool fal = (data[0] & 1) == 0;
  const std::size_t sideLength = std::min<std::size_t>(data[1], size - 2);
  std::string_view side = fuzz::AsText(data + 2, sideLength);
  std::string_view pixels = fuzz::AsText(data + 2 + sideLength, size - 2 - sideLength);
  fuzz::WriteScratch(fal ? "pic.fal" : "pic.ipr", side);
  std::filesystem::path picture = fuzz::WriteScratch(fal ? "pic.q0" : "pic.rgb", pixels);
  TQ0Bitmap reader;
  reader.OnMessage = [](const std::string&) {};
  try {
    reader.LoadFromFile(picture);
  } catch (const EMirufoError&) {
  }
  // The size text parser on its own, with the pixel file's length.
  TQ0Size given = ParseQ0SizeText(side);
  (void)ResolveQ0Size(given, pixels.size());
  return 0;
}
