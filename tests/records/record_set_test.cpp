// Record sets and their grid model, over a real file.
#include <QAbstractItemModelTester>

#include "records/RecordSetModel.h"
#include "records/RecordStore.h"
#include "records/waybill_schema.h"
#include "tests/gui/GuiFixture.h"

using namespace guitest;
using waybill::Query;

TEST_F(MainWindowTest, RecordSetMirrorsItsChangesAndTheFileAgrees) {
  seed("inr", {{"a", "", "", "", "", "1"}, {"b", "", "", "", "", "2"}, {"c", "", "", "", "", "3"}});
  QString error;
  store = waybill::RecordStore::open(dbPath, error);
  ASSERT_TRUE(store);
  waybill::RecordSet* set = store->ADOQuery2();
  waybill::RecordSetModel* model = store->DataSource2();
  model->setColumns({"姓名", "手机"});
  QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);

  EXPECT_EQ(set->rowCount(), 3);
  EXPECT_EQ(set->currentRow(), 0);
  EXPECT_EQ(set->field("姓名"), "a");
  ASSERT_FALSE(set->append({{"姓名", "d"}, {"手机", "4"}}));
  EXPECT_EQ(set->currentRow(), 3);
  set->setCurrentRow(1);
  ASSERT_FALSE(set->changeCurrent({{"手机", "22"}}));
  EXPECT_EQ(model->index(1, 1).data().toString(), "22");
  ASSERT_FALSE(set->deleteRow(0));
  EXPECT_EQ(set->currentRow(), 0);  // the row after the deleted one
  EXPECT_EQ(set->field("姓名"), "b");
  auto rows = stored("inr");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0][0], "b");
  EXPECT_EQ(rows[0][5], "22");
  EXPECT_EQ(rows[2][0], "d");
  for (int r = 0; r < set->rowCount(); ++r) EXPECT_EQ(set->value(r, "姓名").toStdString(), rows[size_t(r)][0]);

  // A query that cannot run leaves the set closed and empty.
  auto failed = set->requery(Query::containing("inr", "没有的列", "x"));
  ASSERT_TRUE(failed);
  EXPECT_FALSE(set->isOpen());
  EXPECT_EQ(set->rowCount(), 0);
  EXPECT_EQ(set->currentRow(), -1);
  EXPECT_TRUE(set->field("姓名").isEmpty());
  EXPECT_TRUE(set->append({{"姓名", "x"}}));
  EXPECT_FALSE(set->requery(Query::all("inr")));
  EXPECT_EQ(set->rowCount(), 3);
  EXPECT_EQ(set->statementLines(), QStringList{"select * from inr"});
  EXPECT_EQ(Query::containing("inr", "姓名", "张").statement(), "select * from inr where 姓名 like \"%张%\"");
}

TEST_F(MainWindowTest, EmptyTablesOpenEmpty) {
  QString error;
  store = waybill::RecordStore::open(dbPath, error);
  ASSERT_TRUE(store);
  for (waybill::RecordSet* s : {store->ADOQuery1(), store->ADOQuery2(), store->ADOQuery3()}) {
    EXPECT_TRUE(s->isOpen());
    EXPECT_EQ(s->rowCount(), 0);
    EXPECT_EQ(s->currentRow(), -1);
    EXPECT_TRUE(s->field("姓名").isEmpty());
  }
  EXPECT_EQ(store->ADOQuery1()->columnNames().size(), 12);
  EXPECT_EQ(store->ADOQuery3()->columnNames().size(), 11);
}
