// The thermal label windows: the menus that open them, what they show, the
// shifts, the print date and the batch windows' own snapshot.
#include <QApplication>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QScreen>
#include <map>

#include "platform/report/Report.h"
#include "printing/RecordSetSource.h"
#include "tests/gui/GuiFixture.h"
#include "tests/support/PdfTools.h"

using namespace guitest;
using namespace waybill;

namespace {

ThermalWindow* labelWindow(TMainForm& main, ThermalWindowKind kind) {
  for (ThermalWindow* w : main.thermalWindows())
    if (w->kind() == kind) return w;
  return nullptr;
}

QString pdfText(const QString& pdf) { return pdftools::run("pdftotext", {pdf, "-"}); }

}  // namespace

TEST_F(MainWindowTest, TheThermalEntriesOpenTheirWindowsCentredAndModal) {
  start();
  ASSERT_EQ(window->thermalWindows().size(), 4u);
  const ThermalWindowKind order[] = {ThermalWindowKind::TRddForm, ThermalWindowKind::TPrdForm,
                                     ThermalWindowKind::TErdForm, ThermalWindowKind::TPerdForm};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(window->thermalWindows()[size_t(i)]->kind(), order[i]);
  struct Entry {
    const char* menu;
    int action;
    ThermalWindowKind kind;
    const char* preview;
  } entries[] = {{"PopupMenu9", 0, ThermalWindowKind::TRddForm, "单张预览"},
                 {"PopupMenu9", 1, ThermalWindowKind::TPrdForm, "批量预览"},
                 {"PopupMenu10", 0, ThermalWindowKind::TErdForm, "单张预览"},
                 {"PopupMenu10", 1, ThermalWindowKind::TPerdForm, "批量预览"}};
  for (const Entry& e : entries) {
    ThermalWindow* w = labelWindow(*window, e.kind);
    ASSERT_NE(w, nullptr);
    int shown = 0;
    w->runModal = [&](QDialog* d) {
      ++shown;
      EXPECT_TRUE(d->isModal());
      EXPECT_EQ(d->windowTitle(), "热敏快递单模板");
      QRect screen = QApplication::primaryScreen()->availableGeometry();
      EXPECT_LE((d->geometry().center() - screen.center()).manhattanLength(), 2);
    };
    QList<QAction*> actions = window->menu(e.menu)->actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), "单张打印【100*180】");
    EXPECT_EQ(actions[1]->text(), "批量打印【100*180】");
    actions[e.action]->trigger();
    EXPECT_EQ(shown, 1) << e.menu << " " << e.action;
    EXPECT_EQ(w->findChild<QToolButton*>("SpeedButton1")->text(), e.preview);
    EXPECT_EQ(w->findChild<QToolButton*>("SpeedButton5")->text(), "直接打印");
    EXPECT_EQ(w->findChild<QToolButton*>("SpeedButton2")->text(), "关闭窗口");
    // 751 x 622 outside, the taller label scrolling under the toolbar.
    int frameW = w->frameGeometry().width() - w->geometry().width();
    int frameH = w->frameGeometry().height() - w->geometry().height();
    EXPECT_EQ(w->width() + std::max(frameW, 0), 751);
    EXPECT_EQ(w->height() + std::max(frameH, 0), 622);
    QWidget* surface = w->findChild<QWidget*>("QuickRep1");
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->size(), QSize(378, 682));
    EXPECT_EQ(surface->mapTo(w, QPoint(0, 0)), QPoint(180, 85));
    EXPECT_NE(w->findChild<QScrollArea*>()->verticalScrollBar()->maximum(), 0);
  }
}

TEST_F(MainWindowTest, TheAddressMemosShowTheCurrentRowsAndBatchWindowsRequeryOnActivation) {
  seed("outr", {{"寄件人甲", "", "", "", "寄件地址甲", "", "", "", "", "", "", ""}});
  seed("inr", {{"收件人一", "", "", "", "收件地址一", "", "", "", "", "", ""},
               {"收件人二", "", "", "", "收件地址二", "", "", "", "", "", ""}});
  seed("excel", {{"导入一", "", "", "", "导入地址一", "", "", "", "", "", ""}});
  start();
  ThermalWindow* single = labelWindow(*window, ThermalWindowKind::TRddForm);
  EXPECT_EQ(single->memo(1)->text(), "收件地址一");
  EXPECT_EQ(single->memo(2)->text(), "寄件地址甲");
  EXPECT_EQ(single->memo(3)->text(), "收件地址一");
  EXPECT_EQ(single->memo(4)->text(), "寄件地址甲");
  store->ADOQuery2()->setCurrentRow(1);
  EXPECT_EQ(single->memo(1)->text(), "收件地址二");
  EXPECT_EQ(labelWindow(*window, ThermalWindowKind::TErdForm)->memo(3)->text(), "导入地址一");

  ThermalWindow* batch = labelWindow(*window, ThermalWindowKind::TPrdForm);
  EXPECT_EQ(batch->recipients()->rowCount(), 2);
  seed("inr", {{"收件人三", "", "", "", "收件地址三", "", "", "", "", "", ""}});
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(batch, &activate);
  EXPECT_EQ(batch->recipients()->rowCount(), 3);
  // A search on the recipient page narrows the main set, not the batch's.
  store->ADOQuery2()->requery(Query::containing("inr", "姓名", "二"));
  QApplication::sendEvent(batch, &activate);
  EXPECT_EQ(batch->recipients()->rowCount(), 3);
  // The batch prints one label per row, each address box taking its row.
  auto label = batch->makeReport();
  RecordSetSource source(batch->recipients());
  label->report().source = &source;
  EXPECT_EQ(label->report().bandCount(), 3);
}

TEST_F(MainWindowTest, ShiftsMoveAllThirtyEightItemsAndAccumulateAcrossOpenings) {
  start();
  ThermalWindow* w = labelWindow(*window, ThermalWindowKind::TRddForm);
  w->runModal = [](QDialog*) {};
  w->open("热敏快递单模板");
  std::map<QString, QRect> home;
  for (const QString& name : movableItemNames()) home[name] = w->itemRect(name);
  ASSERT_EQ(home.size(), 38u);
  auto press = [&](const char* box, const QString& text, const char* button) {
    w->findChild<QLineEdit*>(box)->setText(text);
    w->findChild<QToolButton*>(button)->click();
  };
  auto movedBy = [&](QPoint d) {
    for (const QString& name : movableItemNames())
      if (w->itemRect(name) != home[name].translated(d)) return name;
    return QString();
  };
  press("Edit1", "", "SpeedButton3");  // an empty box does nothing
  EXPECT_EQ(movedBy({0, 0}), "");
  press("Edit1", "-5", "SpeedButton3");
  EXPECT_EQ(movedBy({0, -5}), "");
  EXPECT_EQ(w->memo(1)->geometry(), home["DBMemo1"].translated(0, -5));
  press("Edit2", "3", "SpeedButton4");
  w->findChild<QToolButton*>("SpeedButton2")->click();  // 关闭窗口
  EXPECT_FALSE(w->isVisible());
  w->open("热敏快递单模板");
  EXPECT_EQ(w->findChild<QLineEdit*>("Edit2")->text(), "3");  // the box keeps its text
  w->findChild<QToolButton*>("SpeedButton4")->click();
  EXPECT_EQ(movedBy({6, -5}), "");
  // A text that is no whole number moves nothing and says so.
  press("Edit1", "1.5", "SpeedButton3");
  EXPECT_EQ(messages(), QStringList{"'1.5' is not a valid integer value."});
  EXPECT_EQ(movedBy({6, -5}), "");
  // On paper, every printed item lies where the window shows it.
  auto label = w->makeReport();
  const auto& items = label->report().items;
  ASSERT_EQ(items.size(), labelItems().size());
  for (size_t i = 0; i < items.size(); ++i)
    EXPECT_EQ(items[i]->box.topLeft(), QPointF(labelItems()[i].box.topLeft() + QPoint(6, -5))) << labelItems()[i].name;
}

TEST_F(MainWindowTest, TheDateIsTakenOncePerPreviewOrPrintAndStaysOnTheLabel) {
  seed("outr", {{"寄件人甲", "", "", "", "", "", "", "", "", "", "", ""}});
  seed("inr", {{"Ann", "", "", "", "", "", "", "", "", "", ""}, {"Bob", "", "", "", "", "", "", "", "", "", ""}});
  QDate day(2024, 3, 5);
  env.today = [&] { return day; };
  start();
  ThermalWindow* w = labelWindow(*window, ThermalWindowKind::TPrdForm);
  EXPECT_EQ(w->dateText(), "日期");
  // Printing from the preview prints what the preview shows, whatever the
  // day is by then.
  QString fromPreview = dir.filePath("preview.pdf");
  int previews = 0;
  w->showPreview = [&](const report::Report& r, QWidget*) {
    ++previews;
    day = QDate(2024, 3, 6);
    EXPECT_TRUE(report::writePdf(r, fromPreview).isEmpty());
  };
  w->findChild<QToolButton*>("SpeedButton1")->click();
  ASSERT_EQ(previews, 1);
  EXPECT_EQ(w->dateText(), "2024-03-05");
  EXPECT_EQ(pdfText(fromPreview).count("2024-03-05"), 2);  // both labels of the batch
  EXPECT_EQ(pdfText(fromPreview).count("2024-03-06"), 0);
  // The next command takes the next day.
  w->printerName = "no-such-printer";
  w->findChild<QToolButton*>("SpeedButton5")->click();
  EXPECT_EQ(w->dateText(), "2024-03-06");
  EXPECT_EQ(messages(), QStringList{"there is no printer named no-such-printer."});
  QString next = dir.filePath("next.pdf");
  EXPECT_TRUE(report::writePdf(w->makeReport()->report(), next).isEmpty());
  EXPECT_TRUE(pdfText(next).contains("2024-03-06"));
}
