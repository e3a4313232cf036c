// Which help page the desktop program opens: the page of the language its
// user interface runs in. The program ships the Japanese page "mirufo.html"
// and the English page "mirufo.en.html"; HelpFile (folders.h) finds either.
#pragma once

#include <string>
#include <string_view>

namespace mirufo {

// The help page's file name for a language code as locales and gettext
// write it ("en", "en_GB.UTF-8", "ja_JP.UTF-8", "C"): the English page for
// English, the Japanese page for anything else (Japanese is the program's
// own language, and the one it falls back to).
std::string HelpPageName(std::string_view language);

// The language the user interface is shown in, by the environment as
// gettext reads it: LC_ALL, else LC_MESSAGES, else LANG names the locale;
// unless that locale is C or POSIX, a list in LANGUAGE comes first, where
// its first English or Japanese entry decides (only those two have texts)
// and a list with neither means the program's own Japanese. Returns "en" or
// "ja".
std::string EnvironmentLanguage();

} // namespace mirufo
