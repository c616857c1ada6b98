// Reading the worksheets of an .xls workbook (Excel 97–2003, and the older
// Excel 5/95 files FreeXL also reads) through FreeXL.
//
// Every cell comes back as the text a person sees in it:
//   - text as it is (UTF-8), with no blanks trimmed;
//   - numbers as Excel's General format shows them (see cell_text.h):
//     13800138000 stays "13800138000", 0.5 reads "0.5", -5 reads "-5";
//   - dates as "yyyy-mm-dd", date-times as "yyyy-mm-dd hh:mm:ss", times as
//     "hh:mm:ss" (a number cell counts as a date when its format is one);
//   - formulas as their last result, as Excel shows it;
//   - TRUE and FALSE as "TRUE" and "FALSE", errors as "#N/A", "#DIV/0!" …;
//   - blank cells as empty text.
// Rows and columns past the last cell with text are dropped (a sheet once
// formatted further down reports the formatted range); empty rows between
// others stay.
//
// FreeXL 1.0 reads the cells, with a second reading of the records by
// workbook_scan.h for what it skips (formulas) or gets wrong (errors and
// truth values, which it reads as numbers).  FreeXL also reads garbage for
// a text spread over three or more records of the shared string table
// (over about 8,000 Chinese or 16,000 Latin characters); a workbook with
// such a text is read by the second reading alone.  And FreeXL crashes on
// some damaged files: all of the reading runs in a child process (see
// isolated.h), and such a file comes back as InvalidFormat.
#pragma once

#include <string>
#include <vector>

#include "platform/xls/sheet.h"
#include "platform/xls/status.h"

namespace xls {

// The names of the workbook's worksheets, in the order of their tabs.
Result<std::vector<std::string>> sheetNames(const std::string& path);

// The cells of the worksheet named `sheetName`: the name matches exactly,
// or failing that without regard to the case of Latin letters, as Excel
// treats sheet names ("sheet1" finds "Sheet1").
//
// Fails with
//   NotFound          no such file, or no worksheet of that name (the
//                     message lists the names there are);
//   PermissionDenied  the file may not be read, or has a password;
//   InvalidFormat     not an .xls workbook (a text file, an .xlsx, a Word
//                     document) or a damaged one;
//   IOError           the system could not read the file.
Result<Sheet> readSheet(const std::string& path, const std::string& sheetName);

}  // namespace xls
