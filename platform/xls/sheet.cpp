#include "platform/xls/sheet.h"

#include <algorithm>

namespace xls {

std::vector<std::string> Sheet::row(std::size_t r) const {
  std::vector<std::string> out;
  if (r >= rows()) return out;
  out.reserve(columns_);
  for (std::size_t c = 0; c < columns_; ++c) out.emplace_back(cell(r, c));
  return out;
}

std::vector<std::vector<std::string>> Sheet::toRows() const {
  std::vector<std::vector<std::string>> out;
  out.reserve(rows());
  for (std::size_t r = 0; r < rows(); ++r) out.push_back(row(r));
  return out;
}

Sheet Sheet::fromRows(const std::vector<std::vector<std::string>>& rows) {
  std::size_t width = 0;
  for (const auto& r : rows) width = std::max(width, r.size());
  Sheet s;
  if (width == 0) return s;
  s.columns_ = width;
  s.ends_.reserve(rows.size() * width);
  for (const auto& r : rows) {
    for (std::size_t c = 0; c < width; ++c) {
      if (c < r.size()) s.text_ += r[c];
      s.ends_.push_back(s.text_.size());
    }
  }
  return s;
}

Sheet Sheet::fromPacked(std::size_t columns, std::string text, std::vector<std::size_t> ends) {
  Sheet s;
  if (columns == 0 || ends.empty() || ends.size() % columns != 0) return s;
  std::size_t last = 0;
  for (std::size_t e : ends) {
    if (e < last || e > text.size()) return s;
    last = e;
  }
  if (last != text.size()) return s;
  s.columns_ = columns;
  s.text_ = std::move(text);
  s.ends_ = std::move(ends);
  return s;
}

SheetBuilder::SheetBuilder(std::size_t rows, std::size_t columns) {
  sheet_.columns_ = columns;
  sheet_.ends_.reserve(rows * columns);
}

Sheet SheetBuilder::finish() {
  Sheet& s = sheet_;
  std::size_t cols = s.columns_;
  if (cols == 0) return Sheet();
  std::size_t rows = s.ends_.size() / cols;
  auto cellEmpty = [&](std::size_t r, std::size_t c) {
    std::size_t k = r * cols + c;
    return (k == 0 ? 0 : s.ends_[k - 1]) == s.ends_[k];
  };
  // A sheet that was once formatted further down than its data reports the
  // formatted range; the rows and columns past the last text are noise.
  std::size_t usedRows = rows;
  while (usedRows > 0) {
    bool blank = true;
    for (std::size_t c = 0; c < cols && blank; ++c) blank = cellEmpty(usedRows - 1, c);
    if (!blank) break;
    --usedRows;
  }
  std::size_t usedCols = 0;
  for (std::size_t r = 0; r < usedRows; ++r)
    for (std::size_t c = cols; c > usedCols; --c)
      if (!cellEmpty(r, c - 1)) {
        usedCols = c;
        break;
      }
  if (usedRows == 0 || usedCols == 0) return Sheet();
  if (usedCols == cols) {
    s.ends_.resize(usedRows * cols);
    s.text_.resize(s.ends_.empty() ? 0 : s.ends_.back());
    return std::move(s);
  }
  // Narrower: the ends of the kept cells, rebased.  The text of the dropped
  // cells is empty, so the text buffer stays as it is.
  std::vector<std::size_t> ends;
  ends.reserve(usedRows * usedCols);
  for (std::size_t r = 0; r < usedRows; ++r)
    for (std::size_t c = 0; c < usedCols; ++c) ends.push_back(s.ends_[r * cols + c]);
  Sheet out;
  out.columns_ = usedCols;
  out.text_ = std::move(s.text_);
  out.text_.resize(ends.back());
  out.ends_ = std::move(ends);
  return out;
}

std::string_view trimBlanks(std::string_view t) {
  auto blankAtFront = [](std::string_view s) -> std::size_t {
    if (s.empty()) return 0;
    unsigned char c = s[0];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f') return 1;
    if (s.size() >= 2 && c == 0xC2 && static_cast<unsigned char>(s[1]) == 0xA0) return 2;  // U+00A0
    if (s.size() >= 3 && c == 0xE3 && static_cast<unsigned char>(s[1]) == 0x80 &&
        static_cast<unsigned char>(s[2]) == 0x80)
      return 3;  // U+3000
    return 0;
  };
  auto blankAtBack = [](std::string_view s) -> std::size_t {
    if (s.empty()) return 0;
    std::size_t n = s.size();
    unsigned char c = s[n - 1];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f') return 1;
    if (n >= 2 && c == 0xA0 && static_cast<unsigned char>(s[n - 2]) == 0xC2) return 2;
    if (n >= 3 && c == 0x80 && static_cast<unsigned char>(s[n - 2]) == 0x80 &&
        static_cast<unsigned char>(s[n - 3]) == 0xE3)
      return 3;
    return 0;
  };
  while (std::size_t k = blankAtFront(t)) t.remove_prefix(k);
  while (std::size_t k = blankAtBack(t)) t.remove_suffix(k);
  return t;
}

namespace {

std::string quotedList(const std::vector<std::string_view>& items, std::size_t most) {
  std::string s;
  for (std::size_t i = 0; i < items.size() && i < most; ++i) {
    if (i) s += ", ";
    s += "\"";
    s += items[i];
    s += "\"";
  }
  if (items.size() > most) s += ", …";
  return s;
}

}  // namespace

Result<std::vector<int>> findColumns(const Sheet& sheet, const std::vector<std::string>& titles) {
  std::vector<std::string_view> wanted;
  wanted.reserve(titles.size());
  for (const std::string& t : titles) {
    wanted.push_back(trimBlanks(t));
    if (wanted.back().empty()) return Status::InvalidArgument("a column cannot be looked up by an empty title");
  }
  std::vector<std::string_view> present;
  for (std::size_t c = 0; c < sheet.columns(); ++c) present.push_back(trimBlanks(sheet.cell(0, c)));

  std::vector<int> found;
  std::vector<std::string_view> missing;
  for (std::string_view w : wanted) {
    auto it = std::find(present.begin(), present.end(), w);
    if (it == present.end()) {
      missing.push_back(w);
      found.push_back(-1);
    } else {
      found.push_back(static_cast<int>(it - present.begin()));
    }
  }
  if (missing.empty()) return found;

  std::string m = missing.size() == 1 ? "the sheet has no column titled " : "the sheet has no columns titled ";
  m += quotedList(missing, missing.size());
  std::vector<std::string_view> nonEmpty;
  for (std::string_view p : present)
    if (!p.empty()) nonEmpty.push_back(p);
  if (sheet.empty())
    m += ": the sheet is empty";
  else if (nonEmpty.empty())
    m += ": its first row, where the titles belong, is empty";
  else
    m += " in its first row; the titles there are " + quotedList(nonEmpty, 30);
  return Status::NotFound(m);
}

}  // namespace xls
