// Page 2, "元画像の用意": the source picture. The user opens, pastes or
// drops a picture, edits it (brightness and contrast, four tone filters,
// rotations, flips, cropping, one level of undo), views it at 1× to 16× and
// places the look-at point. The editing rules live in TSourceImageEditor;
// this page draws, asks and carries the commands.
#pragma once

#include "app/mirufo_sheet_form.h"
#include "output/source_image_editor.h"
#include "platform/recent_files.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

class QAction;

namespace mirufo {

class TSourcePictureView;

class TImageForm : public TMirufoSheetForm {
  Q_OBJECT

public:
  // Reads the recent files and the editor's settings.
  explicit TImageForm(TForm1& form);
  // Writes them back.
  ~TImageForm() override;

  std::string Caption() const override;
  void GetStatusText(std::string& text) override;
  void MouseWheel(QObject* sender, Qt::KeyboardModifiers shift, bool& handled, QPoint mousePos,
                  int wheelDelta) override;
  void PageActivated() override;
  void SourceImageChanged() override;
  std::vector<QMenu*> GetPageMenu() override;
  bool CanGoNext() override;
  void UpdateActions() override;

  // Reads the file and makes it the picture. A file that cannot be read
  // raises its error and changes nothing: picture, name, recent files and
  // selection stay as they were.
  void OpenFile(const std::string& path);
  // A recent-file item: opens the file, or says it is missing and drops it.
  void OpenRecentFile(std::size_t index);

  TSourceImageEditor& Editor() { return editor_; }
  const TRecentFiles& RecentFiles() const { return recent_; }
  TSourcePictureView* View() const { return view_; }
  QMenu* PopupMenu() const { return popup_; }

  // Asks for the file to open (the open dialog); tests answer instead.
  std::function<std::string(const std::string& folder, const std::string& filter)> AskFileName;

  QAction* actOpen;
  QAction* actUndo;
  QAction* actCopy;
  QAction* actCopyAll;
  QAction* actPaste;
  QAction* actBrightnessContrast;
  QAction* actRotate90;
  QAction* actRotate270;
  QAction* actRotate180;
  QAction* actFlipHorizontal;
  QAction* actFlipVertical;
  QAction* actCrop;
  QAction* actSepia;
  QAction* actGrayscale;
  QAction* actSolarize;
  QAction* actNegative;
  QAction* actZoomIn;
  QAction* actZoomOut;
  QAction* actActualPixels;
  QAction* actLookAtToCursorPos;
  QAction* actAutoLookAt;
  QAction* actAutoLookAtOnOpen;
  std::array<QAction*, kRecentFileCount> mnuRecentFile{};

protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  QAction* MakeAction(const char* name, const char* caption, std::function<void()> run);
  void CreateActions();
  void CreateMenus();
  void RebuildRecentMenu();
  void Open();
  void Paste();
  void CopyToClipboard(const TBitmap& picture);
  void BrightnessContrast();
  void Geometry(const std::function<bool()>& command);
  void SetZoom(const std::function<void()>& change);
  void PictureChanged();
  void ShowLookAtPoint();
  // The viewport point a wheel zoom keeps in place, while it runs.
  std::optional<QPoint> zoomAnchor_;
  void ShowSelectionText();
  void ShowPopup(QPoint at);

  TSourceImageEditor editor_;
  TRecentFiles recent_;
  TSourcePictureView* view_;
  std::vector<QMenu*> menus_;
  QMenu* popup_ = nullptr;
  TPixel popupPixel_{-1, -1};
  bool clipboardHasImage_ = false;
};

} // namespace mirufo
