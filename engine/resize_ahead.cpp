// The worker that resizes the source ahead of the make run.
#include "engine/resize_ahead.h"

#include "engine/stop_workers.h"
#include "imaging/progress.h"
#include "imaging/resize.h"

#include <algorithm>

namespace mirufo {

bool ResizeForStage(const TBitmap& input, const TResizeParams& params, TBitmap& result) {
  if (params.Width == input.Width() && params.Height == input.Height()) {
    result = input;
    return true;
  }
  result.SetPixelFormat(pf24bit);
  const TProgressInfo info = MakeProgressInfo(nullptr, "サイズ変更", nullptr);
  return ResizeBitmap(input, result, params.Width, params.Height, params.Fast ? rsNearest : rsAuto,
                      info);
}

TResizeAhead::TResizeAhead(const TBitmap& source, std::vector<TResizeParams> plan, int workers,
                           int maxReady)
    : source_(source), maxReady_(maxReady) {
  for (TResizeParams& params : plan)
    jobs_.push_back(TJob{params, jsWaiting, TBitmap()});
  const int count = std::max(workers, 1);
  workers_.reserve(static_cast<std::size_t>(count));
  try {
    for (int i = 0; i < count; ++i) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        ++running_;
      }
      workers_.emplace_back([this] { Run(); });
    }
  } catch (...) {
    // A thread that could not start: the ones started stop before the
    // object they use is gone.
    {
      std::lock_guard<std::mutex> lock(mutex_);
      --running_;
    }
    StopWorkers(mutex_, stop_, changed_, workers_);
    throw;
  }
}

TResizeAhead::~TResizeAhead() {
  StopWorkers(mutex_, stop_, changed_, workers_);
}

void TResizeAhead::Run() {
  RunJobs();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    --running_;
  }
  changed_.notify_all();
}

void TResizeAhead::WaitForWorker() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return running_ == 0; });
}

void TResizeAhead::RunJobs() {
  for (;;) {
    TJob* job = nullptr;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (maxReady_ > 0)
        changed_.wait(lock, [&] {
          return stop_ || std::count_if(jobs_.begin(), jobs_.end(), [](const TJob& j) {
                            return j.State == jsDone || j.State == jsRunning;
                          }) < maxReady_;
        });
      if (stop_)
        return;
      // From the end of the plan: the make run starts at the front, so the
      // threads share the work and meet in the middle. Bounded, from the
      // front, just ahead of the run.
      if (maxReady_ > 0) {
        for (TJob& candidate : jobs_)
          if (candidate.State == jsWaiting) {
            job = &candidate;
            break;
          }
      } else {
        for (auto it = jobs_.rbegin(); it != jobs_.rend(); ++it)
          if (it->State == jsWaiting) {
            job = &*it;
            break;
          }
      }
      if (!job)
        return;
      job->State = jsRunning;
    }
    // The job is ours alone while it runs: Take only waits for it.
    TBitmap result;
    bool ok = false;
    try {
      ok = ResizeForStage(source_, job->Params, result);
    } catch (...) {
      ok = false; // the stage computes it again and reports the error itself
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      job->Result = std::move(result);
      job->State = ok ? jsDone : jsFailed;
    }
    changed_.notify_all();
  }
}

bool TResizeAhead::Take(const TResizeParams& params, TBitmap& bitmap) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (TJob& job : jobs_) {
    if (job.State == jsGone || job.Params != params)
      continue;
    changed_.wait(lock, [&] { return job.State != jsRunning; });
    const bool ready = job.State == jsDone;
    if (ready)
      bitmap = std::move(job.Result);
    job.Result = TBitmap();
    job.State = jsGone;
    lock.unlock();
    changed_.notify_all();
    return ready;
  }
  return false;
}

} // namespace mirufo
