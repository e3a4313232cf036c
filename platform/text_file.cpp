#include "platform/text_file.h"

#include "platform/encoding.h"
#include "platform/errors.h"
#include "platform/limits.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace mirufo {
namespace {

[[noreturn]] void Fail(const std::filesystem::path& path, const std::string& what, int err) {
  std::string message = path.string() + "\n" + what;
  if (err != 0)
    message += ": " + std::string(std::strerror(err));
  throw EInOutError(message);
}

class FileDescriptor {
public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0)
      close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }

private:
  int fd_;
};

} // namespace

std::string ReadFileBytes(const std::filesystem::path& path, std::size_t maxBytes) {
  FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0)
    Fail(path, "ファイルを開けません", errno);
  struct stat st {};
  if (fstat(fd.Get(), &st) != 0)
    Fail(path, "ファイルを読めません", errno);
  if (S_ISDIR(st.st_mode))
    Fail(path, "ファイルではなくフォルダです", 0);
  if (static_cast<unsigned long long>(st.st_size) > maxBytes)
    Fail(path, "ファイルが大きすぎます", 0);
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = read(fd.Get(), buffer, sizeof(buffer));
    if (n < 0) {
      if (errno == EINTR)
        continue;
      Fail(path, "ファイルを読めません", errno);
    }
    if (n == 0)
      break;
    bytes.append(buffer, static_cast<std::size_t>(n));
    if (bytes.size() > maxBytes)
      Fail(path, "ファイルが大きすぎます", 0);
  }
  return bytes;
}

void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes) {
  // The rename would put a regular file in the place of a device, a pipe or
  // a socket; refuse rather than replace it. (A folder makes the rename fail.)
  struct stat target {};
  if (stat(path.c_str(), &target) == 0 && !S_ISREG(target.st_mode) && !S_ISDIR(target.st_mode))
    Fail(path, "通常のファイルではないので書き込めません", 0);

  std::filesystem::path folder = path.parent_path();
  if (folder.empty())
    folder = ".";
  std::string temp = (folder / ("." + path.filename().string() + ".tmp-XXXXXX")).string();
  FileDescriptor fd(mkstemp(temp.data()));
  if (fd.Get() < 0)
    Fail(path, "ファイルを作成できません", errno);

  auto abandon = [&](const char* what) {
    int err = errno;
    unlink(temp.c_str());
    Fail(path, what, err);
  };

  // mkstemp creates the file private to the user; give it the mode a new file
  // would get, or keep the mode of the file it replaces.
  struct stat old {};
  mode_t mode = 0666;
  if (stat(path.c_str(), &old) == 0)
    mode = old.st_mode & 07777;
  else {
    mode_t mask = umask(0);
    umask(mask);
    mode &= ~mask;
  }
  if (fchmod(fd.Get(), mode) != 0)
    abandon("ファイルを作成できません");

  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = write(fd.Get(), p, left);
    if (n < 0) {
      if (errno == EINTR)
        continue;
      abandon("ファイルに書き込めません");
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (fsync(fd.Get()) != 0)
    abandon("ファイルに書き込めません");
  if (close(fd.Release()) != 0)
    abandon("ファイルに書き込めません");
  if (rename(temp.c_str(), path.c_str()) != 0)
    abandon("ファイルを置き換えられません");
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < text.size())
    lines.emplace_back(text.substr(start));
  return lines;
}

std::vector<std::string> Cp932TextToLines(std::string_view text) {
  std::vector<std::string> lines = SplitLines(text);
  for (auto& line : lines)
    line = Cp932ToUtf8(line);
  return lines;
}

std::string LinesToCp932Text(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& line : lines) {
    bytes += Utf8ToCp932(line);
    bytes += "\r\n";
  }
  return bytes;
}

std::vector<std::string> ReadCp932Lines(const std::filesystem::path& path) {
  return Cp932TextToLines(ReadFileBytes(path, Limits().MaxTextFileBytes));
}

void WriteCp932Lines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  WriteFileAtomic(path, LinesToCp932Text(lines));
}

} // namespace mirufo
