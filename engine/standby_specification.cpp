// A target: its defaults, its setters and what each one remakes, the make
// of its stages with the resize and canvas arithmetic, and its status checks.
#include "engine/standby_specification.h"

#include "engine/encode_ahead.h"
#include "engine/format_buffer.h"
#include "engine/image_buffer_node.h"
#include "platform/arith.h"
#include "platform/encoding.h"
#include "platform/errors.h"
#include "platform/limits.h"
#include "platform/translate.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mirufo {
namespace {

// The message of a resize that would exceed the bitmap limits: the handset,
// the picture's and the screen's sizes, the size it would take, the limit,
// and what the user can do about it.
std::string TooLargeMessage(const std::string& handset, std::int32_t sw, std::int32_t sh,
                            std::int32_t screenW, std::int32_t screenH, const std::string& wanted,
                            const std::string& limit) {
  auto size = [](auto w, auto h) { return std::to_string(w) + "×" + std::to_string(h); };
  return handset + Tr(": 拡大後の画像が大きすぎます。元画像 ") + size(sw, sh) + Tr(" を画面 ") +
         size(screenW, screenH) + Tr(" に合わせると ") + wanted + Tr(" になります (上限は ") +
         limit + Tr(")。元画像を切り抜くか、拡大縮小の方法を変えてください");
}

// Where the picture's left (or top) edge goes on the screen.
//
// The horizontal and vertical alignments share their codes, so that one rule
// places the picture on either axis.
static_assert(int{haLeft} == int{vaTop} && int{haCenter} == int{vaMiddle} &&
              int{haRight} == int{vaBottom} && int{haLookAt} == int{vaLookAt} &&
              int{haNone} == int{vaNone});

std::int32_t Offset(THorzAlign mode, std::int32_t screen, std::int32_t image, std::int32_t look,
                    std::int32_t current) {
  switch (mode) {
  case haLeft:
    return 0;
  case haCenter:
    return Div(screen - image, 2);
  case haRight:
    return screen - image;
  case haLookAt:
    // The look-at point goes to the screen's centre, as near as a picture
    // that covers the screen allows: it never leaves an uncovered strip at
    // either edge, so a point near the right or bottom of the picture moves
    // off the centre instead.
    if (screen < image)
      return std::clamp(Div(screen, 2) - look, screen - image, 0);
    return Div(screen - image, 2);
  default:
    return current;
  }
}

} // namespace

TStandbySpecification::TStandbySpecification(TImageBufferNode* source) : source_(source) {
  Reset();
}

TStandbySpecification::~TStandbySpecification() {
  Reset();
}

void TStandbySpecification::InitFromHandset(const TTanmatsuRecord& record) {
  handset_ = record;
  layout_.ScreenWidth = record.Width;
  layout_.ScreenHeight = record.Height;
  formatOptions_.Format = record.Format;
  formatOptions_.Bits = record.Bit;
  formatOptions_.Reduction = ReductionMethodForDepth(record.Bit);
  formatOptions_.Dither = dkFloydSteinberg;
  formatOptions_.GifCompression = 0;
  formatOptions_.JpegQuality = 100;
  formatOptions_.PngCompressLevel = 9;
  formatOptions_.Colors = 0;
}

TImageBufferNode* TStandbySpecification::Stages(int kind) const {
  if (kind < 0 || kind >= kStageCount)
    throw ERangeError("TStandbySpecification");
  return stages_[static_cast<std::size_t>(kind)];
}

void TStandbySpecification::ClearSlot(const TImageBufferNode* stage) {
  for (TImageBufferNode*& slot : stages_)
    if (slot == stage)
      slot = nullptr;
}

void TStandbySpecification::Make(TImageBufferNode* source) {
  source_ = source;
  makeError_.clear();
  MakeStages(skResize, skFormat, true);
}

void TStandbySpecification::Report(TProgressStage stage, std::uint8_t percent) {
  if (OnProgress)
    OnProgress(this, stage, percent, false, TRect{}, ProgressText());
}

TResizeParams TStandbySpecification::ResizeParams(const TBitmap& source) const {
  TResizeParams params;
  const std::int32_t screenW = layout_.ScreenWidth, screenH = layout_.ScreenHeight;
  const std::int32_t sw = source.Width(), sh = source.Height();
  if (sw <= 0 || sh <= 0)
    throw EMirufoError(Tr("元画像が空なので作成できません"));
  if (screenW <= 0 || screenH <= 0)
    throw EMirufoError(ProgressText() + Tr(": 画面サイズが0なので作成できません"));
  const std::int64_t maxSide = Limits().MaxSide;
  // One side of a scaled size: side × screen / otherSide, rounded half to
  // even in extended precision. Refused when it cannot be a bitmap side.
  auto scaledSide = [&](std::int32_t side, std::int32_t screen, std::int32_t otherSide) {
    const long double exact =
        static_cast<long double>(side) * static_cast<long double>(screen) / otherSide;
    if (!(exact < static_cast<long double>(maxSide) + 1))
      throw EOutOfResources(
          TooLargeMessage(ProgressText(), sw, sh, screenW, screenH,
                          Tr("一辺 ") + std::to_string(std::llround(exact)) + Tr(" 画素"),
                          Tr("一辺 ") + std::to_string(maxSide) + Tr(" 画素")));
    return static_cast<std::int32_t>(Round(exact));
  };
  auto fitWidth = [&] { params.Width = screenW, params.Height = scaledSide(sh, screenW, sw); };
  auto fitHeight = [&] { params.Width = scaledSide(sw, screenH, sh), params.Height = screenH; };
  switch (resizeMode_) {
  case rzNone:
    params.Width = sw, params.Height = sh;
    break;
  case rzFitWidth:
    fitWidth();
    break;
  case rzFitHeight:
    fitHeight();
    break;
  case rzCustom:
    params.Width = resizeWidth_, params.Height = resizeHeight_;
    break;
  default: // rzAuto: cover the whole screen, the shorter side fitting it
    if (sw < sh) {
      fitWidth();
      if (params.Height < screenH)
        fitHeight();
    } else {
      fitHeight();
      if (params.Width < screenW)
        fitWidth();
    }
    break;
  }
  if (params.Width <= 0 || params.Height <= 0)
    throw EMirufoError(ProgressText() + Tr(": 変更後の画像サイズが0です"));
  if (!IsAllowedBitmapSize(params.Width, params.Height))
    throw EOutOfResources(
        TooLargeMessage(ProgressText(), sw, sh, screenW, screenH,
                        std::to_string(params.Width) + "×" + std::to_string(params.Height),
                        Tr("一辺 ") + std::to_string(maxSide) + Tr(" 画素、") +
                            std::to_string(Limits().MaxPixels) + Tr(" 画素")));
  params.Fast = fastResample_;
  return params;
}

bool TStandbySpecification::PlannedResize(const TBitmap& source, TResizeParams& params) const {
  try {
    params = ResizeParams(source);
    return true;
  } catch (const EMirufoError&) {
    return false;
  }
}

TStageParams TStandbySpecification::BuildParams(int kind, TImageBufferNode& input) {
  const std::int32_t screenW = layout_.ScreenWidth, screenH = layout_.ScreenHeight;
  switch (kind) {
  case skResize: {
    const TResizeParams params = ResizeParams(input.Bitmap);
    resizeWidth_ = params.Width;
    resizeHeight_ = params.Height;
    return params;
  }
  case skCanvas: {
    if (screenW <= 0 || screenH <= 0)
      throw EMirufoError(ProgressText() + Tr(": 画面サイズが0なので作成できません"));
    TCanvasParams params;
    params.Width = screenW;
    params.Height = screenH;
    params.Background = layout_.Background;
    params.BackgroundColor = layout_.BackgroundColor;
    params.X = Offset(layout_.HorzAlign, screenW, input.Width(), input.LookAt.X, layout_.OffsetX);
    params.Y = Offset(static_cast<THorzAlign>(layout_.VertAlign), screenH, input.Height(),
                      input.LookAt.Y, layout_.OffsetY);
    layout_.OffsetX = params.X;
    layout_.OffsetY = params.Y;
    return params;
  }
  case skSharpen:
    return TSharpenParams{sharpness_, sharpenCount_};
  case skDecorate:
    return SnapshotDecorators(decorators_);
  default: {
    TFormatOptions options;
    const std::int64_t limit = FormatStart(input, options);
    if (limit > 0) {
      // The fit search lowers the target's own quality or colour bits until
      // the file fits the cache; the next make starts from those values.
      // During a make run the search may have run ahead on another thread.
      const TFormatOptions start = options;
      TEncodeAhead* ahead = source_ ? source_->EncodeAhead : nullptr;
      if (!(ahead && ahead->TakeFit(input.Serial(), start, limit, options))) {
        input.RestorePixels();
        std::unique_ptr<TBitmap> reduced;
        std::unique_ptr<TEncodedGraphic> graphic;
        std::int32_t size = 0;
        EncodeImage(input.Bitmap, reduced, graphic, limit, start.Copyright, start.Comment, options,
                    size);
      }
      input.FitResults.push_back({start, limit, options.Bits, options.JpegQuality, options.Colors});
    }
    formatOptions_ = options;
    TFormatParams params{formatOptions_};
    params.Format.AutoFit = false;
    return params;
  }
  }
}

std::int64_t TStandbySpecification::FormatStart(const TImageBufferNode& input,
                                                TFormatOptions& options) const {
  options = formatOptions_;
  if (!options.AutoFit)
    return 0;
  // Without a limit no attempt can be over, so only the starting bits
  // settle and nothing needs encoding.
  const std::int64_t limit = KilobytesToBytes(handset_.Cache);
  if (limit <= 0) {
    SettleFormatOptions(options);
    return 0;
  }
  // A stage's bitmap never changes, so a search from the same options ends
  // where it ended before.
  const auto& known = input.FitResults;
  auto found = std::find_if(known.begin(), known.end(),
                            [&](const auto& r) { return r.Limit == limit && r.Start == options; });
  if (found == known.end())
    return limit;
  options.Bits = found->Bits;
  options.JpegQuality = found->JpegQuality;
  options.Colors = found->Colors;
  return 0;
}

void TStandbySpecification::MakeFrom(int kind) {
  if (kind < 0 || kind >= kStageCount)
    throw EMirufoError(Tr("NodeIndexの値が不正です"));
  MakeStages(kind, skFormat, false);
}

void TStandbySpecification::MakeBeforeFormat(TImageBufferNode* source) {
  source_ = source;
  MakeStages(skResize, skDecorate, true);
}

void TStandbySpecification::MakeStages(int first, int last, bool keep) {
  progressStart_ = first;
  progressStages_ = kStageCount - first;
  Report(psStarting, 0);
  for (int d = first; d <= last; ++d) {
    if (d > first)
      Report(psRunning,
             static_cast<std::uint8_t>(Div(100, progressStages_) * (d - progressStart_)));
    TImageBufferNode*& slot = stages_[static_cast<std::size_t>(d)];
    TImageBufferNode* input = d == 0 ? source_ : stages_[static_cast<std::size_t>(d - 1)];
    TImageBufferNode* old = slot;
    TStageParams params;
    try {
      if (!input)
        throw EMirufoError(Tr("入力段がありません"));
      params = BuildParams(d, *input);
    } catch (...) {
      slot = nullptr;
      Release(old, this);
      throw;
    }
    if (keep && old && old->Parent() == input && old->Params() == params)
      continue;
    // Releasing may destroy this stage and, with it, our later stages; later
    // stages that survive are released when their turn comes.
    slot = nullptr;
    Release(old, this);
    slot = FindOrCreate(*input, params, this);
    if (d == skResize)
      source_->ArriveAtResize(std::get<TResizeParams>(params));
    DropUnneededPixels();
  }
  if (last == skFormat)
    Report(psEnding, 100);
}

void TStandbySpecification::Reset() {
  ReleaseFrom(skResize);
}

void TStandbySpecification::ReleaseFrom(int kind) {
  if (kind < 0)
    kind = 0;
  // From the last stage back, so that a release never reaches into a
  // subtree we still hold a slot in.
  for (int d = kStageCount - 1; d >= kind; --d) {
    TImageBufferNode* old = stages_[static_cast<std::size_t>(d)];
    stages_[static_cast<std::size_t>(d)] = nullptr;
    Release(old, this);
  }
}

bool TStandbySpecification::DecorationsStale() const {
  const TImageBufferNode* stage = stages_[skDecorate];
  return stage && !MatchesDecorators(stage->ParamsOf<TDecorateParams>(), decorators_);
}

void TStandbySpecification::Redecorate() {
  if (stages_[skSharpen])
    MakeFrom(skDecorate);
}

void TStandbySpecification::SetResize(TResizeMode mode, std::int32_t width, std::int32_t height,
                                      bool fast) {
  if (mode == resizeMode_ && width == resizeWidth_ && height == resizeHeight_ &&
      fast == fastResample_)
    return;
  resizeMode_ = mode;
  resizeWidth_ = width;
  resizeHeight_ = height;
  fastResample_ = fast;
  if (IsMade())
    MakeFrom(skResize);
}

void TStandbySpecification::SetLayout(const TLayout& layout) {
  if (layout == layout_)
    return;
  layout_ = layout;
  if (IsMade())
    MakeFrom(skCanvas);
}

void TStandbySpecification::SetSharpen(TSharpness sharpness, std::uint8_t count) {
  if (sharpness == sharpness_ && count == sharpenCount_)
    return;
  sharpness_ = sharpness;
  sharpenCount_ = count;
  if (IsMade())
    MakeFrom(skSharpen);
}

void TStandbySpecification::SetDecorators(const TStandbyImageDecoratorList* decorators) {
  decorators_ = decorators;
  if (IsMade())
    MakeFrom(skDecorate);
}

void TStandbySpecification::SetFormatOptions(const TFormatOptions& options) {
  formatOptions_ = options;
  formatOptions_.Comment = CutToCp932Bytes(options.Comment, kCommentBytes);
  // A colour count left from a best-fit search counts only with best fit and
  // the bits it was found at.
  if (PaletteColors(formatOptions_, formatOptions_.Bits) != formatOptions_.Colors)
    formatOptions_.Colors = 0;
  if (IsMade())
    MakeFrom(skFormat);
}

bool TStandbySpecification::IsMade() const {
  return stages_[skFormat] != nullptr;
}

const TBitmap* TStandbySpecification::FinalBitmap() const {
  return IsMade() && !stages_[skFormat]->PixelsDropped() ? &stages_[skFormat]->Bitmap : nullptr;
}

std::int32_t TStandbySpecification::FinalWidth() const {
  return IsMade() ? stages_[skFormat]->Width() : 0;
}

std::int32_t TStandbySpecification::FinalHeight() const {
  return IsMade() ? stages_[skFormat]->Height() : 0;
}

void TStandbySpecification::DropUnneededPixels() {
  if (!source_ || source_->KeepPictures || !stages_[skResize])
    return;
  // A stage is read again while one of its users has yet to make the stage
  // after it, or while targets still to make will ask for the same resize.
  TImageBufferNode* resized = stages_[skResize];
  if (source_->PendingResize(resized->ParamsOf<TResizeParams>()) > 0)
    return;
  // Targets that share the resize but not the canvas kept their stages for
  // this one: they are looked at again.
  for (TStandbySpecification* user : resized->Users())
    for (int d = skResize; d < skFormat; ++d) {
      TImageBufferNode* stage = user->stages_[static_cast<std::size_t>(d)];
      if (!stage || stage->PixelsDropped())
        continue;
      const bool read = std::any_of(
          stage->Users().begin(), stage->Users().end(), [&](const TStandbySpecification* other) {
            return other->stages_[static_cast<std::size_t>(d + 1)] == nullptr;
          });
      if (!read)
        stage->DropPixels();
    }
}

std::int32_t TStandbySpecification::FileSize() const {
  if (!IsMade())
    return -1;
  return static_cast<const TFormatBuffer*>(stages_[skFormat])->FileSize();
}

bool TStandbySpecification::SameImage(const TStandbySpecification& other) const {
  return stages_[skFormat] == other.stages_[skFormat];
}

std::string TStandbySpecification::ProgressText() const {
  if (handset_.Screen.empty())
    return handset_.Name;
  return handset_.Name + "（" + handset_.Screen + "）";
}

bool TStandbySpecification::IsSizeOver() const {
  // The file size is whole bytes, so comparing with the truncated limit is
  // the same as comparing with the exact product.
  const std::int64_t limit = KilobytesToBytes(handset_.Cache);
  return limit > 0 && limit < FileSize();
}

bool TStandbySpecification::IsFormatViolation() const {
  const unsigned format = formatOptions_.Format;
  return format > 7 || !handset_.SupportFormats.Contains(formatOptions_.Format);
}

bool TStandbySpecification::IsColorOver() const {
  const int bits = formatOptions_.Bits, screen = handset_.Bit;
  // Colour bits 0: the handset states no depth, so no depth exceeds it. (The
  // palette formats start such a target from 8 bits, which used to be
  // compared with the 0 and warned about.)
  if (screen == 0 && formatOptions_.Format <= ifBMP2)
    return false;
  switch (formatOptions_.Format) {
  case ifGIF:
  case ifPNG8:
    return bits > screen;
  case ifBMP:
    return (bits > 8 && screen <= 8) || (bits <= 8 && bits > screen);
  case ifJPEG:
  case ifPNG24:
  case ifBMP2:
    return false;
  default:
    return true;
  }
}

bool TStandbySpecification::IsEnlarged() const {
  const TImageBufferNode* resized = stages_[skResize];
  if (!resized || !source_)
    return false;
  return resized->Width() > source_->Bitmap.Width() || resized->Height() > source_->Bitmap.Height();
}

void TStandbySpecification::CopyToClipboard(
    const std::function<void(const TBitmap&)>& putOnClipboard) const {
  if (!IsMade())
    throw EMirufoError(Tr("完成してないのでコピーできません"));
  if (putOnClipboard)
    putOnClipboard(*FinalBitmap());
}

void TStandbySpecification::SaveToFile(const std::filesystem::path& fileName,
                                       TExistingFile existing) const {
  if (!IsMade())
    throw EMirufoError(Tr("未完成なので保存できねっす"));
  WriteFileAtomic(fileName, static_cast<const TFormatBuffer*>(stages_[skFormat])->FileBytes(),
                  existing);
}

} // namespace mirufo
