#include "output/standby_file_name.h"

#include "engine/output_format.h"
#include "platform/encoding.h"
#include "platform/errors.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace mirufo {
namespace {

constexpr std::string_view kVariables[] = {"",    "$fn", "$tn", "$ts", "$tw", "$th", "$mw",
                                           "$mh", "$mb", "$mc", "$mf", "$ex", "$sn"};

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string AsciiLowerText(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    c = AsciiLower(c);
  return out;
}

bool IsNumeric(TemplateKind kind) {
  switch (kind) {
  case tkScreenWidth:
  case tkScreenHeight:
  case tkImageWidth:
  case tkImageHeight:
  case tkColorBits:
  case tkColorCount:
  case tkSerial:
    return true;
  default:
    return false;
  }
}

std::string Padded(std::int64_t value, int digits) {
  std::string text = std::to_string(value < 0 ? -value : value);
  if (static_cast<int>(text.size()) < digits)
    text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
  return value < 0 ? "-" + text : text;
}

// The variable that the three characters at the start of text spell in any
// letter case, or tkLiteral.
TemplateKind VariableAt(std::string_view text) {
  if (text.size() < 3 || text[0] != '$')
    return tkLiteral;
  const char second = AsciiLower(text[1]);
  const char third = AsciiLower(text[2]);
  for (int code = tkSourceName; code <= tkSerial; ++code)
    if (kVariables[code][1] == second && kVariables[code][2] == third)
      return static_cast<TemplateKind>(code);
  return tkLiteral;
}

} // namespace

std::string_view TemplateVariable(TemplateKind kind) {
  return kind <= tkSerial ? kVariables[kind] : std::string_view();
}

TStandbyFileName TStandbyFileName::Parse(std::string_view text) {
  TStandbyFileName result;
  std::size_t p = 0;
  while (p < text.size()) {
    const std::string_view at = text.substr(p, 3);
    if (const TemplateKind kind = VariableAt(at); kind != tkLiteral) {
      TStandbyFileNameParts part;
      part.Kind = kind;
      const bool upper = at[1] == AsciiUpper(at[1]) && at[2] == AsciiUpper(at[2]);
      part.Case = upper ? tcUpper : (at == kVariables[kind] ? tcLower : tcAsIs);
      p += 3;
      if (p < text.size() && text[p] >= '1' && text[p] <= '9') {
        part.Digits = text[p] - '0';
        ++p;
      }
      result.parts_.push_back(std::move(part));
      continue;
    }
    if (text.substr(p, 2) == "$$") {
      result.AppendLiteral("$");
      p += 2;
      continue;
    }
    // Literal text up to the next character that starts with "$", taken
    // whole characters at a time.
    std::size_t end = p;
    do
      end += std::min(Utf8CharLength(static_cast<unsigned char>(text[end])), text.size() - end);
    while (end < text.size() && text[end] != '$');
    result.AppendLiteral(text.substr(p, end - p));
    p = end;
  }
  return result;
}

TStandbyFileName TStandbyFileName::ParseWithExtension(std::string_view typedTemplate) {
  TStandbyFileName result = Parse(typedTemplate);
  result.parts_.push_back({tkExtension, 0, tcLower, ""});
  return result;
}

void TStandbyFileName::AppendLiteral(std::string_view character) {
  if (parts_.empty() || parts_.back().Kind != tkLiteral)
    parts_.push_back(TStandbyFileNameParts{});
  parts_.back().Text += character;
}

const TStandbyFileNameParts& TStandbyFileName::Items(std::size_t index) const {
  if (index >= parts_.size())
    throw ERangeError("TStandbyFileName");
  return parts_[index];
}

std::string SourceBaseName(std::string_view source) {
  std::size_t slash = source.find_last_of("\\/");
  std::string_view name = slash == std::string_view::npos ? source : source.substr(slash + 1);
  std::size_t dot = name.rfind('.');
  return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string TStandbyFileName::Expand(std::string_view sourceFileName, const TTanmatsuRecord& record,
                                     std::int64_t serial, const TStandbyImageFacts& image) const {
  std::string name;
  for (const TStandbyFileNameParts& part : parts_) {
    std::string text;
    std::int64_t number = 0;
    switch (part.Kind) {
    case tkLiteral:
      text = part.Text;
      break;
    case tkSourceName:
      text = SourceBaseName(sourceFileName);
      break;
    case tkHandsetName:
      text = record.Name;
      break;
    case tkScreenName:
      text = record.Screen;
      break;
    case tkScreenWidth:
      number = record.Width;
      break;
    case tkScreenHeight:
      number = record.Height;
      break;
    case tkImageWidth:
      number = image.ImageWidth;
      break;
    case tkImageHeight:
      number = image.ImageHeight;
      break;
    case tkColorBits:
      number = image.Bits;
      break;
    case tkColorCount:
      number = (image.Bits >= 0 && image.Bits < 63) ? (std::int64_t{1} << image.Bits) : 0;
      break;
    case tkFormatName:
      text = FormatName(image.Format);
      break;
    case tkExtension:
      text = "." + FormatExt(image.Format);
      break;
    case tkSerial:
      number = serial;
      break;
    }
    if (IsNumeric(part.Kind))
      text = Padded(number, part.Digits);
    if (part.Kind != tkLiteral) {
      if (part.Case == tcUpper)
        std::transform(text.begin(), text.end(), text.begin(), AsciiUpper);
      else if (part.Case == tcLower)
        std::transform(text.begin(), text.end(), text.begin(), AsciiLower);
    }
    name += text;
  }
  return RemoveForbiddenChars(name);
}

std::string RemoveForbiddenChars(std::string_view text) {
  // In UTF-8 these ASCII bytes never occur inside a longer character, so the
  // byte-wise removal is also character-wise.
  static constexpr auto kForbidden = [] {
    std::array<bool, 256> table{};
    for (unsigned char c : std::string_view("\t\n\r\\/:,;*?\"<>|"))
      table[c] = true;
    return table;
  }();
  std::string out(text);
  out.erase(std::remove_if(out.begin(), out.end(),
                           [](char c) { return kForbidden[static_cast<unsigned char>(c)]; }),
            out.end());
  return out;
}

TNamedBatch FlagClashes(std::vector<std::string> names) {
  TNamedBatch batch;
  std::vector<std::string> keys;
  keys.reserve(names.size());
  std::unordered_map<std::string_view, int> seen;
  for (const std::string& name : names)
    ++seen[keys.emplace_back(AsciiLowerText(name))];
  batch.Clashes.reserve(names.size());
  for (const std::string& key : keys)
    batch.Clashes.push_back(seen[key] > 1);
  batch.Names = std::move(names);
  return batch;
}

} // namespace mirufo
