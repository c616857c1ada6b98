#include "records/waybill_schema.h"

namespace waybill {

const std::vector<std::string>& senderColumns() {
  static const std::vector<std::string> columns = {"姓名", "城市", "寄件单位", "邮编", "地址", "手机",
                                                   "电话", "签名", "备注",     "年",   "月",   "日"};
  return columns;
}

const std::vector<std::string>& recipientColumns() {
  static const std::vector<std::string> columns = {"姓名", "城市",     "收件单位", "邮编",   "地址", "手机",
                                                   "电话", "内件品名", "数量",     "运单号", "备注"};
  return columns;
}

std::vector<jet::TableSpec> databaseSchema() {
  auto table = [](const char* name, const std::vector<std::string>& columns) {
    jet::TableSpec t{name, {}};
    for (const std::string& c : columns) t.columns.push_back({c, jet::ColumnType::kMemo});
    return t;
  };
  return {table(kSenderTable, senderColumns()), table(kRecipientTable, recipientColumns()),
          table(kImportTable, recipientColumns())};
}

std::string schemaMismatch(jet::Database& db) {
  for (const jet::TableSpec& want : databaseSchema()) {
    auto have = db.table(want.name);
    if (!have.ok()) return "it has no table " + want.name;
    std::vector<std::string> names;
    for (const auto& c : have->columns) names.push_back(c.name);
    std::vector<std::string> wanted;
    for (const auto& c : want.columns) wanted.push_back(c.name);
    if (names != wanted) return "the table " + want.name + " has other columns than the program's";
    // The program writes every table; the engine writes none with indexes.
    if (have->realIndexCount > 0) return "the table " + want.name + " has indexes";
  }
  return {};
}

}  // namespace waybill
