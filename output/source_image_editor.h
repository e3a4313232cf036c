// The source picture as the source image page edits it: the picture, one
// level of undo, the selection with its drag, and the zoom. Every change of
// the picture is committed to the session, which hands the maker its copy
// and tells every page. No windows: the page draws what this holds.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/geometry.h"

#include <cstdint>
#include <memory>
#include <string>

namespace mirufo {

class TIniFile;
class TStandbySession;

// The source image page's settings: section, the recent files' key prefix,
// and whether an opened picture gets its look-at point on its subject.
inline constexpr const char* kSourceImageSection = "SourceImage";
inline constexpr const char* kRecentFilesKey = "RecentFiles";
inline constexpr const char* kAutoLookAtOnOpenKey = "AutoLookAtOnOpen";

// The source file name shown after a paste.
inline constexpr const char* kClipboardSourceName = "クリップボード";

inline constexpr int kMinZoom = 1;
inline constexpr int kMaxZoom = 16;

// A pixel of the picture (or a point of the screen).
struct TPixel {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPixel&, const TPixel&) = default;
};

// No selection.
inline constexpr TRect kNoSelection{-1, -1, -1, -1};

enum class TToneKind : std::uint8_t { tkSepia, tkGrayscale, tkSolarize, tkNegative };
using enum TToneKind;

class TSourceImageEditor {
public:
  explicit TSourceImageEditor(TStandbySession& session);

  const TBitmap& Picture() const { return picture_; }
  bool HasPicture() const { return !picture_.Empty(); }
  const TBitmap& UndoPicture() const { return undo_; }
  bool CanUndo() const { return !undo_.Empty(); }

  // Makes the picture 24-bit, puts the look-at point at its centre and
  // hands it to the session.
  void CommitPicture();

  // A decoded file becomes the picture: the source file name becomes the
  // path, the selection none and the zoom 1. No undo copy is taken. The
  // caller decodes first, so that a file that cannot be read changes
  // neither the picture nor the name. With AutoLookAtOnOpen the look-at
  // point goes on the picture's subject instead of its centre.
  void Open(const std::string& path, TBitmap picture);
  // The clipboard's picture, named kClipboardSourceName; no undo copy. The
  // look-at point as for Open.
  void Paste(TBitmap picture);

  // Puts the look-at point on the picture's main subject (the maker's
  // SubjectLookAt). False without a picture.
  bool AutoLookAt();
  // Whether Open and Paste find the subject; off unless the settings say so.
  bool AutoLookAtOnOpen = false;
  // Reads and writes AutoLookAtOnOpen (kAutoLookAtOnOpenKey, default off).
  void LoadSettings(const TIniFile& ini);
  void SaveSettings(TIniFile& ini) const;
  // The undo picture becomes the picture; there is no redo.
  void Undo();

  // Each takes an undo copy first. False when nothing changed.
  bool ApplyTone(TToneKind kind);
  bool Rotate(TRotateKind kind);
  bool FlipVertical();
  // Brightness -100..100, contrast in percent -100..100.
  bool ApplyBrightnessContrast(int brightness, int contrastPercent);
  // Crops to the selection, which then covers the whole new picture. False
  // (nothing changed, no undo copy) when the selection cannot be cropped.
  bool Crop();
  // The selection's pixels, or none when it cannot be cropped.
  std::unique_ptr<TBitmap> SelectionPicture() const;

  // The zoom, a whole number from 1 to 16.
  float Zoom() const { return zoom_; }
  bool CanZoomIn() const { return zoom_ < kMaxZoom; }
  bool CanZoomOut() const { return zoom_ > kMinZoom; }
  void ZoomIn();
  void ZoomOut();
  void ActualPixels() { zoom_ = kMinZoom; }

  // Selection: right and bottom exclusive, kNoSelection when there is none.
  const TRect& Selection() const { return selection_; }
  bool HasSelection() const { return selection_ != kNoSelection; }
  void ClearSelection();
  // A plain click: off the picture, or with a selection already there, the
  // selection goes; otherwise a drag starts and selects the one pixel.
  void StartSelection(TPixel pixel);
  // The drag to a pixel (which may lie outside the picture): the selection
  // spans both pixels, limited to the picture.
  void DragSelection(TPixel pixel);
  void EndSelection() { anchor_ = {-1, -1}; }
  bool Selecting() const { return anchor_.X >= 0; }

  bool Contains(TPixel pixel) const {
    return pixel.X >= 0 && pixel.Y >= 0 && pixel.X < picture_.Width() &&
           pixel.Y < picture_.Height();
  }
  // Sets the look-at point when the pixel lies inside the picture.
  bool SetLookAt(TPixel pixel);
  TPixel LookAt() const;

private:
  void Replace(TBitmap picture, bool findSubject = false);

  TStandbySession& session_;
  TBitmap picture_;
  TBitmap undo_;
  float zoom_ = 1;
  TRect selection_ = kNoSelection;
  TPixel anchor_{-1, -1};
};

// The brightness and contrast preview: the part of the picture in rect
// (limited to the picture) with the values applied; the picture itself is
// not changed.
TBitmap BrightnessContrastPreview(const TBitmap& picture, const TRect& rect, int brightness,
                                  int contrastPercent);

} // namespace mirufo
