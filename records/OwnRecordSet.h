// The own record set of a batch window: a connection of its own to the
// store's file and a snapshot of one whole table over it, taken afresh each
// time the window becomes active, so that a batch prints the table as it
// stands and not as the main window's last search left it.
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "records/RecordSet.h"

namespace waybill {

class RecordStore;

class OwnRecordSet : public QObject {
  Q_OBJECT
 public:
  // Opens the connection and the snapshot of `table`.  A failure leaves an
  // empty, closed set and its reason in error().
  OwnRecordSet(const RecordStore& store, QString table, QObject* parent = nullptr);
  ~OwnRecordSet() override;

  RecordSet* set() const { return set_; }
  const QString& error() const { return error_; }
  // Takes the table again; the error text, if the file could not be read.
  std::optional<QString> requery();
  // The same when the window becomes active; a failure is told only the
  // first time in a row, since the message box itself takes the activation
  // away and gives it back.
  std::optional<QString> requeryOnActivation();
  // Lets go of the file (a restore replaces it); requery() opens it again.
  void close();

 private:
  const RecordStore& store_;
  QString table_;
  QString error_;
  std::unique_ptr<Connection> connection_;
  RecordSet* set_;
};

}  // namespace waybill
