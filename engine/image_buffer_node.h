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
#include <vector>

namespace mirufo {

class TEncodeAhead;
class TResizeAhead;
class TStandbyImageDecoratorList;

// The parameters of one stage. Only the fields of its Kind are meaningful;
// SameParams says which fields decide equality.
struct TStageParams {
  TStageKind Kind = skResize;
  // skResize: the size to scale to; skCanvas: the canvas size.
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  bool Fast = false; // skResize: nearest neighbour instead of the quality method
  // skCanvas: where the input's top-left corner goes, and the background.
  std::int32_t X = 0;
  std::int32_t Y = 0;
  TBackgroundMode Background = bgTopLeft;
  TColor BackgroundColor = 0;
  // skSharpen
  TSharpness Sharpness = shNone;
  std::uint8_t Count = 0;
  // skDecorate
  const TStandbyImageDecoratorList* Decorators = nullptr;
  // skFormat: the encoding options, Comment and Copyright (AutoFit is not a
  // stage parameter).
  TFormatOptions Format;
};

// True when two stages with these parameters, computed from the same input,
// give the same result:
// - resize: size and method; canvas: size, position, background mode and
//   colour (the colour even when a corner gives the background);
// - sharpen: strength and count;
// - decorate: both lists absent, or both present with pairwise Equals
//   decorators (compared as they are now);
// - format: format, colour (both 24 bits, or equal bits, reduction and
//   dither), comment and copyright, plus per format GIF compression, JPEG
//   quality and progressive, PNG compression level and interlace.
bool SameParams(const TStageParams& a, const TStageParams& b);

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

protected:
  TStageParams params_;

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
