// Ending a pool of worker threads that wait on one condition: the shared
// stop flag is set under the pool's lock, every waiting worker is woken, and
// each one is joined. Used when a pool is destroyed and when one of its
// threads could not start.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace mirufo {

inline void StopWorkers(std::mutex& mutex, bool& stop, std::condition_variable& changed,
                        std::vector<std::thread>& workers) {
  {
    std::lock_guard<std::mutex> lock(mutex);
    stop = true;
  }
  changed.notify_all();
  for (std::thread& worker : workers)
    worker.join();
}

} // namespace mirufo
