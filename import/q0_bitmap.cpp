#include "import/q0_bitmap.h"

#include "platform/limits.h"
#include "platform/text_file.h"
#include "platform/translate.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

namespace mirufo {
namespace {

std::int64_t ToNumber(std::string_view text) {
  std::int64_t value = 0;
  if (!text.empty() && text.front() == '+')
    text.remove_prefix(1);
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty())
    return 0;
  return value;
}

std::string LowerExtension(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

// The side extension (".fal") in the letter case of the picture's own
// extension: each letter takes the case of the picture's letter at the same
// place, or of its last letter, so ".Q0" gives ".FAL" and ".Rgb" ".Ipr".
std::string InLetterCaseOf(std::string_view side, std::string_view own) {
  std::string letters;
  for (char c : own)
    if (std::isalpha(static_cast<unsigned char>(c)))
      letters += c;
  std::string result(side);
  std::size_t place = 0;
  for (char& c : result) {
    if (!std::isalpha(static_cast<unsigned char>(c)) || letters.empty())
      continue;
    const char model = letters[std::min(place++, letters.size() - 1)];
    c = static_cast<char>(std::isupper(static_cast<unsigned char>(model))
                              ? std::toupper(static_cast<unsigned char>(c))
                              : std::tolower(static_cast<unsigned char>(c)));
  }
  return result;
}

// The side file of the picture with the given lower-case extension, or
// nothing when there is none. It is looked up in the picture's own letter
// case, then in lower and in upper case. One that exists but is not a
// regular file is refused.
std::optional<std::string> ReadSideFile(const std::filesystem::path& picture,
                                        std::string_view lowerExtension) {
  std::string upper(lowerExtension);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  const std::string candidates[] = {InLetterCaseOf(lowerExtension, picture.extension().string()),
                                    std::string(lowerExtension), upper};
  for (const std::string& extension : candidates) {
    const auto path = std::filesystem::path(picture).replace_extension(extension);
    std::error_code ec;
    if (std::filesystem::exists(path, ec))
      return ReadFileBytes(path, Limits().MaxTextFileBytes);
  }
  return std::nullopt;
}

} // namespace

const TGraphicClass TQ0Bitmap::Class{
    "TQ0Bitmap", []() -> std::unique_ptr<TGraphic> { return std::make_unique<TQ0Bitmap>(); }};

TQ0Size ParseQ0SizeText(std::string_view text) {
  TQ0Size size;
  std::size_t p = text.find_first_not_of(' ');
  if (p == std::string_view::npos)
    return size;
  std::size_t blank = text.find(' ', p);
  size.Width = ToNumber(text.substr(p, blank == std::string_view::npos ? text.npos : blank - p));
  if (blank == std::string_view::npos)
    return size;
  p = text.find_first_not_of(' ', blank);
  if (p == std::string_view::npos)
    return size;
  blank = text.find(' ', p);
  if (blank != std::string_view::npos)
    size.Height = ToNumber(text.substr(p, blank - p));
  return size;
}

TQ0Size ResolveQ0Size(TQ0Size given, std::uint64_t length) {
  const std::uint64_t pixels = length / 3;
  if (given.Width != 0 && given.Height != 0)
    return given;
  if (given.Width > 0)
    return {given.Width, static_cast<std::int64_t>(pixels / given.Width)};
  if (given.Height > 0)
    return {static_cast<std::int64_t>(pixels / given.Height), given.Height};
  if (given.Width != 0 || given.Height != 0) // a negative side: refused by the caller
    return given;
  return {640, static_cast<std::int64_t>(pixels == 256000 ? 400 : length / 1920)};
}

void TQ0Bitmap::LoadFromFile(const std::filesystem::path& fileName) {
  const std::string name = fileName.string();
  lastMessage_.clear();
  picture_ = TBitmap();
  TRegularFile file(fileName);

  TQ0Size given;
  if (LowerExtension(fileName) == ".q0") {
    if (auto text = ReadSideFile(fileName, ".fal")) {
      std::vector<std::string> lines = SplitLines(*text);
      if (lines.empty() || !lines[0].starts_with("F_ALL")) {
        lastMessage_ = kBadFalMessage;
        if (OnMessage)
          OnMessage(lastMessage_);
        return;
      }
      if (lines.size() >= 2)
        given = ParseQ0SizeText(lines[1]);
    }
  } else {
    if (auto text = ReadSideFile(fileName, ".ipr"))
      given = ParseQ0SizeText(*text);
  }

  const std::uint64_t length = file.Size();
  const TQ0Size size = ResolveQ0Size(given, length);
  CheckPictureSize(name, size.Width, size.Height);
  const std::uint64_t needed = static_cast<std::uint64_t>(size.Width) * size.Height * 3;
  if (needed > length)
    RaiseInvalidGraphic(name, Tr("ファイルが短すぎます (") + std::to_string(size.Width) + " x " +
                                  std::to_string(size.Height) + Tr(" には ") +
                                  std::to_string(needed) + Tr(" バイト必要ですが ") +
                                  std::to_string(length) + Tr(" バイトしかありません)"));

  const std::string bytes = file.Read(static_cast<std::size_t>(needed));
  if (bytes.size() != needed)
    throw EInOutError(name + Tr(": ファイルを読めません"));

  TBitmap out(static_cast<int>(size.Width), static_cast<int>(size.Height), pf24bit);
  const auto* src = reinterpret_cast<const std::uint8_t*>(bytes.data());
  for (int y = 0; y < out.Height(); ++y) {
    std::uint8_t* d = out.ScanLine(y);
    for (int x = 0; x < out.Width(); ++x, src += 3) {
      d[3 * x] = src[2];
      d[3 * x + 1] = src[1];
      d[3 * x + 2] = src[0];
    }
  }
  picture_ = std::move(out);
}

} // namespace mirufo
