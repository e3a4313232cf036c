// Helpers shared by the fuzz targets: a scratch folder in memory for the
// readers that take a path, and the lowered limits that keep each run fast.
#pragma once

#include "platform/errors.h"
#include "platform/limits.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace mirufo::fuzz {

// A folder of this process, made once and removed at exit.
inline const std::filesystem::path& ScratchDir() {
  static const std::filesystem::path dir = [] {
    std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                     ? "/dev/shm"
                                     : std::filesystem::temp_directory_path();
    std::string pattern = (base / "mirufo-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
      std::abort();
    std::filesystem::path made = pattern;
    static struct TRemover {
      std::filesystem::path Dir;
      ~TRemover() {
        std::error_code ignored;
        std::filesystem::remove_all(Dir, ignored);
      }
    } remover{made};
    return made;
  }();
  return dir;
}

// Writes bytes to a file of the scratch folder and returns its path.
inline std::filesystem::path WriteScratch(std::string_view name, std::string_view bytes) {
  std::filesystem::path path = ScratchDir() / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out)
    std::abort();
  return path;
}

// Limits small enough that a file claiming a huge picture is refused, or
// decoded, in a moment; the overflow checks are the same at any limit.
inline void UseFuzzLimits() {
  static const bool set = [] {
    TLimits limits;
    limits.MaxSide = 4096;
    limits.MaxPixels = 4'000'000;
    limits.MaxTextFileBytes = 1 << 20;
    SetLimits(limits);
    return true;
  }();
  (void)set;
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

} // namespace mirufo::fuzz
