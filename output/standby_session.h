// What the desktop program's main window owns and does apart from drawing:
// the working set, the calendar overlay and the decorator list, the source
// file name, the comment and the copyright flag that every target carries;
// the main window's settings keys; the selection, source and make services
// the pages call, with the order in which the pages hear of each change; and
// the rules of the page buttons.
//
// The pages listen through TSessionHooks, registered in page order.
#pragma once

#include "engine/calendar_decorator.h"
#include "engine/standby_image_decorator.h"
#include "engine/standby_types.h"
#include "output/tanmatsu_option_list.h"
#include "platform/translate.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirufo {

class TIniFile;

// The application title, as the windows show it (through Tr) and as the
// default comment embeds it (untranslated).
inline constexpr const char* kApplicationTitle = N_("ミルフォ");

// "ミルフォ - <caption>" while a page is current, else the title alone.
std::string FrameTitle(std::string_view title, std::string_view caption);
// Back is available exactly on a page after the first.
bool CanGoBack(int current);
// Next is available exactly when a page is current, a page follows it, and
// the current page agrees.
bool CanGoForward(int current, int pageCount, bool pageCanGoNext);

// The changes a page hears of. Every call goes to every page in page order.
class TSessionHooks {
public:
  virtual ~TSessionHooks() = default;
  virtual void SelectionChanged(std::size_t index, bool selected) = 0;
  virtual void SelectionUpdated() = 0;
  virtual void SourceImageChanged() = 0;
  virtual void TargetMade(int index) = 0;
};

// Why a make run does not start: a message and the caption of its one button.
struct TMakeRefusal {
  const char* Message;
  const char* Caption;
};

class TStandbySession : public TTanmatsuSelection {
public:
  // A working set with no handsets, and a calendar decorator in the list.
  TStandbySession();
  ~TStandbySession() override;
  TStandbySession(const TStandbySession&) = delete;
  TStandbySession& operator=(const TStandbySession&) = delete;

  TTanmatsuOptionList& WorkingSet() { return workingSet_; }
  const TTanmatsuOptionList& WorkingSet() const { return workingSet_; }
  TCalendarDecorator& CalendarDecorator() { return calendar_; }
  const TStandbyImageDecoratorList& Decorators() const { return decorators_; }

  // Merges the built-in catalogue into the working set (every handset
  // selected, with a target).
  void LoadBuiltIn();

  // The main window's keys: "SourceImage"/"FileName", the calendar's
  // "Standby"/"Calendar." keys, "Standby"/"Comment" and
  // "Standby"/"KDDICopyright", "Standby"/"BestFit". After reading, every
  // target gets the settings (ApplyTargetSettings).
  void LoadSettings(const TIniFile& file);
  void SaveSettings(TIniFile& file) const;

  const std::string& SourceFileName() const { return sourceFileName_; }
  void SetSourceFileName(std::string path) { sourceFileName_ = std::move(path); }
  const std::string& CommentText() const { return comment_; }
  bool KDDICopyright() const { return copyright_; }
  // Each stores the value and hands it to every target.
  void SetComment(std::string text);
  void SetKDDICopyright(bool flag);
  // The fit search that new targets start with (a target's own choice is
  // its format option): the one the format dialog last closed with.
  bool BestFit() const { return bestFit_; }
  void SetBestFit(bool flag) { bestFit_ = flag; }
  // The decorator list, then the options with the comment (cut to 255 bytes),
  // the copyright flag and the fit search; a made target is remade from the stages these
  // feed. Nothing for no target.
  void ApplyTargetSettings(TStandbySpecification* target);
  // Releases every target's decorate stage, then decorates again every
  // target whose earlier stages are there.
  void RedecorateAll();

  // The pages, in page order. Not owned.
  void AddHooks(TSessionHooks* hooks) { hooks_.push_back(hooks); }
  void RemoveHooks(const TSessionHooks* hooks) { std::erase(hooks_, hooks); }

  // Selection: the only way pages change which handsets have targets.
  // SelectHandset tells each page SelectionChanged, then SelectionUpdated;
  // SelectHandsets tells every page of each index, then every page of the
  // batch's end; ApplySelection does so for every handset, changed or not.
  // Nothing happens while a make run is going on.
  void SelectHandset(std::size_t index, bool on);
  void SelectHandsets(const std::vector<std::size_t>& indices, bool on);
  void ApplySelection(const std::vector<bool>& ticks) override;

  // TTanmatsuSelection, so that the make sets tick through the session.
  std::size_t HandsetCount() const override { return workingSet_.HandsetCount(); }
  TTanmatsuRecord GetHandset(std::size_t index) const override {
    return workingSet_.GetHandset(index);
  }
  const TTanmatsuRecord& StoredHandset(std::size_t index) const override {
    return workingSet_.StoredHandset(index);
  }
  bool IsSelected(std::size_t index) const override { return workingSet_.IsSelected(index); }

  // The source picture: the maker takes a copy, or the point; then every
  // page hears SourceImageChanged. Nothing happens while a make run is going
  // on: the run reads the picture between its targets.
  const TBitmap& SourceBitmap() const { return workingSet_.Maker().SourceBitmap(); }
  bool IsSourceEmpty() const;
  void SetSourceImage(const TBitmap& bitmap);
  TLookAtPoint LookAtPoint() const { return workingSet_.Maker().GetLookAt(); }
  void SetLookAtPoint(TLookAtPoint point);

  // The make run. CheckMakeAll says why it would not start. MakeAll makes
  // every target not made, reporting progress and telling every page
  // TargetMade after each target; processMessages runs after each target.
  // While it runs, IsMaking is true and a second MakeAll, a selection change,
  // a new picture or look-at point and a page change must be refused
  // (MakeAll itself does nothing then). A target that cannot be made keeps
  // its error (MakeError, shown in its box) and the run goes on with the
  // next; after the run one EMirufoError carries the errors of all of them,
  // one line each.
  std::optional<TMakeRefusal> CheckMakeAll() const;
  void MakeAll(const std::function<void(int percent, const std::string& message)>& progress,
               const std::function<void()>& processMessages);
  void AbortMaking() { workingSet_.Maker().Cancel(); }
  bool IsMaking() const { return making_; }

private:
  void ForEachHooks(const std::function<void(TSessionHooks&)>& call);
  void ChangeSelection(std::size_t index, bool on);

  TTanmatsuOptionList workingSet_;
  TCalendarDecorator calendar_;
  TStandbyImageDecoratorList decorators_;
  std::string sourceFileName_;
  std::string comment_;
  bool copyright_ = true;
  bool bestFit_ = false;
  std::vector<TSessionHooks*> hooks_;
  bool making_ = false;
};

} // namespace mirufo
