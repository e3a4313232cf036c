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
#include "platform/translate.h"

#include <algorithm>
#include <atomic>
#include <memory>

namespace mirufo {
namespace {

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

TColor CornerColor(const TBitmap& input, const TCanvasParams& params) {
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

bool operator==(const TDecorateParams& a, const TDecorateParams& b) {
  return std::equal(a.Decorators.begin(), a.Decorators.end(), b.Decorators.begin(),
                    b.Decorators.end(), [](const auto& x, const auto& y) { return x->Equals(*y); });
}

bool operator==(const TFormatParams& a, const TFormatParams& b) {
  return SameFormat(a.Format, b.Format);
}

bool MatchesDecorators(const TDecorateParams& params,
                       const TStandbyImageDecoratorList* decorators) {
  const int count = decorators ? decorators->Count() : 0;
  if (static_cast<std::size_t>(count) != params.Decorators.size())
    return false;
  for (int i = 0; i < count; ++i)
    if (!params.Decorators[static_cast<std::size_t>(i)]->Equals(*decorators->Items(i)))
      return false;
  return true;
}

TDecorateParams SnapshotDecorators(const TStandbyImageDecoratorList* decorators) {
  TDecorateParams params;
  if (decorators)
    for (int i = 0; i < decorators->Count(); ++i)
      params.Decorators.push_back(decorators->Items(i)->Clone());
  return params;
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

void TImageBufferNode::DropPixels() {
  if (dropped_ || !parent_)
    return;
  droppedWidth_ = Bitmap.Width();
  droppedHeight_ = Bitmap.Height();
  Bitmap = TBitmap();
  dropped_ = true;
}

void TImageBufferNode::RestorePixels() {
  if (!dropped_)
    return;
  parent_->RestorePixels();
  // The same computation on the same input gives the same pixels again.
  Execute(params_);
}

TBitmap TImageBufferNode::TakePixels() {
  TBitmap pixels = std::move(Bitmap);
  droppedWidth_ = pixels.Width();
  droppedHeight_ = pixels.Height();
  Bitmap = TBitmap();
  dropped_ = parent_ != nullptr;
  return pixels;
}

void TImageBufferNode::ArriveAtResize(const TResizeParams& params) {
  for (auto& [planned, count] : PendingResizes)
    if (planned == params && count > 0)
      --count;
}

int TImageBufferNode::PendingResize(const TResizeParams& params) const {
  for (const auto& [planned, count] : PendingResizes)
    if (planned == params)
      return count;
  return 0;
}

void TImageBufferNode::Execute(const TStageParams& params) {
  params_ = params;
  dropped_ = false;
  if (!parent_)
    return;
  const TBitmap& input = parent_->Bitmap;
  LookAt = parent_->LookAt;
  std::visit([&](const auto& key) { Compute(input, key); }, params);
}

void TImageBufferNode::Compute(const TBitmap& input, const TResizeParams& params) {
  TResizeAhead* ahead = parent_->ResizeAhead;
  if (!(ahead && ahead->Take(params, Bitmap)) && !ResizeForStage(input, params, Bitmap))
    throw EMirufoError(Tr("画像のサイズを変更できませんでした"));
  // The look-at point follows the scaling (products of two 32-bit values
  // fit 64 bits).
  const std::int64_t pw = input.Width(), ph = input.Height();
  LookAt.X = pw > 0 ? static_cast<std::int32_t>(
                          Div<std::int64_t>(std::int64_t{parent_->LookAt.X} * params.Width, pw))
                    : 0;
  LookAt.Y = ph > 0 ? static_cast<std::int32_t>(
                          Div<std::int64_t>(std::int64_t{parent_->LookAt.Y} * params.Height, ph))
                    : 0;
}

void TImageBufferNode::Compute(const TBitmap& input, const TCanvasParams& params) {
  TBitmap canvas(params.Width, params.Height, input.PixelFormat());
  canvas.SetPalette(input.Palette());
  canvas.Fill(CornerColor(input, params));
  if (!canvas.CopyRect(params.X, params.Y, input, TRect{0, 0, input.Width(), input.Height()}))
    throw EMirufoError(Tr("画像を台紙に配置できませんでした"));
  Bitmap = std::move(canvas);
}

void TImageBufferNode::Compute(const TBitmap& input, const TSharpenParams& params) {
  Bitmap = input;
  const int strength = params.Sharpness;
  if (strength >= shLow && strength <= shHigh && params.Count > 0) {
    TProgressInfo info = MakeProgressInfo(nullptr, "フィルタリング", nullptr);
    const bool sharpened = params.Count == 1
                               ? FilterBitmap(input, Bitmap, strength, info)
                               : FilterBitmapRepeated(input, Bitmap, strength, info, params.Count);
    if (!sharpened)
      throw EMirufoError(Tr("画像をシャープにできませんでした"));
  }
}

void TImageBufferNode::Compute(const TBitmap& input, const TDecorateParams& params) {
  Bitmap = input;
  for (const auto& decorator : params.Decorators)
    decorator->Draw(Bitmap);
}

void TImageBufferNode::Compute(const TBitmap& input, const TFormatParams&) {
  // The format stage is a TFormatBuffer; a plain stage just passes the
  // picture on.
  Bitmap = input;
}

TImageBufferNode* FindOrCreate(TImageBufferNode& parent, const TStageParams& params,
                               TStandbySpecification* target) {
  for (TImageBufferNode* child : parent.children_) {
    if (child->params_ == params) {
      child->users_.Add(target);
      return child;
    }
  }
  std::unique_ptr<TImageBufferNode> stage;
  if (KindOf(params) == skFormat)
    stage = std::make_unique<TFormatBuffer>(target);
  else
    stage = std::make_unique<TImageBufferNode>(target);
  stage->parent_ = &parent;
  // A format stage may take its file from the work done ahead, and only
  // needs its input's pixels when it encodes itself.
  if (KindOf(params) != skFormat)
    parent.RestorePixels();
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
