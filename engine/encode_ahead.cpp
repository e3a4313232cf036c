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

TEncodeAhead::TEncodeAhead(int workers, bool previews) : previews_(previews) {
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

template <class TPicture>
void TEncodeAhead::Add(TJobKind kind, std::uint64_t input, TPicture&& picture,
                       const TFormatOptions& options, std::int64_t limit,
                       std::vector<TFormatOptions> made) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (kind == jkFit ? FindFit(input, options, limit) != nullptr
                      : FindEncode(input, options) != nullptr)
      return;
    auto job = std::make_unique<TJob>();
    job->Kind = kind;
    job->Input = input;
    // Work on the same input shares one picture.
    for (const auto& other : jobs_)
      if (other->Input == input && other->Picture) {
        job->Picture = other->Picture;
        break;
      }
    if (!job->Picture)
      job->Picture = std::make_shared<const TBitmap>(std::forward<TPicture>(picture));
    job->Options = options;
    job->Limit = limit;
    job->Made = std::move(made);
    jobs_.push_back(std::move(job));
  }
  changed_.notify_all();
}

void TEncodeAhead::AddFit(std::uint64_t input, const TBitmap& picture, const TFormatOptions& start,
                          std::int64_t limit, std::vector<TFormatOptions> made) {
  Add(jkFit, input, picture, start, limit, std::move(made));
}

void TEncodeAhead::AddFit(std::uint64_t input, TBitmap&& picture, const TFormatOptions& start,
                          std::int64_t limit, std::vector<TFormatOptions> made) {
  Add(jkFit, input, std::move(picture), start, limit, std::move(made));
}

void TEncodeAhead::AddEncode(std::uint64_t input, const TBitmap& picture,
                             const TFormatOptions& options) {
  Add(jkEncode, input, picture, options, 0, {});
}

void TEncodeAhead::AddEncode(std::uint64_t input, TBitmap&& picture,
                             const TFormatOptions& options) {
  Add(jkEncode, input, std::move(picture), options, 0, {});
}

bool TEncodeAhead::WaitForJob(std::unique_lock<std::mutex>& lock, TJob& job) {
  // Work not begun is done here rather than given up: it holds the picture,
  // which its stage may no longer have.
  if (job.State == jsWaiting)
    RunJob(lock, job);
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

void TEncodeAhead::RunJob(std::unique_lock<std::mutex>& lock, TJob& job) {
  job.State = jsRunning;
  // The job's fields other than its state and results are fixed once it
  // is added, so the work reads them without the lock.
  std::shared_ptr<const TBitmap> picture = job.Picture;
  lock.unlock();
  TFormatOptions found = job.Options;
  TFormatResult result;
  std::exception_ptr error;
  try {
    if (job.Kind == jkFit) {
      std::unique_ptr<TBitmap> reduced;
      std::unique_ptr<TEncodedGraphic> graphic;
      std::int32_t size = 0;
      EncodeImage(*picture, reduced, graphic, job.Limit, job.Options.Copyright, job.Options.Comment,
                  found, size);
    } else {
      result = MakeFormatResult(*picture, job.Options, previews_);
    }
  } catch (...) {
    error = std::current_exception();
  }
  lock.lock();
  job.State = jsDone;
  job.Error = error;
  job.Found = found;
  job.Result = std::move(result);
  job.Picture.reset();
  // The encode at the options found follows, unless the input stage has
  // that format stage or its encode is handed out. It is added in the same
  // step as the search's end, so that a format stage made right after the
  // search finds it, and next to the search, so that it is the next work
  // begun.
  if (job.Kind == jkFit && !error && !stop_) {
    TFormatOptions options = found;
    options.AutoFit = false;
    const bool made = std::any_of(job.Made.begin(), job.Made.end(),
                                  [&](const auto& other) { return SameEncode(other, options); });
    if (!made && !FindEncode(job.Input, options)) {
      auto encode = std::make_unique<TJob>();
      encode->Kind = jkEncode;
      encode->Input = job.Input;
      encode->Options = options;
      encode->Picture = std::move(picture);
      const auto at = std::find_if(jobs_.begin(), jobs_.end(),
                                   [&](const auto& candidate) { return candidate.get() == &job; });
      jobs_.insert(at + 1, std::move(encode));
    }
  }
  changed_.notify_all();
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
    RunJob(lock, *job);
  }
}

} // namespace mirufo
