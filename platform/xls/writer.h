// Writing one worksheet of text as an Excel 97–2003 workbook (.xls, BIFF8
// in an OLE2 compound file) that Excel, WPS, LibreOffice, Gnumeric, xlrd and
// FreeXL open.
//
// Every value is written as text, so postcodes and phone numbers keep their
// leading zeros ("010", "0571…") and long numbers their digits; Chinese
// text is stored as UTF-16.  An empty value leaves its cell blank.  Columns
// are made as wide as their longest text (within limits) so that the sheet
// reads well when opened.
//
// Nothing reaches the disk until the whole sheet is known to fit: the
// limits of an .xls sheet (65,536 rows, that is the title row and 65,535
// more; 256 columns; 32,767 characters in a cell) are checked as rows are
// added, and a refused list leaves no file behind.  The file is written to
// a temporary file beside the target, flushed to the disk and renamed over
// it, so a failed or cancelled write leaves an existing file as it was.
//
//   auto st = xls::writeSheet("/home/shop/客户.xls", "Sheet1", rows);
//   if (!st.ok()) showError(st.message());
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/xls/status.h"

namespace xls {

inline constexpr std::size_t kMaxRows = 65536;  // the title row and 65,535 more
inline constexpr std::size_t kMaxColumns = 256;
inline constexpr std::size_t kMaxCellChars = 32767;

// Told how far a long write has come; returning false cancels it.
using Progress = std::function<bool(std::size_t rowsDone, std::size_t rowsTotal)>;

namespace biff {
class SheetContent;
}

// A sheet built a row at a time, for callers that produce rows as they go
// (a query's results, say) and would rather not hold them all as strings.
class SheetWriter {
 public:
  // Fails with InvalidArgument for a name Excel does not allow on a tab:
  // empty, longer than 31 characters, or holding : \ / ? * [ ].
  static Result<SheetWriter> create(const std::string& sheetName);

  SheetWriter(SheetWriter&&) noexcept;
  SheetWriter& operator=(SheetWriter&&) noexcept;
  ~SheetWriter();

  // Adds the next row (row 0 first: the title row).  Refused with
  // InvalidArgument, the sheet unchanged, when it would be row 65,537, has
  // more than 256 values, or holds a value longer than 32,767 characters or
  // not valid UTF-8; the message names the row and column.
  Status addRow(std::span<const std::string> values);
  Status addRow(std::span<const std::string_view> values);
  Status addRow(std::initializer_list<std::string_view> values);

  std::size_t rowCount() const;

  // Writes the rows added so far to `path`, replacing a file there.  May be
  // called again (after more rows, or to another path).
  Status save(const std::string& path) const;

 private:
  SheetWriter(std::u16string name);
  std::u16string name_;
  std::unique_ptr<biff::SheetContent> content_;
};

// Writes `rows` as the sheet `sheetName` of a new workbook at `path`.
// Checks the number of rows and columns before anything else and refuses a
// list that does not fit; then calls `progress` (when given) as rows are
// encoded, at the start, every 1,000 rows and at the end, and stops with
// Cancelled, writing nothing, when it returns false.  60,000 rows of 11
// columns take a few hundred milliseconds.
Status writeSheet(const std::string& path, const std::string& sheetName,
                  const std::vector<std::vector<std::string>>& rows, const Progress& progress = {});

}  // namespace xls
