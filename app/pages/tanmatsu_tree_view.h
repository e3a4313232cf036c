// The tree pane of the handset page: draws the visible rows of the carrier
// and series tree (indent, expand box, three-state check box, caption) and
// reports clicks by their hit area. The page owns the tree and the rows.
#pragma once

#include "catalogue/tanmatsu_tree.h"

#include <QAbstractScrollArea>

namespace mirufo {

class TTanmatsuTreeView : public QAbstractScrollArea {
  Q_OBJECT

public:
  explicit TTanmatsuTreeView(QWidget* parent = nullptr);

  // The rows to draw; the list must outlive the view or be set again.
  void SetRows(const TTanmatsuTreeNodeList* rows);
  int SelectedRow() const { return selected_; }
  void SetSelectedRow(int row);
  const TTreeRowGeometry& Geometry() const { return geometry_; }
  // Redraws after the rows or their states changed.
  void RowsChanged();
  // Where a row's check box and expand box stand, in the view's coordinates.
  QRect CheckBoxRect(int row) const;
  QRect ExpandBoxRect(int row) const;
  // A row's caption as drawn: cut with "…" where the pane is too narrow
  // for it (the tooltip then shows it whole).
  QString ShownCaption(int row) const;

signals:
  void RowSelected(int row);
  void CheckBoxClicked(int row);
  void ExpandToggled(int row);

protected:
  bool viewportEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  int RowCount() const;
  int RowTop(int row) const;
  int RowAt(int y) const;
  void UpdateScrollBar();
  void EnsureVisible(int row);

  const TTanmatsuTreeNodeList* rows_ = nullptr;
  TTreeRowGeometry geometry_;
  int selected_ = -1;
};

} // namespace mirufo
