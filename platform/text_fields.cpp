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

std::string EscapeControls(std::string_view text, bool keepNewlines) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c < 0x20 && !(keepNewlines && c == '\n')) || c == 0x7F) {
      shown += "\\x";
      shown += kHex[c >> 4];
      shown += kHex[c & 15];
    } else if (c == 0xC2 && i + 1 < text.size() &&
               static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      // U+0080 to U+009F, the C1 controls (CSI among them) in UTF-8.
      const auto code = static_cast<unsigned char>(text[++i]);
      shown += "\\u00";
      shown += kHex[code >> 4];
      shown += kHex[code & 15];
    } else {
      shown += static_cast<char>(c);
    }
  }
  return shown;
}

} // namespace mirufo
