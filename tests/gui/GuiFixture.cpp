#include "tests/gui/GuiFixture.h"

#include <QAction>
#include <QInputMethodEvent>
#include <QHeaderView>
#include <QItemSelectionModel>

#include "records/RecordGrid.h"
#include "records/waybill_schema.h"

namespace guitest {

void MainWindowTest::SetUp() {
  ASSERT_TRUE(dir.isValid());
  dbPath = dir.filePath("data.mdb");
  jet::Status s = jet::Database::create(dbPath.toStdString(), waybill::kDatabasePassword, waybill::databaseSchema());
  ASSERT_TRUE(s.ok()) << s.message();
  QDir(dir.path()).mkdir("Desktop");
  env.programPath = dir.filePath("waybill");
  env.desktopDir = dir.filePath("Desktop");
  env.today = [] { return QDate(2026, 12, 11); };
  env.openUrl = [this](const QUrl& u) { opened.push_back(u); };
}

void MainWindowTest::TearDown() {
  window.reset();
  store.reset();
}

void MainWindowTest::seed(const char* table, const std::vector<Row>& rows) {
  auto db = jet::Database::open(dbPath.toStdString(), waybill::kDatabasePassword);
  ASSERT_TRUE(db.ok());
  for (const Row& r : rows) {
    std::vector<jet::Value> v;
    for (const std::string& s : r) v.push_back(jet::Value::text(s));
    ASSERT_TRUE((*db)->append(table, v).ok());
  }
}

void MainWindowTest::start() {
  QString error;
  store = waybill::RecordStore::open(dbPath, error);
  ASSERT_TRUE(store) << error.toStdString();
  window = std::make_unique<waybill::TMainForm>(*store, dialogs, env);
  window->show();
  QApplication::processEvents();
}

std::vector<Row> MainWindowTest::stored(const char* table) {
  auto db = jet::Database::open(dbPath.toStdString(), waybill::kDatabasePassword, {.readOnly = true});
  EXPECT_TRUE(db.ok());
  auto snap = (*db)->selectAllText(table);
  std::vector<Row> rows;
  for (size_t r = 0; r < snap->rows(); ++r) {
    Row row;
    for (size_t c = 0; c < snap->columns; ++c) row.emplace_back(snap->value(r, c));
    rows.push_back(row);
  }
  return rows;
}

void MainWindowTest::type(const char* box, const QString& text) {
  QLineEdit* e = edit(box);
  e->setFocus();
  // Latin text as keys, Chinese as an input method commits it.
  QString ascii;
  auto flush = [&] {
    if (!ascii.isEmpty()) QTest::keyClicks(e, ascii);
    ascii.clear();
  };
  for (QChar c : text) {
    if (c.unicode() < 0x7F) {
      ascii += c;
      continue;
    }
    flush();
    QInputMethodEvent commit;
    commit.setCommitString(QString(c));
    QApplication::sendEvent(e, &commit);
  }
  flush();
}

void MainWindowTest::click(const char* name) {
  QAbstractButton* b = window->findChild<QAbstractButton*>(QString::fromUtf8(name));
  ASSERT_NE(b, nullptr) << name;
  ASSERT_TRUE(b->isEnabled()) << name << " is disabled";
  QTest::mouseClick(b, Qt::LeftButton);
}

void MainWindowTest::clickRow(const char* grid, int row) {
  auto* g = find<waybill::RecordGrid>(grid);
  QRect r = g->visualRect(g->model()->index(row, 0));
  QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
}

void MainWindowTest::doubleClickRow(const char* grid, int row) {
  auto* g = find<waybill::RecordGrid>(grid);
  QRect r = g->visualRect(g->model()->index(row, 0));
  QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, r.center());
}

void MainWindowTest::selectRows(const char* grid, std::initializer_list<int> rows) {
  auto* g = find<waybill::RecordGrid>(grid);
  // As clicks on the indicator column with Ctrl held.
  for (int row : rows) {
    int y = g->verticalHeader()->sectionViewportPosition(row) + g->verticalHeader()->sectionSize(row) / 2;
    QTest::mouseClick(g->verticalHeader()->viewport(), Qt::LeftButton, Qt::ControlModifier, QPoint(4, y));
  }
}

void MainWindowTest::trigger(const char* action) {
  QAction* a = window->findChild<QAction*>(QString::fromUtf8(action));
  ASSERT_NE(a, nullptr) << action;
  a->trigger();
}

}  // namespace guitest

int main(int argc, char** argv) {
  // Offscreen unless told otherwise: the window-manager tests run on a real display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
