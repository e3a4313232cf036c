// Page 4, "保存": where the made images go and under which names. The page
// shows every save entry's file name (clashes in red, empty names in grey)
// with its handsets, pixel size and file size, the image as a tooltip,
// renames 300 ms after the last template edit, and runs the save: checks,
// the folder, the overwrite dialog, the files, "index.html" and the list of
// names on the clipboard. Its settings live in the section "Save".
#pragma once

#include "app/mirufo_sheet_form.h"
#include "output/save_page_settings.h"

#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QTreeView;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;

namespace mirufo {

class TSaveFileListModel;

class TSaveSheetForm : public TMirufoSheetForm {
  Q_OBJECT

public:
  // Reads the settings of the section "Save".
  explicit TSaveSheetForm(TForm1& form);
  // Writes them back.
  ~TSaveSheetForm() override;

  std::string Caption() const override;
  void GetStatusText(std::string& text) override;
  void PageActivated() override;
  std::vector<QMenu*> GetPageMenu() override;

  // Rebuilds the save plan (folding identical images unless told not to)
  // and the list, then renames.
  void Refresh();
  // Names every save entry from the template as it stands now.
  void Rename();
  // The save run; a failed write is shown with the file that failed and
  // the files written before it.
  void Save();

  // The page's state as the settings keep it.
  TSavePageSettings Settings() const;
  // What the last save run did.
  const TSaveReport& LastReport() const { return lastReport_; }

  QLineEdit* edtFolder;
  QPushButton* btnBrowse;
  QPushButton* btnOpen;
  QLineEdit* edtFileName;
  // One row per save entry: name, handsets, pixel size, file size.
  QTreeView* lstFiles;
  QCheckBox* chkDisallowDuplication;
  QCheckBox* chkSaveHTML;
  QLineEdit* edtTitle;
  QCheckBox* chkGenerator;
  QCheckBox* chkCopyFileNames;
  QRadioButton* rdoSeparateReturn;
  QRadioButton* rdoSeparateTab;
  QPushButton* btnSave;
  QTimer* Timer1;
  QAction* actSave;
  QAction* actBrowse;
  QAction* actOpenFolder;
  // The template's insert commands, in menu order.
  std::vector<QAction*> InsertActions;
  QMenu* mnuFileName;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QWidget* CreateFolderRow();
  QWidget* CreateOptions();
  void CreateInsertMenu();
  void ApplySettings(const TSavePageSettings& settings);
  void UpdateHtmlEnabling();
  void BrowseFolder();
  void OpenFolder();
  std::string FolderForRun() const;

  QLabel* lblTitle_;
  TSaveFileListModel* model_;
  std::vector<QMenu*> menus_;
  TSaveReport lastReport_;
};

} // namespace mirufo
