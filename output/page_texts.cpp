#include "output/page_texts.h"

#include "platform/translate.h"

#include <cstdint>
#include <string>

namespace mirufo {

std::string FillFormat(std::string_view format, std::initializer_list<std::string> values) {
  std::string text;
  auto next = values.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 >= format.size()) {
      text += format[i];
      continue;
    }
    const char kind = format[i + 1];
    if (kind == '%') {
      text += '%';
      ++i;
    } else if (kind == 'd' || kind == 's') {
      if (next != values.end())
        text += *next++;
      ++i;
    } else {
      text += format[i];
    }
  }
  return text;
}

std::string ThousandsText(std::int64_t value) {
  const bool negative = value < 0;
  // The magnitude as unsigned, so that the smallest value has one too.
  std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  std::string digits = std::to_string(magnitude);
  std::string text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0)
      text += ',';
    text += digits[i];
  }
  return negative ? "-" + text : text;
}

std::string HandsetPageStatus(int targets, std::size_t handsets) {
  return FillFormat(Tr("%d / %d 枚の待受画像を作成します"),
                    {std::to_string(targets), std::to_string(handsets)});
}

std::string SourcePageStatus(bool empty, std::string_view sourceFileName, int zoomPercent) {
  if (empty)
    return Tr("no image");
  const std::size_t slash = sourceFileName.find_last_of('/');
  const std::string_view name =
      slash == std::string_view::npos ? sourceFileName : sourceFileName.substr(slash + 1);
  return FillFormat(Tr("%s @ %d%%"), {std::string(name), std::to_string(zoomPercent)});
}

std::string MakePageStatus(int boxes, int made) {
  return FillFormat(Tr("%d 枚の待受画像を作成（完成済み %d 枚）"),
                    {std::to_string(boxes), std::to_string(made)});
}

std::string SavePageStatus(int files, std::int64_t bytes) {
  // "%.0n" in the catalogue's format is the byte total with separators.
  std::string format = Tr("%d 個のファイルを保存します（%.0n bytes）");
  if (std::size_t at = format.find("%.0n"); at != std::string::npos)
    format.replace(at, 4, "%s");
  return FillFormat(format, {std::to_string(files), ThousandsText(bytes)});
}

} // namespace mirufo
