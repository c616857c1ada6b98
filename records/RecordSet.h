// A record set: the rows of one query over one table of data.mdb, held as a
// static snapshot, with a current row.
//
// The only way its rows change wholesale is requery(): close, take the new
// statement, open; the first row becomes current.  Appending, changing and
// deleting go to the file at once (each is one durable transaction) and
// are mirrored in the snapshot, so the grid need not read the file again.
// Other connections see such changes after their own next requery.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "platform/jet/database.h"

namespace waybill {

// What a record set is opened with: all rows of a table, or the rows whose
// column contains a text (a literal, case-insensitive for Latin letters).
struct Query {
  QString table;
  QString column;  // empty: every row
  QString text;

  static Query all(const QString& table) { return {table, {}, {}}; }
  static Query containing(const QString& table, const QString& column, const QString& text) {
    return {table, column, text};
  }
  // The statement as the program states it, for messages and the record.
  QString statement() const;
};

// The connection: one handle on data.mdb.
class Connection {
 public:
  // Opens `path` with the program's password.  On failure returns nothing
  // and puts the reason into `error`.
  static std::unique_ptr<Connection> open(const QString& path, QString& error);
  jet::Database& database() { return *db_; }
  QString path() const;

 private:
  explicit Connection(std::unique_ptr<jet::Database> db) : db_(std::move(db)) {}
  std::unique_ptr<jet::Database> db_;
};

class RecordSet : public QObject {
  Q_OBJECT
 public:
  explicit RecordSet(Connection* connection, QObject* parent = nullptr);

  // Re-query: close, clear the statement, add the new one, open.  On
  // failure the set stays closed (no rows) and the error comes back.
  std::optional<QString> requery(const Query& q);
  void close();
  bool isOpen() const { return open_; }
  const Query& query() const { return query_; }
  QStringList statementLines() const { return statement_; }

  void setConnection(Connection* c) { connection_ = c; }
  Connection* connection() const { return connection_; }

  int rowCount() const { return int(rows_.size()); }
  int columnCount() const { return int(columns_.size()); }
  const QStringList& columnNames() const { return columns_; }
  int columnIndex(const QString& name) const { return int(columns_.indexOf(name)); }

  // -1 when the set holds no rows.
  int currentRow() const { return current_; }
  void setCurrentRow(int row);

  QString value(int row, int column) const;
  QString value(int row, const QString& column) const;
  // A column of the current row; empty when there is none.
  QString field(const QString& column) const;
  std::vector<QString> rowValues(int row) const;

  // Appends a row, columns named by `values` (others empty), and makes it
  // current.  The error text on failure.
  std::optional<QString> append(const std::vector<std::pair<QString, QString>>& values);
  // Writes the named columns of the current row.
  std::optional<QString> changeCurrent(const std::vector<std::pair<QString, QString>>& values);
  // Deletes one row of the snapshot and of the table.
  std::optional<QString> deleteRow(int row);

 signals:
  void reset();                 // the rows were replaced or the set closed
  // Around a change of the row list, so that views hear of it in order.
  void rowsAboutToBeAppended(int first, int last);
  void rowsAppended();
  void rowChanged(int row);
  void rowAboutToBeRemoved(int row);
  void rowRemoved(int row);
  void currentChanged(int row);

 private:
  struct Row {
    jet::RowId id;
    int snapshot = -1;  // row of snapshot_, or -1: see changed_
    int changed = -1;   // row of changed_
  };
  std::optional<QString> writeRow(int row, const std::vector<QString>& values, bool append);

  Connection* connection_;
  Query query_;
  QStringList statement_;
  bool open_ = false;
  QStringList columns_;
  jet::TextSnapshot snapshot_;
  std::vector<std::vector<QString>> changed_;  // rows appended or changed since opening
  std::vector<Row> rows_;
  int current_ = -1;
};

}  // namespace waybill
