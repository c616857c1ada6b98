// The data grid of the record pages: a QTableView over a RecordSetModel.
//
// A click on a cell makes its row the record set's current row; rows are
// selected for deletion on the indicator column on the left (click, drag,
// Ctrl and Shift) or with Ctrl and Shift on the cells.  Titles are bold and
// centred, and a click on one only toggles its sort marker.  Columns
// stretch in proportion to their design widths.  Nothing is edited here.
#pragma once

#include <QTableView>
#include <vector>

#include "records/RecordSetModel.h"

namespace waybill {

class RecordGrid : public QTableView {
  Q_OBJECT
 public:
  explicit RecordGrid(QWidget* parent = nullptr);

  void setRecordModel(RecordSetModel* model, const std::vector<int>& designWidths);
  RecordSetModel* recordModel() const { return model_; }

  // The selected rows, highest first (the order in which they are deleted).
  std::vector<int> selectedRowsDescending() const;
  void setColumnShown(int column, bool shown);
  // Gives `column` at least the room `sample` needs, whatever its design
  // width's share: the other columns share what is left in proportion.
  void setColumnSample(int column, const QString& sample);
  // The width `sample` needs in a cell, margins included.
  int widthFor(const QString& sample) const;

 signals:
  void cellClicked(int row);
  void rowDoubleClicked(int row);
  void contextMenuAt(const QPoint& globalPos);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  void stretchColumns();
  RecordSetModel* model_ = nullptr;
  std::vector<int> widths_;
  std::vector<int> minimum_;
};

}  // namespace waybill
