#include "app/pages/source_picture_view.h"

#include "platform/translate.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace mirufo {
namespace {

constexpr const char* kEmptyPageHint =
    N_("画像を開くには、ここをダブルクリックするか Ctrl+O を押します。\n"
       "画像ファイルをここにドロップするか、Ctrl+V で貼り付けることもできます。");

int WholeZoom(float zoom) {
  return std::max(1, static_cast<int>(std::lround(zoom)));
}

// Draws a part of a 24-bit bitmap scaled by zoom, with the bitmap's top-left
// pixel at origin. Only that part's pixels are read and scaled.
void DrawPixels(QPainter& painter, const TBitmap& bitmap, const TRect& part, QPoint origin,
                int zoom) {
  if (bitmap.PixelFormat() != pf24bit || part.IsEmpty())
    return;
  const QImage pixels(bitmap.ScanLine(part.Top) + static_cast<std::size_t>(part.Left) * 3,
                      part.Width(), part.Height(), static_cast<qsizetype>(bitmap.Stride()),
                      QImage::Format_BGR888);
  painter.drawImage(QRect(origin.x() + part.Left * zoom, origin.y() + part.Top * zoom,
                          part.Width() * zoom, part.Height() * zoom),
                    pixels);
}

} // namespace

TSourcePictureView::TSourcePictureView(TSourceImageEditor& editor, QWidget* parent)
    : QAbstractScrollArea(parent), editor_(editor), timScroller_(new QTimer(this)) {
  setObjectName("pnlPicture");
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  timScroller_->setObjectName("timScroller");
  timScroller_->setInterval(100);
  connect(timScroller_, &QTimer::timeout, this, [this] { AutoScroll(); });
}

void TSourcePictureView::Relayout() {
  const TBitmap& picture = editor_.Picture();
  int vertical = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  int horizontal = vertical;
  // Twice: the second pass takes the bars' real thickness from the viewport.
  for (int pass = 0; pass < 2; ++pass) {
    layout_ = LayoutSourceView(picture.Width(), picture.Height(), editor_.Zoom(), width(), height(),
                               vertical, horizontal);
    setHorizontalScrollBarPolicy(layout_.HasHorizontal ? Qt::ScrollBarAlwaysOn
                                                       : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(layout_.HasVertical ? Qt::ScrollBarAlwaysOn
                                                   : Qt::ScrollBarAlwaysOff);
    if (layout_.HasVertical)
      vertical = width() - viewport()->width();
    if (layout_.HasHorizontal)
      horizontal = height() - viewport()->height();
  }
  const int step = std::max(16, WholeZoom(editor_.Zoom()));
  horizontalScrollBar()->setRange(0, layout_.MaxX);
  horizontalScrollBar()->setPageStep(std::max(1, layout_.ClientWidth));
  horizontalScrollBar()->setSingleStep(step);
  verticalScrollBar()->setRange(0, layout_.MaxY);
  verticalScrollBar()->setPageStep(std::max(1, layout_.ClientHeight));
  verticalScrollBar()->setSingleStep(step);
  viewport()->update();
}

void TSourcePictureView::ZoomChanged(float oldZoom, std::optional<QPoint> anchor) {
  const double atX = anchor ? anchor->x() : layout_.ClientWidth / 2.0;
  const double atY = anchor ? anchor->y() : layout_.ClientHeight / 2.0;
  const double pictureX = (horizontalScrollBar()->value() + atX - layout_.OffsetX) / oldZoom;
  const double pictureY = (verticalScrollBar()->value() + atY - layout_.OffsetY) / oldZoom;
  Relayout();
  const float zoom = editor_.Zoom();
  horizontalScrollBar()->setValue(static_cast<int>(std::lround(pictureX * zoom - atX)));
  verticalScrollBar()->setValue(static_cast<int>(std::lround(pictureY * zoom - atY)));
}

void TSourcePictureView::CentreOn(TPixel pixel) {
  const int zoom = WholeZoom(editor_.Zoom());
  horizontalScrollBar()->setValue(pixel.X * zoom + zoom / 2 - layout_.ClientWidth / 2);
  verticalScrollBar()->setValue(pixel.Y * zoom + zoom / 2 - layout_.ClientHeight / 2);
}

QPoint TSourcePictureView::Origin() const {
  return {PictureOrigin(layout_.OffsetX, horizontalScrollBar()->value()),
          PictureOrigin(layout_.OffsetY, verticalScrollBar()->value())};
}

TPixel TSourcePictureView::PixelAt(QPoint point) const {
  return mirufo::PixelAt(layout_, {horizontalScrollBar()->value(), verticalScrollBar()->value()},
                         editor_.Zoom(), {point.x(), point.y()});
}

TRect TSourcePictureView::VisiblePictureRect() const {
  const TPixel first = PixelAt({0, 0});
  const TPixel last = PixelAt({viewport()->width() - 1, viewport()->height() - 1});
  const TBitmap& picture = editor_.Picture();
  return {std::max(first.X, 0), std::max(first.Y, 0), std::min(last.X + 1, picture.Width()),
          std::min(last.Y + 1, picture.Height())};
}

void TSourcePictureView::SetPreview(TBitmap preview, const TRect& rect) {
  preview_ = std::move(preview);
  previewRect_ = rect;
  viewport()->update();
}

void TSourcePictureView::ClearPreview() {
  preview_ = TBitmap();
  viewport()->update();
}

void TSourcePictureView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.fillRect(event->rect(), palette().color(QPalette::Dark));
  const TBitmap& picture = editor_.Picture();
  if (picture.Empty()) {
    // An empty page says how a picture gets here.
    painter.setPen(palette().color(QPalette::BrightText));
    painter.drawText(viewport()->rect(), Qt::AlignCenter | Qt::TextWordWrap,
                     QString::fromUtf8(Tr(kEmptyPageHint)));
    return;
  }
  const int zoom = WholeZoom(editor_.Zoom());
  const QPoint origin = Origin();
  const QRect drawn =
      QRect(origin.x(), origin.y(), picture.Width() * zoom, picture.Height() * zoom) &
      event->rect();
  if (!drawn.isEmpty()) {
    const TRect part{(drawn.left() - origin.x()) / zoom, (drawn.top() - origin.y()) / zoom,
                     std::min((drawn.right() - origin.x()) / zoom + 1, picture.Width()),
                     std::min((drawn.bottom() - origin.y()) / zoom + 1, picture.Height())};
    DrawPixels(painter, picture, part, origin, zoom);
    if (!preview_.Empty())
      DrawPixels(painter, preview_, {0, 0, preview_.Width(), preview_.Height()},
                 origin + QPoint(previewRect_.Left * zoom, previewRect_.Top * zoom), zoom);
  }
  DrawMarks(painter);
}

void TSourcePictureView::DrawMarks(QPainter& painter) const {
  const int zoom = WholeZoom(editor_.Zoom());
  const QPoint origin = Origin();
  if (editor_.HasSelection()) {
    const TRect& s = editor_.Selection();
    const QRect outline(origin.x() + s.Left * zoom, origin.y() + s.Top * zoom, s.Width() * zoom - 1,
                        s.Height() * zoom - 1);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 0, Qt::SolidLine));
    painter.drawRect(outline);
    painter.setPen(QPen(Qt::black, 0, Qt::DotLine));
    painter.drawRect(outline);
  }
  // The look-at mark inverts what lies beneath in cyan: a frame around the
  // pixel and four lines from 4 pixels outside it to the edges. Every
  // screen pixel is filled once, so that nothing is inverted back.
  const TPixel at = editor_.LookAt();
  if (!editor_.Contains(at))
    return;
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  const QColor cyan(0, 255, 255);
  const QRect frame(origin.x() + at.X * zoom - 1, origin.y() + at.Y * zoom - 1, zoom + 2, zoom + 2);
  painter.fillRect(QRect(frame.left(), frame.top(), frame.width(), 1), cyan);
  painter.fillRect(QRect(frame.left(), frame.bottom(), frame.width(), 1), cyan);
  painter.fillRect(QRect(frame.left(), frame.top() + 1, 1, frame.height() - 2), cyan);
  painter.fillRect(QRect(frame.right(), frame.top() + 1, 1, frame.height() - 2), cyan);
  const int midX = origin.x() + at.X * zoom + zoom / 2;
  const int midY = origin.y() + at.Y * zoom + zoom / 2;
  const int right = viewport()->width();
  const int bottom = viewport()->height();
  const int gap = 4;
  painter.fillRect(QRect(0, midY, std::max(0, frame.left() - gap + 1), 1), cyan);
  painter.fillRect(QRect(frame.right() + gap, midY, std::max(0, right - frame.right() - gap), 1),
                   cyan);
  painter.fillRect(QRect(midX, 0, 1, std::max(0, frame.top() - gap + 1)), cyan);
  painter.fillRect(QRect(midX, frame.bottom() + gap, 1, std::max(0, bottom - frame.bottom() - gap)),
                   cyan);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TSourcePictureView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  Relayout();
}

void TSourcePictureView::scrollContentsBy(int, int) {
  // The look-at lines reach the edges: everything is drawn again.
  viewport()->update();
}

void TSourcePictureView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  const QPoint at = event->position().toPoint();
  lastMouse_ = at;
  if (spaceHeld_) {
    handStart_ = at;
    handScroll_ = {horizontalScrollBar()->value(), verticalScrollBar()->value()};
    UpdateCursor();
    return;
  }
  const TPixel pixel = PixelAt(at);
  if (event->modifiers().testFlag(Qt::ControlModifier)) {
    if (editor_.Contains(pixel) && OnLookAt)
      OnLookAt(pixel);
    return;
  }
  editor_.StartSelection(pixel);
  viewport()->update();
  if (editor_.Selecting() && OnSelectionDragged)
    OnSelectionDragged();
}

void TSourcePictureView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  lastMouse_ = at;
  if (handStart_.x() >= 0) {
    const float zoom = editor_.Zoom();
    if (layout_.HasHorizontal)
      horizontalScrollBar()->setValue(
          HandScrollPosition(handScroll_.x(), handStart_.x(), at.x(), zoom, layout_.MaxX));
    if (layout_.HasVertical)
      verticalScrollBar()->setValue(
          HandScrollPosition(handScroll_.y(), handStart_.y(), at.y(), zoom, layout_.MaxY));
    return;
  }
  if (!editor_.Selecting())
    return;
  DragTo(at);
  if (viewport()->rect().contains(at))
    timScroller_->stop();
  else if (!timScroller_->isActive())
    timScroller_->start();
}

void TSourcePictureView::DragTo(QPoint point) {
  editor_.DragSelection(PixelAt(point));
  viewport()->update();
  if (OnSelectionDragged)
    OnSelectionDragged();
}

void TSourcePictureView::AutoScroll() {
  if (!editor_.Selecting()) {
    timScroller_->stop();
    return;
  }
  if (layout_.HasHorizontal)
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() +
                                    AutoScrollStep(lastMouse_.x(), viewport()->width()));
  if (layout_.HasVertical)
    verticalScrollBar()->setValue(verticalScrollBar()->value() +
                                  AutoScrollStep(lastMouse_.y(), viewport()->height()));
  DragTo(lastMouse_);
}

void TSourcePictureView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton)
    EndDrags();
  QAbstractScrollArea::mouseReleaseEvent(event);
}

void TSourcePictureView::EndDrags() {
  const bool dragged = handStart_.x() >= 0 || editor_.Selecting();
  handStart_ = {-1, -1};
  editor_.EndSelection();
  timScroller_->stop();
  UpdateCursor();
  if (dragged && OnDragEnded)
    OnDragEnded();
}

void TSourcePictureView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton)
    return;
  if (!editor_.HasPicture()) {
    if (OnOpenRequested)
      OnOpenRequested();
    return;
  }
  // The first click of the pair started a one-pixel selection; a double
  // click places the look-at point instead.
  editor_.ClearSelection();
  viewport()->update();
  const TPixel pixel = PixelAt(event->position().toPoint());
  if (editor_.Contains(pixel) && OnLookAt)
    OnLookAt(pixel);
}

void TSourcePictureView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space) {
    if (!event->isAutoRepeat()) {
      spaceHeld_ = true;
      UpdateCursor();
    }
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

void TSourcePictureView::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space) {
    if (!event->isAutoRepeat()) {
      spaceHeld_ = false;
      UpdateCursor();
    }
    return;
  }
  QAbstractScrollArea::keyReleaseEvent(event);
}

void TSourcePictureView::focusOutEvent(QFocusEvent* event) {
  spaceHeld_ = false;
  UpdateCursor();
  QAbstractScrollArea::focusOutEvent(event);
}

void TSourcePictureView::UpdateCursor() {
  if (handStart_.x() >= 0)
    viewport()->setCursor(Qt::ClosedHandCursor);
  else if (spaceHeld_)
    viewport()->setCursor(Qt::OpenHandCursor);
  else
    viewport()->unsetCursor();
}

void TSourcePictureView::contextMenuEvent(QContextMenuEvent* event) {
  if (OnPopup)
    OnPopup(event->pos());
}

} // namespace mirufo
