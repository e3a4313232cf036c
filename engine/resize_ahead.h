// Resizes computed ahead of the make run on a second thread.
//
// Resizing the source picture is the largest share of a make run, and the
// sizes the run will need are known before it starts. While the run makes
// one target after another, a worker thread resizes the source, which both
// threads only read, to the sizes that later targets will ask for. A resize stage takes
// the worker's result when it is ready or nearly so and otherwise computes
// its own; both call the same resampling on the same pixels, so the stage's
// bitmap is the same byte for byte whichever thread made it.
#pragma once

#include "engine/image_buffer_node.h"
#include "imaging/bitmap.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace mirufo {

class TResizeAhead {
public:
  // Starts workers (at least one) resizing source to each planned size,
  // from the last one back, each taking the next size not begun. The workers
  // read source in place: it must stay alive and unchanged until this object
  // is destroyed.
  // With maxReady above 0 the workers go from the front instead, just
  // ahead of the run, and hold at most that many finished results not yet
  // taken (a run that keeps little in memory).
  TResizeAhead(const TBitmap& source, std::vector<TResizeParams> plan, int workers = 1,
               int maxReady = 0);
  // Stops the workers after their current resizes and waits for them.
  ~TResizeAhead();
  TResizeAhead(const TResizeAhead&) = delete;
  TResizeAhead& operator=(const TResizeAhead&) = delete;

  // When the worker has finished or is computing the resize of params, waits
  // for it, moves the result into bitmap and answers true. Otherwise (not
  // planned, not begun, or failed) answers false, and the worker will not
  // begin it any more: the caller computes it itself.
  bool Take(const TResizeParams& params, TBitmap& bitmap);

  // Waits until every worker has left its loop: every planned resize is
  // done, failed or given up. For tests and benchmarks, which need to know
  // that every result the workers will deliver is there.
  void WaitForWorker();

private:
  enum TJobState { jsWaiting, jsRunning, jsDone, jsFailed, jsGone };
  struct TJob {
    TResizeParams Params;
    TJobState State = jsWaiting;
    TBitmap Result;
  };

  void Run();
  void RunJobs();

  const TBitmap& source_;
  const int maxReady_;
  std::vector<TJob> jobs_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stop_ = false;
  int running_ = 0; // workers still in their loop
  std::vector<std::thread> workers_;
};

// Resizes input as the resize stage does: an exact copy at the same size,
// otherwise the quality or the fast method. False when the resampling
// refused the picture.
bool ResizeForStage(const TBitmap& input, const TResizeParams& params, TBitmap& result);

} // namespace mirufo
