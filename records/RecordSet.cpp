#include "records/RecordSet.h"

#include <QFileInfo>

#include "records/waybill_schema.h"

namespace waybill {

namespace {
QString errorText(const jet::Status& s) { return QString::fromStdString(s.message()); }
std::string utf8(const QString& s) { return s.toUtf8().toStdString(); }
}  // namespace

QString Query::statement() const {
  if (column.isEmpty()) return QStringLiteral("select * from ") + table;
  return QStringLiteral("select * from %1 where %2 like \"%").arg(table, column) + text + QStringLiteral("%\"");
}

std::unique_ptr<Connection> Connection::open(const QString& path, QString& error) {
  auto db = jet::Database::open(path.toStdString(), kDatabasePassword);
  if (!db.ok()) {
    error = QString::fromStdString(db.status().message());
    return nullptr;
  }
  return std::unique_ptr<Connection>(new Connection(std::move(db).value()));
}

QString Connection::path() const { return QString::fromStdString(db_->path()); }

RecordSet::RecordSet(Connection* connection, QObject* parent) : QObject(parent), connection_(connection) {}

void RecordSet::close() {
  open_ = false;
  snapshot_ = {};
  changed_.clear();
  rows_.clear();
  current_ = -1;
  emit reset();
}

std::optional<QString> RecordSet::requery(const Query& q) {
  close();
  statement_.clear();
  statement_ << q.statement();
  query_ = q;
  if (!connection_) return QStringLiteral("the database is not connected");
  jet::Database& db = connection_->database();
  auto def = db.table(utf8(q.table));
  if (!def.ok()) return errorText(def.status());
  auto snap = q.column.isEmpty() ? db.selectAllText(utf8(q.table))
                                 : db.selectContainingText(utf8(q.table), utf8(q.column), utf8(q.text));
  if (!snap.ok()) return errorText(snap.status());
  columns_.clear();
  for (const jet::Column& c : def->columns) columns_ << QString::fromStdString(c.name);
  snapshot_ = std::move(snap).value();
  rows_.resize(snapshot_.rows());
  for (size_t i = 0; i < rows_.size(); ++i) rows_[i] = Row{snapshot_.ids[i], int(i), -1};
  open_ = true;
  current_ = rows_.empty() ? -1 : 0;
  emit reset();
  emit currentChanged(current_);
  return std::nullopt;
}

void RecordSet::setCurrentRow(int row) {
  if (row < -1 || row >= rowCount() || (row == -1 && !rows_.empty())) return;
  if (row == current_) return;
  current_ = row;
  emit currentChanged(row);
}

QString RecordSet::value(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return {};
  const Row& r = rows_[size_t(row)];
  if (r.changed >= 0) return changed_[size_t(r.changed)][size_t(column)];
  std::string_view v = snapshot_.value(size_t(r.snapshot), size_t(column));
  return QString::fromUtf8(v.data(), qsizetype(v.size()));
}

QString RecordSet::value(int row, const QString& column) const { return value(row, columnIndex(column)); }

QString RecordSet::field(const QString& column) const { return value(current_, column); }

std::vector<QString> RecordSet::rowValues(int row) const {
  std::vector<QString> v;
  for (int c = 0; c < columnCount(); ++c) v.push_back(value(row, c));
  return v;
}

std::optional<QString> RecordSet::writeRow(int row, const std::vector<QString>& values, bool append) {
  std::vector<jet::Value> stored;
  for (const QString& v : values) stored.push_back(jet::Value::text(utf8(v)));
  jet::Database& db = connection_->database();
  if (append) {
    auto id = db.append(utf8(query_.table), stored);
    if (!id.ok()) return errorText(id.status());
    changed_.push_back(values);
    emit rowsAboutToBeAppended(rowCount(), rowCount());
    rows_.push_back(Row{*id, -1, int(changed_.size()) - 1});
    emit rowsAppended();
    return std::nullopt;
  }
  jet::Status s = db.update(utf8(query_.table), rows_[size_t(row)].id, stored);
  if (!s.ok()) return errorText(s);
  changed_.push_back(values);
  rows_[size_t(row)].changed = int(changed_.size()) - 1;
  return std::nullopt;
}

std::optional<QString> RecordSet::append(const std::vector<std::pair<QString, QString>>& values) {
  if (!open_) return QStringLiteral("the record set is closed");
  std::vector<QString> row(static_cast<size_t>(columnCount()));
  for (auto& [name, text] : values) {
    int c = columnIndex(name);
    if (c < 0) return QStringLiteral("table %1 has no column %2").arg(query_.table, name);
    row[size_t(c)] = text;
  }
  if (auto e = writeRow(-1, row, true)) return e;
  current_ = rowCount() - 1;
  emit currentChanged(current_);
  return std::nullopt;
}

std::optional<QString> RecordSet::changeCurrent(const std::vector<std::pair<QString, QString>>& values) {
  if (!open_ || current_ < 0) return QStringLiteral("there is no current row");
  std::vector<QString> row = rowValues(current_);
  for (auto& [name, text] : values) {
    int c = columnIndex(name);
    if (c < 0) return QStringLiteral("table %1 has no column %2").arg(query_.table, name);
    row[size_t(c)] = text;
  }
  if (auto e = writeRow(current_, row, false)) return e;
  emit rowChanged(current_);
  return std::nullopt;
}

std::optional<QString> RecordSet::deleteRow(int row) {
  if (!open_ || row < 0 || row >= rowCount()) return QStringLiteral("there is no such row");
  jet::Status s = connection_->database().remove(utf8(query_.table), rows_[size_t(row)].id);
  if (!s.ok()) return errorText(s);
  emit rowAboutToBeRemoved(row);
  rows_.erase(rows_.begin() + row);
  emit rowRemoved(row);
  // As a record set does, the row after the deleted one becomes current.
  int next = rows_.empty() ? -1 : std::min(row, rowCount() - 1);
  current_ = next;
  emit currentChanged(current_);
  return std::nullopt;
}

}  // namespace waybill
