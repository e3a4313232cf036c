#include "app/pages/standby_box_view.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace mirufo {

namespace {
constexpr int kGap = 4; // between boxes and around the grid
}

TStandbyBoxView::TStandbyBoxView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  // Boxes wider than the view (a desktop panel is thousands of pixels wide)
  // scroll sideways; otherwise the grid wraps and needs no horizontal bar.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
}

void TStandbyBoxView::SetBoxes(int count, QSize size) {
  count_ = std::max(count, 0);
  boxSize_ = size.expandedTo(QSize(1, 1));
  cache_.assign(static_cast<std::size_t>(count_), QImage());
  drawOrder_.clear();
  cachedBytes_ = 0;
  std::erase_if(selection_, [this](int box) { return box >= count_; });
  if (current_ >= count_)
    current_ = anchor_ = -1;
  UpdateScrollBars();
  viewport()->update();
}

void TStandbyBoxView::InvalidateBox(int box) {
  if (box < 0 || box >= count_)
    return;
  QImage& image = cache_[static_cast<std::size_t>(box)];
  if (!image.isNull()) {
    cachedBytes_ -= image.sizeInBytes();
    image = QImage();
    std::erase(drawOrder_, box);
  }
  viewport()->update(BoxRect(box));
}

void TStandbyBoxView::InvalidateAll() {
  for (QImage& image : cache_)
    image = QImage();
  drawOrder_.clear();
  cachedBytes_ = 0;
  viewport()->update();
}

void TStandbyBoxView::TrimCache(int firstVisible, int lastVisible) {
  std::deque<int> kept;
  while (cachedBytes_ > CacheBudget && !drawOrder_.empty()) {
    const int box = drawOrder_.front();
    drawOrder_.pop_front();
    if (box >= firstVisible && box <= lastVisible) {
      kept.push_back(box);
      continue;
    }
    QImage& image = cache_[static_cast<std::size_t>(box)];
    cachedBytes_ -= image.sizeInBytes();
    image = QImage();
  }
  drawOrder_.insert(drawOrder_.begin(), kept.begin(), kept.end());
}

bool TStandbyBoxView::IsCached(int box) const {
  return box >= 0 && box < count_ && !cache_[static_cast<std::size_t>(box)].isNull();
}

void TStandbyBoxView::SetSelection(std::vector<int> boxes) {
  std::erase_if(boxes, [this](int box) { return box < 0 || box >= count_; });
  std::sort(boxes.begin(), boxes.end());
  boxes.erase(std::unique(boxes.begin(), boxes.end()), boxes.end());
  if (boxes == selection_)
    return;
  selection_ = std::move(boxes);
  viewport()->update();
  emit selectionChanged();
}

int TStandbyBoxView::Columns() const {
  return std::max(1, (viewport()->width() - kGap) / (boxSize_.width() + kGap));
}

QRect TStandbyBoxView::BoxRect(int box) const {
  const int columns = Columns();
  const int x = kGap + (box % columns) * (boxSize_.width() + kGap) - horizontalScrollBar()->value();
  const int y = kGap + (box / columns) * (boxSize_.height() + kGap) - verticalScrollBar()->value();
  return {QPoint(x, y), boxSize_};
}

int TStandbyBoxView::BoxAt(QPoint point) const {
  const int columns = Columns();
  const int x = point.x() + horizontalScrollBar()->value() - kGap;
  const int y = point.y() + verticalScrollBar()->value() - kGap;
  if (x < 0 || y < 0)
    return -1;
  const int column = x / (boxSize_.width() + kGap);
  const int row = y / (boxSize_.height() + kGap);
  if (column >= columns || x % (boxSize_.width() + kGap) >= boxSize_.width() ||
      y % (boxSize_.height() + kGap) >= boxSize_.height())
    return -1;
  const int box = row * columns + column;
  return box < count_ ? box : -1;
}

void TStandbyBoxView::UpdateScrollBars() {
  const int columns = Columns();
  const int rows = (count_ + columns - 1) / columns;
  const int height = kGap + rows * (boxSize_.height() + kGap);
  verticalScrollBar()->setRange(0, std::max(0, height - viewport()->height()));
  verticalScrollBar()->setPageStep(viewport()->height());
  verticalScrollBar()->setSingleStep(std::max(1, boxSize_.height() / 4));
  const int width = kGap + columns * (boxSize_.width() + kGap);
  horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
  horizontalScrollBar()->setSingleStep(std::max(1, boxSize_.width() / 4));
}

const QImage& TStandbyBoxView::Picture(int box) {
  QImage& image = cache_[static_cast<std::size_t>(box)];
  if (image.isNull() && OnDrawBox) {
    image = OnDrawBox(box);
    if (!image.isNull()) {
      cachedBytes_ += image.sizeInBytes();
      drawOrder_.push_back(box);
    }
  }
  return image;
}

void TStandbyBoxView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QRect dirty = event->rect();
  const int columns = Columns();
  const int rowHeight = boxSize_.height() + kGap;
  const int top = verticalScrollBar()->value();
  const int firstRow = std::max(0, (dirty.top() + top - kGap) / rowHeight);
  const int lastRow = (dirty.bottom() + top - kGap) / rowHeight;
  for (int row = firstRow; row <= lastRow; ++row)
    for (int column = 0; column < columns; ++column) {
      const int box = row * columns + column;
      if (box >= count_)
        break;
      const QRect rect = BoxRect(box);
      if (!rect.intersects(dirty))
        continue;
      painter.drawImage(rect.topLeft(), Picture(box));
      if (std::binary_search(selection_.begin(), selection_.end(), box)) {
        painter.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect).adjusted(1, 1, -1, -1));
      }
    }
  const int firstVisible = std::max(0, (top - kGap) / rowHeight) * columns;
  const int lastVisible = ((top + viewport()->height()) / rowHeight + 1) * columns - 1;
  TrimCache(firstVisible, lastVisible);
}

void TStandbyBoxView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void TStandbyBoxView::scrollContentsBy(int, int) {
  viewport()->update();
}

void TStandbyBoxView::ClickBox(int box, Qt::KeyboardModifiers modifiers) {
  if (box < 0) {
    if (!(modifiers & (Qt::ControlModifier | Qt::ShiftModifier)))
      SetSelection({});
    return;
  }
  std::vector<int> boxes;
  if (modifiers & Qt::ShiftModifier && anchor_ >= 0) {
    if (modifiers & Qt::ControlModifier)
      boxes = selection_;
    for (int b = std::min(anchor_, box); b <= std::max(anchor_, box); ++b)
      boxes.push_back(b);
  } else if (modifiers & Qt::ControlModifier) {
    boxes = selection_;
    auto it = std::find(boxes.begin(), boxes.end(), box);
    if (it != boxes.end())
      boxes.erase(it);
    else
      boxes.push_back(box);
    anchor_ = box;
  } else {
    boxes = {box};
    anchor_ = box;
  }
  current_ = box;
  SetSelection(std::move(boxes));
  EnsureVisible(box);
}

void TStandbyBoxView::EnsureVisible(int box) {
  const QRect rect = BoxRect(box);
  QScrollBar* bar = verticalScrollBar();
  if (rect.top() < 0)
    bar->setValue(bar->value() + rect.top() - kGap);
  else if (rect.bottom() > viewport()->height())
    bar->setValue(bar->value() + rect.bottom() - viewport()->height() + kGap);
}

void TStandbyBoxView::mousePressEvent(QMouseEvent* event) {
  const int box = BoxAt(event->position().toPoint());
  // A right click on a selected box keeps the selection for the pop-up menu.
  if (event->button() == Qt::RightButton && box >= 0 &&
      std::binary_search(selection_.begin(), selection_.end(), box))
    return;
  ClickBox(box, event->modifiers());
}

void TStandbyBoxView::keyPressEvent(QKeyEvent* event) {
  if (count_ == 0)
    return QAbstractScrollArea::keyPressEvent(event);
  const int columns = Columns();
  int box = current_ < 0 ? 0 : current_;
  switch (event->key()) {
  case Qt::Key_Left:
    box = std::max(0, box - 1);
    break;
  case Qt::Key_Right:
    box = std::min(count_ - 1, box + 1);
    break;
  case Qt::Key_Up:
    box = box >= columns ? box - columns : box;
    break;
  case Qt::Key_Down:
    box = box + columns < count_ ? box + columns : box;
    break;
  case Qt::Key_Home:
    box = 0;
    break;
  case Qt::Key_End:
    box = count_ - 1;
    break;
  default:
    return QAbstractScrollArea::keyPressEvent(event);
  }
  ClickBox(box, event->modifiers() & Qt::ShiftModifier);
}

void TStandbyBoxView::contextMenuEvent(QContextMenuEvent* event) {
  if (PopupMenu)
    PopupMenu->exec(event->globalPos());
}

} // namespace mirufo
