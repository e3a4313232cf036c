#include "platform/text_file.h"

#include "platform/encoding.h"
#include "platform/errors.h"
#include "platform/interrupt.h"
#include "platform/limits.h"
#include "platform/translate.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
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

[[noreturn]] void Refuse(const std::filesystem::path& path, const char* what) {
  throw EInOutError(path.string() + ": " + Tr(what));
}

[[noreturn]] void RefuseTakenName(const std::filesystem::path& path) {
  throw EFileExists(path.string() + ": " + Tr("同名のファイルが既にあります"));
}

// Puts the finished temporary file in place under a name that must not be
// taken: a rename that refuses to replace, or the hard link where the file
// system does not offer such a rename.
void MoveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
    return;
  const int err = errno;
  if (err == EEXIST)
    RefuseTakenName(to);
  if (err != EINVAL && err != ENOSYS)
    Fail(to, Tr("ファイルを作成できません"), err);
  LinkWithoutReplacing(from, to);
}

// The longest file name the folder's file system takes, in bytes. A folder
// still to be made is judged by its deepest existing parent.
std::size_t NameMax(std::filesystem::path folder) {
  if (folder.empty())
    folder = ".";
  std::error_code ec;
  while (!std::filesystem::exists(folder, ec) && folder.has_parent_path() &&
         folder.parent_path() != folder)
    folder = folder.parent_path();
  const long max = pathconf(folder.c_str(), _PC_NAME_MAX);
  return max > 0 ? static_cast<std::size_t>(max) : 255;
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

TRegularFile::TRegularFile(const std::filesystem::path& path) : path_(path) {
  // Without O_NONBLOCK, opening a pipe waits for a writer. Nothing is read
  // before the type is known, and a regular file never blocks anyway.
  fd_ = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd_ < 0) {
    const int err = errno;
    if (err == ENOENT || err == ENOTDIR)
      Refuse(path, "ファイルが見つかりません");
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) // a socket cannot be opened
      Refuse(path, "通常のファイルではありません");
    Fail(path, Tr("ファイルを開けません"), err);
  }
  FileDescriptor owner(fd_);
  struct stat st {};
  if (fstat(fd_, &st) != 0)
    Fail(path, Tr("ファイルを読めません"), errno);
  if (!S_ISREG(st.st_mode))
    Refuse(path, "通常のファイルではありません");
  const int flags = fcntl(fd_, F_GETFL);
  if (flags >= 0)
    fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
  size_ = static_cast<std::uint64_t>(st.st_size);
  owner.Release();
}

TRegularFile::~TRegularFile() {
  close(fd_);
}

std::string TRegularFile::Read(std::size_t count) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(count, size_)));
  char buffer[65536];
  while (bytes.size() < count) {
    const std::size_t want = std::min(sizeof(buffer), count - bytes.size());
    ssize_t n = read(fd_, buffer, want);
    if (n < 0) {
      if (errno == EINTR)
        continue;
      Fail(path_, Tr("ファイルを読めません"), errno);
    }
    if (n == 0)
      break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return bytes;
}

void CheckRegularFile(const std::filesystem::path& path) {
  TRegularFile file(path);
}

std::string ReadFileBytes(const std::filesystem::path& path, std::size_t maxBytes) {
  TRegularFile file(path);
  if (file.Size() > maxBytes)
    Fail(path, Tr("ファイルが大きすぎます"), 0);
  // One byte more than allowed tells a file that grew while being read.
  std::string bytes = file.Read(maxBytes == static_cast<std::size_t>(-1) ? maxBytes : maxBytes + 1);
  if (bytes.size() > maxBytes)
    Fail(path, Tr("ファイルが大きすぎます"), 0);
  return bytes;
}

void LinkWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (link(from.c_str(), to.c_str()) != 0) {
    if (errno == EEXIST)
      RefuseTakenName(to);
    Fail(to, Tr("ファイルを作成できません"), errno);
  }
  // The file is in place under its name; the temporary name goes.
  unlink(from.c_str());
}

void CheckWriteTarget(const std::filesystem::path& path, TExistingFile existing) {
  const std::string name = path.filename().string();
  if (name.size() > NameMax(path.parent_path()))
    Fail(path, Tr("ファイルを作成できません"), ENAMETOOLONG);
  // lstat: a symbolic link is judged as itself, never by what it points to.
  struct stat target {};
  if (lstat(path.c_str(), &target) != 0)
    return;
  // The rename would put a regular file in the place of a folder, a
  // device, a pipe or a socket; refuse rather than replace it.
  if (S_ISDIR(target.st_mode))
    Fail(path, Tr("同名のフォルダがあるので書き込めません"), 0);
  if (!S_ISREG(target.st_mode) && !S_ISLNK(target.st_mode))
    Fail(path, Tr("通常のファイルではないので書き込めません"), 0);
  if (existing == TExistingFile::Keep)
    RefuseTakenName(path);
}

void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes,
                     TExistingFile existing) {
  CheckWriteTarget(path, existing);

  std::filesystem::path folder = path.parent_path();
  if (folder.empty())
    folder = ".";
  // A short name of its own, whatever the length of the target's name.
  std::string temp = (folder / ".mirufo-XXXXXX").string();
  FileDescriptor fd(mkstemp(temp.data()));
  if (fd.Get() < 0)
    Fail(path, Tr("ファイルを作成できません"), errno);

  auto abandon = [&](const char* what) {
    int err = errno;
    unlink(temp.c_str());
    Fail(path, what, err);
  };

  // mkstemp creates the file private to the user; give it the mode a new file
  // would get, or keep the mode of the file it replaces.
  struct stat old {};
  mode_t mode = 0666;
  if (lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode))
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
  // Asked to stop: the finished temporary goes, the name is left as it was.
  if (InterruptSignal() != 0) {
    unlink(temp.c_str());
    ThrowIfInterrupted();
  }
  if (existing == TExistingFile::Keep) {
    try {
      MoveWithoutReplacing(temp, path);
    } catch (...) {
      unlink(temp.c_str());
      throw;
    }
  } else if (rename(temp.c_str(), path.c_str()) != 0) {
    abandon("ファイルを置き換えられません");
  }
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
  // ASCII reads the same in both encodings; most lines are nothing else.
  for (auto& line : lines)
    if (!IsAscii(line))
      line = Cp932ToUtf8(line);
  return lines;
}

std::string LinesToCp932Text(const std::vector<std::string>& lines) {
  std::size_t length = 0;
  for (const auto& line : lines)
    length += line.size() + 2;
  std::string bytes;
  bytes.reserve(length);
  for (const auto& line : lines) {
    if (IsAscii(line))
      bytes += line;
    else
      bytes += Utf8ToCp932(line);
    bytes += "\r\n";
  }
  return bytes;
}

std::vector<std::string> ReadCp932Lines(const std::filesystem::path& path) {
  return Cp932TextToLines(ReadFileBytes(path, Limits().MaxTextFileBytes));
}

void WriteCp932Lines(const std::filesystem::path& path, const std::vector<std::string>& lines,
                     TExistingFile existing) {
  WriteFileAtomic(path, LinesToCp932Text(lines), existing);
}

} // namespace mirufo
