#include "output/standby_session.h"

#include "catalogue/tanmatsu_list.h"
#include "platform/errors.h"
#include "platform/ini_file.h"
#include "platform/translate.h"

#include <utility>

namespace mirufo {
namespace {

std::string DefaultComment() {
  return std::string("powered by ") + kApplicationTitle;
}

} // namespace

std::string FrameTitle(std::string_view title, std::string_view caption) {
  std::string text(title);
  if (!caption.empty()) {
    text += " - ";
    text += caption;
  }
  return text;
}

bool CanGoBack(int current) {
  return current > 0;
}

bool CanGoForward(int current, int pageCount, bool pageCanGoNext) {
  return current >= 0 && current + 1 < pageCount && pageCanGoNext;
}

TStandbySession::TStandbySession() : comment_(DefaultComment()) {
  decorators_.Add(&calendar_);
}

// The working set goes first (a member declared first is destroyed last, so
// empty it here): its targets refer to the decorator list.
TStandbySession::~TStandbySession() {
  workingSet_.ClearHandsets();
}

void TStandbySession::LoadBuiltIn() {
  TTanmatsuList list;
  list.LoadBuiltIn();
  workingSet_.MergeList(list, false);
}

void TStandbySession::LoadSettings(const TIniFile& file) {
  sourceFileName_ = file.ReadString("SourceImage", "FileName", "");
  calendar_.LoadFromIni(file, "Standby", "Calendar");
  comment_ = file.ReadString("Standby", "Comment", DefaultComment());
  copyright_ = file.ReadBool("Standby", "KDDICopyright", true);
  bestFit_ = file.ReadBool("Standby", "BestFit", false);
  TStandbyMaker& maker = workingSet_.Maker();
  for (int t = 0; t < maker.Count(); ++t)
    ApplyTargetSettings(maker.Items(t));
}

void TStandbySession::SaveSettings(TIniFile& file) const {
  file.WriteString("SourceImage", "FileName", sourceFileName_);
  calendar_.SaveToIni(file, "Standby", "Calendar");
  file.WriteString("Standby", "Comment", comment_);
  file.WriteBool("Standby", "KDDICopyright", copyright_);
  file.WriteBool("Standby", "BestFit", bestFit_);
}

void TStandbySession::SetComment(std::string text) {
  comment_ = std::move(text);
  TStandbyMaker& maker = workingSet_.Maker();
  for (int t = 0; t < maker.Count(); ++t) {
    TFormatOptions options = maker.Items(t)->FormatOptions();
    options.Comment = comment_;
    maker.Items(t)->SetFormatOptions(options);
  }
}

void TStandbySession::SetKDDICopyright(bool flag) {
  copyright_ = flag;
  TStandbyMaker& maker = workingSet_.Maker();
  for (int t = 0; t < maker.Count(); ++t) {
    TFormatOptions options = maker.Items(t)->FormatOptions();
    options.Copyright = copyright_;
    maker.Items(t)->SetFormatOptions(options);
  }
}

void TStandbySession::ApplyTargetSettings(TStandbySpecification* target) {
  if (target == nullptr)
    return;
  target->SetDecorators(&decorators_);
  TFormatOptions options = target->FormatOptions();
  options.Comment = comment_; // the target cuts it to 255 CP932 bytes
  options.Copyright = copyright_;
  options.BestFit = bestFit_;
  target->SetFormatOptions(options);
}

void TStandbySession::RedecorateAll() {
  TStandbyMaker& maker = workingSet_.Maker();
  for (int t = 0; t < maker.Count(); ++t)
    maker.Items(t)->ReleaseFrom(skDecorate);
  for (int t = 0; t < maker.Count(); ++t)
    maker.Items(t)->Redecorate();
}

void TStandbySession::ForEachHooks(const std::function<void(TSessionHooks&)>& call) {
  // A copy: a hook may not add pages, but it must not invalidate the walk.
  const std::vector<TSessionHooks*> hooks = hooks_;
  for (TSessionHooks* h : hooks)
    call(*h);
}

void TStandbySession::ChangeSelection(std::size_t index, bool on) {
  workingSet_.SetSelected(index, on);
  ApplyTargetSettings(workingSet_.TargetOf(index));
}

void TStandbySession::SelectHandset(std::size_t index, bool on) {
  if (making_)
    return;
  ChangeSelection(index, on);
  ForEachHooks([&](TSessionHooks& h) {
    h.SelectionChanged(index, on);
    h.SelectionUpdated();
  });
}

void TStandbySession::SelectHandsets(const std::vector<std::size_t>& indices, bool on) {
  if (making_)
    return;
  for (std::size_t index : indices) {
    ChangeSelection(index, on);
    ForEachHooks([&](TSessionHooks& h) { h.SelectionChanged(index, on); });
  }
  ForEachHooks([](TSessionHooks& h) { h.SelectionUpdated(); });
}

void TStandbySession::ApplySelection(const std::vector<bool>& ticks) {
  if (making_)
    return;
  for (std::size_t i = 0; i < workingSet_.HandsetCount(); ++i) {
    const bool on = i < ticks.size() && ticks[i];
    ChangeSelection(i, on);
    ForEachHooks([&](TSessionHooks& h) { h.SelectionChanged(i, on); });
  }
  ForEachHooks([](TSessionHooks& h) { h.SelectionUpdated(); });
}

bool TStandbySession::IsSourceEmpty() const {
  return SourceBitmap().Empty();
}

void TStandbySession::SetSourceImage(const TBitmap& bitmap) {
  if (making_)
    return;
  workingSet_.Maker().SetSource(bitmap);
  ForEachHooks([](TSessionHooks& h) { h.SourceImageChanged(); });
}

void TStandbySession::SetLookAtPoint(TLookAtPoint point) {
  if (making_)
    return;
  workingSet_.Maker().SetLookAt(point);
  ForEachHooks([](TSessionHooks& h) { h.SourceImageChanged(); });
}

std::optional<TMakeRefusal> TStandbySession::CheckMakeAll() const {
  if (IsSourceEmpty())
    return TMakeRefusal{"元画像が用意されていません", N_("すいません")};
  if (workingSet_.TargetCount() == 0)
    return TMakeRefusal{"作成する待受画像がありません", N_("そりゃ失礼")};
  return std::nullopt;
}

void TStandbySession::MakeAll(
    const std::function<void(int percent, const std::string& message)>& progress,
    const std::function<void()>& processMessages) {
  if (making_)
    return;
  TStandbyMaker& maker = workingSet_.Maker();
  // The handlers and the running flag go away however the run ends.
  struct TRunEnd {
    TStandbySession& Session;
    TStandbyMaker& Maker;
    ~TRunEnd() {
      Maker.OnProgress = nullptr;
      Maker.OnMade = nullptr;
      Maker.ProcessMessages = nullptr;
      Session.making_ = false;
    }
  } runEnd{*this, maker};
  making_ = true;
  maker.OnProgress = [&progress](const void*, TProgressStage, std::uint8_t percent, bool,
                                 const TRect&, const std::string& message) {
    if (progress)
      progress(percent, message);
  };
  maker.OnMade = [this](TStandbyMaker&, TStandbySpecification& target) {
    const int index = workingSet_.IndexOfTarget(&target);
    ForEachHooks([index](TSessionHooks& h) { h.TargetMade(index); });
  };
  maker.ProcessMessages = processMessages;
  // A target that cannot be made keeps its error for its box; the run goes
  // on with the others.
  maker.KeepGoing = true;
  maker.MakeAll();
  // After the run, one error tells of every target it could not make.
  std::string errors;
  for (int t = 0; t < maker.Count(); ++t)
    if (const std::string& error = maker.Items(t)->MakeError(); !error.empty())
      errors += (errors.empty() ? "" : "\n") + error;
  if (!errors.empty())
    throw EMirufoError(errors);
}

} // namespace mirufo
