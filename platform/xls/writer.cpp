#include "platform/xls/writer.h"

#include "platform/xls/atomic_file.h"
#include "platform/xls/biff.h"
#include "platform/xls/compound.h"

namespace xls {

static_assert(kMaxRows == biff::kMaxRows && kMaxColumns == biff::kMaxColumns && kMaxCellChars == biff::kMaxCellChars);

SheetWriter::SheetWriter(std::u16string name)
    : name_(std::move(name)), content_(std::make_unique<biff::SheetContent>()) {}
SheetWriter::SheetWriter(SheetWriter&&) noexcept = default;
SheetWriter& SheetWriter::operator=(SheetWriter&&) noexcept = default;
SheetWriter::~SheetWriter() = default;

Result<SheetWriter> SheetWriter::create(const std::string& sheetName) {
  auto name = biff::checkSheetName(sheetName);
  if (!name.ok()) return name.status();
  return SheetWriter(std::move(name).value());
}

Status SheetWriter::addRow(std::span<const std::string> values) { return content_->addRow(values.data(), values.size()); }
Status SheetWriter::addRow(std::span<const std::string_view> values) {
  return content_->addRow(values.data(), values.size());
}
Status SheetWriter::addRow(std::initializer_list<std::string_view> values) {
  return content_->addRow(values.begin(), values.size());
}

std::size_t SheetWriter::rowCount() const { return content_->rowCount(); }

Status SheetWriter::save(const std::string& path) const {
  std::vector<uint8_t> stream = content_->buildWorkbook(name_);
  // A compound file's sector numbers are 32-bit and Excel stops at 2 GB;
  // a sheet within the row, column and cell limits can still, in theory,
  // be larger.
  if (stream.size() > (std::size_t{1} << 31) - (std::size_t{1} << 24))
    return Status::InvalidArgument("the sheet's text is too large for an .xls file (over 2 GB)");
  if (stream.size() < compound::kMinStreamSize) stream.resize(compound::kMinStreamSize, 0);
  compound::Frame frame = compound::frameFor(stream.size());
  static const uint8_t kZeros[compound::kSectorSize] = {};
  const Bytes pieces[] = {
      {frame.header.data(), frame.header.size()},
      {stream.data(), stream.size()},
      {kZeros, frame.padding},
      {frame.trailer.data(), frame.trailer.size()},
  };
  return writeFileAtomically(path, pieces);
}

Status writeSheet(const std::string& path, const std::string& sheetName,
                  const std::vector<std::vector<std::string>>& rows, const Progress& progress) {
  auto writer = SheetWriter::create(sheetName);
  if (!writer.ok()) return writer.status();
  if (rows.size() > kMaxRows)
    return Status::InvalidArgument("the list has " + std::to_string(rows.size()) +
                                   " rows with its title row; an .xls sheet holds at most 65,536 (a title row and "
                                   "65,535 more), so it was not written");
  for (std::size_t r = 0; r < rows.size(); ++r)
    if (rows[r].size() > kMaxColumns)
      return Status::InvalidArgument("row " + std::to_string(r + 1) + " has " + std::to_string(rows[r].size()) +
                                     " columns; an .xls sheet holds at most 256, so the list was not written");
  const std::size_t total = rows.size();
  auto cancelled = [] { return Status::Cancelled("the export was cancelled; no file was written"); };
  if (progress && !progress(0, total)) return cancelled();
  for (std::size_t r = 0; r < total; ++r) {
    XLS_RETURN_IF_ERROR(writer->addRow(rows[r]));
    if (progress && (r + 1) % 1000 == 0 && r + 1 < total && !progress(r + 1, total)) return cancelled();
  }
  if (progress && total > 0 && !progress(total, total)) return cancelled();
  return writer->save(path);
}

}  // namespace xls
