// TMainForm: the borderless main window with its title, toolbar, three
// pages without tabs, status bar and menus.
#pragma once

#include <QDate>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QToolButton>
#include <QUrl>
#include <QWidget>
#include <functional>

#include "platform/ui/Dialogs.h"
#include "printing/PrintWindow.h"
#include "records/ImportPage.h"
#include "records/RecipientPage.h"
#include "records/RecordStore.h"
#include "records/SenderPage.h"
#include "thermal/ThermalWindow.h"

namespace waybill {

// What the main window needs of the world, so that tests can stand in.
struct Environment {
  QString programPath;                       // the executable; its folder holds the help
  QString desktopDir;                        // where the shortcut goes; empty: none
  std::function<QDate()> today = [] { return QDate::currentDate(); };
  std::function<void(const QUrl&)> openUrl;  // the desktop's associated program
};

class TMainForm : public QWidget {
  Q_OBJECT
 public:
  // Builds the window over an open store and runs its creation handler.
  TMainForm(RecordStore& store, ui::Dialogs& dialogs, Environment env);

  RecordStore& store() { return store_; }
  SenderPage* senderPage() const { return senderPage_; }
  RecipientPage* recipientPage() const { return recipientPage_; }
  ImportPage* importPage() const { return importPage_; }
  QStackedWidget* pages() const { return pages_; }
  QToolButton* button(const char* name) const;
  QMenu* menu(const char* name) const;
  // The point where a toolbar button's menu opens: below the toolbar.
  QPoint menuPoint(const QToolButton* b) const;

  void openHelp();
  // "数据导出", and the data menu's "数据备份" and "数据恢复".
  void exportRecipients();
  void backUp();
  void restore();
  // The print windows, made at start-up in this order and kept hidden.
  PrintWindow* TDdForm() const { return printWindows_[0]; }
  PrintWindow* TEddForm() const { return printWindows_[1]; }
  PrintWindow* TPdForm() const { return printWindows_[2]; }
  PrintWindow* TPedForm() const { return printWindows_[3]; }
  const std::array<PrintWindow*, 4>& printWindows() const { return printWindows_; }
  // The thermal label windows, made after them: TRddForm, TPrdForm,
  // TErdForm, TPerdForm.
  const std::array<ThermalWindow*, 4>& thermalWindows() const { return thermalWindows_; }

 signals:
  // A menu is about to open at a screen point (tests watch this).
  void menuOpening(QMenu* menu, const QPoint& at);

 protected:
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void buildFrame();
  void buildToolbar();
  void buildMenus();
  void creationHandler();
  // Every connection to data.mdb, the batch windows' too: closed for a
  // restore, opened again when it fails.
  void closeAllConnections();
  void reopenAllConnections();
  void openMenu(QMenu* m, QToolButton* b);
  void printButton(QMenu* fromRecipients, QMenu* fromImport, bool thermal);

  RecordStore& store_;
  ui::Dialogs& dialogs_;
  Environment env_;
  QLabel* title_;
  QLabel* minimise_;
  QLabel* close_;
  QFrame* toolbar_;
  QStackedWidget* pages_;
  SenderPage* senderPage_;
  RecipientPage* recipientPage_;
  ImportPage* importPage_;
  bool shownOnce_ = false;
  std::array<PrintWindow*, 4> printWindows_{};
  std::array<ThermalWindow*, 4> thermalWindows_{};
};

}  // namespace waybill
