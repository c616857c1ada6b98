#include "records/Spreadsheet.h"

#include "platform/xls/reader.h"
#include "platform/xls/writer.h"
#include "records/RecordSet.h"
#include "records/waybill_schema.h"

namespace waybill {

namespace {
QString text(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

std::optional<QString> importSpreadsheet(Connection& connection, const QString& path, const TransferProgress& progress) {
  auto sheet = xls::readSheet(path.toStdString(), kImportSheet);
  if (!sheet.ok()) return text(sheet.status().message());
  auto columns = xls::findColumns(*sheet, recipientColumns());
  if (!columns.ok()) return text(columns.status().message());

  jet::Database& db = connection.database();
  const int total = int(sheet->rows()) - 1;
  if (progress) progress(0, total);
  if (auto s = db.begin(); !s.ok()) return text(s.message());
  auto fail = [&](const jet::Status& s) {
    db.rollback();
    return text(s.message());
  };
  if (auto s = db.clear(kImportTable); !s.ok()) return fail(s);
  std::vector<jet::Value> values(columns->size());
  for (std::size_t r = 1; r < sheet->rows(); ++r) {
    // A row with nothing in the eleven columns is a gap in the sheet, not
    // a recipient.
    bool blank = true;
    for (std::size_t c = 0; c < columns->size(); ++c) {
      std::string_view cell = sheet->cell(r, std::size_t((*columns)[c]));
      blank = blank && cell.empty();
      values[c] = jet::Value::text(std::string(cell));
    }
    if (!blank)
      if (auto id = db.append(kImportTable, values); !id.ok()) return fail(id.status());
    if (progress && r % 1000 == 0) progress(int(r), total);
  }
  if (auto s = db.commit(); !s.ok()) return fail(s);
  if (progress) progress(total, total);
  return std::nullopt;
}

QString exportFileName(const QString& chosen) {
  return chosen.endsWith(QStringLiteral(".xls"), Qt::CaseInsensitive) ? chosen : chosen + QStringLiteral(".xls");
}

std::optional<QString> exportRecordSet(const RecordSet& set, const QString& path, const TransferProgress& progress) {
  const int rows = set.rowCount();
  if (rows > kMaxExportRows)
    return QStringLiteral("列表有 %1 条记录，一个 Excel 工作表最多容纳 %2 条；没有导出，请先查询缩小列表。")
        .arg(rows)
        .arg(kMaxExportRows);
  auto sheet = xls::SheetWriter::create(kImportSheet);
  if (!sheet.ok()) return text(sheet.status().message());
  std::vector<std::string> line;
  for (const QString& name : set.columnNames()) line.push_back(name.toStdString());
  if (auto s = sheet->addRow(line); !s.ok()) return text(s.message());
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < set.columnCount(); ++c) line[size_t(c)] = set.value(r, c).toStdString();
    if (auto s = sheet->addRow(line); !s.ok()) return text(s.message());
    if (progress && r % 1000 == 0 && !progress(r, rows)) return QStringLiteral("cancelled");
  }
  if (auto s = sheet->save(path.toStdString()); !s.ok()) return text(s.message());
  if (progress) progress(rows, rows);
  return std::nullopt;
}

}  // namespace waybill
