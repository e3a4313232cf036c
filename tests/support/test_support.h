// Helpers shared by every test executable: temporary folders, whole-file
// reads and writes of raw bytes, and environment variables restored.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mirufo::test {

// A fresh folder under the system's temporary folder, removed with its
// content when the object goes.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
  std::filesystem::path path_;
};

void WriteBytes(const std::filesystem::path& path, std::string_view bytes);
std::string ReadBytes(const std::filesystem::path& path);

// Restores an environment variable to what it was when the object goes.
class EnvGuard {
public:
  explicit EnvGuard(const char* name);
  ~EnvGuard();
  EnvGuard(const EnvGuard&) = delete;
  EnvGuard& operator=(const EnvGuard&) = delete;

private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

// Sets the environment so that the program chooses Japanese, as it does for
// a user with no locale set.
void SpeakJapanese();

// The data folder that this test process was given (MIRUFO_HOME).
std::filesystem::path HomeDir();

} // namespace mirufo::test
