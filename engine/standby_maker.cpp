// The maker: targets, the source stage and the make run with its progress.
#include "engine/standby_maker.h"

#include "platform/arith.h"

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

void TStandbyMaker::Clear() {
  while (specifications_.Count() > 0)
    Delete(specifications_.Count() - 1);
  sourceStage_->FreeChildren();
}

void TStandbyMaker::SetSource(const TBitmap& bitmap) {
  sourceStage_->Bitmap = bitmap;
}

void TStandbyMaker::SetLookAt(TLookAtPoint point) {
  sourceStage_->LookAt = point;
}

void TStandbyMaker::ResetAll() {
  for (TStandbySpecification* target : specifications_)
    target->Reset();
}

void TStandbyMaker::TargetProgress(TProgressStage, std::uint8_t percent,
                                   const std::string& message) {
  // Outside a make run (a target remade by a setter) nothing is reported.
  if (toMake_ == 0 || !OnProgress)
    return;
  const std::int64_t overall =
      Div<std::int64_t>((std::int64_t{made_} * 100 + percent) * 100, std::int64_t{toMake_} * 100);
  OnProgress(this, psRunning, static_cast<std::uint8_t>(overall), false, TRect{}, message);
}

void TStandbyMaker::MakeAll() {
  cancelled_ = false;
  if (OnProgress)
    OnProgress(this, psStarting, 0, false, TRect{}, std::string());
  toMake_ = 0;
  for (TStandbySpecification* target : specifications_)
    if (!target->IsMade())
      ++toMake_;
  made_ = 0;
  // The counters go back to zero however the run ends.
  struct TRunEnd {
    TStandbyMaker& Maker;
    ~TRunEnd() { Maker.toMake_ = 0; }
  } runEnd{*this};
  for (int i = 0; i < specifications_.Count(); ++i) {
    TStandbySpecification* target = specifications_.Items(i);
    if (target->IsMade())
      continue;
    target->Make(sourceStage_.get());
    ++made_;
    if (OnMade)
      OnMade(*this, *target);
    if (ProcessMessages)
      ProcessMessages();
    if (cancelled_)
      break;
  }
  toMake_ = 0;
  if (OnProgress)
    OnProgress(this, psEnding, 100, false, TRect{}, std::string());
}

} // namespace mirufo
