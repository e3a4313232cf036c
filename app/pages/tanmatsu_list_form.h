// Page 1, "端末の選択": the carrier and series tree on the left, the list of
// the handsets under the selected node on the right, and the make-set tabs
// along the bottom. Ticking a handset gives it a target; the page also
// defines, edits and deletes the user's own handsets and edits the named
// cache capacities. The rules live in the catalogue (tree, make sets, sort
// order, dialog values) and in output/cache_list_edit.h; this draws them.
#pragma once

#include "app/mirufo_sheet_form.h"
#include "catalogue/named_bits_list.h"
#include "catalogue/tanmatsu_sort_info.h"
#include "catalogue/tanmatsu_tree.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QAction;
class QMenu;
class QSplitter;
class QTabBar;

namespace mirufo {

class TTanmatsuListModel;
class TTanmatsuListView;
class TTanmatsuTreeView;

class TTanmatsuListForm : public TMirufoSheetForm {
  Q_OBJECT

public:
  explicit TTanmatsuListForm(TForm1& form);
  // Writes the section "TanmatsuList" and "makeset.txt".
  ~TTanmatsuListForm() override;

  std::string Caption() const override;
  void GetStatusText(std::string& text) override;
  void PageActivated() override;
  void SelectionChanged(std::size_t index, bool selected) override;
  void SelectionUpdated() override;
  std::vector<QMenu*> GetPageMenu() override;
  bool CanGoNext() override;
  void UpdateActions() override;

  // The widgets and state, for tests.
  TTanmatsuTreeView* TreeView() const { return tree_; }
  TTanmatsuListView* ListView() const { return list_; }
  QTabBar* Tabs() const { return tabs_; }
  QSplitter* Splitter() const { return splitter_; }
  TTanmatsuTreeNode& TreeRoot() const { return *root_; }
  const TTanmatsuTreeNodeList& TreeRows() const { return rows_; }
  const std::vector<std::size_t>& Listed() const { return listed_; }
  TMakeSets& MakeSets() { return makeSets_; }
  const TTanmatsuSortInfo& SortInfo() const { return settings_.SortInfo; }
  // Selects the list rows of these handsets (display order decides nothing).
  void SelectHandsetRows(const std::vector<std::size_t>& handsets);

  // "端末リストの読み込み(&I)...": asks for a list file (tests replace the
  // question; an empty answer cancels) and imports it.
  std::function<std::string(const std::string& folder)> AskListFileName;
  // Merges the list file into the working set as user handsets, ticks the
  // added ones, rebuilds the tree (their series get nodes) and tells how
  // many were added. A bad file raises and changes nothing.
  void ImportList(const std::filesystem::path& file);

  // Tree commands, as the mouse gives them.
  void SelectTreeRow(int row);
  void ClickTreeCheckBox(int row);
  void ToggleTreeRow(int row);
  // List commands.
  void ClickTick(int row, bool shift);
  void SortByColumn(int column);

  QAction* actSetAdd;
  QAction* actSetClone;
  QAction* actSetRename;
  QAction* actSetDelete;
  QAction* actTanmatsuAdd;
  QAction* actTanmatsuImport;
  QAction* actTanmatsuEdit;
  QAction* actTanmatsuDelete;
  QAction* actCacheList;
  QAction* actCheckAll;
  QAction* actUncheckAll;
  QAction* actCheckSelected;
  QAction* actUncheckSelected;
  QAction* actCheckSelectedOnly;

private:
  void CreateActions();
  void CreateMenus();
  QWidget* CreateWidgets();
  void LoadSettings();
  void SaveSettings();

  // The records as they read now, and which handsets each leaf of the tree
  // stands for; refreshed whenever handsets are added, edited or deleted.
  void RefreshRecords();
  TCheckBoxState LeafCheckState(const TTanmatsuTreeNode& node) const;
  TTanmatsuTreeNode* SelectedNode() const;
  void ListSelectedNode();
  void FillTreeRows(int keepRow);
  void RedrawTree();
  void BuildTabs();
  void RefreshTabCaptions();
  void ApplyCurrentSet();
  void TickListed(const std::vector<std::size_t>& handsets, bool on);
  std::vector<std::size_t> SelectedHandsets() const;

  void SetAdd();
  void SetClone();
  void SetRename();
  void SetDelete();
  void TanmatsuAdd();
  void TanmatsuImport();
  void TanmatsuEdit();
  void TanmatsuDelete();
  void EditCacheList();
  void CheckSelectedOnly();

  TTanmatsuListSettings settings_;
  TMakeSets makeSets_;
  std::unique_ptr<TTanmatsuTreeNode> root_;
  TTanmatsuTreeNodeList rows_;
  std::vector<TTanmatsuRecord> records_;
  std::map<const TTanmatsuTreeNode*, std::vector<std::size_t>> leafMembers_;
  std::vector<std::size_t> listed_;
  std::vector<std::size_t> changed_;
  bool changedAll_ = false;
  bool buildingTabs_ = false;

  QSplitter* splitter_ = nullptr;
  TTanmatsuTreeView* tree_ = nullptr;
  TTanmatsuListView* list_ = nullptr;
  TTanmatsuListModel* model_ = nullptr;
  QTabBar* tabs_ = nullptr;
  QMenu* listPopup_ = nullptr;
  QMenu* tabPopup_ = nullptr;
  std::vector<QMenu*> menus_;
};

} // namespace mirufo
