// The workers that run format stages' fit searches and encodes ahead of the
// make run.
#include "engine/encode_ahead.h"

#include "engine/image_buffer_node.h"
#include "engine/stop_workers.h"

#include <algorithm>

namespace mirufo {
namespace {

bool SameEncode(const TFormatOptions& a, const TFormatOptions& b) {
  return TFormatParams{a} == TFormatParams{b};
}

} // namespace

TEncodeAhead::TEncodeAhead(int workers) {
  const int count = std::max(workers, 1);
  workers_.reserve(static_cast<std::size_t>(count));
  try {
    for (int i = 0; i < count; ++i)
      workers_.emplace_back([this] { Run(); });
  } catch (...) {
    // A thread that could not start: the ones started stop before the
    // object they use is gone.
    StopWorkers(mutex_, stop_, changed_, workers_);
    throw;
  }
}

TEncodeAhead::~TEncodeAhead() {
  StopWorkers(mutex_, stop_, changed_, workers_);
}

std::shared_ptr<const TBitmap> TEncodeAhead::SharedPicture(std::uint64_t input,
                                                           const TBitmap& picture) {
  for (const auto& job : jobs_)
    if (job->Input == input && job->Picture)
      return job->Picture;
  return std::make_shared<const TBitmap>(picture);
}

TEncodeAhead::TJob* TEncodeAhead::FindFit(std::uint64_t input, const TFormatOptions& start,
                                          std::int64_t limit) {
  for (const auto& job : jobs_)
    if (job->Kind == jkFit && job->Input == input && job->Limit == limit && job->Options == start)
      return job.get();
  return nullptr;
}

TEncodeAhead::TJob* TEncodeAhead::FindEncode(std::uint64_t input, const TFormatOptions& options) {
  for (const auto& job : jobs_)
    if (job->Kind == jkEncode && job->Input == input && SameEncode(job->Options, options))
      return job.get();
  return nullptr;
}

void TEncodeAhead::AddFit(std::uint64_t input, const TBitmap& picture, const TFormatOptions& start,
                          std::int64_t limit, std::vector<TFormatOptions> made) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (FindFit(input, start, limit))
      return;
    auto job = std::make_unique<TJob>();
    job->Kind = jkFit;
    job->Input = input;
    job->Picture = SharedPicture(input, picture);
    job->Options = start;
    job->Limit = limit;
    job->Made = std::move(made);
    jobs_.push_back(std::move(job));
  }
  changed_.notify_all();
}

void TEncodeAhead::AddEncode(std::uint64_t input, const TBitmap& picture,
                             const TFormatOptions& options) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (FindEncode(input, options))
      return;
    auto job = std::make_unique<TJob>();
    job->Kind = jkEncode;
    job->Input = input;
    job->Picture = SharedPicture(input, picture);
    job->Options = options;
    jobs_.push_back(std::move(job));
  }
  changed_.notify_all();
}

bool TEncodeAhead::WaitForJob(std::unique_lock<std::mutex>& lock, TJob& job) {
  if (job.State == jsWaiting) {
    job.State = jsGone;
    job.Picture.reset();
    changed_.notify_all();
    return false;
  }
  changed_.wait(lock, [&] { return job.State != jsRunning; });
  return job.State == jsDone;
}

bool TEncodeAhead::TakeFit(std::uint64_t input, const TFormatOptions& start, std::int64_t limit,
                           TFormatOptions& found) {
  std::unique_lock<std::mutex> lock(mutex_);
  TJob* job = FindFit(input, start, limit);
  if (!job || !WaitForJob(lock, *job))
    return false;
  if (job->Error)
    std::rethrow_exception(job->Error);
  found = job->Found;
  return true;
}

bool TEncodeAhead::TakeEncode(std::uint64_t input, const TFormatOptions& options,
                              TFormatResult& result) {
  std::unique_lock<std::mutex> lock(mutex_);
  TJob* job = FindEncode(input, options);
  if (!job || !WaitForJob(lock, *job))
    return false;
  // Handed out once: the stage made from it is in the tree from now on.
  job->State = jsGone;
  if (job->Error)
    std::rethrow_exception(job->Error);
  result = std::move(job->Result);
  return true;
}

int TEncodeAhead::Unfinished() {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(std::count_if(jobs_.begin(), jobs_.end(), [](const auto& job) {
    return job->State == jsWaiting || job->State == jsRunning;
  }));
}

void TEncodeAhead::WaitUntilIdle() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] {
    return std::none_of(jobs_.begin(), jobs_.end(), [](const auto& job) {
      return job->State == jsWaiting || job->State == jsRunning;
    });
  });
}

void TEncodeAhead::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    // The oldest work first: the make run finishes targets in list order.
    TJob* job = nullptr;
    changed_.wait(lock, [&] {
      if (stop_)
        return true;
      for (const auto& candidate : jobs_)
        if (candidate->State == jsWaiting) {
          job = candidate.get();
          return true;
        }
      return false;
    });
    if (stop_)
      return;
    job->State = jsRunning;
    // The job's fields other than its state and results are fixed once it
    // is added, so the work reads them without the lock.
    std::shared_ptr<const TBitmap> picture = job->Picture;
    lock.unlock();
    TFormatOptions found = job->Options;
    TFormatResult result;
    std::exception_ptr error;
    try {
      if (job->Kind == jkFit) {
        std::unique_ptr<TBitmap> reduced;
        std::unique_ptr<TEncodedGraphic> graphic;
        std::int32_t size = 0;
        EncodeImage(*picture, reduced, graphic, job->Limit, job->Options.Copyright,
                    job->Options.Comment, found, size);
      } else {
        result = MakeFormatResult(*picture, job->Options);
      }
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    job->State = jsDone;
    job->Error = error;
    job->Found = found;
    job->Result = std::move(result);
    job->Picture.reset();
    // The encode at the options found follows on this worker, unless the
    // input stage has that format stage or its encode is handed out. It is
    // added in the same step as the search's end, so that a format stage
    // made right after the search finds it.
    TJob* next = nullptr;
    if (job->Kind == jkFit && !error && !stop_) {
      TFormatOptions options = found;
      options.AutoFit = false;
      const bool made = std::any_of(job->Made.begin(), job->Made.end(),
                                    [&](const auto& other) { return SameEncode(other, options); });
      if (!made && !FindEncode(job->Input, options)) {
        auto encode = std::make_unique<TJob>();
        encode->Kind = jkEncode;
        encode->Input = job->Input;
        encode->Options = options;
        encode->State = jsRunning;
        next = encode.get();
        jobs_.push_back(std::move(encode));
      }
    }
    changed_.notify_all();
    if (!next)
      continue;
    lock.unlock();
    error = nullptr;
    try {
      result = MakeFormatResult(*picture, next->Options);
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    next->State = jsDone;
    next->Error = error;
    next->Result = std::move(result);
    changed_.notify_all();
  }
}

} // namespace mirufo
