// A record set as a Qt table model, for the grids: the columns chosen for
// display with their titles, rows coloured by record number, the current
// row marked.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include "records/RecordSet.h"

namespace waybill {

class RecordSetModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit RecordSetModel(RecordSet* set, QObject* parent = nullptr);
  RecordSet* recordSet() const { return set_; }

  // The record set's columns to show, in order, and their titles (the
  // column names unless given).
  void setColumns(const QStringList& columns, const QStringList& titles = {});
  const QStringList& columns() const { return columns_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  void remapColumns();
  RecordSet* set_;
  QStringList columns_, titles_;
  std::vector<int> map_;  // display column -> record set column
};

}  // namespace waybill
