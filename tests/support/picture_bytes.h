// Little helpers for building picture files byte by byte in tests.
#pragma once

#include <cstdint>
#include <string>

namespace mirufo::test {

inline void PutLE16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

inline void PutLE32(std::string& out, std::uint32_t v) {
  PutLE16(out, v & 0xFFFF);
  PutLE16(out, v >> 16);
}

inline std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values)
    out += static_cast<char>(v);
  return out;
}

} // namespace mirufo::test
