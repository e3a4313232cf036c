// Whole-file reads and atomic writes, and the CP932 line files that the
// handset list, the make sets and the settings are kept in.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mirufo {

// The default largest text file (16 MiB); readers use Limits().MaxTextFileBytes.
inline constexpr std::size_t kMaxTextFileBytes = 16u << 20;

// The whole file as bytes. Raises EInOutError naming the file when it cannot
// be opened or read, or when it is larger than maxBytes.
std::string ReadFileBytes(const std::filesystem::path& path,
                          std::size_t maxBytes = static_cast<std::size_t>(-1));

// Writes the bytes to a temporary file in the same folder, flushes it to the
// device and renames it over the target, so that the target is either the
// old file or the complete new one. A target that exists but is neither a
// regular file nor a folder (a device, a pipe) is refused. Raises EInOutError
// naming the file.
void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes);

// Splits text into lines that end at CR, LF or CR LF. A line break at the very
// end does not start another line.
std::vector<std::string> SplitLines(std::string_view text);

// CP932 text as UTF-8 lines (SplitLines, then each line converted).
std::vector<std::string> Cp932TextToLines(std::string_view text);

// UTF-8 lines as CP932 text, CR LF after every line.
std::string LinesToCp932Text(const std::vector<std::string>& lines);

// Reads a CP932 text file (at most Limits().MaxTextFileBytes) as UTF-8 lines.
std::vector<std::string> ReadCp932Lines(const std::filesystem::path& path);

// Writes UTF-8 lines as CP932, CR LF after every line, atomically.
void WriteCp932Lines(const std::filesystem::path& path, const std::vector<std::string>& lines);

} // namespace mirufo
