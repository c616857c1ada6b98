// The import page, "数据导出" and the data menu, on real files: spreadsheets
// written by xlwt, exports read back by xlrd, ssconvert and our own reader,
// backups compared byte for byte and checked by the jet tool.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "platform/xls/reader.h"
#include "records/waybill_schema.h"
#include "tests/gui/GuiFixture.h"
#include "tests/support/PdfTools.h"

using namespace guitest;
using namespace waybill;
using pdftools::run;

namespace {

const Row kOldRow = {"旧名单", "", "", "", "", "", "", "", "", "", ""};

QByteArray bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Dump {
  QString sheet;
  std::vector<Row> rows;
  bool allText = true;
};
// The first sheet as xlrd reads it: every non-empty cell must be text.
Dump xlrdDump(const QString& path) {
  QString out = run("/usr/bin/python3", {SOURCE_DIR "/tests/records/xls_dump.py", path});
  QJsonObject o = QJsonDocument::fromJson(out.toUtf8()).object();
  Dump d;
  d.sheet = o["name"].toString();
  QJsonArray rows = o["rows"].toArray(), kinds = o["kinds"].toArray();
  for (int r = 0; r < rows.size(); ++r) {
    Row row;
    for (int c = 0; c < rows[r].toArray().size(); ++c) {
      row.push_back(rows[r].toArray()[c].toString().toStdString());
      int kind = kinds[r].toArray()[c].toInt();
      if (kind != 1 && kind != 0) d.allText = false;
    }
    d.rows.push_back(row);
  }
  return d;
}

}  // namespace

class SpreadsheetTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    files = dir.filePath("files");
    QDir().mkpath(files);
    QString out = run("/usr/bin/python3", {SOURCE_DIR "/tests/records/make_orders.py", files});
    ASSERT_TRUE(QFileInfo::exists(files + "/orders.xls")) << out.toStdString();
  }
  void importFrom(const QString& path) {
    window->button("SpeedButton5")->click();  // Excel导入
    edit("Edit22")->setText(path);
    click("SpeedButton22");
  }
  QString files;
};

TEST_F(SpreadsheetTest, AnImportReplacesTheListByTheSheetsRowsFoundByTitle) {
  seed("outr", {{"晨帆网店", "", "", "", "", "", "", "", "", "", "", ""}, {"另一家店", "", "", "", "", "", "", "", "", "", "", ""}});
  seed("excel", {kOldRow});
  start();
  // Numbers typed as numbers read as a person sees them, a date as a
  // date; the blank row between the orders is no order; blanks around a
  // typed path do not matter.
  const std::vector<Row> want = {
      {"张伟", "杭州", "西湖贸易", "310012", "杭州市西湖区文三路478号", "13800138000", "0571-88886666", "茶叶", "2",
       "268812345678", "2024-03-05"},
      {"Li Na", "上海", "", "010000", "上海市浦东新区世纪大道100号", "13912345678", "", "书籍", "1.5", "SF1234567890",
       "工作日送达"},
  };
  for (int round = 0; round < 2; ++round) {  // a second import does not double the list
    importFrom("  " + files + "/orders.xls ");
    EXPECT_EQ(messages(), QStringList{"批量导入EXCEL成功！"});
    EXPECT_EQ(stored("excel"), want);
    EXPECT_EQ(store->ADOQuery3()->rowCount(), 2);
    EXPECT_EQ(window->pages()->currentWidget(), window->importPage());
  }
  // The senders are narrowed to the remembered one, which is current.
  EXPECT_EQ(store->ADOQuery1()->rowCount(), 1);
  EXPECT_EQ(store->ADOQuery1()->field("姓名"), "晨帆网店");
  EXPECT_EQ(store->ADOQuery1()->query().column, "姓名");
}

TEST_F(SpreadsheetTest, AFailedImportLeavesTheListAsItWas) {
  seed("excel", {kOldRow});
  start();
  const QByteArray before = bytes(dbPath);
  struct Case {
    QString path;
    const char* message;
  } cases[] = {
      {files + "/no-quantity.xls", "批量导入EXCEL失败！"},
      {files + "/other-sheet.xls", "批量导入EXCEL失败！"},
      {files + "/not-a-sheet.xls", "批量导入EXCEL失败！"},
      {files + "/missing.xls", "批量导入EXCEL失败！"},
      {"   ", "请正确选择相关路径！"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    importFrom(c.path);
    EXPECT_EQ(messages(), QStringList{c.message});
    EXPECT_EQ(stored("excel"), std::vector<Row>{kOldRow});
    EXPECT_EQ(store->ADOQuery3()->rowCount(), 1);
  }
  EXPECT_EQ(bytes(dbPath), before);
}

TEST_F(SpreadsheetTest, ThePageChoosesAFileSearchesAndDeletesLikeTheRecipientPage) {
  start();
  window->button("SpeedButton5")->click();
  dialogs.fileNames.push_back(files + "/orders.xls");
  click("SpeedButton21");
  EXPECT_EQ(edit("Edit22")->text(), files + "/orders.xls");
  EXPECT_EQ(dialogs.fileDialogTitles, QStringList{"请选择相应的Excel文件"});
  EXPECT_EQ(dialogs.fileDialogFilters, QStringList{"Excel(*.xls)"});
  click("SpeedButton21");  // cancelled: the path stays
  EXPECT_EQ(edit("Edit22")->text(), files + "/orders.xls");
  click("SpeedButton22");
  messages();
  // With 姓名 and 运单号 both filled, the last filled box decides.
  type("Edit23", "张伟");
  type("Edit33", "SF");
  click("SpeedButton23");
  ASSERT_EQ(store->ADOQuery3()->rowCount(), 1);
  EXPECT_EQ(store->ADOQuery3()->field("姓名"), "Li Na");
  click("SpeedButton24");  // 刷新
  EXPECT_EQ(store->ADOQuery3()->rowCount(), 2);
  EXPECT_TRUE(edit("Edit23")->text().isEmpty());
  selectRows("DBGridEh3", {0});
  trigger("N188");
  EXPECT_EQ(messages(), QStringList{"确定要删除选中的记录？"});
  ASSERT_EQ(stored("excel").size(), 1u);
  EXPECT_EQ(stored("excel")[0][0], "Li Na");
}

TEST_F(SpreadsheetTest, AnExportWritesTheRecipientListAsItStandsAsTextCells) {
  seed("inr", {{"张伟", "杭州", "西湖贸易", "010000", "杭州市西湖区文三路478号", "13800138000", "0571-88886666", "茶叶",
                "2", "000123", ""},
               {"李娜", "上海", "", "200120", "上海市浦东新区", "13912345678", "", "书籍", "1", "", "易碎"},
               {"张强", "北京", "", "100020", "北京市朝阳区", "13700001111", "", "", "", "", ""}});
  start();
  // A search narrows the list; a hidden column is still written; the
  // export shows the recipient page from any other.
  type("Edit20", "张");
  click("SpeedButton19");
  ASSERT_EQ(store->ADOQuery2()->rowCount(), 2);
  window->recipientPage()->grid()->setColumnShown(1, false);
  window->pages()->setCurrentWidget(window->senderPage());
  dialogs.fileNames.push_back(dir.filePath("客户.XLS"));
  window->button("SpeedButton6")->click();
  EXPECT_EQ(messages(), QStringList{"数据导出成功！"});
  EXPECT_EQ(window->pages()->currentWidget(), window->recipientPage());
  const QString file = dir.filePath("客户.XLS");  // no second extension
  ASSERT_TRUE(QFileInfo::exists(file));
  EXPECT_EQ(store->ADOQuery2()->currentRow(), 1);  // walked to the end

  std::vector<Row> want = {{"姓名", "城市", "收件单位", "邮编", "地址", "手机", "电话", "内件品名", "数量", "运单号", "备注"}};
  want.push_back(stored("inr")[0]);
  want.push_back(stored("inr")[2]);
  Dump d = xlrdDump(file);
  EXPECT_EQ(d.sheet, "Sheet1");
  EXPECT_TRUE(d.allText);
  EXPECT_EQ(d.rows, want);
  // Gnumeric reads the same, and so does our own reader.
  QString csv = dir.filePath("export.csv");
  run("ssconvert", {"--export-type=Gnumeric_stf:stf_csv", file, csv});
  QString text = QString::fromUtf8(bytes(csv));
  EXPECT_TRUE(text.contains("张伟,杭州,西湖贸易,010000,杭州市西湖区文三路478号,13800138000,0571-88886666,茶叶,2,000123"))
      << text.toStdString();
  auto sheet = xls::readSheet(file.toStdString(), "Sheet1");
  ASSERT_TRUE(sheet.ok()) << sheet.status().message();
  for (size_t r = 0; r < want.size(); ++r) EXPECT_EQ(sheet->row(r), want[r]) << r;
}

TEST_F(SpreadsheetTest, AnExportOfAnEmptyListHasTheTitlesAndOfTooLongAListNothing) {
  start();
  dialogs.fileNames.push_back(dir.filePath("empty"));
  window->button("SpeedButton6")->click();
  EXPECT_EQ(messages(), QStringList{"数据导出成功！"});
  EXPECT_EQ(xlrdDump(dir.filePath("empty.xls")).rows.size(), 1u);
  // One row more than a sheet holds under its titles: nothing is written.
  {
    auto db = jet::Database::open(dbPath.toStdString(), kDatabasePassword);
    ASSERT_TRUE((*db)->begin().ok());
    std::vector<jet::Value> v(11, jet::Value::text("x"));
    for (int i = 0; i < 65536; ++i) ASSERT_TRUE((*db)->append("inr", v).ok());
    ASSERT_TRUE((*db)->commit().ok());
  }
  click("SpeedButton20");  // 刷新
  ASSERT_EQ(store->ADOQuery2()->rowCount(), 65536);
  dialogs.fileNames.push_back(dir.filePath("long.xls"));
  window->button("SpeedButton6")->click();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].caption, ui::programTitle());  // the standard error box
  EXPECT_TRUE(dialogs.shown[0].text.contains("65535")) << dialogs.shown[0].text.toStdString();
  EXPECT_FALSE(QFileInfo::exists(dir.filePath("long.xls")));
}

TEST_F(SpreadsheetTest, ABackupIsTheDatabaseByteForByteUnderItsName) {
  seed("inr", {{"张伟", "杭州", "", "", "", "", "", "", "", "", ""}});
  start();
  struct Case {
    QString chosen, written;
  } cases[] = {{dir.filePath("备份"), dir.filePath("备份.bak")},
               {dir.filePath("again.BAK"), dir.filePath("again.BAK")},
               {dir.filePath("备份"), dir.filePath("备份.bak")}};  // replaced without asking
  for (const Case& c : cases) {
    dialogs.fileNames.push_back(c.chosen);
    trigger("N1");
    EXPECT_EQ(messages(), QStringList{"数据备份成功！"});
    EXPECT_EQ(bytes(c.written), bytes(dbPath));
  }
  EXPECT_FALSE(QFileInfo::exists(dir.filePath("again.BAK.bak")));
  dialogs.fileNames.push_back(dir.filePath("no/such/folder/x"));
  trigger("N1");
  EXPECT_EQ(messages(), QStringList{"数据备份失败，请重新备份！"});
  trigger("N1");  // cancelled: nothing
  EXPECT_TRUE(messages().isEmpty());
}

TEST_F(SpreadsheetTest, ARestoreRefusesWhatIsNoDatabaseOfTheProgramAndLeavesDataMdbAlone) {
  seed("inr", {{"张伟", "杭州", "", "", "", "", "", "", "", "", ""}});
  start();
  const QByteArray before = bytes(dbPath);
  QFile text(dir.filePath("notes.txt"));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("not a database\n");
  text.close();
  QString foreign = dir.filePath("foreign.mdb");
  QFile::copy(SOURCE_DIR "/../shared/fixtures/jet/V2000_test.mdb", foreign);
  // A copy of the database whose last page (the recipients' rows) is
  // overwritten at its start: it opens, but does not pass the check.
  QString damaged = dir.filePath("damaged.bak");
  QByteArray copy = before;
  copy.replace(copy.size() - 4096, 4, "\xff\xff\xff\xff");
  QFile out(damaged);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.write(copy);
  out.close();
  ASSERT_TRUE(jet::Database::open(damaged.toStdString(), kDatabasePassword, {.readOnly = true}).ok());
  int status = -1;
  run(JET_TOOL, {"check", "--password", kDatabasePassword, damaged}, &status);
  ASSERT_EQ(status, 1) << "the damage went unnoticed by the jet tool";
  for (const QString& chosen : {text.fileName(), foreign, damaged, dir.filePath("missing.mdb")}) {
    SCOPED_TRACE(chosen.toStdString());
    dialogs.fileNames.push_back(chosen);
    trigger("N2");
    EXPECT_EQ(messages(), QStringList{"数据恢复失败，请重新恢复！"});
    EXPECT_EQ(bytes(dbPath), before);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(store->ADOQuery2()->rowCount(), 1);  // still connected
  }
  // A good backup, but data.mdb is in the middle of a change (a journal
  // lies beside it): refused after the connections were closed, which
  // open again.
  dialogs.fileNames.push_back(dir.filePath("good"));
  trigger("N1");
  messages();
  QFile journal(dbPath + "-journal");
  ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
  journal.close();
  dialogs.fileNames.push_back(dir.filePath("good.bak"));
  trigger("N2");
  EXPECT_EQ(messages(), QStringList{"数据恢复失败，请重新恢复！"});
  EXPECT_EQ(bytes(dbPath), before);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(store->ADOQuery2()->rowCount(), 1);
  QFile::remove(dbPath + "-journal");
}

TEST_F(SpreadsheetTest, ARestoreReplacesDataMdbByTheBackupAndEndsTheProgram) {
  seed("inr", {{"备份时的收件人", "", "", "", "", "", "", "", "", "", ""}});
  start();
  dialogs.fileNames.push_back(dir.filePath("day"));
  trigger("N1");
  messages();
  const QByteArray backup = bytes(dir.filePath("day.bak"));
  seed("inr", {{"备份后的收件人", "", "", "", "", "", "", "", "", "", ""}});
  dialogs.fileNames.push_back(dir.filePath("day.bak"));
  trigger("N2");
  EXPECT_EQ(messages(), QStringList{"数据恢复成功！"});
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(bytes(dbPath), backup);
  EXPECT_EQ(stored("inr"), (std::vector<Row>{{"备份时的收件人", "", "", "", "", "", "", "", "", "", ""}}));
  int status = -1;
  QString out = run(JET_TOOL, {"check", "--password", kDatabasePassword, dbPath}, &status);
  EXPECT_EQ(status, 0) << out.toStdString();
  // Every connection was let go, the batch windows' too.
  EXPECT_FALSE(store->ADOQuery2()->isOpen());
  EXPECT_FALSE(window->TPdForm()->recipients()->isOpen());
  EXPECT_FALSE(window->thermalWindows()[3]->recipients()->isOpen());
}
