// Feeds the file-name template parser and expander with arbitrary text: the
// first bytes choose the serial number and the image facts, the rest is the
// template. Every expansion must be free of forbidden characters once they
// are removed, and parsing must never fail.
#include "fuzz/fuzz_support.h"
#include "output/standby_file_name.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mirufo;
  if (size < 8)
    return 0;
  std::int32_t serialBits = 0;
  std::memcpy(&serialBits, data, sizeof(serialBits));
  TStandbyImageFacts facts;
  facts.ImageWidth = data[4] * 7;
  facts.ImageHeight = data[5] * 5;
  facts.Bits = data[6] % 33;
  facts.Format = static_cast<TImageFormat>(data[7] % 6);
  std::string_view text = fuzz::AsText(data + 8, size - 8);

  TStandbyFileName name = TStandbyFileName::Parse(text);
  for (std::size_t i = 0; i < name.Count(); ++i)
    (void)name.Items(i);
  TTanmatsuRecord record;
  record.Name = "SH901iC";
  record.Screen = "メイン";
  record.Width = 240;
  record.Height = 320;
  record.Bit = 16;
  std::string expanded = name.Expand("C:\\pic\\花.photo.jpg", record, serialBits, facts);
  std::string cleaned = RemoveForbiddenChars(expanded);
  if (cleaned.find_first_of("\t\r\n\\/:,;*?\"<>|") != std::string::npos)
    std::abort();
  (void)SourceBaseName(text);
  (void)FlagClashes({expanded, cleaned, std::string(text)});
  return 0;
}
