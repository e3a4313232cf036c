// The source image page's picture area: the picture scaled by the zoom with
// scroll bars or centred, the selection outline and the look-at mark, and
// the mouse: selection drags with automatic scrolling, hand scrolling with
// the space bar, Ctrl-click and double click for the look-at point. Only
// the visible part of the picture is drawn, straight from its pixels.
#pragma once

#include "output/source_image_editor.h"
#include "output/source_view_layout.h"

#include <QAbstractScrollArea>
#include <QPoint>
#include <functional>
#include <optional>

class QPainter;
class QTimer;

namespace mirufo {

class TSourcePictureView : public QAbstractScrollArea {
  Q_OBJECT

public:
  TSourcePictureView(TSourceImageEditor& editor, QWidget* parent);

  // Lays out the scroll bars again and redraws; after a new picture or zoom.
  void Relayout();
  // A zoom change keeps the picture point at the middle of the view, or at
  // anchor (a viewport point), where it was.
  void ZoomChanged(float oldZoom, std::optional<QPoint> anchor = std::nullopt);
  const TSourceViewLayout& Layout() const { return layout_; }
  // Scrolls so that a picture pixel is at the middle of the view, as far as
  // the scroll bars go.
  void CentreOn(TPixel pixel);

  // The picture pixel under a point of the viewport.
  TPixel PixelAt(QPoint point) const;
  // The picture pixels the view shows now (limited to the picture).
  TRect VisiblePictureRect() const;

  // Shown in place of the picture's pixels at rect while set.
  void SetPreview(TBitmap preview, const TRect& rect);
  void ClearPreview();

  // The selection as it is dragged (for the status text), a look-at point
  // set with the mouse, a double click on an empty page, the popup menu at
  // a viewport point, and the end of a drag.
  std::function<void()> OnSelectionDragged;
  std::function<void()> OnDragEnded;
  std::function<void(TPixel)> OnLookAt;
  std::function<void()> OnOpenRequested;
  std::function<void(QPoint)> OnPopup;

  QTimer* ScrollTimer() const { return timScroller_; }
  bool SpaceHeld() const { return spaceHeld_; }

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

private:
  QPoint Origin() const;
  void DrawMarks(QPainter& painter) const;
  void DragTo(QPoint point);
  void AutoScroll();
  void EndDrags();
  void UpdateCursor();

  TSourceImageEditor& editor_;
  TSourceViewLayout layout_;
  TBitmap preview_;
  TRect previewRect_;
  QTimer* timScroller_;
  QPoint lastMouse_;
  // Hand scrolling: the cursor and both scroll positions at its start.
  QPoint handStart_{-1, -1};
  QPoint handScroll_;
  bool spaceHeld_ = false;
};

} // namespace mirufo
