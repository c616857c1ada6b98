// The main window's connection to data.mdb and its three record sets.
//
//   ADOConnection1  the connection
//   ADOQuery1       senders, over outr       DataSource1  its grid model
//   ADOQuery2       recipients, over inr     DataSource2
//   ADOQuery3       the imported list, excel DataSource3
//
// Grids show a record set through its data source; print and label windows
// read the current rows.  Batch windows open connections of their own with
// openConnection().
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "records/RecordSet.h"
#include "records/RecordSetModel.h"

namespace waybill {

class RecordStore : public QObject {
  Q_OBJECT
 public:
  // Opens `databasePath` and the three record sets.  On failure returns
  // nothing and puts the reason into `error`; no file is created.
  static std::unique_ptr<RecordStore> open(const QString& databasePath, QString& error);

  Connection* ADOConnection1() { return connection_.get(); }
  RecordSet* ADOQuery1() { return senders_; }
  RecordSet* ADOQuery2() { return recipients_; }
  RecordSet* ADOQuery3() { return imported_; }
  RecordSetModel* DataSource1() { return senderModel_; }
  RecordSetModel* DataSource2() { return recipientModel_; }
  RecordSetModel* DataSource3() { return importModel_; }

  QString databasePath() const { return path_; }
  // A further connection to the same file, for a batch window.
  std::unique_ptr<Connection> openConnection(QString& error) const;

  // Closes the connection and with it the three record sets (restore);
  // reconnect() opens it again.
  void disconnect();
  std::optional<QString> reconnect();

 private:
  RecordStore(const QString& path, std::unique_ptr<Connection> connection);
  QString path_;
  std::unique_ptr<Connection> connection_;
  RecordSet* senders_;
  RecordSet* recipients_;
  RecordSet* imported_;
  RecordSetModel* senderModel_;
  RecordSetModel* recipientModel_;
  RecordSetModel* importModel_;
};

}  // namespace waybill
