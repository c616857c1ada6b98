// The sender and recipient pages, driven through the window, with the rows
// checked in the file afterwards.
#include <QMenu>

#include "records/RecordGrid.h"
#include "tests/gui/GuiFixture.h"

using namespace guitest;

namespace {

Row sender(const std::string& name, const std::string& city = "", const std::string& y = "", const std::string& m = "",
           const std::string& d = "") {
  return {name, city, "单位", "100000", "地址", "13800000000", "010-1", "签名", "备注", y, m, d};
}

Row recipient(const std::string& name, const std::string& phone, const std::string& company = "",
              const std::string& waybill = "") {
  return {name, "城市", company, "邮编", "地址", phone, "电话", "品名", "1", waybill, "备注"};
}

const QString kHint = "请单击左边的序号选中一条记录或拖选一段记录，\r\n也可以用Ctrl及Shift来进行多选，然后再删除记录。";

}  // namespace

// --- Start-up date stamp and the date toggle ---

TEST_F(MainWindowTest, StartUpBringsAStampedFirstSenderToToday) {
  seed("outr", {sender("甲", "", "", "05", ""), sender("乙", "", "2020", "01", "02")});
  start();
  EXPECT_EQ(window->button("SpeedButton8")->text(), "隐藏日期");
  EXPECT_EQ(edit("Edit25")->text(), "2026");
  EXPECT_EQ(edit("Edit26")->text(), "12");
  EXPECT_EQ(edit("Edit27")->text(), "11");
  EXPECT_EQ(window->senderPage()->rememberedSender(), "甲");
  auto rows = stored("outr");
  EXPECT_EQ(Row(rows[0].begin() + 9, rows[0].end()), (Row{"2026", "12", "11"}));
  EXPECT_EQ(Row(rows[1].begin() + 9, rows[1].end()), (Row{"2020", "01", "02"}));
  // A click on the second shows its own, earlier date.
  click("SpeedButton1");
  clickRow("DBGridEh1", 1);
  EXPECT_EQ(edit("Edit25")->text(), "2020");
  EXPECT_EQ(window->senderPage()->rememberedSender(), "乙");
}

TEST_F(MainWindowTest, StartUpWithoutDatesOrSendersShowsNoDate) {
  start();
  EXPECT_EQ(window->button("SpeedButton8")->text(), "显示日期");
  EXPECT_TRUE(edit("Edit25")->text().isEmpty());
  EXPECT_TRUE(window->senderPage()->rememberedSender().isEmpty());
  // The toggle on an empty table changes the caption and the boxes only:
  // no sender row that holds nothing but a date is stored.
  click("SpeedButton8");
  EXPECT_EQ(window->button("SpeedButton8")->text(), "隐藏日期");
  EXPECT_EQ(edit("Edit26")->text(), "12");
  click("SpeedButton8");
  EXPECT_EQ(window->button("SpeedButton8")->text(), "显示日期");
  EXPECT_TRUE(stored("outr").empty());
}

TEST_F(MainWindowTest, TheDateToggleStampsAndClearsTheCurrentSender) {
  seed("outr", {sender("甲"), sender("乙")});
  start();
  click("SpeedButton1");
  clickRow("DBGridEh1", 1);
  click("SpeedButton8");
  EXPECT_EQ(stored("outr")[1][9], "2026");
  EXPECT_EQ(stored("outr")[1][11], "11");
  EXPECT_EQ(stored("outr")[0][9], "");
  click("SpeedButton8");
  EXPECT_EQ(stored("outr")[1][9], "");
  EXPECT_TRUE(edit("Edit25")->text().isEmpty());
}

// --- Adding ---

TEST_F(MainWindowTest, AddingASenderNeedsOneBoxAndTakesTheDateBoxes) {
  start();
  click("SpeedButton1");
  click("SpeedButton11");
  EXPECT_EQ(messages(), QStringList{"寄件信息不能为空！"});
  click("SpeedButton8");  // the date boxes alone do not count
  click("SpeedButton11");
  EXPECT_EQ(messages(), QStringList{"寄件信息不能为空！"});
  EXPECT_TRUE(stored("outr").empty());
  type("Edit9", "只有备注");
  click("SpeedButton11");
  type("Edit1", "第二位");
  click("SpeedButton11");
  EXPECT_TRUE(messages().isEmpty());
  auto rows = stored("outr");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][8], "只有备注");
  EXPECT_EQ(Row(rows[1].begin() + 9, rows[1].end()), (Row{"2026", "12", "11"}));  // the boxes kept their date
  EXPECT_TRUE(edit("Edit1")->text().isEmpty());
  EXPECT_EQ(window->senderPage()->rememberedSender(), "第二位");
  EXPECT_EQ(store->ADOQuery1()->currentRow(), 1);
}

TEST_F(MainWindowTest, AddingARecipientNeedsMoreThanARemark) {
  start();
  type("Edit31", "备注");
  click("SpeedButton15");
  EXPECT_EQ(messages(), QStringList{"收件信息不能为空！"});
  EXPECT_TRUE(stored("inr").empty());
  edit("Edit31")->clear();
  type("Edit18", "3");
  type("Edit14", "北京市 \"朝阳\" 区 ");  // kept exactly as typed
  click("SpeedButton15");
  auto rows = stored("inr");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][8], "3");
  EXPECT_EQ(rows[0][4], "北京市 \"朝阳\" 区 ");
  EXPECT_TRUE(edit("Edit18")->text().isEmpty());
  EXPECT_EQ(find<waybill::RecordGrid>("DBGridEh2")->model()->rowCount(), 1);
}

// --- Changing ---

TEST_F(MainWindowTest, ChangingWritesOnlyWhatWasTypedIntoTheCurrentRow) {
  seed("inr", {recipient("甲", "111"), recipient("乙", "222")});
  start();
  doubleClickRow("DBGridEh2", 0);
  EXPECT_EQ(edit("Edit10")->text(), "甲");
  EXPECT_FALSE(find<QPushButton>("SpeedButton15")->isEnabled());
  EXPECT_TRUE(find<QPushButton>("SpeedButton16")->isEnabled());
  clickRow("DBGridEh2", 1);  // another row becomes current; the boxes stay
  edit("Edit11")->clear();
  type("Edit11", "新城市");
  click("SpeedButton16");
  EXPECT_EQ(messages(), QStringList{"修改记录成功！"});
  auto rows = stored("inr");
  EXPECT_EQ(rows[0], recipient("甲", "111"));
  Row changed = recipient("乙", "222");
  changed[1] = "新城市";
  EXPECT_EQ(rows[1], changed);
  EXPECT_TRUE(find<QPushButton>("SpeedButton15")->isEnabled());
  EXPECT_TRUE(edit("Edit10")->text().isEmpty());
  // Nothing typed: still posted and reported, nothing changes.
  doubleClickRow("DBGridEh2", 0);
  click("SpeedButton16");
  EXPECT_EQ(messages(), QStringList{"修改记录成功！"});
  EXPECT_EQ(stored("inr")[0], recipient("甲", "111"));
}

TEST_F(MainWindowTest, ChangingTheSenderKeepsItsDateAndNeedsARow) {
  seed("outr", {sender("甲", "北京", "2026", "12", "11")});
  start();
  click("SpeedButton1");
  trigger("N50");
  edit("Edit2")->clear();
  type("Edit2", "上海");
  click("SpeedButton12");
  EXPECT_EQ(messages(), QStringList{"修改记录成功！"});
  EXPECT_EQ(stored("outr")[0], sender("甲", "上海", "2026", "12", "11"));
}

TEST_F(MainWindowTest, ChangingWithNoRowsSaysSo) {
  seed("inr", {recipient("甲", "111")});
  start();
  doubleClickRow("DBGridEh2", 0);
  type("Edit20", "没有这个人");
  click("SpeedButton19");
  EXPECT_EQ(find<waybill::RecordGrid>("DBGridEh2")->model()->rowCount(), 0);
  click("SpeedButton16");
  EXPECT_EQ(messages(), QStringList{"当前修改记录为空！"});
  EXPECT_TRUE(find<QPushButton>("SpeedButton15")->isEnabled());
}

// --- Deleting ---

TEST_F(MainWindowTest, DeletingAsksForASelectionThenForConsent) {
  seed("inr", {recipient("甲", "1"), recipient("乙", "2"), recipient("丙", "3"), recipient("丁", "4")});
  start();
  clickRow("DBGridEh2", 1);  // a current row is no selection
  click("SpeedButton17");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, kHint);
  EXPECT_EQ(dialogs.shown[0].icon, ui::Icon::kInformation);
  messages();
  selectRows("DBGridEh2", {1, 3});
  ASSERT_EQ(find<waybill::RecordGrid>("DBGridEh2")->selectedRowsDescending(), (std::vector<int>{3, 1}));
  dialogs.answers.push_back(ui::Answer::kCancel);
  click("SpeedButton17");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "确定要删除选中的记录？");
  EXPECT_EQ(dialogs.shown[0].icon, ui::Icon::kWarning);
  EXPECT_EQ(dialogs.shown[0].buttons, ui::Buttons::kOkCancel);
  messages();
  EXPECT_EQ(stored("inr").size(), 4u);
  trigger("N53");  // the selection is still there
  auto rows = stored("inr");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][0], "甲");
  EXPECT_EQ(rows[1][0], "丙");
  EXPECT_EQ(find<waybill::RecordGrid>("DBGridEh2")->model()->rowCount(), 2);
}

TEST_F(MainWindowTest, DeletingSenders) {
  seed("outr", {sender("甲"), sender("乙")});
  start();
  click("SpeedButton1");
  selectRows("DBGridEh1", {0});
  click("SpeedButton13");
  EXPECT_EQ(messages(), QStringList{"确定要删除选中的记录？"});
  ASSERT_EQ(stored("outr").size(), 1u);
  EXPECT_EQ(stored("outr")[0][0], "乙");
}

// --- Searching ---

TEST_F(MainWindowTest, EachFilledSearchBoxInTurnReplacesTheResult) {
  seed("inr", {recipient("张三", "13800001111", "Acme", "SF100"), recipient("李四", "13900002222", "acme 50%", "SF200"),
               recipient("王\"五", "13800003333", "a_b", "EMS300")});
  start();
  auto* grid = find<waybill::RecordGrid>("DBGridEh2");
  auto names = [&] {
    QStringList n;
    for (int r = 0; r < grid->model()->rowCount(); ++r) n << grid->model()->index(r, 0).data().toString();
    return n;
  };
  struct Case {
    std::vector<std::pair<const char*, QString>> typed;
    QStringList shown;
  } cases[] = {
      {{{"Edit20", "张"}}, {"张三"}},
      {{{"Edit20", "张"}, {"Edit21", "2222"}}, {"李四"}},           // the last filled box wins
      {{{"Edit29", "ACME"}}, {"张三", "李四"}},                   // Latin letters ignore case
      {{{"Edit29", "%"}}, {"李四"}},                              // taken literally
      {{{"Edit29", "_"}}, {"王\"五"}},
      {{{"Edit20", "\""}}, {"王\"五"}},                           // a quote is just a character
      {{{"Edit32", "SF"}, {"Edit20", "王"}}, {"张三", "李四"}},      // 运单号 is searched last
      {{{"Edit20", " "}}, {}},                                    // never trimmed
  };
  for (const Case& c : cases) {
    click("SpeedButton20");
    for (auto& [box, text] : c.typed) type(box, text);
    click("SpeedButton19");
    EXPECT_EQ(names(), c.shown) << c.typed.front().second.toStdString();
  }
  EXPECT_TRUE(messages().isEmpty());
  // Empty boxes search nothing and keep the grid as it is.
  click("SpeedButton20");
  type("Edit20", "李");
  click("SpeedButton19");
  edit("Edit20")->clear();
  click("SpeedButton19");
  EXPECT_EQ(names(), QStringList{"李四"});
  // The page's show action empties the boxes and keeps the result.
  type("Edit21", "x");
  click("SpeedButton2");
  EXPECT_TRUE(edit("Edit21")->text().isEmpty());
  EXPECT_EQ(names(), QStringList{"李四"});
  click("SpeedButton20");
  EXPECT_EQ(names().size(), 3);
  EXPECT_EQ(store->ADOQuery2()->currentRow(), 0);
}

// --- Switching and hiding ---

TEST_F(MainWindowTest, SwitchMovesBetweenThePagesAndRequeriesTheSenders) {
  seed("outr", {sender("甲")});
  start();
  click("SpeedButton18");
  EXPECT_EQ(window->pages()->currentWidget(), window->senderPage());
  seed("outr", {sender("乙")});  // written by another connection
  click("SpeedButton14");
  EXPECT_EQ(window->pages()->currentWidget(), window->recipientPage());
  click("SpeedButton1");
  EXPECT_EQ(find<waybill::RecordGrid>("DBGridEh1")->model()->rowCount(), 2);
}

TEST_F(MainWindowTest, HidingColumnsThroughTheirTickedPairs) {
  start();
  auto* grid = find<waybill::RecordGrid>("DBGridEh2");
  struct Pair {
    const char* hide;
    const char* show;
    int column;
  } pairs[] = {{"N164", "N165", 1}, {"N166", "N167", 2}, {"N168", "N169", 3}, {"N170", "N171", 9}};
  for (const Pair& p : pairs) {
    auto* hide = window->findChild<QAction*>(p.hide);
    auto* show = window->findChild<QAction*>(p.show);
    EXPECT_TRUE(hide->isVisible());
    EXPECT_FALSE(show->isVisible());
    EXPECT_EQ(hide->text(), show->text());
    hide->trigger();
    EXPECT_TRUE(grid->isColumnHidden(p.column)) << p.hide;
    EXPECT_FALSE(hide->isVisible());
    EXPECT_TRUE(show->isVisible() && show->isChecked());
    show->trigger();
    EXPECT_FALSE(grid->isColumnHidden(p.column));
    EXPECT_TRUE(hide->isVisible());
  }
}

TEST_F(MainWindowTest, AMobileAndAWaybillNumberShowWholeAtTheWindowsSize) {
  seed("inr", {{"欧阳娜", "石家庄", "", "", "", "13800138000", "", "", "", "SF1234567890123", ""}});
  start();
  struct Grid {
    const char* name;
    std::vector<std::pair<int, QString>> whole;  // column, usual value
  } grids[] = {{"DBGridEh1", {{5, "13800138000"}}},
               {"DBGridEh2", {{5, "13800138000"}, {9, "SF1234567890123"}}},
               {"DBGridEh3", {{5, "13800138000"}, {9, "SF1234567890123"}}}};
  for (const Grid& g : grids) {
    auto* grid = find<waybill::RecordGrid>(g.name);
    for (bool someHidden : {false, true}) {
      if (someHidden) grid->setColumnShown(1, false);
      int sum = 0;
      for (int c = 0; c < grid->model()->columnCount(); ++c)
        if (!grid->isColumnHidden(c)) sum += grid->columnWidth(c);
      EXPECT_EQ(sum, grid->viewport()->width()) << g.name;  // the columns still fill the grid
      for (const auto& [column, value] : g.whole)
        EXPECT_GE(grid->columnWidth(column), grid->widthFor(value)) << g.name << " column " << column;
      grid->setColumnShown(1, true);
    }
  }
}
