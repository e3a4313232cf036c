// Fit searches and encodes of format stages computed ahead of the make run
// on other threads.
//
// A format stage's work is a pure function of its input stage's picture and
// its options: the fit search (when the target fits its file to a cache)
// finds the options, then the stage encodes at them and decodes the file
// again for the preview. While the make run builds the earlier stages of
// the targets ahead, it hands their format work here; the workers take the
// oldest work first, each on its own copy of the input picture. The run
// still finishes targets one by one in list order: a target's format stage
// takes the finished work instead of computing it, and computes it itself
// when the work was not handed out or not begun. The stage tree, the
// targets and every callback stay with the calling thread.
#pragma once

#include "engine/format_buffer.h"
#include "engine/standby_types.h"
#include "imaging/bitmap.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace mirufo {

class TEncodeAhead {
public:
  // Starts workers (at least one) that wait for work. Without previews the
  // encodes leave the preview and the encoder's picture empty.
  explicit TEncodeAhead(int workers, bool previews = true);
  // Stops the workers after their current work and waits for them; work
  // not begun is dropped.
  ~TEncodeAhead();
  TEncodeAhead(const TEncodeAhead&) = delete;
  TEncodeAhead& operator=(const TEncodeAhead&) = delete;

  // Work on the picture of the input stage with the given serial (copied
  // when no earlier work holds it). AddFit hands out the fit search from
  // start within limit bytes, followed by the encode at the options found
  // unless the input stage already has a format stage with options equal to
  // one of made, or that encode is handed out already. AddEncode hands out
  // the encode at options. Work equal to work handed out before is not
  // added again.
  void AddFit(std::uint64_t input, const TBitmap& picture, const TFormatOptions& start,
              std::int64_t limit, std::vector<TFormatOptions> made);
  void AddEncode(std::uint64_t input, const TBitmap& picture, const TFormatOptions& options);
  // The same, taking the picture over instead of copying it.
  void AddFit(std::uint64_t input, TBitmap&& picture, const TFormatOptions& start,
              std::int64_t limit, std::vector<TFormatOptions> made);
  void AddEncode(std::uint64_t input, TBitmap&& picture, const TFormatOptions& options);

  // When the fit search was handed out, waits for it (work not begun is
  // done on the calling thread, on the picture handed out with it) and
  // answers true with the options it ended with in found; its error is
  // raised here. Otherwise answers false: the caller searches itself.
  bool TakeFit(std::uint64_t input, const TFormatOptions& start, std::int64_t limit,
               TFormatOptions& found);
  // The same for the encode at options (compared as format stages are):
  // moves the result into result. Each result is handed out once.
  bool TakeEncode(std::uint64_t input, const TFormatOptions& options, TFormatResult& result);

  // Work handed out that is waiting or running.
  int Unfinished();
  // Waits until no work is waiting or running. For tests.
  void WaitUntilIdle();

private:
  enum TJobKind { jkFit, jkEncode };
  enum TJobState { jsWaiting, jsRunning, jsDone, jsGone };
  struct TJob {
    TJobKind Kind = jkFit;
    std::uint64_t Input = 0;
    std::shared_ptr<const TBitmap> Picture; // dropped once the job has run
    TFormatOptions Options;                 // fit: the start; encode: the options
    std::int64_t Limit = 0;                 // fit only
    std::vector<TFormatOptions> Made;       // fit only
    TJobState State = jsWaiting;
    TFormatOptions Found; // fit
    TFormatResult Result; // encode
    std::exception_ptr Error;
  };

  void Run();
  // Runs a waiting job with the lock released; back under the lock, stores
  // its results and, after a fit search, hands out the encode that follows.
  void RunJob(std::unique_lock<std::mutex>& lock, TJob& job);
  template <class TPicture>
  void Add(TJobKind kind, std::uint64_t input, TPicture&& picture, const TFormatOptions& options,
           std::int64_t limit, std::vector<TFormatOptions> made);
  TJob* FindFit(std::uint64_t input, const TFormatOptions& start, std::int64_t limit);
  TJob* FindEncode(std::uint64_t input, const TFormatOptions& options);
  // Runs a job not begun, or waits for a begun one; true when it is done.
  bool WaitForJob(std::unique_lock<std::mutex>& lock, TJob& job);

  const bool previews_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stop_ = false;
  std::vector<std::unique_ptr<TJob>> jobs_;
  std::vector<std::thread> workers_;
};

} // namespace mirufo
