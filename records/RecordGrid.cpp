#include "records/RecordGrid.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QStyle>
#include <algorithm>
#include <set>

namespace waybill {

RecordGrid::RecordGrid(QWidget* parent) : QTableView(parent) {
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  setStyleSheet(QStringLiteral("QTableView::item { padding: 0px 1px; }"));
  setToolTip(QStringLiteral("双击修改记录！"));
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QFont titleFont(QStringLiteral("宋体"));
  titleFont.setPixelSize(14);
  titleFont.setBold(true);
  horizontalHeader()->setFont(titleFont);
  horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  horizontalHeader()->setFixedHeight(18);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setSortIndicatorShown(false);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setDefaultSectionSize(18);
  verticalHeader()->setMinimumSectionSize(16);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setFixedWidth(12);
  verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
  QFont cellFont(QStringLiteral("宋体"));
  cellFont.setPixelSize(12);
  setFont(cellFont);
  // A title click toggles the marker and sorts nothing: rows stay in the
  // order the store keeps them.
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
    QHeaderView* h = horizontalHeader();
    if (!h->isSortIndicatorShown() || h->sortIndicatorSection() != section) {
      h->setSortIndicatorShown(true);
      h->setSortIndicator(section, Qt::AscendingOrder);
    } else {
      h->setSortIndicator(section, h->sortIndicatorOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
    }
  });
}

void RecordGrid::setRecordModel(RecordSetModel* model, const std::vector<int>& designWidths) {
  model_ = model;
  widths_ = designWidths;
  setModel(model);
  // The record set's current row follows the view's current row.
  connect(model->recordSet(), &RecordSet::currentChanged, this, [this](int row) {
    if (row >= 0 && (!currentIndex().isValid() || currentIndex().row() != row))
      selectionModel()->setCurrentIndex(model_->index(row, 0), QItemSelectionModel::NoUpdate);
  });
  connect(model, &QAbstractItemModel::modelReset, this, [this] { stretchColumns(); });
  stretchColumns();
}

std::vector<int> RecordGrid::selectedRowsDescending() const {
  std::set<int> rows;
  if (selectionModel())
    for (const QModelIndex& i : selectionModel()->selectedRows()) rows.insert(i.row());
  return std::vector<int>(rows.rbegin(), rows.rend());
}

void RecordGrid::setColumnShown(int column, bool shown) {
  setColumnHidden(column, !shown);
  stretchColumns();
}

void RecordGrid::mousePressEvent(QMouseEvent* e) {
  QModelIndex index = indexAt(e->position().toPoint());
  if (index.isValid() && e->button() == Qt::LeftButton &&
      !(e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier))) {
    // A plain click makes the row current; it selects nothing.
    clearSelection();
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    model_->recordSet()->setCurrentRow(index.row());
    emit cellClicked(index.row());
    return;
  }
  QTableView::mousePressEvent(e);
  if (index.isValid() && e->button() == Qt::LeftButton) {
    model_->recordSet()->setCurrentRow(index.row());
    emit cellClicked(index.row());
  }
}

void RecordGrid::mouseDoubleClickEvent(QMouseEvent* e) {
  QModelIndex index = indexAt(e->position().toPoint());
  if (index.isValid() && e->button() == Qt::LeftButton) {
    model_->recordSet()->setCurrentRow(index.row());
    emit rowDoubleClicked(index.row());
  }
}

void RecordGrid::contextMenuEvent(QContextMenuEvent* e) { emit contextMenuAt(e->globalPos()); }

void RecordGrid::resizeEvent(QResizeEvent* e) {
  QTableView::resizeEvent(e);
  stretchColumns();
}

void RecordGrid::setColumnSample(int column, const QString& sample) {
  if (column < 0) return;
  if (minimum_.size() <= size_t(column)) minimum_.resize(size_t(column) + 1, 0);
  minimum_[size_t(column)] = widthFor(sample);
  stretchColumns();
}

int RecordGrid::widthFor(const QString& sample) const {
  // The delegate's text margins on both sides, the cell padding of the
  // style sheet and the grid line.
  const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
  return fontMetrics().horizontalAdvance(sample) + 2 * margin + 2 * 1 + 1;
}

void RecordGrid::stretchColumns() {
  if (!model_) return;
  const int available = viewport()->width();
  if (available <= 0) return;
  auto minimumOf = [this](size_t c) { return c < minimum_.size() ? minimum_[c] : 0; };
  // Columns whose share would fall below their minimum take the minimum;
  // the others share the rest in proportion, until no share falls short.
  std::vector<bool> atMinimum(widths_.size(), false);
  int rest = 0, total = 0;  // the width left to share, and the design widths sharing it
  auto share = [&] {
    rest = available, total = 0;
    for (size_t c = 0; c < widths_.size(); ++c) {
      if (isColumnHidden(int(c))) continue;
      if (atMinimum[c]) rest -= minimumOf(c);
      else total += widths_[c];
    }
    rest = std::max(rest, 0);
  };
  for (bool changed = true; changed;) {
    changed = false;
    share();
    for (size_t c = 0; total > 0 && c < widths_.size(); ++c)
      if (!isColumnHidden(int(c)) && !atMinimum[c] && widths_[c] * rest / total < minimumOf(c))
        atMinimum[c] = changed = true;
  }
  int used = 0, last = -1;
  for (size_t c = 0; c < widths_.size(); ++c) {
    if (isColumnHidden(int(c))) continue;
    int w = atMinimum[c] ? minimumOf(c) : (total > 0 ? widths_[c] * rest / total : 0);
    setColumnWidth(int(c), w);
    used += w;
    last = int(c);
  }
  if (last >= 0 && !atMinimum[size_t(last)]) setColumnWidth(last, columnWidth(last) + available - used);
}

}  // namespace waybill
