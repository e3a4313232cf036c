// Feeds the settings-file reader with arbitrary text, reads keys of every
// kind, writes one and writes the text back, in memory; the written text must
// load again and hold the keys as written.
#include "fuzz/fuzz_support.h"
#include "platform/ini_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mirufo;
  fuzz::UseFuzzLimits();
  try {
    TIniFile ini("mirufo.ini", fuzz::AsText(data, size));
    (void)ini.ReadString("General", "FormPosition.X", "");
    (void)ini.ReadInteger("Standby", "KDDICopyright", 1);
    (void)ini.ReadBool("Save", "HTML.Save", false);
    (void)ini.SectionExists("TanmatsuList");
    const std::string comment = ini.ReadString("Standby", "Comment", "none");
    ini.WriteString("Standby", "Comment", "powered by ミルフォ");
    ini.WriteInteger("General", "FormPosition.X", -50);
    ini.DeleteKey("Save", "Folder");
    TIniFile again("mirufo.ini", ini.Text());
    if (again.ReadString("Standby", "Comment", "") != "powered by ミルフォ" ||
        again.ReadInteger("General", "FormPosition.X", 0) != -50 ||
        again.ValueExists("Save", "Folder"))
      std::abort();
    (void)comment;
  } catch (const EMirufoError&) {
  }
  return 0;
}
