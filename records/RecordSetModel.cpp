#include "records/RecordSetModel.h"

#include <QBrush>
#include <QColor>

namespace waybill {

RecordSetModel::RecordSetModel(RecordSet* set, QObject* parent) : QAbstractTableModel(parent), set_(set) {
  connect(set_, &RecordSet::reset, this, [this] {
    beginResetModel();
    remapColumns();
    endResetModel();
  });
  connect(set_, &RecordSet::rowsAboutToBeAppended, this, [this](int first, int last) { beginInsertRows({}, first, last); });
  connect(set_, &RecordSet::rowsAppended, this, [this] { endInsertRows(); });
  connect(set_, &RecordSet::rowChanged, this, [this](int row) {
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
  });
  connect(set_, &RecordSet::rowAboutToBeRemoved, this, [this](int row) { beginRemoveRows({}, row, row); });
  connect(set_, &RecordSet::rowRemoved, this, [this](int row) {
    endRemoveRows();
    // Rows after it changed their record number, and with it their colour.
    if (row < rowCount()) emit dataChanged(index(row, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole});
  });
  connect(set_, &RecordSet::currentChanged, this, [this] {
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole});
  });
}

void RecordSetModel::setColumns(const QStringList& columns, const QStringList& titles) {
  beginResetModel();
  columns_ = columns;
  titles_ = titles.isEmpty() ? columns : titles;
  remapColumns();
  endResetModel();
}

void RecordSetModel::remapColumns() {
  map_.clear();
  for (const QString& c : columns_) map_.push_back(set_->columnIndex(c));
}

int RecordSetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : set_->rowCount(); }

int RecordSetModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(columns_.size()); }

QVariant RecordSetModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.column() >= int(map_.size())) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
    case Qt::EditRole: return set_->value(index.row(), map_[size_t(index.column())]);
    case Qt::BackgroundRole:
      if (index.row() == set_->currentRow()) return QBrush(QColor(0xCC, 0xE4, 0xFF));
      // Odd record numbers (counted from 1) white, even ones light grey.
      return QBrush(index.row() % 2 == 0 ? QColor(Qt::white) : QColor(238, 238, 238));
    default: return {};
  }
}

QVariant RecordSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return section < titles_.size() ? titles_[section] : QVariant();
  return section + 1;
}

}  // namespace waybill
