// A Jet 4 database file: its catalogue, its tables, their rows.
//
// Reading happens in snapshots: each call that reads (tables, schema, scan,
// select) sees one committed state of the file.  Writing happens in
// transactions: append, update and remove outside begin()/commit() are each
// one transaction of their own; between begin() and commit() they form one,
// which reaches the file whole or not at all (see pager.h).
//
// Rows are named by RowId, the page and slot where a row starts.  A RowId
// stays valid while the row lives: a row that grows out of its page moves
// elsewhere and leaves a pointer in its slot, as Access does, so the rows'
// storage order never changes.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/jet/format.h"
#include "platform/jet/pager.h"
#include "platform/jet/schema.h"
#include "platform/jet/status.h"
#include "platform/jet/value.h"

namespace jet {

struct RowId {
  uint32_t page = 0;
  uint8_t slot = 0;
  bool operator==(const RowId&) const = default;
  bool operator<(const RowId& o) const { return page != o.page ? page < o.page : slot < o.slot; }
};

struct StoredRow {
  RowId id;
  std::vector<Value> values;  // in column order
};

// Rows read as text only, packed for large tables: every value lies in one
// buffer, so a table of 100,000 rows costs little more than its text.
// Null and empty values both read as empty text.
struct TextSnapshot {
  size_t columns = 0;
  std::vector<RowId> ids;      // one per row, in storage order
  std::string text;            // every value, one after the other
  std::vector<uint64_t> ends;  // where value (row * columns + column) ends

  size_t rows() const { return ids.size(); }
  std::string_view value(size_t row, size_t column) const {
    size_t k = row * columns + column;
    size_t begin = k == 0 ? 0 : ends[k - 1];
    return std::string_view(text).substr(begin, ends[k] - begin);
  }
};

// A table to create: name and columns.
struct TableSpec {
  std::string name;
  std::vector<ColumnSpec> columns;
};

struct OpenOptions {
  bool readOnly = false;
  int busyTimeoutMs = 2000;
};

class Database {
 public:
  // Opens an existing file and checks its password (an empty password for a
  // file without one).  A journal left by a writer that died is played back
  // first.  Fails with NotFound, Corruption, NotSupported (not Jet 4, or
  // encrypted pages) or PermissionDenied (wrong password); the file is not
  // changed by a failed open.
  static Result<std::unique_ptr<Database>> open(const std::string& path, const std::string& password,
                                                OpenOptions options = {});

  // Creates a new file holding `tables`, each without key or index.  The
  // file appears whole (written beside, synced, renamed into place).  Fails
  // with InvalidArgument when `path` already exists.
  static Status create(const std::string& path, const std::string& password, const std::vector<TableSpec>& tables);

  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  const std::string& path() const { return pager_->path(); }

  // The user tables (not system tables), in catalogue order.
  Result<std::vector<std::string>> tableNames();
  Result<TableDef> table(const std::string& name);

  // Every live row of `table` in storage order.
  Result<std::vector<StoredRow>> selectAll(const std::string& table);
  // The rows whose `column`, read as text, contains `needle` with Latin
  // letters compared without case (as Jet's LIKE "%needle%").  An empty
  // needle matches every row.
  Result<std::vector<StoredRow>> selectContaining(const std::string& table, const std::string& column,
                                                  const std::string& needle);
  // The same two queries, as text.  The usual way to fill a record set.
  Result<TextSnapshot> selectAllText(const std::string& table);
  Result<TextSnapshot> selectContainingText(const std::string& table, const std::string& column,
                                            const std::string& needle);
  // Visits the rows in storage order; stops early when visit returns false.
  Status scan(const std::string& table, const std::function<bool(const RowId&, std::vector<Value>&)>& visit);
  // The row at `id`, or NotFound when it no longer exists.
  Result<StoredRow> fetch(const std::string& table, const RowId& id);

  // --- Writing ---
  Status begin();
  Status commit();
  void rollback();
  bool inTransaction() const { return pager_->inTransaction(); }

  // Appends a row.  `values` follow the table's columns; missing trailing
  // values are null.  An autonumber column left null gets the next number.
  // Refused (InvalidArgument) for a value that does not fit its column, and
  // (NotSupported) for a table that has indexes, which this engine does not
  // maintain.
  Result<RowId> append(const std::string& table, const std::vector<Value>& values);
  // Replaces the row's values (all columns, as for append).
  Status update(const std::string& table, const RowId& id, const std::vector<Value>& values);
  Status remove(const std::string& table, const RowId& id);
  // Removes every row of the table (one transaction, or part of the current one).
  Status clear(const std::string& table);

  // Copies the whole file, as one committed state, to `target`, which is
  // replaced whole or left as it was (see Pager::copySnapshotTo).  The copy
  // is byte for byte the file when no writer died half-way.
  Status copyTo(const std::string& target);

  // Walks every page and structure.  Returns the problems found, empty when
  // the file is sound.
  Result<std::vector<std::string>> check();

 private:
  struct TableState;
  struct CatalogEntry {
    std::string name;
    uint32_t tdefPage;
    int type;
    uint32_t flags;
  };
  explicit Database(std::unique_ptr<Pager> pager);

  // Reading helpers; all REQUIRE a snapshot or transaction.
  Result<std::vector<CatalogEntry>> readCatalog();
  Result<CatalogEntry> findTable(const std::string& name);
  Result<TableDef> readTableDef(uint32_t tdefPage);
  Result<std::vector<uint32_t>> readUsageMap(uint32_t rowPointer, std::vector<uint32_t>* mapPages = nullptr);
  Result<std::pair<const uint8_t*, size_t>> rowBytes(uint32_t page, uint8_t slot);
  Result<Value> decodeValue(const Column& c, const struct Field& f);
  Result<Bytes> readLongValue(const uint8_t* header, size_t size);
  Status scanLocked(const TableDef& t, const std::vector<uint32_t>& pages,
                    const std::function<Status(const RowId&, const uint8_t*, size_t, bool&)>& visit);
  Status appendRowText(const TableDef& t, const uint8_t* row, size_t len, TextSnapshot& out);
  Result<TextSnapshot> selectText(const std::string& table, const std::string* column, const std::string& needle);
  Result<std::vector<Value>> decodeRow(const TableDef& t, const uint8_t* row, size_t len,
                                       const std::vector<int>* only = nullptr);

  // Writing helpers; all REQUIRE a transaction.
  template <class F>
  auto autocommit(F&& body) -> decltype(body());
  Result<TableState*> tableState(const std::string& name);
  Result<std::vector<uint32_t>*> freePages();
  Result<uint32_t> allocatePage(uint32_t above);
  Status freePage(uint32_t page);
  // Lays out a row, moving long values out until it is no longer than `limit`
  // (when that can be done) and never longer than a page allows.
  Result<Bytes> encodeRow(TableState& s, const std::vector<Value>& values, size_t limit = format::kMaxRowSize);
  Status freeLongValues(TableState& s, const uint8_t* row, size_t len);
  Result<RowId> placeRow(TableState& s, const Bytes& row, uint16_t flags);
  Result<uint32_t> storeLongValue(TableState& s, const Bytes& data, bool& single);
  Status removeSlot(TableState& s, uint32_t page, uint8_t slot, bool ownedPage);
  Status writeUsageMap(uint32_t rowPointer, const std::vector<uint32_t>& pages, bool global);
  Status flush();
  Status createTable(const TableSpec& spec, uint32_t mapPage);

  std::unique_ptr<Pager> pager_;
  std::map<std::string, std::unique_ptr<TableState>> states_;  // this transaction's tables
  std::unique_ptr<std::vector<uint32_t>> freePages_;           // this transaction's global map
  bool globalMapDirty_ = false;
  bool explicitTransaction_ = false;
  bool failed_ = false;  // a change inside the explicit transaction failed
};

}  // namespace jet
