// Tr over glibc's gettext: the domain is bound once, on first use, to the
// catalogue folder beside the executable when there is one, otherwise to the
// installed prefix.
#include "platform/translate.h"

#include "platform/folders.h"

#include <filesystem>
#include <libintl.h>
#include <mutex>

#ifndef MIRUFO_LOCALE_DIR
#define MIRUFO_LOCALE_DIR "/usr/local/share/locale"
#endif

namespace mirufo {
namespace {

constexpr const char* kDomain = "mirufo";

void BindDomain() {
  static std::once_flag once;
  std::call_once(once, [] {
    std::error_code ec;
    auto beside = ProgramFolder() / "locale";
    const std::string dir = std::filesystem::is_directory(beside, ec)
                                ? beside.string()
                                : std::string(MIRUFO_LOCALE_DIR);
    bindtextdomain(kDomain, dir.c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
  });
}

} // namespace

const char* Tr(const char* japanese) {
  if (japanese == nullptr || *japanese == '\0')
    return japanese;
  BindDomain();
  return dgettext(kDomain, japanese);
}

std::string Tr(const std::string& japanese) {
  return Tr(japanese.c_str());
}

} // namespace mirufo
