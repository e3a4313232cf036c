// The handset list of the handset page: a table model over the listed
// handsets (the page owns the indexes and the records), a delegate that
// draws the rows (tick box, aligned texts shortened with "...", the row
// colours), and the view that turns clicks in the tick column, the space
// bar and header clicks into the page's commands.
#pragma once

#include "catalogue/tanmatsu_record.h"
#include "catalogue/tanmatsu_selection.h"
#include "catalogue/tanmatsu_sort_info.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <array>
#include <cstddef>
#include <vector>

namespace mirufo {

class TTanmatsuListModel : public QAbstractTableModel {
  Q_OBJECT

public:
  // records: every handset of the working set, as it reads now; listed: the
  // indexes shown, in display order.
  TTanmatsuListModel(const std::vector<TTanmatsuRecord>& records,
                     const std::vector<std::size_t>& listed, const TTanmatsuSelection& ticks,
                     QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The rows changed in number or order.
  void Relist();
  // Ticks or records changed; the rows stay.
  void Redraw();
  std::size_t HandsetAt(int row) const { return listed_[static_cast<std::size_t>(row)]; }
  bool IsTicked(int row) const { return ticks_.IsSelected(HandsetAt(row)); }

private:
  const std::vector<TTanmatsuRecord>& records_;
  const std::vector<std::size_t>& listed_;
  const TTanmatsuSelection& ticks_;
};

class TTanmatsuListDelegate : public QStyledItemDelegate {
  Q_OBJECT

public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};

class TTanmatsuListView : public QTableView {
  Q_OBJECT

public:
  explicit TTanmatsuListView(QWidget* parent = nullptr);

  static constexpr int kRowHeight = 18;
  // The selected rows, in display order.
  std::vector<int> SelectedRows() const;

  // Gives the columns their widths; a column given kFitColumnWidth takes
  // the width of its caption and of its widest text among the records.
  // The name column then stretches to fill the list whenever the others
  // leave room; the user may still widen any column.
  void SetColumnWidths(const std::array<int, kTanmatsuColumnCount>& widths,
                       const std::vector<TTanmatsuRecord>& records);
  // The widths to remember: the name column's own width, not its stretch.
  std::array<int, kTanmatsuColumnCount> ColumnWidths() const;

signals:
  // A click in the tick column of a row, with Shift held or not.
  void TickClicked(int row, bool shift);
  // The space bar: the current row's tick decides, like a Shift-click.
  void SpacePressed(int row);

protected:
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  int ContentWidth(int column, const std::vector<TTanmatsuRecord>& records) const;
  void SectionResized(int column, int width);
  void FillWithNameColumn();

  int nameWidth_ = 0;
  bool fitting_ = false;
};

} // namespace mirufo
