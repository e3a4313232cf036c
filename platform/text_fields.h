// Splitting a line of text into its fields and joining fields back, for the
// tab-separated list files and the comma-separated option values.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mirufo {

// The pieces of text between separators: n separators give n + 1 pieces,
// empty ones included; an empty text gives one empty piece.
std::vector<std::string> SplitFields(std::string_view text, std::string_view separator);

// The same pieces as views into the text, written over pieces (whose
// storage is kept), for readers that split many lines and copy few fields.
void SplitFieldViews(std::string_view text, std::string_view separator,
                     std::vector<std::string_view>& pieces);

// The pieces joined with the separator between them.
std::string JoinFields(const std::vector<std::string>& pieces, std::string_view separator);

// The text as a terminal may show it: every control character (C0, DEL and
// the C1 range, ESC among them) written as \xNN or \u00NN, so that a name
// cannot move the cursor or recolour the screen; a backslash stays as it
// is. Line breaks are kept when keepNewlines is set.
std::string EscapeControls(std::string_view text, bool keepNewlines = false);

} // namespace mirufo
