#include "app/pages/tanmatsu_list_form.h"

#include "app/cute_message_dlg.h"
#include "app/dialogs/cache_list_dialog.h"
#include "app/dialogs/input_box.h"
#include "app/dialogs/tanmatsu_dialog.h"
#include "app/main_form.h"
#include "app/pages/tanmatsu_list_view.h"
#include "app/pages/tanmatsu_tree_view.h"
#include "output/handset_list_import.h"
#include "output/page_texts.h"
#include "output/tanmatsu_option_list.h"
#include "output/user_files.h"
#include "platform/ini_file.h"
#include "platform/translate.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenu>
#include <QSplitter>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

namespace mirufo {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(Tr(std::string(text)));
}

// Above this many changed ticks the whole tree is recomputed at once.
constexpr std::size_t kWholeTreeThreshold = 64;

std::vector<std::string> CacheNamesOf(const TTanmatsuList& list) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < list.CacheCount(); ++i)
    names.push_back(list.GetCache(i).Name);
  return names;
}

} // namespace

TTanmatsuListForm::TTanmatsuListForm(TForm1& form)
    : TMirufoSheetForm(form), makeSets_(form.Session()) {
  setObjectName("TanmatsuListForm");
  CreateActions();
  AskListFileName = [this](const std::string& folder) {
    return QFileDialog::getOpenFileName(this, Q("端末リストの読み込み"),
                                        QString::fromStdString(folder),
                                        Q("端末リスト (*.lst);;すべてのファイル (*)"))
        .toStdString();
  };
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(CreateWidgets(), 1);
  CreateMenus();

  root_ = CreateTanmatsuTree(
      form.Session(), [this](const TTanmatsuTreeNode& node) { return LeafCheckState(node); });
  root_->FillRows(rows_);
  RefreshRecords();

  // A "makeset.txt" that cannot be read is said at once; it is then left
  // alone at exit.
  UserFiles().LoadMakeSets(makeSets_);
  form.ShowNewMessages();
  LoadSettings();
  // Columns without a remembered width fit the handsets' texts.
  list_->SetColumnWidths(settings_.Widths, records_);
  BuildTabs();

  tree_->SetRows(&rows_);
  tree_->SetSelectedRow(0);
  ListSelectedNode();
  root_->UpdateAll();
  RedrawTree();
  RegisterPage();
}

TTanmatsuListForm::~TTanmatsuListForm() {
  SaveSettings();
  UserFiles().SaveMakeSets(makeSets_);
}

std::string TTanmatsuListForm::Caption() const {
  return Tr("端末の選択");
}

QWidget* TTanmatsuListForm::CreateWidgets() {
  auto* body = new QWidget;
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  splitter_ = new QSplitter(Qt::Horizontal);
  splitter_->setObjectName("pnlSplitter");
  splitter_->setChildrenCollapsible(false);
  tree_ = new TTanmatsuTreeView;
  list_ = new TTanmatsuListView;
  model_ = new TTanmatsuListModel(records_, listed_, Form().Session(), this);
  list_->setModel(model_);
  splitter_->addWidget(tree_);
  splitter_->addWidget(list_);
  splitter_->setStretchFactor(1, 1);
  layout->addWidget(splitter_, 1);

  tabs_ = new QTabBar;
  tabs_->setObjectName("tabSets");
  tabs_->setShape(QTabBar::RoundedSouth);
  tabs_->setExpanding(false);
  tabs_->setContextMenuPolicy(Qt::CustomContextMenu);
  layout->addWidget(tabs_);
  setTabOrder(tree_, list_);
  setTabOrder(list_, tabs_);

  connect(tree_, &TTanmatsuTreeView::RowSelected, this,
          [this](int row) { RunCommand([&] { SelectTreeRow(row); }); });
  connect(tree_, &TTanmatsuTreeView::CheckBoxClicked, this,
          [this](int row) { RunCommand([&] { ClickTreeCheckBox(row); }); });
  connect(tree_, &TTanmatsuTreeView::ExpandToggled, this,
          [this](int row) { RunCommand([&] { ToggleTreeRow(row); }); });
  connect(list_, &TTanmatsuListView::TickClicked, this,
          [this](int row, bool shift) { RunCommand([&] { ClickTick(row, shift); }); });
  connect(list_, &TTanmatsuListView::SpacePressed, this, [this](int row) {
    RunCommand([&] {
      if (SelectedHandsets().empty())
        list_->selectRow(row);
      ClickTick(row, true);
    });
  });
  connect(list_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this](int column) { RunCommand([&] { SortByColumn(column); }); });
  connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
    if (buildingTabs_ || index < 0)
      return;
    RunCommand([&] { makeSets_.SelectSet(static_cast<std::size_t>(index)); });
  });
  connect(tabs_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    // The pop-up acts on the tab under the pointer: select it first.
    const int index = tabs_->tabAt(at);
    if (index >= 0)
      tabs_->setCurrentIndex(index);
    tabPopup_->popup(tabs_->mapToGlobal(at));
  });
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { listPopup_->popup(list_->viewport()->mapToGlobal(at)); });
  return body;
}

void TTanmatsuListForm::CreateActions() {
  auto make = [this](const char* name, std::string_view caption, std::function<void()> handler) {
    auto* action = new QAction(Q(caption), this);
    action->setObjectName(name);
    // Handsets and sets stay as they are while a make run goes on.
    connect(action, &QAction::triggered, this, [this, handler] {
      if (!Form().IsMaking())
        RunCommand(handler);
    });
    addAction(action);
    return action;
  };
  actSetAdd = make("actSetAdd", kSetAddCaption, [this] { SetAdd(); });
  actSetClone = make("actSetClone", kSetCloneCaption, [this] { SetClone(); });
  actSetRename = make("actSetRename", kSetRenameCaption, [this] { SetRename(); });
  actSetDelete = make("actSetDelete", kSetDeleteCaption, [this] { SetDelete(); });
  actTanmatsuAdd = make("actTanmatsuAdd", "端末の追加(&A)...", [this] { TanmatsuAdd(); });
  actTanmatsuImport =
      make("actTanmatsuImport", "端末リストの読み込み(&I)...", [this] { TanmatsuImport(); });
  actTanmatsuEdit = make("actTanmatsuEdit", "端末の編集(&E)...", [this] { TanmatsuEdit(); });
  actTanmatsuDelete = make("actTanmatsuDelete", "端末の削除(&D)", [this] { TanmatsuDelete(); });
  actCacheList =
      make("actCacheList", "キャッシュ容量リストの編集(&C)...", [this] { EditCacheList(); });
  actCheckAll = make("actCheckAll", "すべてチェック(&A)", [this] { TickListed(listed_, true); });
  actUncheckAll =
      make("actUncheckAll", "すべてチェック解除(&L)", [this] { TickListed(listed_, false); });
  actCheckSelected = make("actCheckSelected", "選択されているものをチェック(&C)",
                          [this] { TickListed(SelectedHandsets(), true); });
  actUncheckSelected = make("actUncheckSelected", "選択されているものをチェック解除(&U)",
                            [this] { TickListed(SelectedHandsets(), false); });
  actCheckSelectedOnly = make("actCheckSelectedOnly", "選択されているもののみをチェック(&O)",
                              [this] { CheckSelectedOnly(); });
  // Delete works while the list has the focus, not in the tree or the tabs.
  actTanmatsuDelete->setShortcut(QKeySequence::Delete);
  actTanmatsuDelete->setShortcutContext(Qt::WidgetShortcut);
}

void TTanmatsuListForm::CreateMenus() {
  auto* setMenu = new QMenu(Q(kSetMenuCaption), this);
  setMenu->addActions({actSetAdd, actSetClone, actSetRename, actSetDelete});
  tabPopup_ = new QMenu(this);
  tabPopup_->addActions({actSetAdd, actSetClone, actSetRename, actSetDelete});

  auto* tanmatsuMenu = new QMenu(Q("端末(&T)"), this);
  tanmatsuMenu->addActions({actTanmatsuAdd, actTanmatsuEdit, actTanmatsuDelete});
  tanmatsuMenu->addSeparator();
  tanmatsuMenu->addAction(actTanmatsuImport);
  tanmatsuMenu->addSeparator();
  tanmatsuMenu->addAction(actCacheList);

  listPopup_ = new QMenu(this);
  listPopup_->addActions({actTanmatsuEdit, actTanmatsuDelete});
  listPopup_->addSeparator();
  listPopup_->addActions({actCheckAll, actUncheckAll, actCheckSelected, actUncheckSelected});
  listPopup_->addSeparator();
  listPopup_->addAction(actCheckSelectedOnly);

  list_->addAction(actTanmatsuDelete);
  menus_ = {setMenu, tanmatsuMenu, CreateHelpMenu()};
}

void TTanmatsuListForm::LoadSettings() {
  settings_.Load(UserFiles().OpenSettings());
  QList<int> sizes{std::max(settings_.LeftPaneWidth, 1), 600};
  splitter_->setSizes(sizes);
  makeSets_.SetCurrentIndex(settings_.SetIndex);
}

void TTanmatsuListForm::SaveSettings() {
  // A pane that was never laid out keeps the width it was given.
  if (splitter_->sizes().value(0) > 0 && splitter_->width() > 0)
    settings_.LeftPaneWidth = splitter_->sizes().value(0);
  settings_.Widths = list_->ColumnWidths();
  settings_.SetIndex = static_cast<int>(makeSets_.CurrentIndex());
  UserFiles().SaveSettings([this](TIniFile& ini) { settings_.Save(ini); });
}

void TTanmatsuListForm::RefreshRecords() {
  const TTanmatsuOptionList& set = WorkingSet();
  records_.clear();
  records_.reserve(set.HandsetCount());
  for (std::size_t i = 0; i < set.HandsetCount(); ++i)
    records_.push_back(set.GetHandset(i));
  leafMembers_.clear();
  if (!root_)
    return;
  // Each leaf's handsets, found once, so that recomputing the tree does
  // not read every handset again for every leaf.
  std::vector<const TTanmatsuTreeNode*> stack{root_.get()};
  while (!stack.empty()) {
    const TTanmatsuTreeNode* node = stack.back();
    stack.pop_back();
    if (!node->HasChildren()) {
      std::vector<std::size_t>& members = leafMembers_[node];
      for (std::size_t i = 0; i < records_.size(); ++i)
        if (node->Matches(records_[i]))
          members.push_back(i);
    }
    for (const TTanmatsuTreeNode* child : node->Children())
      stack.push_back(child);
  }
}

TCheckBoxState TTanmatsuListForm::LeafCheckState(const TTanmatsuTreeNode& node) const {
  const TTanmatsuTreeNode* selected = SelectedNode();
  const TTanmatsuSelection& ticks = Form().Session();
  if (&node == selected)
    return HandsetsCheckState(node, ticks, selected, listed_);
  const auto members = leafMembers_.find(&node);
  if (members == leafMembers_.end())
    return HandsetsCheckState(node, ticks, nullptr, {});
  return HandsetsCheckState(node, ticks, &node, members->second);
}

TTanmatsuTreeNode* TTanmatsuListForm::SelectedNode() const {
  const int row = tree_ ? tree_->SelectedRow() : -1;
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.Count())
    return nullptr;
  return rows_.Items(static_cast<std::size_t>(row));
}

void TTanmatsuListForm::ListSelectedNode() {
  listed_.clear();
  if (const TTanmatsuTreeNode* node = SelectedNode())
    for (std::size_t i = 0; i < records_.size(); ++i)
      if (node->Matches(records_[i]))
        listed_.push_back(i);
  model_->Relist();
}

void TTanmatsuListForm::FillTreeRows(int keepRow) {
  root_->FillRows(rows_);
  tree_->SetRows(&rows_);
  tree_->SetSelectedRow(std::min(keepRow, static_cast<int>(rows_.Count()) - 1));
}

void TTanmatsuListForm::RedrawTree() {
  tree_->RowsChanged();
}

void TTanmatsuListForm::BuildTabs() {
  buildingTabs_ = true;
  while (tabs_->count() > 0)
    tabs_->removeTab(tabs_->count() - 1);
  for (std::size_t i = 0; i < makeSets_.Sets().Count(); ++i)
    tabs_->addTab(QString::fromStdString(makeSets_.TabCaption(i)));
  tabs_->setCurrentIndex(static_cast<int>(makeSets_.CurrentIndex()));
  buildingTabs_ = false;
}

void TTanmatsuListForm::RefreshTabCaptions() {
  // A set command applies its set before the tabs are rebuilt: the tabs may
  // outnumber the sets for a moment.
  const int count = std::min(tabs_->count(), static_cast<int>(makeSets_.Sets().Count()));
  for (int i = 0; i < count; ++i)
    tabs_->setTabText(i, QString::fromStdString(makeSets_.TabCaption(static_cast<std::size_t>(i))));
}

void TTanmatsuListForm::ApplyCurrentSet() {
  // The batch reports every handset, so SelectionUpdated recomputes the
  // whole tree.
  makeSets_.ApplyCurrent();
}

void TTanmatsuListForm::GetStatusText(std::string& text) {
  text = HandsetPageStatus(WorkingSet().TargetCount(), WorkingSet().HandsetCount());
}

void TTanmatsuListForm::PageActivated() {
  ApplyCurrentSet();
  TMirufoSheetForm::PageActivated();
  RefreshNext();
}

void TTanmatsuListForm::SelectionChanged(std::size_t index, bool selected) {
  makeSets_.SelectionChanged(index, selected);
  if (!changedAll_) {
    changed_.push_back(index);
    changedAll_ = changed_.size() > kWholeTreeThreshold;
  }
}

void TTanmatsuListForm::SelectionUpdated() {
  if (changedAll_)
    root_->UpdateAll();
  else
    UpdateTreeForHandsets(*root_, Form().Session(), changed_);
  changed_.clear();
  changedAll_ = false;
  RedrawTree();
  model_->Redraw();
  RefreshTabCaptions();
  RefreshStatusText();
  RefreshNext();
}

std::vector<QMenu*> TTanmatsuListForm::GetPageMenu() {
  return menus_;
}

bool TTanmatsuListForm::CanGoNext() {
  return WorkingSet().TargetCount() > 0;
}

void TTanmatsuListForm::UpdateActions() {
  actSetDelete->setEnabled(makeSets_.CanDeleteSet());
}

void TTanmatsuListForm::SelectTreeRow(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.Count())
    return;
  tree_->SetSelectedRow(row);
  ListSelectedNode();
}

void TTanmatsuListForm::ClickTreeCheckBox(int row) {
  SelectTreeRow(row);
  TTanmatsuTreeNode* node = SelectedNode();
  if (!node)
    return;
  ClickNodeCheckBox(*root_, *node, Form().Session(), listed_);
  RedrawTree();
}

void TTanmatsuListForm::ToggleTreeRow(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.Count())
    return;
  TTanmatsuTreeNode* node = rows_.Items(static_cast<std::size_t>(row));
  node->SetExpanded(!node->IsExpanded());
  // The same row position stays selected.
  const int keep = tree_->SelectedRow();
  FillTreeRows(keep);
  if (SelectedNode() != nullptr)
    ListSelectedNode();
}

void TTanmatsuListForm::ClickTick(int row, bool shift) {
  if (row < 0 || static_cast<std::size_t>(row) >= listed_.size())
    return;
  if (shift) {
    TickListed(SelectedHandsets(), !model_->IsTicked(row));
    return;
  }
  const std::size_t handset = listed_[static_cast<std::size_t>(row)];
  SelectHandset(handset, !Form().Session().IsSelected(handset));
}

void TTanmatsuListForm::SortByColumn(int column) {
  // The selection follows its handsets to their new rows.
  const std::vector<std::size_t> selected = SelectedHandsets();
  settings_.SortInfo.ClickHeader(column);
  settings_.SortInfo.Sort(listed_, Form().Session());
  model_->Relist();
  SelectHandsetRows(selected);
}

void TTanmatsuListForm::SelectHandsetRows(const std::vector<std::size_t>& handsets) {
  QItemSelection selection;
  for (std::size_t row = 0; row < listed_.size(); ++row)
    if (std::find(handsets.begin(), handsets.end(), listed_[row]) != handsets.end())
      selection.select(model_->index(static_cast<int>(row), 0),
                       model_->index(static_cast<int>(row), kTanmatsuColumnCount - 1));
  list_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

std::vector<std::size_t> TTanmatsuListForm::SelectedHandsets() const {
  std::vector<std::size_t> handsets;
  for (int row : list_->SelectedRows())
    handsets.push_back(listed_[static_cast<std::size_t>(row)]);
  return handsets;
}

void TTanmatsuListForm::TickListed(const std::vector<std::size_t>& handsets, bool on) {
  if (!handsets.empty())
    SelectHandsets(handsets, on);
}

void TTanmatsuListForm::CheckSelectedOnly() {
  std::vector<bool> ticks(WorkingSet().HandsetCount(), false);
  for (std::size_t handset : SelectedHandsets())
    ticks[handset] = true;
  ApplySelection(ticks);
}

void TTanmatsuListForm::SetAdd() {
  const std::size_t index = makeSets_.NewSet();
  BuildTabs();
  tabs_->setCurrentIndex(static_cast<int>(index));
}

void TTanmatsuListForm::SetClone() {
  const std::size_t index = makeSets_.CloneSet();
  BuildTabs();
  tabs_->setCurrentIndex(static_cast<int>(index));
}

void TTanmatsuListForm::SetRename() {
  const TSetRenamePrompt prompt = makeSets_.RenamePrompt();
  const std::optional<std::string> answer =
      InputBox(this, prompt.Caption, prompt.Prompt, prompt.Text);
  if (!answer)
    return;
  if (!makeSets_.RenameSet(*answer)) {
    QApplication::beep();
    return;
  }
  RefreshTabCaptions();
}

void TTanmatsuListForm::SetDelete() {
  const TSetMessage message = makeSets_.DeleteSetMessage();
  if (message.Kind == smError) {
    CuteMessageDlg(message.Text, mtError, message.Buttons, {mrOk});
    return;
  }
  if (CuteMessageDlg(message.Text, mtConfirmation, message.Buttons, {mrYes, mrNo}) != mrYes)
    return;
  if (makeSets_.DeleteCurrentSet())
    BuildTabs();
}

void TTanmatsuListForm::TanmatsuAdd() {
  TTanmatsuRecord record;
  // A new handset starts from the dialog's own defaults.
  TTanmatsuDialogValues defaults;
  record = defaults.ToRecord();
  record.Name.clear();
  if (!TTanmatsuDialog::EditOne(this, "端末の追加", record, CacheNamesOf(WorkingSet().Handsets())))
    return;
  const std::size_t index = WorkingSet().AddHandset(record);
  makeSets_.HandsetAdded(index);
  root_->AddRecord(WorkingSet().GetHandset(index));
  RefreshRecords();
  FillTreeRows(tree_->SelectedRow());
  ListSelectedNode();
  // The new handset is ticked: the pages hear of it as of any other tick,
  // and its target gets the run's comment and calendar.
  SelectHandset(index, true);
}

void TTanmatsuListForm::TanmatsuImport() {
  const std::string file = AskListFileName(ShippedHandsetListFolder().string());
  if (!file.empty())
    ImportList(file);
}

void TTanmatsuListForm::ImportList(const std::filesystem::path& file) {
  const std::size_t before = WorkingSet().HandsetCount();
  const THandsetListImport result = ImportHandsetList(WorkingSet(), file);
  std::vector<std::size_t> added;
  for (std::size_t index = before; index < WorkingSet().HandsetCount(); ++index) {
    makeSets_.HandsetAdded(index);
    added.push_back(index);
  }
  if (!added.empty()) {
    // Handsets with a series may give "ユーザー定義" its first children, and
    // then every user handset needs a node: the tree is built anew.
    root_ = CreateTanmatsuTree(
        WorkingSet(), [this](const TTanmatsuTreeNode& node) { return LeafCheckState(node); });
    RefreshRecords();
    FillTreeRows(0);
    ListSelectedNode();
    // The new handsets are ticked: the pages hear of them as of any other
    // tick, and their targets get the run's comment and calendar.
    SelectHandsets(added, true);
    root_->UpdateAll();
    RedrawTree();
  }
  CuteMessageDlg(HandsetListImportText(file, result), mtInformation, {"OK"}, {mrOk});
}

void TTanmatsuListForm::TanmatsuEdit() {
  const std::vector<std::size_t> handsets = SelectedHandsets();
  if (handsets.empty())
    return;
  for (std::size_t h : handsets) {
    if (records_[h].Carrier != crUser) {
      CuteMessageDlg("ユーザー端末以外は編集できません", mtError, {N_("そうですか")}, {mrOk});
      return;
    }
  }
  const std::vector<std::string> names = CacheNamesOf(WorkingSet().Handsets());
  std::vector<TTanmatsuRecord> edited;
  for (std::size_t h : handsets)
    edited.push_back(WorkingSet().GetHandset(h));
  bool ok = false;
  if (edited.size() == 1) {
    ok = TTanmatsuDialog::EditOne(this, "端末の編集", edited.front(), names);
  } else {
    const std::string caption =
        FillFormat(Tr("端末の編集（%d個の端末）"), {std::to_string(edited.size())});
    ok = TTanmatsuDialog::EditMany(this, caption, edited, names);
  }
  if (!ok)
    return;
  for (std::size_t i = 0; i < handsets.size(); ++i)
    WorkingSet().UpdateHandset(handsets[i], edited[i]);
  RefreshRecords();
  model_->Redraw();
}

void TTanmatsuListForm::TanmatsuDelete() {
  std::vector<std::size_t> handsets = SelectedHandsets();
  if (handsets.empty())
    return;
  for (std::size_t h : handsets) {
    if (records_[h].Carrier != crUser) {
      CuteMessageDlg("ユーザー端末以外は削除できません", mtError, {N_("なるほど")}, {mrOk});
      return;
    }
  }
  const std::string question =
      handsets.size() == 1
          ? FillFormat(Tr("%s を削除してもよろしいですか？"), {records_[handsets.front()].Name})
          : FillFormat(Tr("これらの %d 個の端末を削除してよろしいですか？"),
                       {std::to_string(handsets.size())});
  if (CuteMessageDlg(question, mtConfirmation, {N_("いいかも"), N_("ダメかも")}, {mrYes, mrNo}) !=
      mrYes)
    return;
  // From the highest index down, so that the others stay valid.
  std::sort(handsets.rbegin(), handsets.rend());
  for (std::size_t h : handsets) {
    WorkingSet().DeleteHandset(h);
    makeSets_.HandsetDeleted(h);
  }
  RefreshRecords();
  ListSelectedNode();
  root_->UpdateAll();
  RedrawTree();
  // The pages hear of the changed ticks as one (empty) batch.
  SelectHandsets({}, true);
}

void TTanmatsuListForm::EditCacheList() {
  if (!TCacheListDialog::Edit(this, WorkingSet()))
    return;
  RefreshRecords();
  model_->Redraw();
}

} // namespace mirufo
