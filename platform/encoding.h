// Text encodings. The program holds all text as UTF-8; the files it shares
// with older tools (handset lists, make sets, settings, index.html, picture
// comments) are in Code Page 932, Microsoft's Shift_JIS. Every conversion
// between the two goes through these functions.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mirufo {

// CP932 bytes to UTF-8. A byte sequence that is not valid CP932 becomes
// U+FFFD for each offending byte; the conversion never fails.
std::string Cp932ToUtf8(std::string_view cp932);

// UTF-8 to CP932 bytes. A character that CP932 cannot hold (or an invalid
// UTF-8 byte) becomes "?"; the conversion never fails.
std::string Utf8ToCp932(std::string_view utf8);

// True when the text is plain ASCII, which reads the same in both encodings.
bool IsAscii(std::string_view text);

// True when every character of the UTF-8 text has a CP932 form.
bool IsCp932Representable(std::string_view utf8);

// Number of bytes the UTF-8 text takes in CP932.
std::size_t Cp932Length(std::string_view utf8);

// The longest leading part of the UTF-8 text whose CP932 form has at most
// maxBytes bytes. A character is kept whole or dropped whole, never split.
std::string CutToCp932Bytes(std::string_view utf8, std::size_t maxBytes);

// Length in bytes of the UTF-8 character that starts with the given byte
// (1 for a stray continuation or invalid byte, so that loops always advance).
std::size_t Utf8CharLength(unsigned char lead);

// True when the CP932 byte opens a double-byte character.
constexpr bool IsCp932LeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

} // namespace mirufo
