// The maker: owns every target and the stage tree rooted at the source
// picture, and runs the make run that brings every target to a finished
// standby image, one target at a time.
#pragma once

#include "catalogue/tanmatsu_record.h"
#include "engine/encode_ahead.h"
#include "engine/image_buffer_node.h"
#include "engine/resize_ahead.h"
#include "engine/standby_specification.h"
#include "engine/standby_specification_list.h"
#include "imaging/bitmap.h"
#include "imaging/progress.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace mirufo {

class TStandbyMaker {
public:
  TStandbyMaker();
  // Frees every target and the whole stage tree.
  ~TStandbyMaker();
  TStandbyMaker(const TStandbyMaker&) = delete;
  TStandbyMaker& operator=(const TStandbyMaker&) = delete;

  // Creates a target for the handset on the source stage and appends it;
  // returns its index.
  int AddSpecification(const TTanmatsuRecord& record);
  // Frees the target at index (its stages are released); ERangeError outside
  // the list.
  void Delete(int index);
  // Frees every listed target (ones not in the maker are ignored) in one
  // pass over the list, keeping the order of the others: deselecting many
  // handsets at once stays linear.
  void DeleteTargets(const std::vector<TStandbySpecification*>& targets);
  // Frees every target, then every stage below the source.
  void Clear();
  int Count() const { return specifications_.Count(); }
  TStandbySpecification* Items(int index) const { return specifications_.Items(index); }
  int IndexOf(const TStandbySpecification* target) const { return specifications_.IndexOf(target); }

  // The source picture. A new picture, or a look-at point other than the
  // current one, releases every target's stages, so that the next make run
  // makes them from the new source. (A new source during a make run also
  // drops the resizes computed ahead from the old one, waits for the worker
  // that reads the old one, and releases the stages made ahead for targets
  // not made yet.) The moving form spares a large picture's copy.
  const TBitmap& SourceBitmap() const { return sourceStage_->Bitmap; }
  void SetSource(const TBitmap& bitmap);
  void SetSource(TBitmap&& bitmap);
  TLookAtPoint GetLookAt() const { return sourceStage_->LookAt; }
  void SetLookAt(TLookAtPoint point);
  // The point on the source picture's main subject (FindSubjectPoint, on
  // the make run's threads): a pixel of the picture, (0, 0) when it is
  // empty. Only computes; SetLookAt stores it.
  TLookAtPoint SubjectLookAt() const;
  TImageBufferNode& SourceStage() const { return *sourceStage_; }

  // Releases every stage of every target.
  void ResetAll();
  // Makes every target that is not made, in list order; a made target whose
  // decorators changed since is first released from its decorate stage. After each target
  // it calls OnMade and ProcessMessages, then stops if Cancel was called.
  // An error ends the run; targets made before stay made. Targets deleted
  // by those callbacks are skipped; a MakeAll from inside a run does nothing.
  // Other threads resize and encode ahead of the target being finished;
  // targets that a cancel or an error leaves unmade hold no stages made
  // ahead.
  void MakeAll();
  // Ends a running make run after the target it is working on.
  void Cancel() { cancelled_ = true; }

  bool Cancelled() const { return cancelled_; }
  std::int32_t ToMake() const { return toMake_; }
  std::int32_t Made() const { return made_; }

  // When set, a target whose make fails keeps the error (MakeError), stays
  // unmade, and the run goes on with the next target, so that one handset
  // the picture cannot be made for does not stop the others. Otherwise the
  // error ends the run.
  bool KeepGoing = false;

  // False for a run whose results are only saved (the command line): a
  // stage gives up its pixels as soon as no target of the run will read
  // them again, format stages keep their file without a preview
  // (FinalBitmap is none, FinalWidth and FinalHeight still answer), and
  // fewer targets are made ahead, so that memory stays near a few screens'
  // pictures whatever the number of targets. A stage whose pixels are
  // needed again later is computed again, to the same bytes.
  bool KeepPictures = true;

  // How many hardware threads a make run uses, the calling one included;
  // 0 (the default) uses every thread the machine has, 1 makes every stage
  // on the calling thread.
  int Threads = 0;

  // Progress of a make run (sender: the maker).
  TProgressEvent OnProgress;
  // Called after each target of a make run.
  std::function<void(TStandbyMaker& sender, TStandbySpecification& target)> OnMade;
  // Lets the user interface process its pending messages after each target,
  // so that a cancel button can work. Empty (nothing happens) without one.
  std::function<void()> ProcessMessages;

private:
  void TargetProgress(TProgressStage stage, std::uint8_t percent, const std::string& message);
  // Starts resizing ahead for the run when there are several new sizes to
  // make and more than one hardware thread: one worker per hardware thread
  // beside the calling one.
  void StartResizeAhead(int threads);
  void StopResizeAhead();
  // Makes the stages before the format stage of the targets after the one
  // at index, and hands their format work to the encode workers, until
  // enough work waits for them.
  void MakeAhead(int index);
  // Releases the stages made ahead for targets that are not made (but
  // keep's), so that they are made afresh.
  void DropMadeAhead(const TStandbySpecification* keep);
  int RunThreads() const;

  TStandbySpecificationList specifications_;
  std::unique_ptr<TImageBufferNode> sourceStage_;
  std::unique_ptr<TResizeAhead> resizeAhead_;
  std::unique_ptr<TEncodeAhead> encodeAhead_;
  int encodeWorkers_ = 0;
  // The list position after the last target made ahead, and whether the
  // stages being made are ahead of the target being finished (they report
  // no progress).
  int aheadEnd_ = 0;
  bool makingAhead_ = false;
  std::vector<TStandbySpecification*> madeAhead_;
  bool cancelled_ = false;
  bool running_ = false;
  std::int32_t toMake_ = 0;
  std::int32_t made_ = 0;
};

} // namespace mirufo
