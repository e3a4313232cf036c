#include "app/dialogs/cache_list_dialog.h"

#include "app/cute_message_dlg.h"
#include "app/dialogs/dialog_buttons.h"
#include "app/dialogs/input_box.h"
#include "output/cache_list_edit.h"
#include "output/tanmatsu_option_list.h"
#include "platform/translate.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace mirufo {
namespace {

QString Q(const char* text) {
  return QString::fromUtf8(Tr(text));
}

TCacheListDialog::THook& Hook() {
  static TCacheListDialog::THook hook;
  return hook;
}

} // namespace

void TCacheListDialog::SetHook(THook hook) {
  Hook() = std::move(hook);
}

TCacheListDialog::TCacheListDialog(QWidget* parent, const TTanmatsuList& caches) : QDialog(parent) {
  setObjectName("CacheListDialog");
  setWindowTitle(Q("キャッシュ容量リスト"));
  caches_.AssignCaches(caches);

  lstCaches = new QTreeWidget;
  lstCaches->setObjectName("lstCaches");
  lstCaches->setRootIsDecorated(false);
  lstCaches->setHeaderLabels({Q("名前"), Q("キャッシュ容量")});
  lstCaches->header()->setStretchLastSection(false);
  lstCaches->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  lstCaches->setColumnWidth(1, 100);
  lstCaches->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);

  trkCapacity = new QSlider(Qt::Horizontal);
  trkCapacity->setObjectName("trkCapacity");
  trkCapacity->setRange(kCacheSliderMin, kCacheSliderMax);
  trkCapacity->setTickPosition(QSlider::TicksBelow);
  trkCapacity->setTickInterval(50);
  trkCapacity->setPageStep(50);
  auto* sliderRow = new QHBoxLayout;
  sliderRow->addWidget(new QLabel("1KB"));
  sliderRow->addWidget(trkCapacity, 1);
  sliderRow->addWidget(new QLabel("100KB"));

  btnAdd = new QPushButton(Q("追加(&A)..."));
  btnAdd->setObjectName("btnAdd");
  btnDelete = new QPushButton(Q("削除(&D)"));
  btnDelete->setObjectName("btnDelete");
  QDialogButtonBox* buttons = OkCancelButtons(this);
  for (QPushButton* b : {btnAdd, btnDelete})
    b->setAutoDefault(false);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lstCaches, 1);
  layout->addLayout(sliderRow);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(btnAdd);
  bottom->addWidget(btnDelete);
  bottom->addStretch(1);
  bottom->addWidget(buttons);
  layout->addLayout(bottom);
  resize(360, 380);

  connect(btnAdd, &QPushButton::clicked, this, [this] { AddEntry(); });
  connect(btnDelete, &QPushButton::clicked, this, [this] { DeleteEntry(); });
  // Selecting a row, not merely the focus frame, shows its capacity.
  connect(lstCaches, &QTreeWidget::itemSelectionChanged, this, [this] {
    const QList<QTreeWidgetItem*> selected = lstCaches->selectedItems();
    if (!selected.isEmpty())
      SelectRow(lstCaches->indexOfTopLevelItem(selected.front()));
  });
  connect(trkCapacity, &QSlider::valueChanged, this, [this](int p) { SliderMoved(p); });
  FillList();
}

void TCacheListDialog::FillList() {
  const int current = lstCaches->indexOfTopLevelItem(lstCaches->currentItem());
  const QSignalBlocker block(lstCaches);
  lstCaches->clear();
  for (std::size_t i = 0; i < caches_.CacheCount(); ++i) {
    const TCacheCapacity entry = caches_.GetCache(i);
    auto* item = new QTreeWidgetItem(
        {QString::fromStdString(entry.Name), QString::fromStdString(CacheToStr(entry.Capacity))});
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    lstCaches->addTopLevelItem(item);
  }
  if (current >= 0 && current < lstCaches->topLevelItemCount())
    lstCaches->setCurrentItem(lstCaches->topLevelItem(current));
}

void TCacheListDialog::SelectRow(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= caches_.CacheCount())
    return;
  if (lstCaches->currentItem() != lstCaches->topLevelItem(row)) {
    const QSignalBlocker block(lstCaches);
    lstCaches->setCurrentItem(lstCaches->topLevelItem(row));
  }
  // Showing the entry's capacity is not a change of it.
  movingSlider_ = true;
  trkCapacity->setValue(
      CacheSliderPosition(caches_.GetCache(static_cast<std::size_t>(row)).Capacity));
  movingSlider_ = false;
}

void TCacheListDialog::SliderMoved(int position) {
  const int row = lstCaches->indexOfTopLevelItem(lstCaches->currentItem());
  if (movingSlider_ || row < 0 || !lstCaches->currentItem()->isSelected())
    return;
  TCacheCapacity entry = caches_.GetCache(static_cast<std::size_t>(row));
  entry.Capacity = CacheSliderCapacity(position);
  caches_.SetCache(static_cast<std::size_t>(row), entry);
  lstCaches->currentItem()->setText(1, QString::fromStdString(CacheToStr(entry.Capacity)));
}

void TCacheListDialog::AddEntry() {
  std::string text;
  for (;;) {
    const std::optional<std::string> answer = InputBox(
        this, "キャッシュ容量の追加", N_("新しいキャッシュ容量の名前を入力して下さい。"), text);
    if (!answer)
      return;
    if (const std::optional<std::string> refusal = CheckNewCacheName(caches_, *answer)) {
      CuteMessageDlg(*refusal, mtError, {"OK"}, {mrOk});
      text = *answer;
      continue;
    }
    AddCacheEntry(caches_, *answer, trkCapacity->value());
    FillList();
    return;
  }
}

void TCacheListDialog::DeleteEntry() {
  QTreeWidgetItem* item = lstCaches->currentItem();
  if (!item || !item->isSelected())
    return;
  caches_.DeleteCache(static_cast<std::size_t>(lstCaches->indexOfTopLevelItem(item)));
  FillList();
  lstCaches->clearSelection();
}

bool TCacheListDialog::Edit(QWidget* parent, TTanmatsuOptionList& workingSet) {
  TCacheListDialog dialog(parent, workingSet.Handsets());
  const bool ok = Hook() ? Hook()(dialog) : dialog.exec() == QDialog::Accepted;
  if (ok)
    ConfirmCacheList(workingSet, dialog.Caches());
  return ok;
}

} // namespace mirufo
