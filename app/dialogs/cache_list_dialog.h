// "キャッシュ容量リスト": the modal dialog in which the user edits the named
// cache capacities on a copy of the working set's list: a list of names and
// capacities, a slider from 1 to 100 KB for the selected entry, add and
// delete. The rules are in output/cache_list_edit.h.
#pragma once

#include "catalogue/tanmatsu_list.h"

#include <QDialog>
#include <functional>

class QPushButton;
class QSlider;
class QTreeWidget;

namespace mirufo {

class TTanmatsuOptionList;

class TCacheListDialog : public QDialog {
  Q_OBJECT

public:
  // Works on a copy of the given list's cache entries.
  TCacheListDialog(QWidget* parent, const TTanmatsuList& caches);

  const TTanmatsuList& Caches() const { return caches_; }
  void SelectRow(int row);
  // Asks for a name until it is usable or cancelled, then adds the entry.
  void AddEntry();
  void DeleteEntry();

  // Opens the dialog over the working set's list; on OK merges the edited
  // list into it. Returns whether OK was chosen.
  static bool Edit(QWidget* parent, TTanmatsuOptionList& workingSet);

  // While a hook is set, the dialog goes to it instead of running modally.
  using THook = std::function<bool(TCacheListDialog&)>;
  static void SetHook(THook hook);

  QTreeWidget* lstCaches;
  QSlider* trkCapacity;
  QPushButton* btnAdd;
  QPushButton* btnDelete;

private:
  void FillList();
  void SliderMoved(int position);

  TTanmatsuList caches_;
  bool movingSlider_ = false;
};

} // namespace mirufo
