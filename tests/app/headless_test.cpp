// The commands without a window: a day's work from a script.  Each prints
// the program's message and exits 0, or 1 with the reason.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/jet/database.h"
#include "records/waybill_schema.h"
#include "tests/support/PdfTools.h"

using pdftools::run;
using namespace waybill;

namespace {

struct Outcome {
  int status;
  QString output;
};

class Headless : public ::testing::Test {
 protected:
  void SetUp() override {
    db = dir.filePath("data.mdb");
    ASSERT_TRUE(jet::Database::create(db.toStdString(), kDatabasePassword, databaseSchema()).ok());
    run("/usr/bin/python3", {SOURCE_DIR "/tests/records/make_orders.py", dir.path()});
  }
  Outcome waybill(QStringList args) {
    Outcome o;
    o.output = run(WAYBILL, args << "--db" << db, &o.status);
    return o;
  }
  int rows(const char* table) {
    auto d = jet::Database::open(db.toStdString(), kDatabasePassword, {.readOnly = true});
    return int((*d)->selectAllText(table)->rows());
  }
  QTemporaryDir dir;
  QString db;
};

}  // namespace

TEST_F(Headless, ImportExportBackupAndRestoreDoWhatTheWindowDoes) {
  struct Step {
    QStringList args;
    int status;
    const char* message;
  } steps[] = {
      {{"import", dir.filePath("orders.xls")}, 0, "批量导入EXCEL成功！"},
      {{"import", dir.filePath("no-quantity.xls")}, 1, "批量导入EXCEL失败！"},
      {{"export", dir.filePath("list")}, 0, "数据导出成功！"},
      {{"backup", dir.filePath("safe")}, 0, "数据备份成功！"},
      {{"restore", dir.filePath("not-a-sheet.xls")}, 1, "数据恢复失败，请重新恢复！"},
      {{"restore", dir.filePath("safe.bak")}, 0, "数据恢复成功！"},
  };
  for (const Step& s : steps) {
    Outcome o = waybill(s.args);
    EXPECT_EQ(o.status, s.status) << s.args.join(' ').toStdString() << "\n" << o.output.toStdString();
    EXPECT_TRUE(o.output.contains(QString::fromUtf8(s.message))) << o.output.toStdString();
  }
  EXPECT_EQ(rows("excel"), 2);  // the failed import left the list
  EXPECT_TRUE(QFileInfo::exists(dir.filePath("list.xls")));
  EXPECT_EQ(waybill({"backup"}).status, 2);  // no file: the usage
}
