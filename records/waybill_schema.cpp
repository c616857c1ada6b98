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

}  // namespace waybill
