// A second look at a workbook, for the cells FreeXL 1.0 leaves out or
// gets wrong:
//   - formulas: FreeXL skips them; Excel stores each formula's last result
//     beside it (a number, a text in the STRING record that follows, a
//     truth value or an error), and that result is what a person sees;
//   - error cells (#N/A, #DIV/0!): FreeXL reads them as the number 1, and
//     TRUE and FALSE as 1 and 0;
//   - texts spread over three or more records of the shared string table,
//     which FreeXL puts together from uninitialised memory; a workbook with
//     one is read by the scan alone (Scope::kAll), which reads every kind of
//     cell FreeXL does.
// The scan reads the compound file and the BIFF8 (only) records itself,
// with every length checked; where it does not understand a file, the
// reader keeps FreeXL's cells.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/xls/status.h"

namespace xls::scan {

// The "Workbook" (or, from Excel 5/95, "Book") stream of a compound file.
Result<std::string> workbookStream(const std::string& fileBytes);

struct CellText {
  uint32_t row;
  uint16_t column;
  std::string text;
};

// What a scan of a worksheet reads: every cell, or only the cells FreeXL
// misses or mangles (formula results, error cells, TRUE and FALSE).
enum class Scope { kMissedByFreeXL, kAll };

struct Globals;

// The workbook stream with its globals read: the date system, the number
// formats, the sheets and the shared string table.
class WorkbookScan {
 public:
  // Fails for a stream that is not BIFF8 or is encrypted.
  static Result<WorkbookScan> read(std::string stream);
  WorkbookScan(WorkbookScan&&) noexcept;
  WorkbookScan& operator=(WorkbookScan&&) noexcept;
  ~WorkbookScan();

  // Whether some text lies in three or more records of the shared string
  // table, which FreeXL cannot read.
  bool longTexts() const { return firstLong_ != UINT32_MAX; }

  // The names of the worksheets, in the order of their tabs.
  std::vector<std::string> worksheetNames() const;

  // The cells of the worksheet named `sheetName` (UTF-8) as the text a
  // person sees, in the order of the file, empty texts left out.
  Result<std::vector<CellText>> sheet(const std::string& sheetName, Scope scope) const;

 private:
  WorkbookScan();
  std::unique_ptr<const std::string> stream_;
  std::unique_ptr<Globals> globals_;
  uint32_t firstLong_ = UINT32_MAX;
};

// A date serial number of the 1900 (or 1904) date system as
// "yyyy-mm-dd", "yyyy-mm-dd hh:mm:ss" or "hh:mm:ss".
enum class DateKind { kDate, kDateTime, kTime };
std::string dateText(double serial, DateKind kind, bool system1904);

// Whether a number format shows a date, a time, both, or neither
// (returned as false).
bool formatDateKind(const std::string& format, DateKind* kind);

}  // namespace xls::scan
