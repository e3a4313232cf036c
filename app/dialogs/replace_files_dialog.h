// "ファイルの上書き": the files of a save that already exist, one ticked row
// each with its path shortened to the row's width. "上書き" writes the
// ticked ones; "キャンセル" (Esc, or closing the dialog) cancels the save.
#pragma once

#include <QDialog>
#include <filesystem>
#include <optional>
#include <vector>

class QListWidget;
class QPushButton;

namespace mirufo {

class TReplaceFilesDialog : public QDialog {
  Q_OBJECT

public:
  // Rows in the given order; the dialog stays on top of and centred on
  // mainWindow.
  TReplaceFilesDialog(QWidget* mainWindow, std::vector<std::filesystem::path> paths);

  // Shows the dialog modally: one tick per path on "上書き", nothing on
  // cancel.
  std::optional<std::vector<bool>> Execute();

  std::vector<bool> Ticks() const;
  QListWidget* List() const { return lstFiles_; }
  QPushButton* OverwriteButton() const { return btnOverwrite_; }
  QPushButton* CancelButton() const { return btnCancel_; }

protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  // Shortens every row's path to the list's width.
  void ShortenRows();

  std::vector<std::filesystem::path> paths_;
  QListWidget* lstFiles_;
  QPushButton* btnOverwrite_;
  QPushButton* btnCancel_;
};

} // namespace mirufo
