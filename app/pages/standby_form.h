// Page 3, "待受画像の作成": one box per target with the finished image or a
// summary of its options, the commands that change the options of the
// selected targets (resize, placement, background, sharpening, format,
// comment, copyright flag, calendar), copy and save-as of one image, and the
// make run, which starts when the page becomes current and on "作成(&M)".
#pragma once

#include "app/mirufo_sheet_form.h"
#include "output/standby_box_list.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QActionGroup;

namespace mirufo {

class TStandbyBoxDrawer;
class TStandbyBoxView;
class TFormatDialog;
class TCalendarDialog;

class TStandbyForm : public TMirufoSheetForm {
  Q_OBJECT

public:
  // Reads "PacketChargeIndex" and "FileSizeInfo" and registers the page.
  explicit TStandbyForm(TForm1& form);
  // Writes the two settings.
  ~TStandbyForm() override;

  std::string Caption() const override;
  void DecorationsChanged() override;
  void GetStatusText(std::string& text) override;
  void PageActivated() override;
  void SourceImageChanged() override;
  void SelectionUpdated() override;
  void TargetMade(int index) override;
  std::vector<QMenu*> GetPageMenu() override;
  bool CanGoNext() override;
  void UpdateActions() override;

  TStandbyBoxList& Boxes() { return boxes_; }
  TStandbyBoxView& BoxView() const { return *view_; }
  // Redraws one box, or all of them, from the targets as they are now.
  void RedrawBox(int box);
  void RedrawAll();

  // The common dialogs, replaceable so that tests can answer them.
  // The colour dialog: the chosen colour, or none when cancelled.
  std::function<std::optional<TColor>(TColor initial)> ChooseColor;
  // The comment input box: the text, unchanged when cancelled.
  std::function<std::string(const std::string& text)> AskComment;
  // The save dialog: the chosen file, or empty when cancelled.
  std::function<QString(const QString& filter, const QString& suffix)> AskSaveFileName;
  // Called with the format dialog once it is set up, before it runs.
  std::function<void(TFormatDialog&)> OnFormatDialog;
  // Called with the calendar dialog once it is shown.
  std::function<void(TCalendarDialog&)> OnCalendarDialog;

  QAction* actMake;
  QAction* actSelectAll;
  QAction* actStandbyCopy;
  QAction* actStandbySaveAs;
  QAction* actAlignAuto;
  QAction* actAlignWidth;
  QAction* actAlignHeight;
  QAction* actResampleFast;
  QAction* actResampleQuality;
  std::array<QAction*, 4> actAlignment;  // left, centre, right, look-at
  std::array<QAction*, 4> actLayout;     // top, middle, bottom, look-at
  std::array<QAction*, 5> actBackground; // any colour, then the four corners
  std::array<QAction*, 4> actSharp;      // none, low, middle, high
  std::array<QAction*, 3> actSharpCount; // 1, 2, 3 times
  QAction* actFormat;
  QAction* actComment;
  QAction* actKDDICopyright;
  QAction* actDrawCalendar;
  QAction* actCalendarProperty;
  QAction* actDownloadSpeed;
  std::array<QAction*, kPacketChargeCount> actPacket;
  QMenu* PopupMenu() const { return popup_; }

private:
  QAction* NewAction(const char* name, const char* caption, const char* hint,
                     std::function<void()> execute, bool checkable = false);
  void CreateActions();
  void CreateMenus();
  void RebuildBoxes();
  void Redraw(const std::vector<int>& boxes);
  void ExecuteFormat();
  void ExecuteComment();
  void ExecuteSaveAs();
  void ExecuteCalendarProperty();
  void ExecuteBackgroundColor();
  QImage DrawBox(int box);

  TStandbyBoxList boxes_;
  std::unique_ptr<TStandbyBoxDrawer> drawer_;
  TStandbyBoxView* view_;
  std::vector<QMenu*> menus_;
  QMenu* popup_ = nullptr;
};

} // namespace mirufo
