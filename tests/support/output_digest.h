// Fingerprints of a make run's output files, for checks that a change to the
// engine leaves every file byte for byte as it was. A PNG's tIME chunk holds
// the time of encoding, so it is left out of the fingerprint.
#pragma once

#include "engine/format_buffer.h"
#include "engine/standby_maker.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mirufo::test {

// 64-bit FNV-1a, continued from hash.
inline std::uint64_t Fnv1a(std::string_view bytes, std::uint64_t hash = 0xcbf29ce484222325ULL) {
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

// The file bytes without a PNG tIME chunk; any other file unchanged.
inline std::string WithoutTimeStamp(const std::string& file) {
  static constexpr std::string_view kSignature = "\x89PNG\r\n\x1a\n";
  if (file.compare(0, kSignature.size(), kSignature) != 0)
    return file;
  std::string out(kSignature);
  std::size_t at = kSignature.size();
  while (at + 8 <= file.size()) {
    const auto byte = [&](std::size_t i) {
      return static_cast<std::uint32_t>(static_cast<unsigned char>(file[i]));
    };
    const std::uint32_t length =
        byte(at) << 24 | byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3);
    const std::size_t chunk = std::min<std::size_t>(std::size_t{length} + 12, file.size() - at);
    if (file.compare(at + 4, 4, "tIME") != 0)
      out.append(file, at, chunk);
    at += chunk;
  }
  out.append(file, at, std::string::npos);
  return out;
}

// The fingerprint of every made target's file, in target order; 0 for a
// target that is not made.
inline std::vector<std::uint64_t> OutputDigests(const TStandbyMaker& maker) {
  std::vector<std::uint64_t> digests;
  for (int i = 0; i < maker.Count(); ++i) {
    const TStandbySpecification& target = *maker.Items(i);
    const auto* format = static_cast<const TFormatBuffer*>(target.Stages(skFormat));
    digests.push_back(target.IsMade() && format ? Fnv1a(WithoutTimeStamp(format->FileBytes())) : 0);
  }
  return digests;
}

// One fingerprint over all of them.
inline std::uint64_t CombinedDigest(const std::vector<std::uint64_t>& digests) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (std::uint64_t d : digests)
    hash = Fnv1a(std::string_view(reinterpret_cast<const char*>(&d), sizeof d), hash);
  return hash;
}

} // namespace mirufo::test
