// A named pipe for tests of code that must refuse one. Code that wrongly
// opens it for reading would wait forever for a writer; while this object
// lives, a thread plays that writer (opens the pipe and closes it at once), so
// such code reads an empty file and the test fails instead of hanging.
#pragma once

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace mirufo::test {

class TTestFifo {
public:
  explicit TTestFifo(std::filesystem::path path) : path_(std::move(path)) {
    created_ = mkfifo(path_.c_str(), 0600) == 0;
    thread_ = std::thread([this] {
      while (!stop_) {
        // Succeeds only while a reader has the pipe open (or waits in open).
        int fd = open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0)
          close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    });
  }
  ~TTestFifo() {
    stop_ = true;
    thread_.join();
  }
  TTestFifo(const TTestFifo&) = delete;
  TTestFifo& operator=(const TTestFifo&) = delete;

  bool Created() const { return created_; }
  const std::filesystem::path& Path() const { return path_; }

private:
  std::filesystem::path path_;
  bool created_ = false;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

} // namespace mirufo::test
