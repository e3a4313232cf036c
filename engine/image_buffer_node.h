// The stage tree of the making pipeline. A stage is its kind plus its
// parameters, computed from its parent's bitmap; targets whose inputs and
// parameters agree share one stage. Stages are reference-counted by the
// targets that use them and destroyed, with their subtree, when the last
// user leaves.
#pragma once

#include "engine/standby_specification_list.h"
#include "engine/standby_types.h"
#include "imaging/bitmap.h"

#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

namespace mirufo {

class TEncodeAhead;
class TResizeAhead;
class TStandbyImageDecorator;
class TStandbyImageDecoratorList;

// The parameters of each kind of stage: the stage's key. Two stages of one
// kind computed from the same input give the same result exactly when their
// keys are equal, so equality compares what the result depends on and
// nothing else.

// The size to scale to, and nearest neighbour instead of the quality method.
struct TResizeParams {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  bool Fast = false;
  friend bool operator==(const TResizeParams&, const TResizeParams&) = default;
};

// The canvas size, where the input's top-left corner goes, and the
// background (the colour counts even when a corner gives the background).
struct TCanvasParams {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t X = 0;
  std::int32_t Y = 0;
  TBackgroundMode Background = bgTopLeft;
  TColor BackgroundColor = 0;
  friend bool operator==(const TCanvasParams&, const TCanvasParams&) = default;
};

struct TSharpenParams {
  TSharpness Sharpness = shNone;
  std::uint8_t Count = 0;
  friend bool operator==(const TSharpenParams&, const TSharpenParams&) = default;
};

// Copies of the decorators as they were when the key was taken, in drawing
// order. Later edits of the live decorators never reach a stage made from
// them; a stage whose copies no longer equal the live list is stale.
struct TDecorateParams {
  std::vector<std::shared_ptr<TStandbyImageDecorator>> Decorators;
  // Pairwise Equals, in order.
  friend bool operator==(const TDecorateParams& a, const TDecorateParams& b);
};

// The encoding options with Comment and Copyright (AutoFit is not part of
// the key). Equal when the format, the colour (both 24 bits, or equal bits,
// reduction, dither and palette size), comment and copyright agree, plus
// what the format itself compares (GIF compression, JPEG quality and
// progressive, PNG compression level and interlace).
struct TFormatParams {
  TFormatOptions Format;
  friend bool operator==(const TFormatParams& a, const TFormatParams& b);
};

// One stage's key: the alternative's index is the stage kind.
using TStageParams =
    std::variant<TResizeParams, TCanvasParams, TSharpenParams, TDecorateParams, TFormatParams>;

inline TStageKind KindOf(const TStageParams& params) {
  return static_cast<TStageKind>(params.index());
}

// The decorate key of a live list (none: no decorators).
TDecorateParams SnapshotDecorators(const TStandbyImageDecoratorList* decorators);
// True when the key equals what SnapshotDecorators would take of the live
// list now, without copying it.
bool MatchesDecorators(const TDecorateParams& params, const TStandbyImageDecoratorList* decorators);

class TImageBufferNode;
using TImageBufferNodeList = std::vector<TImageBufferNode*>;

class TImageBufferNode {
public:
  // A stage used by target (none for the source stage).
  explicit TImageBufferNode(TStandbySpecification* target = nullptr);
  // Destroys the children first, front to back, then leaves the parent's
  // children, then empties the slot of every user that points here.
  virtual ~TImageBufferNode();
  TImageBufferNode(const TImageBufferNode&) = delete;
  TImageBufferNode& operator=(const TImageBufferNode&) = delete;

  // Computes Bitmap and LookAt from the parent's bitmap.
  virtual void Execute(const TStageParams& params);

  TImageBufferNode* Parent() const { return parent_; }
  const TImageBufferNodeList& Children() const { return children_; }
  const TStageParams& Params() const { return params_; }
  // The key as its kind's record; the stage must be of that kind.
  template <class TParams> const TParams& ParamsOf() const { return std::get<TParams>(params_); }
  const TStandbySpecificationList& Users() const { return users_; }
  // Different for every stage this process ever made, so that a stage is
  // never mistaken for an earlier one that lived at the same address.
  std::uint64_t Serial() const { return serial_; }

  // The result of this stage (for the source stage: the source picture).
  TBitmap Bitmap;
  // The look-at point in Bitmap's coordinates.
  TLookAtPoint LookAt;

  // Destroys every child (and so every stage below this one).
  void FreeChildren();

  // Frees the stage's pixels while it stays in the tree with its key and
  // its picture's size, for a run that keeps only what saving needs. A
  // dropped stage is computed again (its parents first) when a new stage is
  // made from it; Width and Height still answer.
  void DropPixels();
  bool PixelsDropped() const { return dropped_; }
  void RestorePixels();
  // Moves the pixels out (for work that goes on elsewhere) and leaves the
  // stage dropped.
  TBitmap TakePixels();
  std::int32_t Width() const { return dropped_ ? droppedWidth_ : Bitmap.Width(); }
  std::int32_t Height() const { return dropped_ ? droppedHeight_ : Bitmap.Height(); }

  // Fit searches already run on this stage's bitmap: from which options and
  // limit, and which bits and quality they ended with. A stage's bitmap never
  // changes, so a target that shares this stage and starts from the same
  // options takes the answer without encoding again.
  struct TFitResult {
    TFormatOptions Start;
    std::int64_t Limit = 0;
    std::uint8_t Bits = 0;
    std::uint8_t JpegQuality = 0;
    std::uint16_t Colors = 0;
  };
  std::vector<TFitResult> FitResults;

  // On the source stage during a make run: resizes computed ahead, which
  // the resize stages take instead of computing them again.
  TResizeAhead* ResizeAhead = nullptr;
  // On the source stage during a make run: fit searches and encodes of
  // format stages computed ahead, which the format stages take instead of
  // computing them again.
  TEncodeAhead* EncodeAhead = nullptr;
  // On the source stage: false while a run keeps only what saving needs:
  // stages no target of the run will read again give up their pixels, and
  // format stages keep their file but no preview (see TStandbyMaker).
  bool KeepPictures = true;
  // On the source stage during such a run: how many targets still to make
  // will ask for each resize, so that a resize and the stages below it keep
  // their pixels for them.
  std::vector<std::pair<TResizeParams, int>> PendingResizes;
  int PendingResize(const TResizeParams& params) const;
  // A target of the run has its resize stage: one fewer to wait for.
  void ArriveAtResize(const TResizeParams& params);

protected:
  TStageParams params_;
  bool dropped_ = false;
  std::int32_t droppedWidth_ = 0;
  std::int32_t droppedHeight_ = 0;

private:
  void Compute(const TBitmap& input, const TResizeParams& params);
  void Compute(const TBitmap& input, const TCanvasParams& params);
  void Compute(const TBitmap& input, const TSharpenParams& params);
  void Compute(const TBitmap& input, const TDecorateParams& params);
  void Compute(const TBitmap& input, const TFormatParams& params);

private:
  friend TImageBufferNode* FindOrCreate(TImageBufferNode& parent, const TStageParams& params,
                                        TStandbySpecification* target);
  friend void Release(TImageBufferNode* stage, TStandbySpecification* target);

  const std::uint64_t serial_;
  TImageBufferNode* parent_ = nullptr;
  TImageBufferNodeList children_;
  TStandbySpecificationList users_;
};

// The child of parent with parameters equal to params, with target added to
// its users; or, when there is none, a new child computed now with target as
// its only user. A computation that fails leaves no stage behind.
TImageBufferNode* FindOrCreate(TImageBufferNode& parent, const TStageParams& params,
                               TStandbySpecification* target);

// Removes target from the stage's users; the stage is destroyed when that
// was its last user. The caller empties its own slot.
void Release(TImageBufferNode* stage, TStandbySpecification* target);

} // namespace mirufo
