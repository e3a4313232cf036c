// Tr over glibc's gettext: the domain is bound once, on first use, to the
// catalogue folder beside the executable when there is one, otherwise to
// share/locale under the executable's own prefix.
#include "platform/translate.h"

#include "platform/folders.h"

#include <libintl.h>
#include <mutex>

namespace mirufo {
namespace {

constexpr const char* kDomain = "mirufo";

void BindDomain() {
  static std::once_flag once;
  std::call_once(once, [] {
    bindtextdomain(kDomain, LocaleFolder(ProgramFolder()).c_str());
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
