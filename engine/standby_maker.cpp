// The maker: targets, the source stage and the make run with its progress.
#include "engine/standby_maker.h"

#include "imaging/subject_point.h"
#include "platform/arith.h"
#include "platform/errors.h"

#include <algorithm>
#include <thread>
#include <unordered_set>

namespace mirufo {

TStandbyMaker::TStandbyMaker() : sourceStage_(std::make_unique<TImageBufferNode>()) {}

TStandbyMaker::~TStandbyMaker() {
  Clear();
}

int TStandbyMaker::AddSpecification(const TTanmatsuRecord& record) {
  auto target = std::make_unique<TStandbySpecification>(sourceStage_.get());
  target->InitFromHandset(record);
  target->OnProgress = [this](const void*, TProgressStage stage, std::uint8_t percent, bool,
                              const TRect&, const std::string& message) {
    TargetProgress(stage, percent, message);
  };
  int index = specifications_.Add(target.get());
  target.release();
  return index;
}

void TStandbyMaker::Delete(int index) {
  TStandbySpecification* target = specifications_.Items(index);
  specifications_.Delete(index);
  delete target;
}

void TStandbyMaker::DeleteTargets(const std::vector<TStandbySpecification*>& targets) {
  if (targets.empty())
    return;
  const std::unordered_set<const TStandbySpecification*> gone(targets.begin(), targets.end());
  std::vector<TStandbySpecification*> kept, freed;
  for (TStandbySpecification* target : specifications_)
    (gone.contains(target) ? freed : kept).push_back(target);
  specifications_.Clear();
  for (TStandbySpecification* target : kept)
    specifications_.Add(target);
  for (TStandbySpecification* target : freed)
    delete target;
}

void TStandbyMaker::Clear() {
  while (specifications_.Count() > 0)
    Delete(specifications_.Count() - 1);
  sourceStage_->FreeChildren();
}

void TStandbyMaker::SetSource(const TBitmap& bitmap) {
  StopResizeAhead();
  DropMadeAhead(nullptr);
  sourceStage_->Bitmap = bitmap;
  ResetAll();
}

void TStandbyMaker::SetSource(TBitmap&& bitmap) {
  StopResizeAhead();
  DropMadeAhead(nullptr);
  sourceStage_->Bitmap = std::move(bitmap);
  ResetAll();
}

void TStandbyMaker::SetLookAt(TLookAtPoint point) {
  if (point == sourceStage_->LookAt)
    return;
  sourceStage_->LookAt = point;
  ResetAll();
}

TLookAtPoint TStandbyMaker::SubjectLookAt() const {
  const TSubjectPoint point = FindSubjectPoint(sourceStage_->Bitmap, RunThreads());
  return {point.X, point.Y};
}

void TStandbyMaker::ResetAll() {
  for (TStandbySpecification* target : specifications_)
    target->Reset();
}

void TStandbyMaker::TargetProgress(TProgressStage, std::uint8_t percent,
                                   const std::string& message) {
  // Outside a make run (a target remade by a setter) nothing is reported,
  // nor for stages made ahead: the target reports them again, in order, when
  // its turn comes and it finds them made.
  if (toMake_ == 0 || !OnProgress || makingAhead_)
    return;
  const std::int64_t overall =
      Div<std::int64_t>((std::int64_t{made_} * 100 + percent) * 100, std::int64_t{toMake_} * 100);
  OnProgress(this, psRunning, static_cast<std::uint8_t>(overall), false, TRect{}, message);
}

int TStandbyMaker::RunThreads() const {
  if (Threads > 0)
    return Threads;
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

void TStandbyMaker::StartResizeAhead(int threads) {
  // The calling thread makes targets on one hardware thread; the others
  // resize ahead.
  const int workers = threads - 1;
  if (workers < 1)
    return;
  const TBitmap& source = sourceStage_->Bitmap;
  std::vector<TResizeParams> plan;
  for (TStandbySpecification* target : specifications_) {
    TResizeParams params;
    if (target->IsMade() || !target->PlannedResize(source, params))
      continue;
    // A copy at the same size costs nothing worth sharing out.
    if (params.Width == source.Width() && params.Height == source.Height())
      continue;
    if (std::find(plan.begin(), plan.end(), params) != plan.end() ||
        std::any_of(
            sourceStage_->Children().begin(), sourceStage_->Children().end(),
            [&](const TImageBufferNode* child) { return child->Params() == TStageParams(params); }))
      continue;
    plan.push_back(params);
  }
  if (plan.size() < 2)
    return;
  // No more workers than sizes to make.
  const int useful = static_cast<int>(std::min(plan.size(), static_cast<std::size_t>(workers)));
  resizeAhead_ =
      std::make_unique<TResizeAhead>(source, std::move(plan), useful, KeepPictures ? 0 : useful);
  sourceStage_->ResizeAhead = resizeAhead_.get();
}

void TStandbyMaker::StopResizeAhead() {
  sourceStage_->ResizeAhead = nullptr;
  resizeAhead_.reset();
}

void TStandbyMaker::DropMadeAhead(const TStandbySpecification* keep) {
  // The callbacks may have deleted some of them: only targets still in the
  // list are looked at.
  for (TStandbySpecification* target : madeAhead_)
    if (target != keep && IndexOf(target) >= 0 && !target->IsMade())
      target->Reset();
  madeAhead_.clear();
  aheadEnd_ = 0;
}

void TStandbyMaker::MakeAhead(int index) {
  // Enough work for every worker to have the next piece at hand, and a
  // bound on the targets ahead, so that little is made ahead of a cancel.
  // A run that keeps only the files holds little ahead: each target ahead
  // holds a picture of its screen.
  const bool lean = !KeepPictures;
  const int maxWork = lean ? encodeWorkers_ : 2 * encodeWorkers_;
  const int maxTargets = lean ? encodeWorkers_ + 1 : 4 * encodeWorkers_;
  struct TAheadEnd {
    bool& Flag;
    ~TAheadEnd() { Flag = false; }
  } aheadEnd{makingAhead_};
  makingAhead_ = true;
  // At most two targets a turn: the window fills up over the first turns,
  // so the first target is not kept waiting for the stages of a window.
  int k = std::max(aheadEnd_, index);
  const int stop = std::min({specifications_.Count(), index + maxTargets, k + 2});
  for (; k < stop && encodeAhead_->Unfinished() < maxWork; ++k) {
    TStandbySpecification* target = specifications_.Items(k);
    if (target->IsMade())
      continue;
    madeAhead_.push_back(target);
    try {
      target->MakeBeforeFormat(sourceStage_.get());
    } catch (...) {
      // The target meets the same error again when its turn comes, and
      // the run ends there.
      continue;
    }
    TImageBufferNode& input = *target->Stages(skDecorate);
    // Pixels given to earlier work: the target encodes itself on its turn.
    if (input.PixelsDropped())
      continue;
    TFormatOptions options;
    const std::int64_t limit = target->FormatStart(input, options);
    if (limit > 0) {
      std::vector<TFormatOptions> made;
      for (const TImageBufferNode* child : input.Children())
        made.push_back(child->ParamsOf<TFormatParams>().Format);
      if (lean)
        encodeAhead_->AddFit(input.Serial(), input.TakePixels(), options, limit, std::move(made));
      else
        encodeAhead_->AddFit(input.Serial(), input.Bitmap, options, limit, std::move(made));
      target->DropUnneededPixels();
      continue;
    }
    TFormatParams params{options};
    params.Format.AutoFit = false;
    const TStageParams key = params;
    if (std::none_of(input.Children().begin(), input.Children().end(),
                     [&](const TImageBufferNode* child) { return child->Params() == key; })) {
      if (lean && input.Users().Count() == 1)
        encodeAhead_->AddEncode(input.Serial(), input.TakePixels(), params.Format);
      else
        encodeAhead_->AddEncode(input.Serial(), input.Bitmap, params.Format);
    }
    target->DropUnneededPixels();
  }
  aheadEnd_ = k;
}

void TStandbyMaker::MakeAll() {
  // A run started from inside a run (through the event loop) would make the
  // same targets twice; the running one carries on instead.
  if (running_)
    return;
  cancelled_ = false;
  if (OnProgress)
    OnProgress(this, psStarting, 0, false, TRect{}, std::string());
  toMake_ = 0;
  for (TStandbySpecification* target : specifications_) {
    // Decorators edited since a target was made: it is made again from its
    // decorate stage, whoever changed them.
    if (target->DecorationsStale())
      target->ReleaseFrom(skDecorate);
    if (!target->IsMade())
      ++toMake_;
  }
  made_ = 0;
  sourceStage_->KeepPictures = KeepPictures;
  sourceStage_->PendingResizes.clear();
  if (!KeepPictures)
    for (TStandbySpecification* target : specifications_) {
      TResizeParams params;
      if (target->IsMade() || !target->PlannedResize(sourceStage_->Bitmap, params))
        continue;
      auto& pending = sourceStage_->PendingResizes;
      auto known = std::find_if(pending.begin(), pending.end(),
                                [&](const auto& row) { return row.first == params; });
      if (known == pending.end())
        pending.emplace_back(params, 1);
      else
        ++known->second;
    }
  // However the run ends: the counters go back to zero, the workers stop,
  // and targets left unmade give back the stages made ahead for them (the
  // one whose error ended the run keeps the stages it made, as a target made
  // on its own does).
  TStandbySpecification* current = nullptr;
  struct TRunEnd {
    TStandbyMaker& Maker;
    TStandbySpecification*& Current;
    ~TRunEnd() {
      Maker.toMake_ = 0;
      Maker.running_ = false;
      Maker.sourceStage_->EncodeAhead = nullptr;
      Maker.sourceStage_->PendingResizes.clear();
      Maker.encodeAhead_.reset();
      Maker.StopResizeAhead();
      Maker.DropMadeAhead(Current);
    }
  } runEnd{*this, current};
  running_ = true;
  const int threads = RunThreads();
  if (toMake_ > 1 && threads > 1) {
    StartResizeAhead(threads);
    // The calling thread waits whenever the work of the target it finishes
    // is not done, so every hardware thread gets an encode worker.
    encodeWorkers_ = threads;
    encodeAhead_ = std::make_unique<TEncodeAhead>(encodeWorkers_, KeepPictures);
    sourceStage_->EncodeAhead = encodeAhead_.get();
  }
  for (int i = 0; i < specifications_.Count(); ++i) {
    TStandbySpecification* target = specifications_.Items(i);
    if (target->IsMade())
      continue;
    current = target;
    if (encodeAhead_)
      MakeAhead(i);
    try {
      target->Make(sourceStage_.get());
    } catch (const EMirufoError& e) {
      if (!KeepGoing)
        throw;
      target->SetMakeError(e.what());
    }
    target->DropUnneededPixels();
    ++made_;
    if (OnMade)
      OnMade(*this, *target);
    if (ProcessMessages)
      ProcessMessages();
    if (cancelled_)
      break;
    // The event loop may have deleted targets; go on after this one, or at
    // its old place when it is gone.
    const int at = specifications_.IndexOf(target);
    i = at >= 0 ? at : i - 1;
  }
  current = nullptr;
  toMake_ = 0;
  if (OnProgress)
    OnProgress(this, psEnding, 100, false, TRect{}, std::string());
}

} // namespace mirufo
