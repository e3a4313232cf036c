// A plain main for the fuzz targets, so that the test suite replays every
// seed and every saved crash file through them without libFuzzer or clang:
// a crash that was fixed stays fixed. Arguments are files or folders (every
// file in a folder, in name order); a missing folder is skipped.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void Replay(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A copy of exactly the file's size, so that reading past the end is a
  // fault the sanitizers see.
  std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(data.empty() ? nullptr : data.data(), data.size());
}

} // namespace

int main(int argc, char** argv) {
  std::size_t count = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path = argv[i];
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::directory_iterator(path))
        if (entry.is_regular_file())
          files.push_back(entry.path());
      std::sort(files.begin(), files.end());
    } else if (std::filesystem::exists(path)) {
      files.push_back(path);
    }
    for (const auto& file : files) {
      Replay(file);
      ++count;
    }
  }
  std::printf("replayed %zu inputs\n", count);
  return 0;
}
