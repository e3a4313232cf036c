#include "app/pages/tanmatsu_list_view.h"

#include "platform/translate.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace mirufo {
namespace {

constexpr int kTextInset = kColumnTextInset;
constexpr int kNameColumn = 1;
// Widths are measured over this many handsets at most, so that a list of
// hundreds of thousands still opens at once; within them, over the texts
// that are longest on a rough count (a wide character counts twice).
constexpr std::size_t kMeasuredHandsets = 50000;
constexpr std::size_t kMeasuredTexts = 24;

std::size_t RoughWidth(const QString& text) {
  std::size_t width = 0;
  for (QChar c : text)
    width += c.unicode() >= 0x1100 ? 2 : 1;
  return width;
}

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
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  connect(horizontalHeader(), &QHeaderView::sectionResized, this,
          [this](int column, int, int width) { SectionResized(column, width); });
}

int TTanmatsuListView::ContentWidth(int column, const std::vector<TTanmatsuRecord>& records) const {
  int width = horizontalHeader()->sectionSizeHint(column) - 2 * kTextInset;
  if (column == 0)
    return std::max(width, style()->pixelMetric(QStyle::PM_IndicatorWidth));
  const std::size_t count = std::min(records.size(), kMeasuredHandsets);
  std::vector<std::pair<std::size_t, QString>> longest;
  for (std::size_t i = 0; i < count; ++i) {
    QString text = QString::fromStdString(TanmatsuColumnText(records[i], column));
    longest.emplace_back(RoughWidth(text), std::move(text));
    if (longest.size() >= 4 * kMeasuredTexts) {
      std::nth_element(longest.begin(), longest.begin() + kMeasuredTexts, longest.end(),
                       [](const auto& a, const auto& b) { return a.first > b.first; });
      longest.resize(kMeasuredTexts);
    }
  }
  const QFontMetrics metrics(font());
  for (const auto& text : longest)
    width = std::max(width, metrics.horizontalAdvance(text.second));
  return width;
}

void TTanmatsuListView::SetColumnWidths(const std::array<int, kTanmatsuColumnCount>& widths,
                                        const std::vector<TTanmatsuRecord>& records) {
  fitting_ = true;
  for (int n = 0; n < kTanmatsuColumnCount; ++n) {
    const int stored = widths[static_cast<std::size_t>(n)];
    const int width = stored == kFitColumnWidth ? FittingColumnWidth(n, ContentWidth(n, records))
                                                : ClampColumnWidth(n, stored);
    horizontalHeader()->resizeSection(n, width);
  }
  nameWidth_ = horizontalHeader()->sectionSize(kNameColumn);
  fitting_ = false;
  FillWithNameColumn();
}

std::array<int, kTanmatsuColumnCount> TTanmatsuListView::ColumnWidths() const {
  std::array<int, kTanmatsuColumnCount> widths{};
  for (int n = 0; n < kTanmatsuColumnCount; ++n)
    widths[static_cast<std::size_t>(n)] =
        ClampColumnWidth(n, n == kNameColumn ? nameWidth_ : horizontalHeader()->sectionSize(n));
  return widths;
}

void TTanmatsuListView::SectionResized(int column, int width) {
  if (fitting_)
    return;
  const int kept = ClampColumnWidth(column, width);
  if (kept != width) {
    fitting_ = true;
    horizontalHeader()->resizeSection(column, kept);
    fitting_ = false;
  }
  // Dragging the name column's border sets its own width; it still fills
  // whatever room the others leave.
  if (column == kNameColumn)
    nameWidth_ = kept;
  FillWithNameColumn();
}

void TTanmatsuListView::FillWithNameColumn() {
  if (fitting_ || !model() || model()->columnCount() <= kNameColumn)
    return;
  int others = 0;
  for (int n = 0; n < horizontalHeader()->count(); ++n)
    if (n != kNameColumn)
      others += horizontalHeader()->sectionSize(n);
  const int width = std::max(nameWidth_, viewport()->width() - others);
  if (width == horizontalHeader()->sectionSize(kNameColumn))
    return;
  fitting_ = true;
  horizontalHeader()->resizeSection(kNameColumn, width);
  fitting_ = false;
}

void TTanmatsuListView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  FillWithNameColumn();
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
