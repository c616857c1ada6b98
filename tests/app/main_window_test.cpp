// The main window: its frame, start-up, shortcut, help and toolbar.
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>

#include "app/DesktopEntry.h"
#include "app/Startup.h"
#include "platform/ui/Translations.h"
#include "tests/gui/GuiFixture.h"

using namespace guitest;

TEST_F(MainWindowTest, StartsBorderlessCentredWithTheRecipientPageAndEmptyBoxes) {
  start();
  EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(window->size(), QSize(992, 685));
  EXPECT_EQ(window->pages()->currentWidget(), window->recipientPage());
  EXPECT_EQ(window->pages()->count(), 3);
  const char* names[] = {"SpeedButton1", "SpeedButton2", "SpeedButton3", "SpeedButton4", "SpeedButton25", "SpeedButton5",
                         "SpeedButton6", "SpeedButton7", "SpeedButton8", "SpeedButton9", "SpeedButton10"};
  const int lefts[] = {8, 81, 154, 227, 300, 372, 445, 518, 591, 664, 737};
  for (int i = 0; i < 11; ++i) {
    QToolButton* b = window->button(names[i]);
    ASSERT_NE(b, nullptr) << names[i];
    EXPECT_EQ(b->geometry(), QRect(lefts[i], 3, 73, 73)) << names[i];
  }
  EXPECT_EQ(find<QLabel>("Image1")->geometry(), QRect(1, 1, 989, 66));
  EXPECT_EQ(find<QLabel>("Image2")->toolTip(), "最小化");
  EXPECT_EQ(find<QLabel>("Image3")->toolTip(), "关闭");
  EXPECT_EQ(find<QLabel>("StatusPanel1")->text(), "  以“好用、实用、易用”为设计理念！");
  EXPECT_EQ(find<QLabel>("StatusPanel2")->text(), " 快捷键:帮助F1");
  EXPECT_TRUE(find<QLabel>("StatusPanel3")->text().startsWith(" 网站:"));
  for (const char* box : {"Edit1", "Edit9", "Edit10", "Edit31", "Edit20", "Edit21", "Edit29", "Edit32"})
    EXPECT_TRUE(edit(box)->text().isEmpty()) << box;
  EXPECT_TRUE(messages().isEmpty());
}

TEST_F(MainWindowTest, WritesAnExecutableDesktopEntryAtEveryStart) {
  QString entry = dir.filePath("Desktop/晨帆快递单打印软件(专业版).desktop");
  QFile old(entry);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("stale");
  old.close();
  start();
  QFile f(entry);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  QString text = QString::fromUtf8(f.readAll());
  EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
  EXPECT_TRUE(text.contains("Name=晨帆快递单打印软件(专业版)\n"));
  EXPECT_TRUE(text.contains("Exec=\"" + QFileInfo(env.programPath).absoluteFilePath() + "\"\n"));
  EXPECT_TRUE(text.contains("Path=" + QFileInfo(env.programPath).absolutePath() + "\n"));
  EXPECT_TRUE(QFileInfo(entry).isExecutable());
  // No desktop folder: nothing is written and nothing is said.
  EXPECT_FALSE(waybill::writeDesktopEntry(env.programPath, dir.filePath("none")));
}

TEST_F(MainWindowTest, F1AndTheHelpMenuOpenTheHelpAndTheWebPages) {
  start();
  window->activateWindow();
  QTest::keyClick(window.get(), Qt::Key_F1);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], QUrl::fromLocalFile(QFileInfo(env.programPath).absolutePath() + "/使用帮助.html"));
  trigger("N3");
  trigger("N5");
  trigger("N6");
  ASSERT_EQ(opened.size(), 4u);
  EXPECT_EQ(opened[1], opened[0]);
  EXPECT_TRUE(opened[2].toString().endsWith("/ques.htm"));
  EXPECT_EQ(opened[3].toString() + "/ques.htm", opened[2].toString());
}

TEST_F(MainWindowTest, PrintButtonsPickTheMenuOfThePageInViewAndOpenBelowTheToolbar) {
  start();
  QSignalSpy spy(window.get(), &waybill::TMainForm::menuOpening);
  struct Case {
    QWidget* page;
    const char* button;
    const char* menu;
    QWidget* after;
  } cases[] = {
      {window->senderPage(), "SpeedButton3", "PopupMenu1", window->recipientPage()},
      {window->recipientPage(), "SpeedButton3", "PopupMenu1", window->recipientPage()},
      {window->importPage(), "SpeedButton3", "PopupMenu5", window->importPage()},
      {window->senderPage(), "SpeedButton4", "PopupMenu2", window->recipientPage()},
      {window->importPage(), "SpeedButton4", "PopupMenu6", window->importPage()},
      {window->senderPage(), "SpeedButton25", "PopupMenu9", window->recipientPage()},
      {window->importPage(), "SpeedButton25", "PopupMenu10", window->importPage()},
      {window->senderPage(), "SpeedButton7", "PopupMenu3", window->senderPage()},
      {window->recipientPage(), "SpeedButton9", "PopupMenu4", window->recipientPage()},
  };
  window->move(40, 30);
  for (const Case& c : cases) {
    window->pages()->setCurrentWidget(c.page);
    spy.clear();
    click(c.button);
    for (QMenu* m : window->findChildren<QMenu*>()) m->hide();
    ASSERT_EQ(spy.size(), 1) << c.button;
    EXPECT_EQ(spy[0][0].value<QMenu*>()->objectName(), c.menu) << c.button;
    QPoint at = spy[0][1].toPoint();
    EXPECT_EQ(at.y(), window->frameGeometry().top() + 145) << c.button;
    EXPECT_EQ(at.x(), window->frameGeometry().left() + window->button(c.button)->x()) << c.button;
    EXPECT_EQ(window->pages()->currentWidget(), c.after) << c.button;
  }
}

TEST_F(MainWindowTest, ExitClosesTheWindow) {
  start();
  click("SpeedButton10");
  EXPECT_FALSE(window->isVisible());
}

TEST(Startup, AMissingOrForeignDatabaseIsReportedAndNothingIsMade) {
  QTemporaryDir dir;
  ui::ScriptedDialogs dialogs;
  QString missing = dir.filePath("data.mdb");
  EXPECT_EQ(waybill::openStore(dialogs, missing), nullptr);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].icon, ui::Icon::kStop);
  EXPECT_TRUE(dialogs.shown[0].text.contains(missing));
  EXPECT_FALSE(QFileInfo::exists(missing));

  ASSERT_TRUE(jet::Database::create(missing.toStdString(), "another", {{"outr", {}}}).ok());
  dialogs.shown.clear();
  EXPECT_EQ(waybill::openStore(dialogs, missing), nullptr);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_TRUE(dialogs.shown[0].text.contains("password")) << dialogs.shown[0].text.toStdString();
}

TEST(StandardErrorBox, AppendsAFullStopAfterLettersAndUsesTheProgramsTitle) {
  struct Case {
    const char* text;
    const char* shown;
  } cases[] = {
      {"'x' is not a valid integer value", "'x' is not a valid integer value."},
      {"出错了", "出错了."},
      {"done.", "done."},
      {"问题？", "问题？."},
      {"(a)", "(a)"},
      {"", ""},
      {"7", "7."},
  };
  for (const Case& c : cases) {
    ui::ScriptedDialogs d;
    ui::showError(d, QString::fromUtf8(c.text));
    ASSERT_EQ(d.shown.size(), 1u);
    EXPECT_EQ(d.shown[0].text, QString::fromUtf8(c.shown)) << c.text;
    EXPECT_EQ(d.shown[0].icon, ui::Icon::kStop);
    EXPECT_EQ(d.shown[0].buttons, ui::Buttons::kOk);
  }
  EXPECT_EQ(ui::programTitle(), "App_tests");
}

TEST(Translations, QtsOwnButtonsAndDialogsSpeakChinese) {
  ASSERT_TRUE(ui::installChineseTranslations());
  // The texts of the standard buttons and of the file and font dialogs, as
  // Qt looks them up.
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "OK"), "确定");
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "取消");
  EXPECT_EQ(QCoreApplication::translate("QFontDialog", "Select Font"), "选择字体");
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), "打开");
  QMessageBox box(QMessageBox::Information, "提示", "x", QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "确定");
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "取消");
}
