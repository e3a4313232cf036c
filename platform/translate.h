// The one translation function. Every text a user sees (captions, messages,
// hints, the command line's own sentences) passes through Tr. The Japanese
// text is the message id, so the code reads as the program speaks; with no
// catalogue installed for the user's language Tr returns its argument
// unchanged. Catalogues are GNU gettext ones of the domain "mirufo", looked
// up in "locale/" beside the executable, then in share/locale under the
// executable's own prefix.
#pragma once

#include <string>

namespace mirufo {

// Returns the translation of a UTF-8 Japanese text, or the text itself. The
// pointer stays valid for the life of the program when `japanese` does.
const char* Tr(const char* japanese);
std::string Tr(const std::string& japanese);

// Marks a text kept in a table for the catalogue's extraction; it is
// translated where it is shown, through Tr.
constexpr const char* N_(const char* japanese) {
  return japanese;
}

} // namespace mirufo
