#include "records/RecordStore.h"

#include "records/waybill_schema.h"

namespace waybill {

RecordStore::RecordStore(const QString& path, std::unique_ptr<Connection> connection)
    : path_(path), connection_(std::move(connection)) {
  senders_ = new RecordSet(connection_.get(), this);
  recipients_ = new RecordSet(connection_.get(), this);
  imported_ = new RecordSet(connection_.get(), this);
  senderModel_ = new RecordSetModel(senders_, this);
  recipientModel_ = new RecordSetModel(recipients_, this);
  importModel_ = new RecordSetModel(imported_, this);
}

std::unique_ptr<RecordStore> RecordStore::open(const QString& databasePath, QString& error) {
  auto connection = Connection::open(databasePath, error);
  if (!connection) return nullptr;
  std::unique_ptr<RecordStore> store(new RecordStore(databasePath, std::move(connection)));
  const std::pair<RecordSet*, const char*> sets[] = {
      {store->senders_, kSenderTable}, {store->recipients_, kRecipientTable}, {store->imported_, kImportTable}};
  for (auto [set, table] : sets) {
    if (auto e = set->requery(Query::all(QString::fromUtf8(table)))) {
      error = *e;
      return nullptr;
    }
  }
  return store;
}

std::unique_ptr<Connection> RecordStore::openConnection(QString& error) const { return Connection::open(path_, error); }

void RecordStore::disconnect() {
  for (RecordSet* s : {senders_, recipients_, imported_}) {
    s->close();
    s->setConnection(nullptr);
  }
  connection_.reset();
}

std::optional<QString> RecordStore::reconnect() {
  QString error;
  connection_ = Connection::open(path_, error);
  if (!connection_) return error;
  for (RecordSet* s : {senders_, recipients_, imported_}) s->setConnection(connection_.get());
  return std::nullopt;
}

}  // namespace waybill
