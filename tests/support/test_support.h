// Helpers shared by every test executable: temporary folders and whole-file
// reads and writes of raw bytes.
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

// The data folder that this test process was given (MIRUFO_HOME).
std::filesystem::path HomeDir();

} // namespace mirufo::test
