// A virtual list of equal boxes in a wrapping grid with multiple selection.
// It holds no data: it asks its owner to draw a box when the box first
// comes into view, keeps that picture until the owner says the box changed,
// and paints only the boxes that are visible. A selected box gets a black
// frame two pixels wide just inside its edge.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <deque>
#include <functional>
#include <vector>

class QMenu;

namespace mirufo {

class TStandbyBoxView : public QAbstractScrollArea {
  Q_OBJECT

public:
  explicit TStandbyBoxView(QWidget* parent = nullptr);

  // Draws box i into an image of the box size; the view keeps the result.
  std::function<QImage(int box)> OnDrawBox;
  // Shown on a right click (after the click selected the box under it).
  QMenu* PopupMenu = nullptr;

  // Sets the count and size of the boxes; every picture is drawn anew.
  void SetBoxes(int count, QSize size);
  int BoxCount() const { return count_; }
  QSize BoxSize() const { return boxSize_; }
  // Drops the kept picture of one box or of all; the view repaints them.
  void InvalidateBox(int box);
  void InvalidateAll();
  // Whether the box holds a kept picture (for tests and the benchmark).
  bool IsCached(int box) const;
  // Most bytes the kept pictures take; beyond it the pictures drawn longest
  // ago go first (never those on the screen).
  qsizetype CacheBudget = qsizetype{48} << 20;

  // Box indices, ascending.
  const std::vector<int>& Selection() const { return selection_; }
  void SetSelection(std::vector<int> boxes);
  // Where the box is, in the view's viewport coordinates.
  QRect BoxRect(int box) const;
  // The box at a viewport point, or -1.
  int BoxAt(QPoint point) const;
  int Columns() const;

signals:
  void selectionChanged();

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

private:
  void UpdateScrollBars();
  void ClickBox(int box, Qt::KeyboardModifiers modifiers);
  void EnsureVisible(int box);
  const QImage& Picture(int box);

  int count_ = 0;
  QSize boxSize_{1, 1};
  void TrimCache(int firstVisible, int lastVisible);

  std::vector<QImage> cache_;
  std::deque<int> drawOrder_; // boxes with a kept picture, oldest first
  qsizetype cachedBytes_ = 0;
  std::vector<int> selection_;
  int anchor_ = -1;
  int current_ = -1;
};

} // namespace mirufo
