#include "app/Startup.h"

namespace waybill {

std::unique_ptr<RecordStore> openStore(ui::Dialogs& dialogs, const QString& path) {
  QString error;
  auto store = RecordStore::open(path, error);
  if (!store) ui::showError(dialogs, QStringLiteral("无法打开数据库文件 %1：%2").arg(path, error));
  return store;
}

}  // namespace waybill
