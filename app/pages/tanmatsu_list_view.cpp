#include "app/pages/tanmatsu_list_view.h"

#include "catalogue/tanmatsu_sort_info.h"
#include "platform/translate.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace mirufo {
namespace {

constexpr int kTextInset = 5;

Qt::Alignment AlignmentOf(int column) {
  switch (TanmatsuColumns()[static_cast<std::size_t>(column)].Alignment) {
  case caCenter:
    return Qt::AlignHCenter;
  case caRight:
    return Qt::AlignRight;
  default:
    return Qt::AlignLeft;
  }
}

} // namespace

TTanmatsuListModel::TTanmatsuListModel(const std::vector<TTanmatsuRecord>& records,
                                       const std::vector<std::size_t>& listed,
                                       const TTanmatsuSelection& ticks, QObject* parent)
    : QAbstractTableModel(parent), records_(records), listed_(listed), ticks_(ticks) {}

int TTanmatsuListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(listed_.size());
}

int TTanmatsuListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kTanmatsuColumnCount;
}

QVariant TTanmatsuListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount())
    return {};
  const std::size_t handset = HandsetAt(index.row());
  if (handset >= records_.size())
    return {};
  switch (role) {
  case Qt::DisplayRole:
    return QString::fromStdString(TanmatsuColumnText(records_[handset], index.column()));
  case Qt::CheckStateRole:
    if (index.column() == 0)
      return ticks_.IsSelected(handset) ? Qt::Checked : Qt::Unchecked;
    return {};
  case Qt::TextAlignmentRole:
    return QVariant::fromValue(AlignmentOf(index.column()) | Qt::AlignVCenter);
  default:
    return {};
  }
}

QVariant TTanmatsuListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kTanmatsuColumnCount)
    return {};
  if (role == Qt::DisplayRole)
    return QString::fromUtf8(Tr(TanmatsuColumns()[static_cast<std::size_t>(section)].Caption));
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(AlignmentOf(section) | Qt::AlignVCenter);
  return {};
}

void TTanmatsuListModel::Relist() {
  beginResetModel();
  endResetModel();
}

void TTanmatsuListModel::Redraw() {
  if (rowCount() > 0)
    emit dataChanged(index(0, 0), index(rowCount() - 1, kTanmatsuColumnCount - 1));
  emit headerDataChanged(Qt::Horizontal, 0, kTanmatsuColumnCount - 1);
}

void TTanmatsuListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
  const QPalette& pal = option.palette;
  const bool selected = option.state & QStyle::State_Selected;
  const bool ticked = index.siblingAtColumn(0).data(Qt::CheckStateRole).toInt() == Qt::Checked;
  QColor background = pal.color(QPalette::Base);
  QColor text = pal.color(QPalette::Text);
  if (selected) {
    background = pal.color(QPalette::Highlight);
    text = pal.color(QPalette::HighlightedText);
  } else if (ticked) {
    background = pal.color(QPalette::ToolTipBase);
    text = pal.color(QPalette::ToolTipText);
  }
  painter->fillRect(option.rect, background);
  if (index.column() == 0) {
    QStyleOptionButton check;
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    const int w = style->pixelMetric(QStyle::PM_IndicatorWidth);
    const int h = style->pixelMetric(QStyle::PM_IndicatorHeight);
    check.rect = QRect(option.rect.center().x() - w / 2, option.rect.center().y() - h / 2, w, h);
    check.state = QStyle::State_Enabled | (ticked ? QStyle::State_On : QStyle::State_Off);
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &check, painter, option.widget);
    return;
  }
  const QRect room = option.rect.adjusted(kTextInset, 0, -kTextInset, 0);
  if (room.width() <= 0)
    return;
  const QFontMetrics metrics(option.font);
  const std::string full = index.data(Qt::DisplayRole).toString().toStdString();
  const std::string shown = ShortenText(full, [&](std::string_view t) {
    return metrics.horizontalAdvance(QString::fromUtf8(t.data(), static_cast<int>(t.size()))) <=
           room.width();
  });
  Qt::Alignment alignment = shown == full ? AlignmentOf(index.column()) : Qt::AlignLeft;
  painter->setFont(option.font);
  painter->setPen(text);
  painter->drawText(room, alignment | Qt::AlignVCenter, QString::fromStdString(shown));
}

TTanmatsuListView::TTanmatsuListView(QWidget* parent) : QTableView(parent) {
  setObjectName("TanmatsuList");
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setShowGrid(false);
  setWordWrap(false);
  setTabKeyNavigation(false);
  setItemDelegate(new TTanmatsuListDelegate(this));
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setMinimumSectionSize(kRowHeight);
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setStretchLastSection(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

std::vector<int> TTanmatsuListView::SelectedRows() const {
  std::vector<int> rows;
  if (!selectionModel())
    return rows;
  for (const QModelIndex& index : selectionModel()->selectedRows())
    rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void TTanmatsuListView::mousePressEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton && index.isValid() && index.column() == 0) {
    // The tick column ticks; it leaves the selection alone, so that a
    // Shift-click acts on the rows already selected.
    setFocus(Qt::MouseFocusReason);
    emit TickClicked(index.row(), event->modifiers() & Qt::ShiftModifier);
    return;
  }
  QTableView::mousePressEvent(event);
}

void TTanmatsuListView::mouseDoubleClickEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  // A quick second click in the tick column is a second tick.
  if (event->button() == Qt::LeftButton && index.isValid() && index.column() == 0) {
    emit TickClicked(index.row(), event->modifiers() & Qt::ShiftModifier);
    return;
  }
  QTableView::mouseDoubleClickEvent(event);
}

void TTanmatsuListView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
    if (currentIndex().isValid())
      emit SpacePressed(currentIndex().row());
    return;
  }
  QTableView::keyPressEvent(event);
}

} // namespace mirufo
