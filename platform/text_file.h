// Whole-file reads and atomic writes, and the CP932 line files that the
// handset list, the make sets and the settings are kept in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mirufo {

// The default largest text file (16 MiB); readers use Limits().MaxTextFileBytes.
inline constexpr std::size_t kMaxTextFileBytes = 16u << 20;

// A file open for reading that is known to be a regular file. Opening never
// waits: a pipe, a device, a socket or a folder is refused before anything is
// read from it (a pipe without a writer would otherwise hang the program).
// Every file the program reads, and every file it hands to a plug-in, is
// opened or checked this way.
class TRegularFile {
public:
  // Raises EInOutError with path + ": ファイルが見つかりません" when nothing
  // is there, path + ": 通常のファイルではありません" for a folder, pipe,
  // device or socket, and a message naming the file for any other failure.
  explicit TRegularFile(const std::filesystem::path& path);
  ~TRegularFile();
  TRegularFile(const TRegularFile&) = delete;
  TRegularFile& operator=(const TRegularFile&) = delete;

  // The size when the file was opened.
  std::uint64_t Size() const { return size_; }
  // Up to count bytes from the current position; fewer only at the end of
  // the file. Raises EInOutError naming the file when a read fails.
  std::string Read(std::size_t count);

private:
  std::filesystem::path path_;
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

// Raises what TRegularFile raises when the path is not a regular file that
// can be opened for reading; for files that someone else (a plug-in) opens.
void CheckRegularFile(const std::filesystem::path& path);

// The whole file as bytes. Raises EInOutError naming the file when it is not
// a regular file, cannot be read, or is larger than maxBytes.
std::string ReadFileBytes(const std::filesystem::path& path,
                          std::size_t maxBytes = static_cast<std::size_t>(-1));

// What an atomic write does when the target's name is already taken.
enum class TExistingFile {
  Replace, // replace it (the user chose to overwrite it, or it is our own file)
  Keep,    // never replace it: raise EFileExists, even when the file appeared
           // only while this write was under way
};

// Raises what WriteFileAtomic raises before it writes anything, so that a
// check ahead of a write gives the same answer with the same message: a name
// longer than its folder's file system takes, a folder, a device, a pipe or
// a socket at the name, and (EFileExists) a taken name when keeping. A
// symbolic link at the name counts as a file there, dangling or not: it is
// replaced by the new file, and what it points to is never written.
void CheckWriteTarget(const std::filesystem::path& path,
                      TExistingFile existing = TExistingFile::Replace);

// Writes the bytes to a temporary file in the same folder, flushes it to the
// device and moves it to the target's name, so that the target is either
// the old file or the complete new one. CheckWriteTarget comes first. The temporary
// name is short, so a target name of the longest length the file system
// allows works. Raises EInOutError naming the file; EFileExists when keeping
// a file that is there.
void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes,
                     TExistingFile existing = TExistingFile::Replace);

// Gives the file `from` the name `to` by a hard link, then removes `from`.
// The link refuses a name that exists (EFileExists), so this is how a file is
// put in place without replacing anything on file systems whose rename
// cannot refuse to replace. Raises EInOutError naming `to` otherwise.
void LinkWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

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
void WriteCp932Lines(const std::filesystem::path& path, const std::vector<std::string>& lines,
                     TExistingFile existing = TExistingFile::Replace);

} // namespace mirufo
