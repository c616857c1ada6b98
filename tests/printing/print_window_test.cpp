// The print windows: the template menus that open them, the shifts and the
// font of the layout adjustment, the batch windows' own snapshot.
#include <QApplication>
#include <QMenu>

#include "app/CourierTemplateMenu.h"
#include "printing/OffsetText.h"
#include "platform/report/Units.h"
#include "tests/gui/GuiFixture.h"

using namespace guitest;
using namespace waybill;

TEST(OffsetText, ReadsSigned32BitDecimalAndHexadecimal) {
  struct Case {
    const char* text;
    std::optional<int> value;
  } cases[] = {
      {"5", 5},         {"-3", -3},        {"+7", 7},          {" 7", 7},           {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},          {"2147483648", {}}, {"$FFFFFFFF", -1},   {"x80000000", INT32_MIN},
      {"0x10", 16},     {"0X1f", 31},      {"$7fffffff", 2147483647},               {"-$10", -16},
      {"7 ", {}},       {"1.5", {}},       {"", {}},           {"+", {}},           {"$", {}},
      {"0x", {}},       {"$123456789", {}}, {"abc", {}},       {"１２", {}},         {"- 5", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(parseOffset(QString::fromUtf8(c.text)), c.value) << "'" << c.text << "'";
  EXPECT_EQ(invalidOffsetMessage("1.5"), "'1.5' is not a valid integer value");
}

TEST_F(MainWindowTest, EveryCourierEntryOpensItsWindowOnItsTemplate) {
  start();
  struct Menu {
    const char* name;
    PrintWindow* window;
  } menus[] = {{"PopupMenu1", window->TDdForm()}, {"PopupMenu2", window->TPdForm()},
               {"PopupMenu5", window->TEddForm()}, {"PopupMenu6", window->TPedForm()}};
  for (const Menu& m : menus) {
    std::vector<std::pair<QString, int>> opened;
    m.window->runModal = [&](QDialog* d) {
      auto* w = static_cast<PrintWindow*>(d);
      opened.emplace_back(w->windowTitle(), w->currentTemplate());
      EXPECT_EQ(w->frameGeometry().height() >= w->height(), true);
    };
    QMenu* menu = window->menu(m.name);
    std::vector<QAction*> leaves;
    for (QAction* a : menu->actions()) {
      if (a->menu())
        for (QAction* b : a->menu()->actions()) leaves.push_back(b);
      else
        leaves.push_back(a);
    }
    ASSERT_EQ(leaves.size(), 36u) << m.name;
    EXPECT_EQ(menu->actions().size(), 23) << m.name;
    for (size_t i = 0; i < leaves.size(); ++i) {
      leaves[i]->trigger();
      int n = courierMenuOrder()[i];
      const WaybillTemplate& t = Catalogue::builtIn().get(m.window->kind(), n);
      ASSERT_EQ(opened.size(), i + 1);
      EXPECT_EQ(opened.back().second, n);
      EXPECT_EQ(opened.back().first, t.caption);
      int frame = m.window->frameGeometry().height() - m.window->geometry().height();
      EXPECT_EQ(m.window->height() + std::max(frame, 0), t.windowHeight) << n;
    }
  }
  // 申通 模板一 is template 14; 德邦 模板一 titles its window 德邦物流模板.
  EXPECT_EQ(courierMenuOrder()[1], 14);
  EXPECT_EQ(Catalogue::builtIn().get(PrintWindowKind::TDdForm, courierMenuOrder()[23]).caption, "德邦物流模板");
}

TEST_F(MainWindowTest, ShiftsMoveEveryItemOfEveryPageAndAccumulate) {
  start();
  PrintWindow* w = window->TPdForm();
  w->runModal = [](QDialog*) {};
  w->open("x", 1, 592);
  QLineEdit* vertical = w->findChild<QLineEdit*>("Edit1");
  vertical->setText("5");
  w->findChild<QToolButton*>("SpeedButton5")->click();
  w->findChild<QToolButton*>("SpeedButton5")->click();
  w->findChild<QLineEdit*>("Edit2")->setText("-3");
  w->findChild<QToolButton*>("SpeedButton6")->click();
  int items = 0;
  for (int n = 1; n <= 36; ++n) {
    const WaybillTemplate& t = w->templateOf(n);
    for (size_t i = 0; i < t.fieldSlots.size(); ++i) {
      EXPECT_EQ(w->slotRect(n, i), t.fieldSlots[i].box.translated(-3, 10));
      ++items;
    }
    EXPECT_EQ(w->labelPosition(n), t.label + QPoint(-3, 10));
    ++items;
    // On paper: 10 px lower is 2.6458 mm.
    auto r = w->makeReport(n);
    EXPECT_NEAR(report::pxToMm(r->box(0)->box.top()) - report::pxToMm(t.fieldSlots[0].box.top()), 2.6458, 0.0001);
  }
  EXPECT_EQ(items, 648 + 36);  // with memos and print boxes moving together: 1332 items
  EXPECT_EQ(w->memo(0)->geometry().topLeft(), w->slotRect(1, 0).topLeft() + QPoint(w->templateOf(1).screenOffset, 0));
  // Empty: nothing; not a number: the standard error box, nothing moves.
  vertical->clear();
  w->findChild<QToolButton*>("SpeedButton5")->click();
  vertical->setText("1.5");
  w->findChild<QToolButton*>("SpeedButton5")->click();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "'1.5' is not a valid integer value.");
  EXPECT_EQ(dialogs.shown[0].icon, ui::Icon::kStop);
  EXPECT_EQ(w->slotRect(1, 0), w->templateOf(1).fieldSlots[0].box.translated(-3, 10));
  // Another window is not touched.
  EXPECT_EQ(window->TDdForm()->slotRect(1, 0), w->templateOf(1).fieldSlots[0].box);
}

TEST_F(MainWindowTest, AFontSetLeavesTheLargeCitySlotsAndTheLabelAlone) {
  start();
  PrintWindow* w = window->TDdForm();
  w->runModal = [](QDialog*) {};
  w->open("申通快递单模板", 2, 592);
  QFont chosen("黑体");
  chosen.setPixelSize(20);
  dialogs.fonts.push_back(chosen);
  w->findChild<QToolButton*>("SpeedButton1")->click();
  auto r = w->makeReport(2);
  EXPECT_EQ(w->memo(17)->memoFont().pixelSize(), 48);  // template 2, slot 18: the large city
  EXPECT_EQ(r->box(17)->font.pixelSize(), 48);
  EXPECT_EQ(w->memo(0)->memoFont().pixelSize(), 20);
  EXPECT_EQ(r->box(0)->font.family(), chosen.family());
  EXPECT_EQ(r->brandingLabel()->font.pixelSize(), kBrandingFontPixels);
  // Cancelling the dialog changes nothing.
  w->findChild<QToolButton*>("SpeedButton1")->click();
  EXPECT_EQ(w->memo(0)->memoFont().pixelSize(), 20);
}

TEST_F(MainWindowTest, MemosFollowTheCurrentRowsAndBatchWindowsRequeryOnActivation) {
  seed("outr", {{"寄件人甲", "", "", "", "", "", "", "", "", "", "", ""}});
  seed("inr", {{"收件人一", "", "", "", "", "", "", "", "", "", ""}, {"收件人二", "", "", "", "", "", "", "", "", "", ""}});
  start();
  PrintWindow* single = window->TDdForm();
  single->runModal = [](QDialog*) {};
  single->open("EMS快递单模板", 1, 592);
  EXPECT_EQ(single->memo(0)->text(), "寄件人甲");  // S:姓名
  EXPECT_EQ(single->memo(6)->text(), "收件人一");  // R:姓名
  store->ADOQuery2()->setCurrentRow(1);
  EXPECT_EQ(single->memo(6)->text(), "收件人二");
  PrintWindow* batch = window->TPdForm();
  EXPECT_EQ(batch->recipients()->rowCount(), 2);
  seed("inr", {{"收件人三", "", "", "", "", "", "", "", "", "", ""}});
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(batch, &activate);
  EXPECT_EQ(batch->recipients()->rowCount(), 3);
  EXPECT_EQ(batch->makeReport(1)->report().bandCount(), 1);  // no source until it prints
}
