#include "platform/encoding.h"

#include "platform/errors.h"
#include "platform/translate.h"

#include <cerrno>
#include <iconv.h>

namespace mirufo {
namespace {

// One iconv descriptor per direction and thread, opened on first use; iconv
// descriptors carry shift state and must not be shared between threads.
class Converter {
public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw EMirufoError(std::string(Tr("文字コード変換を開始できません: ")) + from + " -> " + to);
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts the text; on an input sequence that cannot be converted the
  // callback decides how many input bytes to skip and what to emit instead.
  template <typename OnBad> std::string Run(std::string_view in, OnBad onBad) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    out.reserve(in.size() * 3 / 2 + 8);
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char buffer[1024];
    while (inLeft > 0) {
      char* outPtr = buffer;
      size_t outLeft = sizeof(buffer);
      size_t r = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      out.append(buffer, static_cast<size_t>(outPtr - buffer));
      if (r == static_cast<size_t>(-1)) {
        if (errno == E2BIG)
          continue;
        // EILSEQ or EINVAL (a truncated sequence at the end): skip and mark.
        size_t skip = onBad(static_cast<unsigned char>(*inPtr), out);
        if (skip > inLeft)
          skip = inLeft;
        inPtr += skip;
        inLeft -= skip;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      }
    }
    return out;
  }

private:
  iconv_t cd_;
};

Converter& FromCp932() {
  thread_local Converter converter("UTF-8", "CP932");
  return converter;
}

Converter& ToCp932() {
  thread_local Converter converter("CP932", "UTF-8");
  return converter;
}

} // namespace

bool IsAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80)
      return false;
  return true;
}

std::size_t Utf8CharLength(unsigned char lead) {
  if (lead < 0x80)
    return 1;
  if ((lead & 0xE0) == 0xC0)
    return 2;
  if ((lead & 0xF0) == 0xE0)
    return 3;
  if ((lead & 0xF8) == 0xF0)
    return 4;
  return 1;
}

std::string Cp932ToUtf8(std::string_view cp932) {
  if (IsAscii(cp932))
    return std::string(cp932);
  return FromCp932().Run(cp932, [](unsigned char, std::string& out) {
    out += "\xEF\xBF\xBD";
    return size_t{1};
  });
}

std::string Utf8ToCp932(std::string_view utf8) {
  if (IsAscii(utf8))
    return std::string(utf8);
  return ToCp932().Run(utf8, [](unsigned char lead, std::string& out) {
    out += '?';
    return Utf8CharLength(lead);
  });
}

bool IsCp932Representable(std::string_view utf8) {
  if (IsAscii(utf8))
    return true;
  bool ok = true;
  ToCp932().Run(utf8, [&ok](unsigned char lead, std::string&) {
    ok = false;
    return Utf8CharLength(lead);
  });
  return ok;
}

std::size_t Cp932Length(std::string_view utf8) {
  return Utf8ToCp932(utf8).size();
}

std::string CutToCp932Bytes(std::string_view utf8, std::size_t maxBytes) {
  if (utf8.size() <= maxBytes && IsAscii(utf8))
    return std::string(utf8);
  std::size_t bytes = 0;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    std::size_t len = Utf8CharLength(static_cast<unsigned char>(utf8[pos]));
    if (pos + len > utf8.size())
      len = utf8.size() - pos;
    std::size_t width = static_cast<unsigned char>(utf8[pos]) < 0x80
                            ? 1
                            : Utf8ToCp932(utf8.substr(pos, len)).size();
    if (bytes + width > maxBytes)
      break;
    bytes += width;
    pos += len;
  }
  return std::string(utf8.substr(0, pos));
}

} // namespace mirufo
