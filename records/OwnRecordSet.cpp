#include "records/OwnRecordSet.h"

#include "records/RecordStore.h"

namespace waybill {

OwnRecordSet::OwnRecordSet(const RecordStore& store, QString table, QObject* parent)
    : QObject(parent), store_(store), table_(std::move(table)), set_(new RecordSet(nullptr, this)) {
  requery();
}

OwnRecordSet::~OwnRecordSet() {
  // The window that owns the set is going too; it must hear nothing more.
  set_->blockSignals(true);
  close();
}

std::optional<QString> OwnRecordSet::requery() {
  if (!connection_) {
    QString error;
    connection_ = store_.openConnection(error);
    if (!connection_) {
      error_ = error;
      return error;
    }
    set_->setConnection(connection_.get());
  }
  auto e = set_->requery(Query::all(table_));
  error_ = e.value_or(QString());
  return e;
}

std::optional<QString> OwnRecordSet::requeryOnActivation() {
  const bool failing = !error_.isEmpty();
  auto e = requery();
  if (failing) return std::nullopt;
  return e;
}

void OwnRecordSet::close() {
  set_->close();
  set_->setConnection(nullptr);
  connection_.reset();
}

}  // namespace waybill
