// A target: one standby image to be made for one handset screen, with every
// option that shapes it and references to its five pipeline stages. The
// target holds no pixels itself; the stages live in the maker's stage tree.
#pragma once

#include "catalogue/tanmatsu_record.h"
#include "engine/image_buffer_node.h"
#include "engine/standby_types.h"
#include "imaging/bitmap.h"
#include "imaging/progress.h"
#include "platform/text_file.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace mirufo {

class TStandbyImageDecoratorList;

class TStandbySpecification {
public:
  // A target on the given source stage with every option at its default and
  // no stage made.
  explicit TStandbySpecification(TImageBufferNode* source);
  // Releases every stage the target uses.
  ~TStandbySpecification();
  TStandbySpecification(const TStandbySpecification&) = delete;
  TStandbySpecification& operator=(const TStandbySpecification&) = delete;

  // Takes the handset record, the screen size and the encoding options that
  // suit the handset. Interlace, Comment, Copyright, AutoFit and every other
  // option keep their values. The caller resets a made target first.
  void InitFromHandset(const TTanmatsuRecord& record);

  // Making. MakeFrom recomputes the stages from kind to the format stage;
  // a kind outside 0 to 4 raises "NodeIndexの値が不正です". A failing stage
  // leaves the earlier slots filled and the target not made. Make makes
  // every stage from source, keeping each stage in place that has the
  // parameters it would be made with now; MakeBeforeFormat does the same for
  // the stages before the format stage (for a make run that makes targets
  // ahead).
  void Make(TImageBufferNode* source);
  void MakeBeforeFormat(TImageBufferNode* source);
  void MakeFrom(int kind);
  void Reset();
  void ReleaseFrom(int kind);
  // Remakes from the decorate stage when the stages before it exist.
  void Redecorate();

  // Setters store the value and, when the target is made, remake from the
  // stage the value feeds. A target that is not made only stores it.
  void SetResize(TResizeMode mode, std::int32_t width, std::int32_t height, bool fast);
  void SetLayout(const TLayout& layout);
  void SetSharpen(TSharpness sharpness, std::uint8_t count);
  void SetDecorators(const TStandbyImageDecoratorList* decorators);
  // Always remakes a made target, even with unchanged options. The comment is
  // cut to kCommentBytes CP932 bytes.
  void SetFormatOptions(const TFormatOptions& options);

  TImageBufferNode* Source() const { return source_; }
  const TTanmatsuRecord& Handset() const { return handset_; }
  TResizeMode ResizeMode() const { return resizeMode_; }
  std::int32_t ResizeWidth() const { return resizeWidth_; }
  std::int32_t ResizeHeight() const { return resizeHeight_; }
  bool FastResample() const { return fastResample_; }
  const TLayout& Layout() const { return layout_; }
  std::int32_t ScreenWidth() const { return layout_.ScreenWidth; }
  std::int32_t ScreenHeight() const { return layout_.ScreenHeight; }
  TSharpness Sharpness() const { return sharpness_; }
  std::uint8_t SharpenCount() const { return sharpenCount_; }
  const TStandbyImageDecoratorList* Decorators() const { return decorators_; }
  // True when the decorate stage was made from decorators that no longer
  // equal the live ones.
  bool DecorationsStale() const;
  const TFormatOptions& FormatOptions() const { return formatOptions_; }
  TImageBufferNode* Stages(int kind) const;

  bool IsMade() const;
  // Why the last make run could not make this target (empty when it did, or
  // when the run stopped at the error instead). The next Make clears it.
  const std::string& MakeError() const { return makeError_; }
  void SetMakeError(std::string message) { makeError_ = std::move(message); }
  // The decoded output of the format stage, or none when not made.
  const TBitmap* FinalBitmap() const;
  // The size of the finished picture, 0 when not made; also when a run that
  // keeps only the files left no preview (FinalBitmap is then none).
  std::int32_t FinalWidth() const;
  std::int32_t FinalHeight() const;
  // In a run that keeps only what saving needs: frees the pixels of this
  // target's stages before the format stage that nothing will read again.
  void DropUnneededPixels();
  // Byte length of the encoded file, or -1 when not made.
  std::int32_t FileSize() const;
  // True when both use the very same format stage (or both have none), which
  // means their files are identical.
  bool SameImage(const TStandbySpecification& other) const;
  // The handset name, with the screen name in full-width parentheses when
  // there is one: "F901iC（メイン）".
  std::string ProgressText() const;

  // The resize stage a make from this source would ask for; false when the
  // make would fail (empty source, zero screen, a size beyond the limits).
  bool PlannedResize(const TBitmap& source, TResizeParams& params) const;
  // What the format stage's work on input starts from: the options, and
  // the limit of the fit search still to run from them. 0 when there is no
  // search to run: the options are then the ones the stage encodes with
  // (apart from AutoFit), because the target does not fit its file, has no
  // limit, or a search from the same options ran on input before.
  std::int64_t FormatStart(const TImageBufferNode& input, TFormatOptions& options) const;

  // Warnings against the handset's limits.
  bool IsSizeOver() const;
  bool IsFormatViolation() const;
  bool IsColorOver() const;
  bool IsEnlarged() const;

  // Hands the finished picture to the clipboard writer; raises
  // "完成してないのでコピーできません" when not made.
  void CopyToClipboard(const std::function<void(const TBitmap&)>& putOnClipboard) const;
  // Writes the encoded file, replacing any existing one unless told to keep
  // it (then EFileExists, also for a file that appears during the write);
  // raises "未完成なので保存できねっす" when not made, EInOutError when the
  // file cannot be written.
  void SaveToFile(const std::filesystem::path& fileName,
                  TExistingFile existing = TExistingFile::Replace) const;

  // Progress of a make; the maker sets it to its own handler.
  TProgressEvent OnProgress;

private:
  friend class TImageBufferNode;

  void ClearSlot(const TImageBufferNode* stage);
  void Report(TProgressStage stage, std::uint8_t percent);
  TStageParams BuildParams(int kind, TImageBufferNode& input);
  void MakeStages(int first, int last, bool keep);
  TResizeParams ResizeParams(const TBitmap& source) const;

  TImageBufferNode* source_ = nullptr;
  TTanmatsuRecord handset_;
  std::string makeError_;
  TResizeMode resizeMode_ = rzAuto;
  std::int32_t resizeWidth_ = 0;
  std::int32_t resizeHeight_ = 0;
  bool fastResample_ = false;
  TLayout layout_;
  TSharpness sharpness_ = shMiddle;
  std::uint8_t sharpenCount_ = 1;
  const TStandbyImageDecoratorList* decorators_ = nullptr;
  TFormatOptions formatOptions_;
  std::array<TImageBufferNode*, kStageCount> stages_{};
  // The stage at which the current make began, and how many stages it covers.
  std::int32_t progressStart_ = 0;
  std::int32_t progressStages_ = 0;
};

} // namespace mirufo
