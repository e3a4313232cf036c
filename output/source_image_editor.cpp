#include "output/source_image_editor.h"

#include "imaging/tone.h"
#include "output/standby_session.h"
#include "platform/ini_file.h"

#include <algorithm>
#include <utility>

namespace mirufo {

TSourceImageEditor::TSourceImageEditor(TStandbySession& session) : session_(session) {}

void TSourceImageEditor::CommitPicture() {
  if (picture_.PixelFormat() != pf24bit)
    picture_.SetPixelFormat(pf24bit);
  session_.SetLookAtPoint({picture_.Width() / 2, picture_.Height() / 2});
  session_.SetSourceImage(picture_);
}

void TSourceImageEditor::Replace(TBitmap picture, bool findSubject) {
  picture_ = std::move(picture);
  CommitPicture();
  if (findSubject)
    AutoLookAt();
}

bool TSourceImageEditor::AutoLookAt() {
  if (!HasPicture())
    return false;
  // The maker holds the committed picture; it finds the point for both
  // front ends.
  session_.SetLookAtPoint(session_.WorkingSet().Maker().SubjectLookAt());
  return true;
}

void TSourceImageEditor::LoadSettings(const TIniFile& ini) {
  AutoLookAtOnOpen = ini.ReadBool(kSourceImageSection, kAutoLookAtOnOpenKey, false);
}

void TSourceImageEditor::SaveSettings(TIniFile& ini) const {
  ini.WriteBool(kSourceImageSection, kAutoLookAtOnOpenKey, AutoLookAtOnOpen);
}

void TSourceImageEditor::Open(const std::string& path, TBitmap picture) {
  session_.SetSourceFileName(path);
  Replace(std::move(picture), AutoLookAtOnOpen);
  selection_ = kNoSelection;
  anchor_ = {-1, -1};
  ActualPixels();
}

void TSourceImageEditor::Paste(TBitmap picture) {
  session_.SetSourceFileName(kClipboardSourceName);
  Replace(std::move(picture), AutoLookAtOnOpen);
  selection_ = kNoSelection;
  anchor_ = {-1, -1};
}

void TSourceImageEditor::Undo() {
  if (!CanUndo())
    return;
  ClearSelection();
  Replace(std::exchange(undo_, TBitmap()));
}

bool TSourceImageEditor::ApplyTone(TToneKind kind) {
  if (!HasPicture())
    return false;
  TBitmap before = picture_;
  const TProgressInfo info;
  bool done = false;
  switch (kind) {
  case tkSepia:
    done = ApplySepia(picture_, info);
    break;
  case tkGrayscale:
    done = ApplyGrayscale(picture_, info);
    break;
  case tkSolarize:
    done = ApplySolarize(picture_, info);
    break;
  case tkNegative:
    done = ApplyNegative(picture_, info);
    break;
  }
  if (!done)
    return false;
  undo_ = std::move(before);
  CommitPicture();
  return true;
}

bool TSourceImageEditor::Rotate(TRotateKind kind) {
  if (!HasPicture())
    return false;
  std::unique_ptr<TBitmap> rotated = RotateBitmap(picture_, kind, {});
  if (!rotated)
    return false;
  undo_ = picture_;
  ClearSelection();
  Replace(std::move(*rotated));
  return true;
}

bool TSourceImageEditor::FlipVertical() {
  if (!HasPicture())
    return false;
  std::unique_ptr<TBitmap> flipped = mirufo::FlipVertical(picture_, {});
  if (!flipped)
    return false;
  undo_ = picture_;
  ClearSelection();
  Replace(std::move(*flipped));
  return true;
}

bool TSourceImageEditor::ApplyBrightnessContrast(int brightness, int contrastPercent) {
  if (!HasPicture())
    return false;
  TBitmap before = picture_;
  if (!mirufo::ApplyBrightnessContrast(picture_, brightness, contrastPercent / 100.0, {}))
    return false;
  undo_ = std::move(before);
  CommitPicture();
  return true;
}

bool TSourceImageEditor::Crop() {
  std::unique_ptr<TBitmap> cropped = SelectionPicture();
  if (!cropped)
    return false;
  undo_ = picture_;
  Replace(std::move(*cropped));
  selection_ = {0, 0, picture_.Width(), picture_.Height()};
  return true;
}

std::unique_ptr<TBitmap> TSourceImageEditor::SelectionPicture() const {
  if (!HasPicture() || !HasSelection())
    return nullptr;
  return CropBitmap(picture_, selection_);
}

void TSourceImageEditor::ZoomIn() {
  zoom_ = std::min<float>(zoom_ + 1, kMaxZoom);
}

void TSourceImageEditor::ZoomOut() {
  zoom_ = std::max<float>(zoom_ - 1, kMinZoom);
}

void TSourceImageEditor::ClearSelection() {
  selection_ = kNoSelection;
  anchor_ = {-1, -1};
}

void TSourceImageEditor::StartSelection(TPixel pixel) {
  if (!Contains(pixel) || HasSelection()) {
    ClearSelection();
    return;
  }
  anchor_ = pixel;
  selection_ = {pixel.X, pixel.Y, pixel.X + 1, pixel.Y + 1};
}

void TSourceImageEditor::DragSelection(TPixel pixel) {
  if (!Selecting())
    return;
  const int width = picture_.Width();
  const int height = picture_.Height();
  selection_.Left = std::clamp(std::min(anchor_.X, pixel.X), 0, width);
  selection_.Top = std::clamp(std::min(anchor_.Y, pixel.Y), 0, height);
  selection_.Right = std::clamp(std::max(anchor_.X, pixel.X) + 1, 0, width);
  selection_.Bottom = std::clamp(std::max(anchor_.Y, pixel.Y) + 1, 0, height);
}

bool TSourceImageEditor::SetLookAt(TPixel pixel) {
  if (!Contains(pixel))
    return false;
  session_.SetLookAtPoint({pixel.X, pixel.Y});
  return true;
}

TPixel TSourceImageEditor::LookAt() const {
  const TLookAtPoint point = session_.LookAtPoint();
  return {point.X, point.Y};
}

TBitmap BrightnessContrastPreview(const TBitmap& picture, const TRect& rect, int brightness,
                                  int contrastPercent) {
  const TRect inside{std::max(rect.Left, 0), std::max(rect.Top, 0),
                     std::min(rect.Right, picture.Width()),
                     std::min(rect.Bottom, picture.Height())};
  std::unique_ptr<TBitmap> part = CropBitmap(picture, inside);
  if (!part)
    return {};
  if (!ApplyBrightnessContrast(*part, brightness, contrastPercent / 100.0, {}))
    return {};
  return std::move(*part);
}

} // namespace mirufo
