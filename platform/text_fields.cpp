#include "platform/text_fields.h"

namespace mirufo {

void SplitFieldViews(std::string_view text, std::string_view separator,
                     std::vector<std::string_view>& pieces) {
  pieces.clear();
  if (separator.empty()) {
    pieces.push_back(text);
    return;
  }
  // UTF-8 never places a character's lead byte inside another character, so
  // a plain byte search cannot match in the middle of a character.
  std::size_t start = 0;
  for (;;) {
    std::size_t at = text.find(separator, start);
    if (at == std::string_view::npos) {
      pieces.push_back(text.substr(start));
      return;
    }
    pieces.push_back(text.substr(start, at - start));
    start = at + separator.size();
  }
}

std::vector<std::string> SplitFields(std::string_view text, std::string_view separator) {
  std::vector<std::string_view> views;
  SplitFieldViews(text, separator, views);
  return {views.begin(), views.end()};
}

std::string JoinFields(const std::vector<std::string>& pieces, std::string_view separator) {
  std::size_t length = pieces.empty() ? 0 : separator.size() * (pieces.size() - 1);
  for (const std::string& piece : pieces)
    length += piece.size();
  std::string text;
  text.reserve(length);
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0)
      text += separator;
    text += pieces[i];
  }
  return text;
}

} // namespace mirufo
