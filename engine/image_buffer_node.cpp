// The stage tree: parameter equality, lookup and release, destruction, and
// the computations of the resize, canvas, sharpen and decorate stages.
#include "engine/image_buffer_node.h"

#include "engine/format_buffer.h"
#include "engine/output_format.h"
#include "engine/resize_ahead.h"
#include "engine/standby_image_decorator.h"
#include "engine/standby_specification.h"
#include "imaging/filters.h"
#include "imaging/progress.h"
#include "platform/arith.h"
#include "platform/errors.h"

#include <algorithm>
#include <atomic>
#include <memory>

namespace mirufo {
namespace {

bool SameDecorators(const TStandbyImageDecoratorList* a, const TStandbyImageDecoratorList* b) {
  if (!a || !b)
    return !a && !b;
  if (a->Count() != b->Count())
    return false;
  for (int i = 0; i < a->Count(); ++i)
    if (!a->Items(i)->Equals(*b->Items(i)))
      return false;
  return true;
}

bool SameFormat(const TFormatOptions& a, const TFormatOptions& b) {
  if (a.Format != b.Format)
    return false;
  const bool sameColour = (a.Bits == 24 && b.Bits == 24) ||
                          (a.Bits == b.Bits && a.Reduction == b.Reduction && a.Dither == b.Dither &&
                           PaletteColors(a, a.Bits) == PaletteColors(b, b.Bits));
  if (!sameColour || a.Comment != b.Comment || a.Copyright != b.Copyright)
    return false;
  const TOutputFormat* format = FindOutputFormat(a.Format);
  return !format || format->SameOptions(a, b);
}

TColor CornerColor(const TBitmap& input, const TStageParams& params) {
  // Without a picture there is no corner to take the colour from.
  if (params.Background == bgColor || input.Empty())
    return params.BackgroundColor;
  const int right = input.Width() - 1, bottom = input.Height() - 1;
  switch (params.Background) {
  case bgTopRight:
    return input.GetPixel(right, 0);
  case bgBottomLeft:
    return input.GetPixel(0, bottom);
  case bgBottomRight:
    return input.GetPixel(right, bottom);
  default:
    return input.GetPixel(0, 0);
  }
}

std::uint64_t NextStageSerial() {
  static std::atomic<std::uint64_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

bool SameParams(const TStageParams& a, const TStageParams& b) {
  if (a.Kind != b.Kind)
    return false;
  switch (a.Kind) {
  case skResize:
    return a.Width == b.Width && a.Height == b.Height && a.Fast == b.Fast;
  case skCanvas:
    return a.Width == b.Width && a.Height == b.Height && a.X == b.X && a.Y == b.Y &&
           a.Background == b.Background && a.BackgroundColor == b.BackgroundColor;
  case skSharpen:
    return a.Sharpness == b.Sharpness && a.Count == b.Count;
  case skDecorate:
    return SameDecorators(a.Decorators, b.Decorators);
  case skFormat:
    return SameFormat(a.Format, b.Format);
  }
  return false;
}

TImageBufferNode::TImageBufferNode(TStandbySpecification* target) : serial_(NextStageSerial()) {
  if (target)
    users_.Add(target);
}

TImageBufferNode::~TImageBufferNode() {
  // Each child removes itself from children_ as it goes.
  while (!children_.empty())
    delete children_.front();
  if (parent_) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  for (TStandbySpecification* user : users_)
    user->ClearSlot(this);
}

void TImageBufferNode::FreeChildren() {
  while (!children_.empty())
    delete children_.front();
}

void TImageBufferNode::Execute(const TStageParams& params) {
  params_ = params;
  if (!parent_)
    return;
  const TBitmap& input = parent_->Bitmap;
  LookAt = parent_->LookAt;
  switch (params.Kind) {
  case skResize: {
    TResizeAhead* ahead = parent_->ResizeAhead;
    if (!(ahead && ahead->Take(params, Bitmap)) && !ResizeForStage(input, params, Bitmap))
      throw EMirufoError("画像のサイズを変更できませんでした");
    // The look-at point follows the scaling (products of two 32-bit values
    // fit 64 bits).
    const std::int64_t pw = input.Width(), ph = input.Height();
    LookAt.X = pw > 0 ? static_cast<std::int32_t>(
                            Div<std::int64_t>(std::int64_t{parent_->LookAt.X} * params.Width, pw))
                      : 0;
    LookAt.Y = ph > 0 ? static_cast<std::int32_t>(
                            Div<std::int64_t>(std::int64_t{parent_->LookAt.Y} * params.Height, ph))
                      : 0;
    break;
  }
  case skCanvas: {
    TBitmap canvas(params.Width, params.Height, input.PixelFormat());
    canvas.SetPalette(input.Palette());
    canvas.Fill(CornerColor(input, params));
    if (!canvas.CopyRect(params.X, params.Y, input, TRect{0, 0, input.Width(), input.Height()}))
      throw EMirufoError("画像を台紙に配置できませんでした");
    Bitmap = std::move(canvas);
    break;
  }
  case skSharpen: {
    Bitmap = input;
    const int strength = params.Sharpness;
    if (strength >= shLow && strength <= shHigh && params.Count > 0) {
      TProgressInfo info = MakeProgressInfo(nullptr, "フィルタリング", nullptr);
      const bool sharpened =
          params.Count == 1 ? FilterBitmap(input, Bitmap, strength, info)
                            : FilterBitmapRepeated(input, Bitmap, strength, info, params.Count);
      if (!sharpened)
        throw EMirufoError("画像をシャープにできませんでした");
    }
    break;
  }
  case skDecorate:
    Bitmap = input;
    if (params.Decorators)
      for (int i = 0; i < params.Decorators->Count(); ++i)
        params.Decorators->Items(i)->Draw(Bitmap);
    break;
  case skFormat:
    // The format stage is a TFormatBuffer; a plain stage just passes the
    // picture on.
    Bitmap = input;
    break;
  }
}

TImageBufferNode* FindOrCreate(TImageBufferNode& parent, const TStageParams& params,
                               TStandbySpecification* target) {
  for (TImageBufferNode* child : parent.children_) {
    if (SameParams(child->params_, params)) {
      child->users_.Add(target);
      return child;
    }
  }
  std::unique_ptr<TImageBufferNode> stage;
  if (params.Kind == skFormat)
    stage = std::make_unique<TFormatBuffer>(target);
  else
    stage = std::make_unique<TImageBufferNode>(target);
  stage->parent_ = &parent;
  // The stage joins the tree only once computed, so that a failure leaves no
  // half-built stage behind.
  stage->Execute(params);
  parent.children_.push_back(stage.get());
  return stage.release();
}

void Release(TImageBufferNode* stage, TStandbySpecification* target) {
  if (!stage)
    return;
  stage->users_.Remove(target);
  if (stage->users_.Count() == 0)
    delete stage;
}

} // namespace mirufo
