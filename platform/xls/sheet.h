// One worksheet's cells as text, and finding its columns by title.
//
// A Sheet is dense: rows() × columns() cells, every one a UTF-8 string
// (empty where the file has no cell).  Row 0 is the first row of the file,
// normally its title row.  The cells lie packed in one buffer, so a sheet of
// 60,000 rows costs little more than its text and takes no allocation per
// cell; cell() hands out views into it that live as long as the Sheet.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/xls/status.h"

namespace xls {

class Sheet {
 public:
  Sheet() = default;

  std::size_t rows() const { return columns_ == 0 ? 0 : ends_.size() / columns_; }
  std::size_t columns() const { return columns_; }
  bool empty() const { return ends_.empty(); }

  // The text of one cell; empty text outside the sheet.
  std::string_view cell(std::size_t row, std::size_t column) const {
    if (row >= rows() || column >= columns_) return {};
    std::size_t k = row * columns_ + column;
    std::size_t begin = k == 0 ? 0 : ends_[k - 1];
    return std::string_view(text_).substr(begin, ends_[k] - begin);
  }

  // One row as strings, and the whole sheet as rows of strings, for callers
  // that want to own the text.
  std::vector<std::string> row(std::size_t r) const;
  std::vector<std::vector<std::string>> toRows() const;

  // A sheet of these rows, short rows padded with empty cells to the widest
  // (nothing trimmed).
  static Sheet fromRows(const std::vector<std::vector<std::string>>& rows);

  // The packed form itself: the text of every cell one after the other,
  // and where each cell (row * columns + column) ends in it.  Parts that do
  // not fit together (ends not rising, past the text, not whole rows) give
  // an empty sheet.
  static Sheet fromPacked(std::size_t columns, std::string text, std::vector<std::size_t> ends);
  const std::string& packedText() const { return text_; }
  const std::vector<std::size_t>& packedEnds() const { return ends_; }

 private:
  friend class SheetBuilder;
  std::size_t columns_ = 0;
  std::string text_;                // every cell's text, one after the other
  std::vector<std::size_t> ends_;  // where cell (row * columns + column) ends in text_
};

// Fills a Sheet of a known width cell by cell, in row order.
class SheetBuilder {
 public:
  SheetBuilder(std::size_t rows, std::size_t columns);
  void append(std::string_view text) {
    sheet_.text_.append(text);
    sheet_.ends_.push_back(sheet_.text_.size());
  }
  // Drops trailing rows and columns in which every cell is empty, and
  // hands over the sheet.
  Sheet finish();

 private:
  Sheet sheet_;
};

// For each wanted title, the index of the column of row 0 that carries it.
//
// Titles match after leading and trailing blanks are dropped on both sides
// (spaces, tabs, line breaks, the no-break space and the ideographic space
// U+3000 a Chinese input method types), and otherwise exactly: "手机 " in a
// file matches "手机", "手机号" does not.  When a title appears twice the
// leftmost column wins.  Fails with NotFound naming every missing title (and
// the titles the sheet has) when one or more are absent, or when the sheet
// has no rows at all.
Result<std::vector<int>> findColumns(const Sheet& sheet, const std::vector<std::string>& titles);

// `text` without its leading and trailing blanks, as findColumns compares.
std::string_view trimBlanks(std::string_view text);

}  // namespace xls
