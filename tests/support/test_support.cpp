#include "test_support.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace mirufo::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "mirufo-test-XXXXXX").string();
  if (!mkdtemp(pattern.data()))
    throw std::runtime_error("cannot create a temporary folder");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out)
    throw std::runtime_error("cannot write " + path.string());
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw std::runtime_error("cannot read " + path.string());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void SpeakJapanese() {
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
    unsetenv(name);
  setenv("LANG", "C.UTF-8", 1);
}

std::filesystem::path HomeDir() {
  const char* home = std::getenv("MIRUFO_HOME");
  return home ? std::filesystem::path(home) : std::filesystem::path();
}

EnvGuard::EnvGuard(const char* name) : name_(name) {
  const char* value = std::getenv(name);
  had_ = value != nullptr;
  if (had_)
    old_ = value;
}

EnvGuard::~EnvGuard() {
  if (had_)
    setenv(name_, old_.c_str(), 1);
  else
    unsetenv(name_);
}

} // namespace mirufo::test
