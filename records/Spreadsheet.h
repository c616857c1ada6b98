// The imported list from a spreadsheet, and the recipient list into one.
//
// Import: the worksheet "Sheet1" of an .xls file, its first row the titles;
// the eleven columns of excel are found by title in any order among others,
// and every row below with something in them becomes a row of excel.  The
// whole sheet is read and checked before excel is touched, and the rows
// then replace excel's in one transaction: a failed import leaves the list
// as it was.
//
// Export: a record set as it stands, a title row of its column names and
// every row, every value a text cell (postcodes and phone numbers keep
// their leading zeros), written whole or not at all.
#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace waybill {

class Connection;
class RecordSet;

// Told how far a long import or export has come; false cancels an export.
using TransferProgress = std::function<bool(int done, int total)>;

inline constexpr const char* kImportSheet = "Sheet1";
// An .xls sheet holds 65,536 rows: the titles and 65,535 records.
inline constexpr int kMaxExportRows = 65535;

// Replaces the rows of excel by those of the spreadsheet at `path`.  The
// error text when nothing was imported.
std::optional<QString> importSpreadsheet(Connection& connection, const QString& path,
                                         const TransferProgress& progress = {});

// The file an export writes for a chosen name: ".xls" appended unless the
// name ends in it already (in any case).
QString exportFileName(const QString& chosen);

// Writes every row of `set` to `path`.  The error text when no file was
// written, a list longer than a sheet holds included.
std::optional<QString> exportRecordSet(const RecordSet& set, const QString& path, const TransferProgress& progress = {});

}  // namespace waybill
