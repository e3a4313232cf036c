#include "app/pages/tanmatsu_tree_view.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolTip>

namespace mirufo {

TTanmatsuTreeView::TTanmatsuTreeView(QWidget* parent) : QAbstractScrollArea(parent) {
  setObjectName("TanmatsuTree");
  setFocusPolicy(Qt::StrongFocus);
  const int size = style()->pixelMetric(QStyle::PM_IndicatorWidth);
  const int height = style()->pixelMetric(QStyle::PM_IndicatorHeight);
  geometry_.CheckBoxWidth = size;
  geometry_.CheckBoxHeight = height;
  geometry_.RowHeight = std::max({18, height + 2, fontMetrics().height() + 2});
  // Captions are cut to the pane's width rather than scrolled; the pane
  // keeps room for a few characters at the deepest level.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setMinimumWidth(geometry_.CaptionLeft(3) + 4 * fontMetrics().averageCharWidth() +
                  2 * frameWidth());
}

void TTanmatsuTreeView::SetRows(const TTanmatsuTreeNodeList* rows) {
  rows_ = rows;
  RowsChanged();
}

int TTanmatsuTreeView::RowCount() const {
  return rows_ ? static_cast<int>(rows_->Count()) : 0;
}

int TTanmatsuTreeView::RowTop(int row) const {
  return row * geometry_.RowHeight - verticalScrollBar()->value();
}

int TTanmatsuTreeView::RowAt(int y) const {
  const int row = (y + verticalScrollBar()->value()) / geometry_.RowHeight;
  return y >= 0 && row < RowCount() ? row : -1;
}

QString TTanmatsuTreeView::ShownCaption(int row) const {
  if (row < 0 || row >= RowCount())
    return {};
  const TTanmatsuTreeNode* node = rows_->Items(static_cast<std::size_t>(row));
  const int room = viewport()->width() - geometry_.CaptionLeft(node->Level()) - 2;
  return fontMetrics().elidedText(QString::fromStdString(node->Caption()), Qt::ElideRight,
                                  std::max(room, 0));
}

bool TTanmatsuTreeView::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const int row = RowAt(help->pos().y());
    const QString full =
        row >= 0 ? QString::fromStdString(rows_->Items(static_cast<std::size_t>(row))->Caption())
                 : QString();
    if (row >= 0 && ShownCaption(row) != full)
      QToolTip::showText(help->globalPos(), full, viewport());
    else
      QToolTip::hideText();
    return true;
  }
  return QAbstractScrollArea::viewportEvent(event);
}

void TTanmatsuTreeView::SetSelectedRow(int row) {
  selected_ = (row >= 0 && row < RowCount()) ? row : -1;
  if (selected_ >= 0)
    EnsureVisible(selected_);
  viewport()->update();
}

void TTanmatsuTreeView::RowsChanged() {
  if (selected_ >= RowCount())
    selected_ = RowCount() - 1;
  UpdateScrollBar();
  viewport()->update();
}

QRect TTanmatsuTreeView::CheckBoxRect(int row) const {
  if (row < 0 || row >= RowCount())
    return {};
  const TTreeBox box = geometry_.CheckBox(rows_->Items(static_cast<std::size_t>(row))->Level());
  const int dx = -horizontalScrollBar()->value();
  return {box.Left + dx, RowTop(row) + box.Top, box.Right - box.Left, box.Bottom - box.Top};
}

QRect TTanmatsuTreeView::ExpandBoxRect(int row) const {
  if (row < 0 || row >= RowCount())
    return {};
  const TTreeBox box = geometry_.ExpandBox(rows_->Items(static_cast<std::size_t>(row))->Level());
  const int dx = -horizontalScrollBar()->value();
  return {box.Left + dx, RowTop(row) + box.Top, box.Right - box.Left, box.Bottom - box.Top};
}

void TTanmatsuTreeView::UpdateScrollBar() {
  const int content = RowCount() * geometry_.RowHeight;
  verticalScrollBar()->setPageStep(viewport()->height());
  verticalScrollBar()->setSingleStep(geometry_.RowHeight);
  verticalScrollBar()->setRange(0, std::max(0, content - viewport()->height()));
}

void TTanmatsuTreeView::EnsureVisible(int row) {
  const int top = row * geometry_.RowHeight;
  QScrollBar* bar = verticalScrollBar();
  if (top < bar->value())
    bar->setValue(top);
  else if (top + geometry_.RowHeight > bar->value() + viewport()->height())
    bar->setValue(top + geometry_.RowHeight - viewport()->height());
}

void TTanmatsuTreeView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBar();
}

void TTanmatsuTreeView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QPalette& pal = palette();
  painter.fillRect(viewport()->rect(), pal.base());
  const int dx = -horizontalScrollBar()->value();
  const int first = std::max(0, verticalScrollBar()->value() / geometry_.RowHeight);
  for (int row = first; row < RowCount(); ++row) {
    const int top = RowTop(row);
    if (top > viewport()->height())
      break;
    const TTanmatsuTreeNode* node = rows_->Items(static_cast<std::size_t>(row));
    const int level = node->Level();
    const int captionLeft = geometry_.CaptionLeft(level) + dx;
    const QString caption = ShownCaption(row);
    QColor text = pal.color(QPalette::Text);
    if (row == selected_) {
      const QRect band(captionLeft - 2, top, painter.fontMetrics().horizontalAdvance(caption) + 4,
                       geometry_.RowHeight);
      painter.fillRect(band, hasFocus() ? pal.highlight() : pal.mid());
      text = hasFocus() ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text);
    }
    if (node->HasChildren()) {
      const TTreeBox b = geometry_.ExpandBox(level);
      const QRect box(b.Left + dx, top + b.Top, b.Right - b.Left - 1, b.Bottom - b.Top - 1);
      painter.setPen(pal.color(QPalette::Dark));
      painter.setBrush(pal.base());
      painter.drawRect(box);
      painter.setPen(pal.color(QPalette::Text));
      const QPoint c = box.center();
      painter.drawLine(box.left() + 2, c.y(), box.right() - 2, c.y());
      if (!node->IsExpanded())
        painter.drawLine(c.x(), box.top() + 2, c.x(), box.bottom() - 2);
    }
    QStyleOptionButton check;
    check.rect = CheckBoxRect(row);
    check.state = QStyle::State_Enabled;
    switch (node->CheckState()) {
    case cbChecked:
      check.state |= QStyle::State_On;
      break;
    case cbGrayed:
      check.state |= QStyle::State_NoChange;
      break;
    default:
      check.state |= QStyle::State_Off;
    }
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &check, &painter, this);
    painter.setPen(text);
    painter.drawText(
        QRect(captionLeft, top, viewport()->width() - captionLeft + 4096, geometry_.RowHeight),
        Qt::AlignLeft | Qt::AlignVCenter, caption);
  }
}

void TTanmatsuTreeView::mousePressEvent(QMouseEvent* event) {
  if (!rows_ || event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  const QPoint at = event->position().toPoint();
  const TTreeHit hit = HitTestTreeRows(*rows_, geometry_, at.x() + horizontalScrollBar()->value(),
                                       at.y() + verticalScrollBar()->value());
  if (hit.Kind == thNone)
    return;
  const int row = static_cast<int>(hit.Row);
  switch (hit.Kind) {
  case thExpandBox:
    emit ExpandToggled(row);
    break;
  case thCheckBox:
    emit CheckBoxClicked(row);
    break;
  default:
    emit RowSelected(row);
  }
}

void TTanmatsuTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!rows_ || event->button() != Qt::LeftButton)
    return;
  const QPoint at = event->position().toPoint();
  const TTreeHit hit = HitTestTreeRows(*rows_, geometry_, at.x() + horizontalScrollBar()->value(),
                                       at.y() + verticalScrollBar()->value());
  if (hit.Kind == thRow)
    emit ExpandToggled(static_cast<int>(hit.Row));
}

void TTanmatsuTreeView::keyPressEvent(QKeyEvent* event) {
  const int row = selected_;
  switch (event->key()) {
  case Qt::Key_Up:
    if (row > 0)
      emit RowSelected(row - 1);
    return;
  case Qt::Key_Down:
    if (row + 1 < RowCount())
      emit RowSelected(row + 1);
    return;
  case Qt::Key_Home:
    if (RowCount() > 0)
      emit RowSelected(0);
    return;
  case Qt::Key_End:
    if (RowCount() > 0)
      emit RowSelected(RowCount() - 1);
    return;
  case Qt::Key_Space:
    if (row >= 0)
      emit CheckBoxClicked(row);
    return;
  case Qt::Key_Left:
  case Qt::Key_Right:
  case Qt::Key_Plus:
  case Qt::Key_Minus: {
    if (row < 0)
      return;
    const TTanmatsuTreeNode* node = rows_->Items(static_cast<std::size_t>(row));
    const bool open = event->key() == Qt::Key_Right || event->key() == Qt::Key_Plus;
    if (node->HasChildren() && node->IsExpanded() != open)
      emit ExpandToggled(row);
    else if (!open && node->Parent())
      emit RowSelected(rows_->IndexOf(node->Parent()));
    return;
  }
  default:
    QAbstractScrollArea::keyPressEvent(event);
  }
}

} // namespace mirufo
