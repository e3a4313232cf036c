#include "platform/text_fields.h"

namespace mirufo {

std::vector<std::string> SplitFields(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  // UTF-8 never places a character's lead byte inside another character, so
  // a plain byte search cannot match in the middle of a character.
  std::size_t start = 0;
  for (;;) {
    std::size_t at = text.find(separator, start);
    if (at == std::string_view::npos) {
      pieces.emplace_back(text.substr(start));
      return pieces;
    }
    pieces.emplace_back(text.substr(start, at - start));
    start = at + separator.size();
  }
}

std::string JoinFields(const std::vector<std::string>& pieces, std::string_view separator) {
  std::string text;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0)
      text += separator;
    text += pieces[i];
  }
  return text;
}

} // namespace mirufo
